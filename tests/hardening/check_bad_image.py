#!/usr/bin/env python3
"""Runs the built image tool on one file of the bad-image corpus with several recipes, each on a
fresh copy in a fresh folder, under a memory and a time limit.

Usage: check_bad_image.py SIPS CORPUS NAME MEMORY_MB   (MEMORY_MB 0: no memory limit, for
sanitizer builds, whose shadow memory no address-space limit allows)

Every run must end in time and by itself, and either fail with one "Error: " line, leaving the
original byte-identical and the folder as it was, or write a correct result and nothing else.
"""
import filecmp
import os
import resource
import shutil
import subprocess
import sys
import tempfile

SECONDS = 90

# Upright size of each image when it is sound, what a probe must print ("either": a probe may
# fail or print that size, for files damaged after their header), and whether the pixel and the
# metadata recipes must succeed, must fail, or may do either (then a result must still be right).
EXPECTED = {
    "zero.jpg": dict(size=None, probe=None, pixels="error", meta="error"),
    "zero.png": dict(size=None, probe=None, pixels="error", meta="error"),
    "text.jpg": dict(size=None, probe=None, pixels="error", meta="error"),
    "truncated.jpg": dict(size=(64, 48), probe="either", pixels="error", meta="either"),
    "truncated.png": dict(size=(64, 48), probe="either", pixels="error", meta="either"),
    "truncated.tif": dict(size=(64, 48), probe="either", pixels="error", meta="either"),
    "huge.png": dict(size=(100000, 100000), probe=(100000, 100000), pixels="error", meta="either"),
    "broken_exif.jpg": dict(size=(64, 48), probe=(64, 48), pixels="ok", meta="either"),
    "icon_header.ico": dict(size=(800, 480), probe=(800, 480), pixels="either", meta="either"),
    "pages.tif": dict(size=(4, 4), probe=(4, 4), pixels="ok", meta="ok"),
    "frames.gif": dict(size=(1, 1), probe=(1, 1), pixels="ok", meta="ok"),
    "stretched.gif": dict(size=(36141, 24404), probe=(36141, 24404), pixels="error", meta="either"),
    "cmyk.jpg": dict(size=(64, 48), probe=(64, 48), pixels="ok", meta="ok"),
    "deep16.png": dict(size=(64, 48), probe=(64, 48), pixels="ok", meta="ok"),
    "grey16.png": dict(size=(64, 48), probe=(64, 48), pixels="ok", meta="ok"),
    "alpha.png": dict(size=(64, 48), probe=(64, 48), pixels="ok", meta="ok"),
    "alpha.tif": dict(size=(64, 48), probe=(64, 48), pixels="ok", meta="ok"),
}


def fit(size, longest):
    w, h = size
    return (longest, max(1, round(h * longest / w))) if w >= h else (max(1, round(w * longest / h)), longest)


# (label, arguments with {in} and {dir}, where the result goes, its loader, its size from the source's)
RECIPES = [
    ("to jpeg in place", ["-s", "format", "jpeg", "-s", "formatOptions", "low", "{in}"], "{in}", "jpegload",
     lambda s: s),
    ("shrink into a folder", ["--resampleHeightWidthMax", "32", "{in}", "--out", "{dir}/out"], "{dir}/out/{name}",
     None, lambda s: fit(s, 32)),
    ("rotate to png", ["-r", "90", "-s", "format", "png", "{in}", "--out", "{dir}/rotated.png"],
     "{dir}/rotated.png", "pngload", lambda s: (s[1], s[0])),
]


class Failure(Exception):
    pass


def limits(memory_mb):
    def apply():
        if memory_mb:
            resource.setrlimit(resource.RLIMIT_AS, (memory_mb << 20, memory_mb << 20))
        resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
    return apply


def run(program, args, memory_mb):
    try:
        done = subprocess.run([program, *args], capture_output=True, timeout=SECONDS, preexec_fn=limits(memory_mb),
                              stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        raise Failure(f"{args}: still running after {SECONDS} s")
    if done.returncode < 0:
        raise Failure(f"{args}: killed by signal {-done.returncode}: {done.stderr.decode(errors='replace')}")
    return done.returncode, done.stdout.decode(errors="replace"), done.stderr.decode(errors="replace")


def header(path, field):
    done = subprocess.run(["vipsheader", "-f", field, path], capture_output=True, text=True)
    return done.stdout.strip() if done.returncode == 0 else None


def check_result(path, loader, size):
    if header(path, "width") != str(size[0]) or header(path, "height") != str(size[1]):
        raise Failure(f"{path}: result is {header(path, 'width')} x {header(path, 'height')}, not {size}")
    if loader and not (header(path, "vips-loader") or "").startswith(loader):
        raise Failure(f"{path}: result read by {header(path, 'vips-loader')}, not {loader}")
    if subprocess.run(["vips", "avg", path], capture_output=True).returncode != 0:
        raise Failure(f"{path}: result does not decode")


def check_error(label, status, err, original, copy, before, folder):
    lines = err.splitlines()
    if status == 0 or len(lines) != 1 or not lines[0].startswith("Error: "):
        raise Failure(f"{label}: wanted one 'Error: ' line and a failure, got status {status}: {err!r}")
    if not filecmp.cmp(original, copy, shallow=False):
        raise Failure(f"{label}: the original changed after an error")
    if listing(folder) != before:
        raise Failure(f"{label}: folder changed after an error: {listing(folder)}")


def listing(folder):
    return sorted(os.path.relpath(os.path.join(root, name), folder)
                  for root, dirs, names in os.walk(folder) for name in dirs + names)


def check_outcome(label, wanted, status, err):
    if wanted == "ok" and status != 0:
        raise Failure(f"{label}: should succeed, got {err!r}")
    if wanted == "error" and status == 0:
        raise Failure(f"{label}: should fail, but succeeded")


def main(sips, corpus, name, memory_mb):
    expected = EXPECTED[name]
    original = os.path.join(corpus, name)
    with tempfile.TemporaryDirectory() as root:
        def fresh(label):
            folder = os.path.join(root, str(len(os.listdir(root))))
            os.makedirs(os.path.join(folder, "out"))
            copy = os.path.join(folder, name)
            shutil.copyfile(original, copy)
            return folder, copy, listing(folder)

        folder, copy, before = fresh("probe")
        status, out, err = run(sips, ["-g", "pixelHeight", "-g", "pixelWidth", copy], memory_mb)
        probe = expected["probe"]
        if status != 0 or probe is None:
            if probe not in (None, "either"):
                raise Failure(f"probe should print {probe}, got {err!r}")
            check_error("probe", status, err, original, copy, before, folder)
        else:
            w, h = expected["size"]
            if out != f"{copy}\n  pixelHeight: {h}\n  pixelWidth: {w}\n":
                raise Failure(f"probe printed {out!r}")

        for label, args, target, loader, resize in RECIPES:
            folder, copy, before = fresh(label)
            fill = dict(dir=folder, name=name)
            argv = [copy if a == "{in}" else a.format(**fill) for a in args]
            status, out, err = run(sips, argv, memory_mb)
            check_outcome(label, expected["pixels"], status, err)
            if status != 0:
                check_error(label, status, err, original, copy, before, folder)
                continue
            result = copy if target == "{in}" else target.format(**fill)
            check_result(result, loader, resize(expected["size"]))
            extra = set(listing(folder)) - set(before) - {os.path.relpath(result, folder)}
            if extra:
                raise Failure(f"{label}: left {sorted(extra)}")

        folder, copy, before = fresh("artist")
        status, out, err = run(sips, ["-s", "artist", "Hardening", copy], memory_mb)
        check_outcome("set artist", expected["meta"], status, err)
        if status != 0:
            check_error("set artist", status, err, original, copy, before, folder)
        else:
            # EXIF Artist, or its XMP twin in formats without EXIF.
            tag = subprocess.run(["exiftool", "-s3", "-EXIF:Artist", "-XMP-dc:Creator", copy], capture_output=True,
                                 text=True).stdout
            if "Hardening" not in tag.splitlines() or listing(folder) != before:
                raise Failure(f"set artist: reads back {tag!r}, folder {listing(folder)}")
    print(f"{name}: every recipe ended cleanly")


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    try:
        main(sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]))
    except Failure as failure:
        sys.exit(f"{sys.argv[3]}: {failure}")
