"""The photo set: camera-like images made with vips and tagged with exiftool, cached outside the repo.

Everything is generated (Perlin texture per channel, a brightness ramp and sensor grain), so the files
compress like photos and the set can be rebuilt anywhere from Debian's packages alone.
"""
import json
import shutil
import subprocess
from pathlib import Path

# Bump when the recipe below changes, so an old cache is not mistaken for the new set.
SET_VERSION = "photos-v2"

CAMERA_COUNT = 50
# Orientation tags given to some camera files (index -> tag): stored landscape, seen as the tag says.
ORIENTATIONS = {i: 6 for i in range(4, CAMERA_COUNT, 7)} | {i: 8 for i in range(6, CAMERA_COUNT, 11)} | {9: 3}
ICC_INDICES = {2, 17, 31, 44}

CAMERA_TAGS = [
    "-Make=Lensbrook Optics", "-Model=LB-12 Mark II", "-LensModel=24-70mm f/2.8",
    "-ExposureTime=1/125", "-FNumber=5.6", "-ISO=200", "-FocalLength=35",
    "-DateTimeOriginal=2026:06:14 10:21:07", "-CreateDate=2026:06:14 10:21:07",
    "-Software=LB firmware 1.04", "-GPSLatitude=47.3769", "-GPSLatitudeRef=N",
    "-GPSLongitude=8.5417", "-GPSLongitudeRef=E", "-XResolution=300", "-YResolution=300",
]


def _vips(*args):
    subprocess.run(["vips", *map(str, args)], check=True, stdout=subprocess.DEVNULL)


def _exiftool(*args):
    subprocess.run(["exiftool", "-q", "-q", "-overwrite_original", *map(str, args)], check=True)


def _texture(tmp, name, width, height, seed):
    """A 3-band uchar photo-like texture: Perlin noise per band plus a diagonal-ish brightness ramp."""
    bands = []
    for band, cell in enumerate((max(width // 10, 16), max(width // 16, 16), max(width // 7, 16))):
        path = tmp / f"{name}-b{band}.v"
        _vips("perlin", path, width, height, "--cell-size", cell, "--uchar", "--seed", seed * 3 + band)
        bands.append(str(path))
    _vips("bandjoin", " ".join(bands), tmp / f"{name}-rgb.v")
    _vips("grey", tmp / f"{name}-ramp.v", width, height, "--uchar")
    _vips("linear", "--", tmp / f"{name}-ramp.v", tmp / f"{name}-ramp2.v", 0.5, -64)
    _vips("add", tmp / f"{name}-rgb.v", tmp / f"{name}-ramp2.v", tmp / f"{name}-base.v")
    for path in bands:
        Path(path).unlink()
    return tmp / f"{name}-base.v"


def _finish(tmp, base, variant, seed, out, icc=False):
    """Flip the base as the variant says, add grain, and save as out (format from its suffix)."""
    src = base
    if variant:
        src = tmp / "variant.v"
        if variant == "rot180":
            _vips("rot", base, src, "d180")
        else:
            _vips("flip", base, src, variant)
    width = int(subprocess.run(["vipsheader", "-f", "width", src], capture_output=True, text=True).stdout)
    height = int(subprocess.run(["vipsheader", "-f", "height", src], capture_output=True, text=True).stdout)
    _vips("gaussnoise", tmp / "grain.v", width, height, "--sigma", 5, "--mean", 0, "--seed", seed)
    _vips("add", src, tmp / "grain.v", tmp / "sum.v")
    _vips("cast", tmp / "sum.v", tmp / "cast.v", "uchar")
    _vips("copy", tmp / "cast.v", tmp / "srgb.v", "--interpretation", "srgb")
    target = f"{out}[Q=92,subsample-mode=on]" if out.suffix == ".jpg" else str(out)
    if out.suffix == ".tif":
        target = f"{out}[compression={['none', 'lzw', 'deflate'][seed % 3]}]"
    if icc:
        _vips("icc_transform", tmp / "srgb.v", target, "p3")
    else:
        _vips("copy", tmp / "srgb.v", target)


def _make_jpegs(tmp, folder, stem, count, width, height, seed0, icc=frozenset(), orient=None):
    """count camera-like JPEGs from count/5 textures, each in five flipped variants with its own grain."""
    variants = [None, "horizontal", "vertical", "rot180", None]
    paths = []
    base = None
    for i in range(count):
        if i % len(variants) == 0:
            base = _texture(tmp, "base", width, height, seed0 + i)
        path = folder / f"{stem}_{i + 1:04d}.jpg"
        _finish(tmp, base, variants[i % len(variants)], seed0 + 1000 + i, path, icc=i in icc)
        paths.append(path)
    thumbs = tmp / "thumbs"
    thumbs.mkdir(exist_ok=True)
    subprocess.run(["vipsthumbnail", *map(str, paths), "--size", "160", "-o", f"{thumbs}/%s.jpg"], check=True)
    _exiftool(*CAMERA_TAGS, f"-ThumbnailImage<={thumbs}/%f.jpg", *paths)
    _exiftool("-XMP-dc:Description=Harbour at dawn", "-XMP-dc:Creator=Bench", *paths[::4])
    for tag in sorted(set((orient or {}).values())):
        _exiftool("-n", f"-Orientation={tag}", *[p for i, p in enumerate(paths) if orient.get(i) == tag])
    return paths


def _record(manifest, root, path, kind, orientation=1):
    width = int(subprocess.run(["vipsheader", "-f", "width", path], capture_output=True, text=True).stdout)
    height = int(subprocess.run(["vipsheader", "-f", "height", path], capture_output=True, text=True).stdout)
    seen = (height, width) if orientation in (5, 6, 7, 8) else (width, height)
    manifest.append({"path": str(path.relative_to(root)), "kind": kind, "orientation": orientation,
                     "width": seen[0], "height": seen[1]})


def build(root: Path, log) -> Path:
    """Make the set under root/SET_VERSION unless it is already complete; return its folder."""
    folder = root / SET_VERSION
    if (folder / "manifest.json").exists():
        return folder
    shutil.rmtree(folder, ignore_errors=True)
    tmp = folder / "tmp"
    for sub in ("camera", "small", "large", "huge", "tiny"):
        (folder / sub).mkdir(parents=True, exist_ok=True)
    tmp.mkdir()
    manifest = []
    log(f"making the photo set in {folder} (once; a few minutes)")
    cams = _make_jpegs(tmp, folder / "camera", "IMG", CAMERA_COUNT, 4000, 3000, 1,
                       icc=ICC_INDICES, orient=ORIENTATIONS)
    for i, p in enumerate(cams):
        _record(manifest, folder, p, "camera", ORIENTATIONS.get(i, 1))
    for p in _make_jpegs(tmp, folder / "small", "SMALL", 10, 1152, 864, 500):
        _record(manifest, folder, p, "small")
    for p in _make_jpegs(tmp, folder / "huge", "HUGE", 3, 8000, 6000, 700):
        _record(manifest, folder, p, "huge")
    base = _texture(tmp, "large", 6000, 4000, 900)
    for i, (variant, suffix) in enumerate([(None, "png"), ("horizontal", "png"), ("vertical", "png"),
                                           (None, "tif"), ("horizontal", "tif"), ("rot180", "tif")]):
        path = folder / "large" / f"LARGE_{i + 1:04d}.{suffix}"
        _finish(tmp, base, variant, 900 + i, path)
        _record(manifest, folder, path, "large-" + suffix)
    tiny = folder / "tiny" / "TINY.jpg"
    _vips("black", tmp / "tiny.v", 16, 16, "--bands", 3)
    _vips("copy", tmp / "tiny.v", tiny, "--interpretation", "srgb")
    _exiftool(*CAMERA_TAGS, tiny)
    _record(manifest, folder, tiny, "tiny")
    shutil.rmtree(tmp)
    (folder / "manifest.json").write_text(json.dumps(manifest, indent=1))
    return folder


def bombs(root: Path) -> list:
    """A real 30000x30000 JPEG and a 1 KB file whose header claims that size (kept apart from the set)."""
    folder = root / "bombs-v1"
    real, claim = folder / "REAL_30000.jpg", folder / "CLAIM_30000.jpg"
    if not claim.exists():
        folder.mkdir(parents=True, exist_ok=True)
        _vips("black", real, 30000, 30000, "--bands", 3)
        data = bytearray((root / SET_VERSION / "tiny" / "TINY.jpg").read_bytes())
        at = 2
        while data[at + 1] not in (0xC0, 0xC1, 0xC2):  # walk the markers to the frame header
            at += 2 + int.from_bytes(data[at + 2:at + 4], "big")
        data[at + 5:at + 9] = (30000).to_bytes(2, "big") * 2
        claim.write_bytes(data)
    return [{"path": str(p), "kind": "bomb", "orientation": 1, "width": 30000, "height": 30000}
            for p in (real, claim)]


def load(folder: Path):
    """The manifest as a list of dicts with an absolute 'path' and the size as seen (orientation applied)."""
    items = json.loads((folder / "manifest.json").read_text())
    for item in items:
        item["path"] = str(folder / item["path"])
    return items
