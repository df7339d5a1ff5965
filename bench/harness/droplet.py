"""The whole droplet: batches against shell loops of the best peers, its start-up, and its own cost per
item measured with a tool that does nothing.
"""
import os
import plistlib
import re
import shutil
import statistics
import subprocess
from pathlib import Path

from .measure import BenchError, Series, fresh_dir, helper, resolve, spawn
from .suites import Comparison, Tool

RESAMPLE_RECIPE = ["--resampleHeightWidthMax", "800", "-s", "format", "jpeg"]


def terminal_env():
    """The environment of a droplet started from a terminal: no display, so alerts read stdin."""
    return {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}


def make_droplet(bundle: Path, dest: Path, recipe: list, tool: Path = None) -> Path:
    """A droplet as the editor saves one: the engine bundle copied whole, its two settings files written."""
    shutil.rmtree(dest, ignore_errors=True)
    shutil.copytree(bundle, dest, symlinks=True)
    resources = dest / "Contents" / "Resources"
    resources.mkdir(parents=True, exist_ok=True)
    with open(resources / "dropletAttributes.plist", "wb") as f:
        plistlib.dump(recipe, f, fmt=plistlib.FMT_XML)
    with open(resources / "dropletTypes.plist", "wb") as f:
        plistlib.dump({}, f, fmt=plistlib.FMT_XML)
    if tool:
        shutil.copy2(tool, dest / "Contents" / "MacOS" / "sips")
    return dest


def engine_of(droplet: Path) -> str:
    return str(droplet / "Contents" / "MacOS" / "lensBrooklet")


def answers_file(cache: Path) -> Path:
    """Standard input for a terminal droplet: Enter takes the default button (continue)."""
    path = cache / "answers.txt"
    path.write_text("\n" * 8)
    return path


def _check_batch(tool, item, output, _stdout):
    files = sorted(p for p in Path(output).iterdir() if p.suffix == ".jpg")
    if len(files) != len(item["files"]):
        return f"{len(files)} results for {len(item['files'])} files"
    out = subprocess.run(["vipsheader", *map(str, files)], capture_output=True, text=True).stdout
    sizes = [(int(w), int(h)) for w, h in re.findall(r": (\d+)x(\d+) ", out)]
    wrong = [s for s in sizes if max(s) != 800]
    if len(sizes) != len(files) or wrong:
        return f"{len(sizes)} readable of {len(files)}, not fitted to 800: {wrong[:3]}"
    return None


def batch_comparison(key, title, droplet: Path, files: list, rounds: int, stdin: Path, quality: int) -> Comparison:
    """The droplet against a shell loop of vipsthumbnail and against mogrify on copies of the same files,
    the peers writing JPEG at `quality`."""
    n = len(files)
    loop = f'for f in "$1"/*; do "$3" "$f" --size 800 -o "$2/%s.jpg[Q={quality}]" || exit 1; done'
    sh, vt, mogrify = resolve("sh"), resolve("vipsthumbnail"), resolve("mogrify")

    def droplet_cmd(item, src, d):
        return [engine_of(droplet), src], src

    def loop_cmd(item, src, d):
        out = fresh_dir(d / "out")
        return [sh, "-c", loop, "sh", src, out, vt], out

    def mogrify_cmd(item, src, d):
        out = fresh_dir(d / "out")
        return [mogrify, "-path", out, "-auto-orient", "-resize", "800x800", "-quality", str(quality),
                *sorted(str(p) for p in Path(src).iterdir())], out

    tools = [Tool("droplet (sips)", droplet_cmd, ours=True, in_place=True, per_run=n, stdin=str(stdin),
                  env=terminal_env()),
             Tool("vipsthumbnail loop", loop_cmd, in_place=True, per_run=n),
             Tool("mogrify", mogrify_cmd, in_place=True, per_run=n)]
    item = {"files": files, "path": f"{n} files", "width": 0, "height": 0}
    return Comparison(key, title, [item], tools, rounds, _check_batch)


def _empty_items(cache: Path, count: int) -> Path:
    folder = cache / f"items-{count}"
    if not (folder / f"{count - 1:05d}.jpg").exists():
        fresh_dir(folder)
        for i in range(count):
            (folder / f"{i:05d}.jpg").touch()
    return folder


def overhead(bundle: Path, cache: Path, work: Path, items: int, rounds: int, log) -> dict:
    """Start-up of the droplet and its own work per item, with a tool that does nothing.

    Per item = (batch of `items` - batch of 1) / (items - 1), for the droplet and for a minimal
    posix_spawn loop that starts the same tool twice per item (probe and run); the droplet's own work
    is the difference. Both are measured interleaved, in wall time and in CPU time (user + system).
    Where perf works, the droplet process's own CPU time (its children left out) is also read directly.
    """
    noop, loop = helper("noop_tool"), helper("spawn_loop")
    droplet = make_droplet(bundle, work / "noop.app", RESAMPLE_RECIPE, tool=noop)
    stdin, env = answers_file(cache), terminal_env()
    one, many = _empty_items(cache, 1), _empty_items(cache, items)
    log(f"droplet start-up and own work per item: {items} items, do-nothing tool, {rounds} round(s)")

    def checked(argv, **kw):
        result = spawn(argv, stderr=work / "noop.stderr", **kw)
        if result.status != 0:
            raise BenchError(f"{Path(argv[0]).name} with a do-nothing tool exited {result.status}: "
                             f"{(work / 'noop.stderr').read_text(errors='replace')[-300:]}")
        return result

    def droplet_batch(folder):
        return checked([engine_of(droplet), folder], stdin=stdin, env=env)

    def spawn_batch(count):
        return checked([loop, count, noop, one / "00000.jpg"])

    perf = shutil.which("perf")

    def droplet_only_cpu(folder):
        """Seconds of CPU of the droplet process alone, or None without a working perf."""
        if not perf:
            return None
        out = work / "perf.csv"
        checked([perf, "stat", "--no-inherit", "-x,", "-e", "task-clock", "-o", out, "--",
                 engine_of(droplet), folder], stdin=stdin, env=env)
        found = re.search(r"^([\d.]+),msec,task-clock", out.read_text(), re.M)
        return float(found.group(1)) / 1000 if found else None

    starts = Series("droplet start-up", True)
    per = {"wall": [], "cpu": [], "spawn_wall": [], "spawn_cpu": [], "own_cpu_direct": []}
    for _ in range(rounds):
        d1, dn, s1, sn = droplet_batch(one), droplet_batch(many), spawn_batch(1), spawn_batch(items)
        starts.add(d1)
        per["wall"].append((dn.wall - d1.wall) / (items - 1))
        per["cpu"].append((dn.cpu - d1.cpu) / (items - 1))
        per["spawn_wall"].append((sn.wall - s1.wall) / (items - 1))
        per["spawn_cpu"].append((sn.cpu - s1.cpu) / (items - 1))
        c1, cn = droplet_only_cpu(one), droplet_only_cpu(many)
        if c1 is not None and cn is not None:
            per["own_cpu_direct"].append((cn - c1) / (items - 1))
    for _ in range(4):
        starts.add(droplet_batch(one))
    ms = {k: statistics.median(v) * 1000 for k, v in per.items() if v}
    return {"startup_ms": starts.wall * 1000, "startup_mib": starts.peak_mib, "items": items, **ms,
            "own_wall_ms": ms["wall"] - ms["spawn_wall"], "own_cpu_ms": ms["cpu"] - ms["spawn_cpu"]}
