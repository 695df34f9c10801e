#!/usr/bin/env python3
"""Draws the project's sample skin with ImageMagick: a 720x540 background
with a soft panel on the right for the title, text and buttons, and three
110x32 button faces. Usage: make-skin.py OUTPUT_FOLDER"""
import os
import subprocess
import sys

# The panel holds the text column (x 460..690 from y 30) and the two buttons
# at (457, 472) and (584, 472); the build label at y 510 sits below it.
PANEL = (445, 16, 705, 508)
PANEL_COLOUR = "#f3f6fb"


def convert(*args):
    subprocess.run(["convert", *args], check=True)


def background(path):
    left, top, right, bottom = PANEL
    convert(
        "-size", "720x540", "gradient:#1d3f78-#3a8fb7",
        # soft light spots on the open left side
        "(", "-size", "720x540", "xc:none", "-fill", "#ffffff30",
        "-draw", "circle 120,110 200,110", "-draw", "circle 300,380 350,380",
        "-draw", "circle 60,460 95,460", "-draw", "circle 360,170 380,170",
        "-blur", "0x12", ")", "-composite",
        # the panel's shadow, then the panel
        "(", "-size", "720x540", "xc:none", "-fill", "#00000060",
        "-draw", f"roundrectangle {left + 4},{top + 6} {right + 4},{bottom + 6} 16,16",
        "-blur", "0x8", ")", "-composite",
        "-fill", PANEL_COLOUR, "-stroke", "#c9d6ea", "-strokewidth", "1",
        "-draw", f"roundrectangle {left},{top} {right},{bottom} 16,16",
        "-quality", "92", path)


def button(path, top_colour, bottom_colour, border):
    convert(
        "-size", "110x32", f"xc:{PANEL_COLOUR}",
        "(", "-size", "110x32", f"gradient:{top_colour}-{bottom_colour}",
        "(", "-size", "110x32", "xc:black", "-fill", "white",
        "-draw", "roundrectangle 0,0 109,31 9,9", ")",
        "-alpha", "off", "-compose", "CopyOpacity", "-composite", ")",
        "-compose", "Over", "-composite",
        "-fill", "none", "-stroke", border, "-strokewidth", "1",
        "-draw", "roundrectangle 0,0 109,31 9,9",
        "-quality", "95", path)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    background(os.path.join(out, "Background.jpg"))
    button(os.path.join(out, "button_normal.jpg"), "#f4f8ff", "#a9c3ea", "#5b7fb6")
    button(os.path.join(out, "button_hover.jpg"), "#fffbea", "#ffd27a", "#c48a1c")
    button(os.path.join(out, "button_pressed.jpg"), "#98b5de", "#d6e3f6", "#3f6399")


if __name__ == "__main__":
    main()
