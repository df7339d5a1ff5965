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


def batch_comparison(key, title, droplet: Path, files: list, rounds: int, stdin: Path) -> Comparison:
    """The droplet against a shell loop of vipsthumbnail and against mogrify on copies of the same files."""
    n = len(files)
    loop = 'for f in "$1"/*; do "$3" "$f" --size 800 -o "$2/%s.jpg" || exit 1; done'
    sh, vt, mogrify = resolve("sh"), resolve("vipsthumbnail"), resolve("mogrify")

    def droplet_cmd(item, src, d):
        return [engine_of(droplet), src], src

    def loop_cmd(item, src, d):
        out = fresh_dir(d / "out")
        return [sh, "-c", loop, "sh", src, out, vt], out

    def mogrify_cmd(item, src, d):
        out = fresh_dir(d / "out")
        return [mogrify, "-path", out, "-auto-orient", "-resize", "800x800",
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

    Own work = (batch of `items` - batch of 1) / (items - 1) - the cost of starting the tool twice
    (probe and run), as a minimal posix_spawn loop pays it on this machine in the same run.
    """
    noop, spawn_loop = helper("noop_tool"), helper("spawn_loop")
    droplet = make_droplet(bundle, work / "noop.app", RESAMPLE_RECIPE, tool=noop)
    stdin = answers_file(cache)
    env = terminal_env()
    one = _empty_items(cache, 1)
    many = _empty_items(cache, items)
    log(f"droplet start-up and own work per item: {items} items, do-nothing tool")

    def batch(folder):
        result = spawn([engine_of(droplet), folder], stdin=stdin, stderr=work / "noop.stderr", env=env)
        if result.status != 0:
            raise BenchError(f"droplet with a do-nothing tool exited {result.status}: "
                             f"{(work / 'noop.stderr').read_text(errors='replace')[-300:]}")
        return result

    starts = Series("droplet start-up", True)
    for _ in range(max(rounds * 5, 5)):
        starts.add(batch(one))
    totals = [batch(many).wall for _ in range(rounds)]
    per_item = (statistics.median(totals) - starts.wall) / (items - 1)
    spawn_out = subprocess.run([str(spawn_loop), str(min(items, 2000)), str(noop), str(one / "00000.jpg")],
                               capture_output=True, text=True, check=True).stdout
    spawn_cost = float(spawn_out)
    return {"startup_ms": starts.wall * 1000, "startup_mib": starts.peak_mib, "items": items,
            "per_item_ms": per_item * 1000, "spawn_ms": spawn_cost * 1000,
            "own_ms": (per_item - spawn_cost) * 1000}
