"""Side-by-side comparisons: the same work on the same files, tools interleaved round by round.

Each comparison runs every tool once per file per round, rotating the order so that no tool always
goes first (cold caches) or last (a neighbour's background work). The first round checks every output,
so a tool that fails fast or writes the wrong thing can never look quick.
"""
import re
import shutil
import subprocess
from dataclasses import dataclass
from pathlib import Path
from typing import Callable

from .measure import BenchError, Series, fresh_dir, helper, resolve, spawn

ARTIST = "Bench Artist"


@dataclass
class Tool:
    name: str
    command: Callable      # (item, src, workdir) -> (argv, output path or None)
    ours: bool = False
    in_place: bool = False  # edits its input: gets a fresh copy of it in the work folder
    per_run: int = 1        # files handled by one run (batches)
    stdin: str = "/dev/null"
    env: dict = None        # None: this process's environment
    reference: bool = False  # shown for scale, never the peer to beat


@dataclass
class Comparison:
    key: str
    title: str
    items: list
    tools: list
    rounds: int
    check: Callable = None  # (tool, item, output, stdout text) -> error text or None
    may_fail: bool = False  # a clean failure (status 1, one "Error: " line) counts as a result


def _copy_in(item, workdir: Path) -> Path:
    if "files" in item:
        folder = fresh_dir(workdir / "in")
        for n, f in enumerate(item["files"]):  # a batch may hold one photo twice: number the copies
            shutil.copy2(f, folder / f"{n:03d}_{Path(f).name}")
        return folder
    dest = workdir / Path(item["path"]).name
    shutil.copy2(item["path"], dest)
    return dest


def run(comparison: Comparison, work: Path, log) -> list:
    series = [Series(t.name, t.ours, t.per_run, t.reference) for t in comparison.tools]
    log(f"{comparison.title}: {len(comparison.items)} input(s) x {comparison.rounds} round(s)")
    turn = 0
    for rnd in range(comparison.rounds):
        for item in comparison.items:
            order = list(range(len(comparison.tools)))
            turn += 1
            order = order[turn % len(order):] + order[:turn % len(order)]
            for index in order:
                tool = comparison.tools[index]
                workdir = fresh_dir(work / re.sub(r"\W", "_", tool.name))
                src = _copy_in(item, workdir) if tool.in_place else Path(item["path"])
                argv, output = tool.command(item, src, workdir)
                result = spawn(argv, stdin=tool.stdin, stdout=workdir / "stdout", stderr=workdir / "stderr",
                               env=tool.env)
                err = (workdir / "stderr").read_text(errors="replace").strip().splitlines()
                failed_cleanly = comparison.may_fail and result.status == 1 and err and err[-1].startswith("Error: ")
                if result.status != 0 and not failed_cleanly:
                    raise BenchError(f"{tool.name} exited {result.status} on {src}: {' | '.join(err[-3:])}")
                if rnd == 0 and comparison.check and not failed_cleanly:
                    text = (workdir / "stdout").read_text(errors="replace")
                    problem = comparison.check(tool, item, output, text)
                    if problem:
                        raise BenchError(f"{comparison.title}: {tool.name} on {src}: {problem}")
                series[index].add(result)
    return series


# ---- checks -------------------------------------------------------------------------------------

def seen_size(path) -> tuple:
    """Width and height of an image as a viewer shows it (EXIF orientation applied)."""
    out = subprocess.run(["vipsheader", "-a", str(path)], capture_output=True, text=True)
    if out.returncode != 0:
        return None
    fields = dict(re.findall(r"^(width|height|orientation): (\d+)", out.stdout, re.M))
    w, h = int(fields["width"]), int(fields["height"])
    return (h, w) if int(fields.get("orientation", 1)) in (5, 6, 7, 8) else (w, h)


def _close(a, b) -> bool:
    return all(abs(x - y) <= 1 for x, y in zip(a, b))


def expect_size(fn):
    """A check that compares the output's seen size with fn(seen width, seen height)."""
    def check(tool, item, output, _stdout):
        want = fn(item["width"], item["height"])
        got = seen_size(output)
        return None if got and _close(got, want) else f"expected {want[0]}x{want[1]}, got {got}"
    return check


def fit(limit):
    def size(w, h):
        scale = limit / max(w, h)
        return (round(w * scale), round(h * scale))
    return size


def check_probe(tool, item, _output, stdout):
    if not tool.ours:
        return None
    want = f"  pixelHeight: {item['height']}\n", f"  pixelWidth: {item['width']}\n"
    return None if all(w in stdout for w in want) else f"probe printed {stdout!r}"


def check_artist(tool, _item, output, _stdout):
    if output is None:
        return None
    got = subprocess.run(["exiftool", "-s3", "-Artist", str(output)], capture_output=True, text=True)
    return None if got.stdout.strip() == ARTIST else f"Artist reads back as {got.stdout.strip()!r}"


def check_png(tool, item, output, _stdout):
    if not output.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n":
        return "output is not a PNG"
    return expect_size(lambda w, h: (w, h))(tool, item, output, _stdout)


# ---- the comparisons ----------------------------------------------------------------------------

def _peers():
    return {name: resolve(name) for name in
            ("vipsthumbnail", "vips", "vipsheader", "convert", "identify", "gm", "exiftool", "true")}


def jpeg_quality(sips: str, sample: str, work: Path):
    """The JPEG quality sips writes by default, so that every peer encodes at the same quality."""
    out = fresh_dir(work / "quality") / "q.jpg"
    if spawn([sips, "-r", "90", sample, "--out", out]).status != 0:
        raise BenchError(f"sips cannot rotate {sample}")
    found = subprocess.run(["identify", "-format", "%Q", str(out)], capture_output=True, text=True).stdout
    return int(found) if found.strip().isdigit() else None


def resample_tools(sips, p, quality):
    q = ["-quality", str(quality)]
    vq = f"[Q={quality}]"
    return [
        Tool("sips", lambda i, s, d: ([sips, "--resampleHeightWidthMax", "800", "-s", "format", "jpeg",
                                       s, "--out", d / "out.jpg"], d / "out.jpg"), ours=True),
        Tool("vipsthumbnail", lambda i, s, d: ([p["vipsthumbnail"], s, "--size", "800",
                                                "-o", f"{d}/out.jpg{vq}"], d / "out.jpg")),
        Tool("convert", lambda i, s, d: ([p["convert"], s, "-auto-orient", "-resize", "800x800", *q,
                                          d / "out.jpg"], d / "out.jpg")),
        Tool("gm", lambda i, s, d: ([p["gm"], "convert", s, "-auto-orient", "-resize", "800x800", *q,
                                     d / "out.jpg"], d / "out.jpg")),
    ]


def _crop_offsets(item):
    return str((item["width"] - 3000) // 2), str((item["height"] - 2000) // 2)


def build(sips: str, items: list, quick: bool, quality: int) -> list:
    """Every per-file comparison, on subsets of the photo set sized for a quick or a full run. Peers write
    JPEG at `quality`, the quality sips writes by default."""
    p = _peers()
    kinds = {}
    for item in items:
        kinds.setdefault(item["kind"], []).append(item)
    camera = kinds["camera"]
    upright = [i for i in camera if i["orientation"] == 1]
    mixed = camera[:3] if quick else camera[:10]  # holds rotated and profiled files
    large = kinds["large-png"][:1] + kinds["large-tif"][:1] if quick else kinds["large-png"][:2] + kinds["large-tif"][:2]
    q = ["-quality", str(quality)]

    def vout(d):
        return f"{d}/out.jpg[Q={quality}]"

    resample = resample_tools(sips, p, quality)
    crop = [
        Tool("sips", lambda i, s, d: ([sips, "-c", "2000", "3000", s, "--out", d / "out.jpg"], d / "out.jpg"),
             ours=True),
        Tool("vips crop", lambda i, s, d: ([p["vips"], "crop", s, vout(d), *_crop_offsets(i), "3000", "2000"],
                                           d / "out.jpg")),
        Tool("convert", lambda i, s, d: ([p["convert"], s, "-gravity", "center", "-crop", "3000x2000+0+0",
                                          "+repage", *q, d / "out.jpg"], d / "out.jpg")),
        Tool("gm", lambda i, s, d: ([p["gm"], "convert", s, "-gravity", "center", "-crop", "3000x2000+0+0",
                                     "+repage", *q, d / "out.jpg"], d / "out.jpg")),
    ]
    rotate = [
        Tool("sips", lambda i, s, d: ([sips, "-r", "90", s, "--out", d / "out.jpg"], d / "out.jpg"), ours=True),
        Tool("vips rot", lambda i, s, d: ([p["vips"], "rot", s, vout(d), "d90"], d / "out.jpg")),
        Tool("convert", lambda i, s, d: ([p["convert"], s, "-rotate", "90", *q, d / "out.jpg"], d / "out.jpg")),
        Tool("gm", lambda i, s, d: ([p["gm"], "convert", s, "-rotate", "90", *q, d / "out.jpg"], d / "out.jpg")),
    ]
    png = [
        Tool("sips", lambda i, s, d: ([sips, "-s", "format", "png", s, "--out", d / "out.png"], d / "out.png"),
             ours=True),
        Tool("vips copy", lambda i, s, d: ([p["vips"], "copy", s, d / "out.png"], d / "out.png")),
        Tool("convert", lambda i, s, d: ([p["convert"], s, d / "out.png"], d / "out.png")),
        Tool("gm", lambda i, s, d: ([p["gm"], "convert", s, d / "out.png"], d / "out.png")),
    ]
    metadata = [
        Tool("sips", lambda i, s, d: ([sips, "-s", "artist", ARTIST, s], s), ours=True, in_place=True),
        Tool("exiftool", lambda i, s, d: ([p["exiftool"], "-q", "-overwrite_original", f"-Artist={ARTIST}", s], s),
             in_place=True),
        Tool("vips copy (decode+encode)", lambda i, s, d: ([p["vips"], "copy", s, vout(d)], None)),
    ]
    probe = [
        Tool("sips", lambda i, s, d: ([sips, "-g", "pixelHeight", "-g", "pixelWidth", s], None), ours=True),
        Tool("vipsheader", lambda i, s, d: ([p["vipsheader"], s], None)),
        Tool("identify", lambda i, s, d: ([p["identify"], "-ping", "-format", "%w %h\n", s], None)),
    ]
    startup = probe + [Tool("true (process floor)", lambda i, s, d: ([p["true"]], None), reference=True),
                       Tool("empty program linked to libvips", lambda i, s, d: ([helper("vips_linked")], None),
                            reference=True)]
    def size(quick_value, full_value):
        return quick_value if quick else full_value

    return [
        Comparison("resample_12mp", "resample-to-fit 800 to JPEG, 12 MP camera JPEGs", mixed, resample,
                   size(1, 3), expect_size(fit(800))),
        Comparison("resample_small", "resample-to-fit 800 to JPEG, 1 MP JPEGs (1152x864)",
                   kinds["small"][:size(3, 8)], resample, size(1, 3), expect_size(fit(800))),
        Comparison("resample_48mp", "resample-to-fit 800 to JPEG, 48 MP JPEGs", kinds["huge"][:size(1, 2)],
                   resample, 1, expect_size(fit(800))),
        Comparison("resample_large", "resample-to-fit 800 to JPEG, 24 MP PNG and TIFF", large, resample, 1,
                   expect_size(fit(800))),
        Comparison("crop", "crop to 3000x2000, 12 MP JPEG to JPEG", upright[:size(2, 4)], crop, size(1, 2),
                   expect_size(lambda w, h: (3000, 2000))),
        Comparison("rotate", "rotate 90, 12 MP JPEG to JPEG", upright[:size(2, 4)], rotate, size(1, 2),
                   expect_size(lambda w, h: (h, w))),
        Comparison("png", "convert to PNG, 12 MP JPEG", upright[:1], png, size(1, 2), check_png),
        Comparison("metadata", "metadata only: set artist, 12 MP JPEG", mixed, metadata, size(1, 3), check_artist),
        Comparison("probe", "probe (pixel height and width)", mixed + large + kinds["small"][:2], probe,
                   size(2, 4), check_probe),
        Comparison("bounds", "resample-to-fit 800, a 30000x30000 JPEG and a 1 KB file claiming that size",
                   kinds["bomb"], resample[:2], 1, expect_size(fit(800)), may_fail=True),
        Comparison("startup", "start-up: probe of a 16x16 JPEG", kinds["tiny"], startup, size(5, 15),
                   check_probe),
    ]
