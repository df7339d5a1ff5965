#!/usr/bin/env python3
"""Faults injected into the built image tool while it writes a large result over its input.

Usage: check_tool_faults.py SIPS

- killed with SIGKILL mid-write: the original is byte-identical, nothing visible is added; the
  one thing left is the hidden temporary (".NAME.sips-XXXXXX"), which droplets pass over like any
  hidden item, and a second run succeeds beside it;
- the disk fills up (a file-size limit, with SIGXFSZ ignored as a full disk sends no signal, and
  with it left at its default, which kills): the original is byte-identical and nothing is left.
"""
import filecmp
import os
import re
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TEMP_NAME = re.compile(r"^\.photo\.jpg\.sips-[A-Za-z0-9]{6}$")


def fail(message):
    sys.exit(message)


def make_photo(folder):
    # Noise compresses badly, so a PNG of it takes long enough to write to be caught mid-way.
    path = os.path.join(folder, "photo.jpg")
    noise = os.path.join(folder, "noise.ppm")
    with open(noise, "wb") as f:
        f.write(b"P6 4000 3000 255\n" + os.urandom(4000 * 3000 * 3))
    subprocess.run(["vips", "copy", noise, path + "[Q=95]"], check=True)
    os.unlink(noise)
    return path


def temporaries(folder):
    return sorted(name for name in os.listdir(folder) if name.startswith(".photo.jpg.sips-"))


def visible(folder):
    return sorted(name for name in os.listdir(folder) if not name.startswith("."))


def killed_mid_write(sips, folder, photo, original):
    child = subprocess.Popen([sips, "-s", "format", "png", "-s", "formatOptions", "best", photo],
                             stdin=subprocess.DEVNULL, stderr=subprocess.PIPE)
    deadline = time.monotonic() + 120
    caught = None
    while time.monotonic() < deadline and child.poll() is None:
        names = temporaries(folder)
        if names and os.path.getsize(os.path.join(folder, names[0])) > (1 << 20):
            caught = names[0]
            child.send_signal(signal.SIGKILL)
            break
        time.sleep(0.005)
    child.wait()
    if caught is None:
        fail(f"the tool ended (status {child.returncode}) before it was seen writing its result")
    if not filecmp.cmp(photo, original, shallow=False):
        fail("SIGKILL mid-write changed the original")
    if visible(folder) != ["photo.jpg"]:
        fail(f"SIGKILL mid-write left visible files: {visible(folder)}")
    left = temporaries(folder)
    if len(left) != 1 or not TEMP_NAME.match(left[0]):
        fail(f"unexpected leftovers after SIGKILL: {left}")
    again = subprocess.run([sips, "--resampleWidth", "100", photo, "--out", os.path.join(folder, "small.jpg")],
                           capture_output=True, stdin=subprocess.DEVNULL)
    if again.returncode != 0 or temporaries(folder) != left:
        fail(f"a run after the kill failed or touched the leftover: {again.stderr!r} {temporaries(folder)}")
    os.unlink(os.path.join(folder, left[0]))
    os.unlink(os.path.join(folder, "small.jpg"))


def disk_full(sips, folder, photo, original, ignore):
    def limit():
        resource.setrlimit(resource.RLIMIT_FSIZE, (256 << 10, 256 << 10))
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN if ignore else signal.SIG_DFL)

    done = subprocess.run([sips, "-s", "format", "png", photo], capture_output=True, preexec_fn=limit,
                          stdin=subprocess.DEVNULL, timeout=300)
    label = "full disk" if ignore else "file-size limit with its signal"
    err = done.stderr.decode(errors="replace")
    if done.returncode == 0:
        fail(f"{label}: reported success")
    if ignore and (len(err.splitlines()) != 1 or not err.startswith("Error: ")):
        fail(f"{label}: wanted one 'Error: ' line, got {err!r}")
    if not filecmp.cmp(photo, original, shallow=False):
        fail(f"{label}: the original changed")
    if sorted(os.listdir(folder)) != ["photo.jpg"]:
        fail(f"{label}: left {sorted(os.listdir(folder))}")


def main(sips):
    with tempfile.TemporaryDirectory() as root:
        folder = os.path.join(root, "photos")
        os.mkdir(folder)
        photo = make_photo(folder)
        original = os.path.join(root, "original.jpg")
        shutil.copyfile(photo, original)
        killed_mid_write(sips, folder, photo, original)
        disk_full(sips, folder, photo, original, ignore=True)
        disk_full(sips, folder, photo, original, ignore=False)
    print("every fault left the original whole")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
