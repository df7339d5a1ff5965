#!/usr/bin/env python3
"""Launches the built editor as a new user would, twice, with its settings in a temporary folder and
its bundle's feed address pointed at a server on the loopback address: the first launch stores the
two settings and checks nothing; the second checks the feed without being asked."""
import http.server
import os
import plistlib
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

FEED_PATH = "/lensbrook/lensbrook.plist"
FEED = plistlib.dumps({
    "newVersionNumber": "99.0", "newBuildNumber": "9900",
    "newProductURL": "http://127.0.0.1:9/lensbrook/", "newDownloadURL": "http://127.0.0.1:9/get",
})
requests = []


class Feed(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        requests.append(self.path)
        body = FEED if self.path == FEED_PATH else b"not here"
        self.send_response(200 if self.path == FEED_PATH else 404)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def wait_for(condition, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return False


def settings(path):
    values = {}
    if os.path.exists(path):
        for line in open(path, encoding="utf-8"):
            key, sep, value = line.strip().partition("=")
            if sep:
                values[key] = value
    return values


def launch(executable, env, until):
    editor = subprocess.Popen([executable], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        reached = wait_for(until)
    finally:
        editor.send_signal(signal.SIGTERM)
        try:
            editor.wait(10)
        except subprocess.TimeoutExpired:
            editor.kill()
            editor.wait()
    if not reached:
        print(editor.stderr.read().decode(errors="replace"), file=sys.stderr)
    return reached


def main(bundle):
    passed = failed = 0

    def check(ok, what):
        nonlocal passed, failed
        print(("ok:    " if ok else "FAIL:  ") + what)
        passed, failed = passed + ok, failed + (not ok)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Feed)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    with tempfile.TemporaryDirectory(prefix="lensbrook-launch-") as home:
        copy = os.path.join(home, "lensBrook.app")
        shutil.copytree(bundle, copy, symlinks=True)
        info_path = os.path.join(copy, "Contents", "Info.plist")
        with open(info_path, "rb") as f:
            info = plistlib.load(f)
        info["LensBrookFeedURL"] = "http://127.0.0.1:%d%s" % (server.server_address[1], FEED_PATH)
        with open(info_path, "wb") as f:
            plistlib.dump(info, f)

        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_HOME=os.path.join(home, "data"), QT_QPA_PLATFORM="offscreen",
                   no_proxy="127.0.0.1")
        conf = os.path.join(home, "config", "lensBrook", "lensBrook.conf")
        executable = os.path.join(copy, "Contents", "MacOS", "lensBrook")

        launch(executable, env, lambda: settings(conf).get("CheckForUpdates") == "YES")
        stored = settings(conf)
        check(stored.get("FirstTime") == "NO" and stored.get("CheckForUpdates") == "YES",
              "the first launch stores FirstTime=NO and CheckForUpdates=YES (%r)" % stored)
        check(requests == [], "the first launch checks nothing (%r)" % requests)

        reached = launch(executable, env, lambda: FEED_PATH in requests)
        check(reached, "the second launch fetches the feed by itself (%r)" % requests)
        check(settings(conf) == stored, "the second launch changes no setting")
    server.shutdown()
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
