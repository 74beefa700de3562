#!/usr/bin/env python3
"""Writes the splitter's four cursors (32 x 32, black with a white outline) into resources/.

RZSPLIT_HORZ and RZSPLIT_VERT: two bars with arrows out of them, for dragging a vertical or a
horizontal splitter bar; the HOTSPOT variants show a small button between the arrows instead of
the bars, for the bar's hot spot. Run from the repository root: tools/make-splitter-cursors.py
"""
import struct
from pathlib import Path

SIZE = 32
CENTRE = 16


def arrows(black):
    for x in list(range(5, 14)) + list(range(18, 28)):
        black.add((x, CENTRE))
    for k in range(1, 5):
        for dy in (-k, k):
            black.add((5 + k, CENTRE + dy))
            black.add((27 - k, CENTRE + dy))


def horizontal(hot_spot):
    black = set()
    arrows(black)
    if hot_spot:
        for i in range(12, 21):
            black.update({(i, 12), (i, 20), (12, i), (20, i)})
    else:
        for y in range(6, 27):
            black.update({(14, y), (17, y)})
    return black


def transposed(black):
    return {(y, x) for (x, y) in black}


def cursor_file(black):
    white = set()
    for (x, y) in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in black and 0 <= p[0] < SIZE and 0 <= p[1] < SIZE:
                    white.add(p)
    xor_rows, and_rows = [], []
    for y in reversed(range(SIZE)):  # bottom-up
        xor_bits = and_bits = 0
        for x in range(SIZE):
            bit = 1 << (SIZE - 1 - x)
            if (x, y) in white:
                xor_bits |= bit
            elif (x, y) not in black:
                and_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, CENTRE, CENTRE, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = Path(__file__).resolve().parent.parent / "resources"
    shapes = {
        "FcSplitHorz.cur": horizontal(False),
        "FcSplitHorzHotSpot.cur": horizontal(True),
        "FcSplitVert.cur": transposed(horizontal(False)),
        "FcSplitVertHotSpot.cur": transposed(horizontal(True)),
    }
    for name, black in shapes.items():
        (out / name).write_bytes(cursor_file(black))


if __name__ == "__main__":
    main()
