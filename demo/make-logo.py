#!/usr/bin/env python3
"""Draws the demo channel's 245x120 logo and its soft mask with ImageMagick:
three glass marbles on a purple badge with a gold rim, the middle marble
gold and flat at the logo's centre. Usage: make-logo.py OUTPUT_FOLDER"""
import os
import subprocess
import sys

MARBLES = [(72, 60, 28, "#e63946"), (122, 60, 34, "#ffc83c"), (172, 60, 28, "#3a86ff")]


def convert(*args):
    subprocess.run(["convert", *args], check=True)


def logo(path):
    draw = ["-stroke", "#14141e", "-strokewidth", "2"]
    for x, y, r, colour in MARBLES:
        draw += ["-fill", colour, "-draw", f"circle {x},{y} {x + r},{y}"]
    for x, y, r, _ in MARBLES:
        gx, gy, gr = x - r // 3, y - r // 3, r // 4
        draw += ["-fill", "white", "-stroke", "white", "-draw", f"circle {gx},{gy} {gx + gr},{gy}"]
    convert(
        "-size", "245x120", "gradient:#3b1f73-#6a3fb5",
        "-fill", "none", "-stroke", "#ffc83c", "-strokewidth", "4",
        "-draw", "roundrectangle 5,5 239,114 20,20",
        *draw,
        "-quality", "95", path)


def mask(path):
    # White over the badge, black around it, edges blurred into the background.
    convert(
        "-size", "245x120", "xc:black", "-fill", "white",
        "-draw", "roundrectangle 3,3 241,116 22,22", "-blur", "0x2", "-type", "TrueColor",
        "-quality", "95", path)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    logo(os.path.join(out, "Branding.jpg"))
    mask(os.path.join(out, "BrandingMask.jpg"))


if __name__ == "__main__":
    main()
