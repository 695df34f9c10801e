#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus: archives from Info-ZIP's
`zip -0 -X` and Python's zipfile, compressed files in the engine's block
layout, settings texts, texts to fit into lines and formatting inputs.
Run again after changing it; the output is the same every time."""
import io
import os
import shutil
import struct
import subprocess
import tempfile
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


FILES = [
    ("Channel.dat", b"channel\r\n" * 8),
    ("logo.jpg", bytes(range(256))),
    ("Skins/Back.txt", b"background"),
    ("empty.txt", b""),
]


def info_zip_seeds():
    with tempfile.TemporaryDirectory() as work:
        for name, data in FILES:
            path = os.path.join(work, "in", name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        # Fixed times keep the seeds the same from run to run.
        for root, _, names in os.walk(os.path.join(work, "in")):
            for n in names:
                os.utime(os.path.join(root, n), (946684800, 946684800))
        runs = [
            ("infozip-all.zip", ["-r", "."]),
            ("infozip-one.zip", ["Channel.dat"]),
            ("infozip-empty-entry.zip", ["empty.txt"]),
            ("infozip-nested.zip", ["Skins/Back.txt", "logo.jpg"]),
        ]
        for seed, args in runs:
            out = os.path.join(work, seed)
            subprocess.run(["zip", "-q", "-0", "-X", "-D", out] + args,
                           cwd=os.path.join(work, "in"), check=True)
            with open(out, "rb") as f:
                write("zip_archive", seed, f.read())
        # An archive comment moves the end record away from the file's end.
        out = os.path.join(work, "infozip-comment.zip")
        subprocess.run(["zip", "-q", "-0", "-X", "-z", out, "Channel.dat"],
                       cwd=os.path.join(work, "in"), input=b"a comment\n", check=True)
        with open(out, "rb") as f:
            write("zip_archive", "infozip-comment.zip", f.read())


def python_zip_seeds():
    cases = {
        "python-all.zip": FILES,
        "python-upper.zip": [("CHANNEL.DAT", b"x" * 40), ("channel.dat", b"y")],
        "python-none.zip": [],
    }
    for seed, files in cases.items():
        buffer = io.BytesIO()
        with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as z:
            for name, data in files:
                info = zipfile.ZipInfo(name, date_time=(2000, 1, 1, 0, 0, 0))
                z.writestr(info, data)
        write("zip_archive", seed, buffer.getvalue())
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as z:
        info = zipfile.ZipInfo("extra.bin", date_time=(2000, 1, 1, 0, 0, 0))
        info.extra = struct.pack("<HH4s", 0xCAFE, 4, b"abcd")
        info.comment = b"entry comment"
        z.writestr(info, b"with an extra field")
    write("zip_archive", "python-extra.zip", buffer.getvalue())


def block(data, level=6):
    packed = zlib.compress(data, level)
    return bytes([1]) + struct.pack("<II", len(packed), len(data)) + packed


def compressed_seeds():
    write("compressed_block", "text", block(b"Application Name=Game\r\n" * 20))
    write("compressed_block", "zeros", block(bytes(2000), 9))
    write("compressed_block", "one-byte", block(b"A", 0))
    write("compressed_block", "empty", block(b""))
    write("compressed_block", "plain", b"not compressed at all")
    good = block(b"some bytes to damage" * 4)
    write("compressed_block", "short-size", good[:9] + good[9:-3])
    write("compressed_block", "wrong-length", good[:5] + struct.pack("<I", 81) + good[9:])
    write("compressed_block", "header-only", good[:9])


def settings_seeds():
    full = (b"Application Name=Sample Game\r\n"
            b"Application ID=1234\r\n"
            b"Developer Channel ID=77\r\n"
            b"Font Color App Name=FFCC00\r\n"
            b"Font Color Wrapper Description=102030\r\n"
            b"Font Color Buttons=FFFFFF\r\n"
            b"Font Color Build=C3C3C3\r\n"
            b"Build X=450\r\nBuild Y=510\r\nBrand X=9\r\nBrand Y=22\r\n"
            b"Multithreaded Game UI=1\r\n")
    write("settings", "full", full)
    write("settings", "lf-only", full.replace(b"\r\n", b"\n"))
    write("settings", "no-line-end", b"Application Name=" + b"N" * 300)
    write("settings", "empty-values", b"Application ID=\nBuild X=\r\nBrand Y=")
    write("settings", "long-name", b"Application Name=" + b"L" * 400 + b"\r\n")
    write("settings", "negative", b"Build X=-5\r\nBrand X=99999999999\r\nFont Color Buttons=zz\r\n")


def line_wrap_seeds():
    def seed(width, metrics, text):
        return struct.pack("<hB", width, metrics) + text
    write("line_wrap", "sentence", seed(120, 0x52, b"Thank you for playing the game today."))
    write("line_wrap", "newlines", seed(200, 0x31, b"First line\n\nThird line\n"))
    write("line_wrap", "long-word", seed(30, 0x44, b"Incomprehensibilities abound"))
    write("line_wrap", "narrow", seed(0, 0x11, b"a b c"))
    write("line_wrap", "negative-width", seed(-1, 0x23, b"fits anywhere"))
    write("line_wrap", "spaces", seed(50, 0x35, b"    many     spaces    "))


def str_format_seeds():
    def seed(choice, flags, number, *strings):
        return bytes([choice, flags]) + struct.pack("<i", number) + b"\0".join(strings)
    write("str_format", "plain", seed(0, 0, 0, b"", b"hello"))
    write("str_format", "hex-pair", seed(1, 1, 0x4142, b"~CFileBuf 0x"))
    write("str_format", "list-item", seed(2, 1, 7, b"report", b"item.txt"))
    write("str_format", "self-append", seed(3, 5, 0, b"list name"))
    write("str_format", "wide", seed(4, 2, 0, b"wide text", b"missing"))
    write("str_format", "referrer", seed(5, 9, 0, b"", b"a.exe", b"b.dat", b"c", b"d"))
    write("str_format", "archive", seed(6, 4, 0, b"Channel.zip"))
    write("str_format", "widths", seed(7, 1, -123, b"", b"left", b"cut here"))
    write("str_format", "precision", seed(8, 0, 0x7FFFFFFF, b"x", b"precise text"))
    write("str_format", "doubles", seed(9, 3, -2147483647, b"prior"))


def main():
    shutil.rmtree(CORPUS, ignore_errors=True)
    info_zip_seeds()
    python_zip_seeds()
    compressed_seeds()
    settings_seeds()
    line_wrap_seeds()
    str_format_seeds()


if __name__ == "__main__":
    main()
