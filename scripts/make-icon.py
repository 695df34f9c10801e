#!/usr/bin/env python3
"""Writes the wrapper's icon: a 32x32, 32-bit ICO drawn here, no art files."""
import math
import struct
import sys

SIZE = 32


def pixel(x, y):
    cx = cy = (SIZE - 1) / 2
    d = math.hypot(x - cx, y - cy)
    if d > 15.5:
        return (0, 0, 0, 0)
    alpha = 255 if d < 14.5 else int(255 * (15.5 - d))
    # A blue-to-violet disc with a golden marble in the middle.
    t = y / (SIZE - 1)
    r, g, b = int(60 + 120 * t), int(70 - 30 * t), int(200 - 40 * t)
    m = math.hypot(x - cx + 2, y - cy + 2)
    if m < 8:
        shine = max(0.0, 1 - math.hypot(x - cx + 5, y - cy + 5) / 6)
        r, g, b = int(240 + 15 * shine), int(180 + 75 * shine), int(40 + 200 * shine)
    return (b, g, r, alpha)


def main(path):
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        rows.append(b"".join(bytes(pixel(x, y)) for x in range(SIZE)))
    xor = b"".join(rows)
    mask = b"\x00" * (SIZE * SIZE // 8)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main(sys.argv[1])
