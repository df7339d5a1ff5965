#!/usr/bin/env python3
"""Writes the bad-image corpus into FOLDER: damaged, lying, extreme and awkward files.

Usage: make_bad_images.py FOLDER
Well-formed bases come from the vips command-line tool; the damage is done here, byte by byte,
so the corpus never needs to live in the tree.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib


def vips(*args):
    subprocess.run(["vips", *args], check=True, stdout=subprocess.DEVNULL)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def huge_png():
    """Claims 100000 x 100000 RGB pixels; holds a few rows."""
    width = height = 100000
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    rows = zlib.compress((b"\0" + b"\x80" * (3 * width)) * 4)
    return b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", rows) + png_chunk(b"IEND", b"")


def broken_exif(jpeg):
    """An EXIF block whose directory claims 65535 entries pointing past the end of the block."""
    tiff = b"II*\0" + struct.pack("<I", 8) + struct.pack("<H", 0xFFFF)
    for tag in (0x010F, 0x0110, 0x8769, 0x8825, 0x013B):
        tiff += struct.pack("<HHII", tag, 2, 0x7FFFFFFF, 0xFFFFFF00)
    payload = b"Exif\0\0" + tiff
    segment = b"\xff\xe1" + struct.pack(">H", len(payload) + 2) + payload
    return jpeg[:2] + segment + jpeg[2:]


def thousand_page_tiff(pages=1000, side=4):
    """`pages` grey pages of side x side, each with its own directory, chained."""
    pixels = bytes(range(side * side))
    out = bytearray(b"II*\0" + struct.pack("<I", 0))
    link_at = 4
    for page in range(pages):
        data_at = len(out)
        out += bytes((value + page) % 256 for value in pixels)
        ifd_at = len(out)
        struct.pack_into("<I", out, link_at, ifd_at)
        entries = [
            (256, 3, 1, side), (257, 3, 1, side), (258, 3, 1, 8), (259, 3, 1, 1), (262, 3, 1, 1),
            (273, 4, 1, data_at), (277, 3, 1, 1), (278, 3, 1, side), (279, 4, 1, len(pixels)),
        ]
        out += struct.pack("<H", len(entries))
        for tag, kind, count, value in entries:
            out += struct.pack("<HHII", tag, kind, count, value)
        link_at = len(out)
        out += struct.pack("<I", 0)
    return bytes(out)


def thousand_frame_gif(frames=1000):
    """`frames` frames of 1 x 1, each a different palette entry, with a loop extension."""
    palette = bytes([0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255])
    out = b"GIF89a" + struct.pack("<HHBBB", 1, 1, 0xF1, 0, 0) + palette
    out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    for frame in range(frames):
        out += b"\x21\xf9\x04\x00\x01\x00\x00\x00"
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, 1, 1, 0)
        # LZW, minimum code size 2: clear (4), the pixel, end (5), packed three bits each.
        bits = 4 | ((frame % 4) << 3) | (5 << 6)
        out += b"\x02\x02" + struct.pack("<H", bits) + b"\x00"
    return out + b"\x3b"


def stretched_gif():
    """A 6 x 4 GIF whose one frame sits far outside its screen: a decoder that grows its canvas to
    hold the frame needs gigabytes for a file of fifty bytes."""
    palette = bytes([0, 0, 0, 255, 255, 255])
    out = b"GIF89a" + struct.pack("<HHBBB", 6, 4, 0x80, 0, 0) + palette
    out += b"\x2c" + struct.pack("<HHHHB", 21760, 17748, 14381, 6656, 0)
    out += b"\x02\x02" + struct.pack("<H", 4 | (1 << 3) | (5 << 6)) + b"\x00"
    return out + b"\x3b"


def main(folder):
    os.makedirs(folder, exist_ok=True)

    def put(name, data):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)

    with tempfile.TemporaryDirectory() as work:
        base = os.path.join(work, "base.v")
        # 64 x 48, a gradient so that every encoder has something to do.
        vips("xyz", os.path.join(work, "xy.v"), "64", "48")
        vips("extract_band", os.path.join(work, "xy.v"), os.path.join(work, "x.v"), "0")
        vips("linear", os.path.join(work, "x.v"), os.path.join(work, "x8.v"), "3", "10", "--uchar")
        vips("bandjoin_const", os.path.join(work, "x8.v"), base, "60 120")

        def made(name, *steps):
            path = os.path.join(work, name)
            current = base
            for step in steps:
                nxt = os.path.join(work, f"{len(os.listdir(work))}.v")
                vips(*step(current, nxt))
                current = nxt
            vips("copy", current, path)
            with open(path, "rb") as f:
                return f.read()

        jpeg = made("good.jpg")
        png = made("good.png")
        tiff = made("good.tif")
        put("zero.jpg", b"")
        put("zero.png", b"")
        put("truncated.jpg", jpeg[: len(jpeg) // 2])
        put("truncated.png", png[: len(png) // 2])
        put("truncated.tif", tiff[: len(tiff) // 3])
        put("text.jpg", b"These are not the pixels you are looking for.\n" * 20)
        put("huge.png", huge_png())
        put("broken_exif.jpg", broken_exif(jpeg))
        # 23 bytes that one decoder takes for an 800 x 480 image and exiv2 cannot type without throwing.
        put("icon_header.ico", bytes.fromhex("00010000000100000" "01a0105000100006966000050 4e47".replace(" ", "")))
        put("pages.tif", thousand_page_tiff())
        put("frames.gif", thousand_frame_gif())
        put("stretched.gif", stretched_gif())
        put("cmyk.jpg", made("cmyk.jpg", lambda a, b: ("colourspace", a, b, "cmyk")))
        put("deep16.png", made("deep16.png", lambda a, b: ("colourspace", a, b, "rgb16")))
        put("grey16.png", made("grey16.png", lambda a, b: ("colourspace", a, b, "grey16")))
        put("alpha.png", made("alpha.png", lambda a, b: ("bandjoin_const", a, b, "128")))
        put("alpha.tif", made("alpha.tif", lambda a, b: ("bandjoin_const", a, b, "0")))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
