#!/usr/bin/env python3
"""Writes the control library's button glyphs into resources/ as 16-colour bitmaps.

The five 13 x 13 templates of the radio button and the check box (each colour marks a part
of the glyph, which the controls recolour), and the ten 32 x 16 glyphs of the stock bitmap
buttons: a normal and a disabled cell of 16 x 16, each with its transparent colour (olive)
at its bottom-left pixel. The bitmaps are kept in the repository; run this again only to
change them:

    tools/make-button-glyphs.py
"""
import os
import struct

# The sixteen colours of the standard palette, by the letter the grids use.
PALETTE = [
    ("K", (0, 0, 0)), ("M", (128, 0, 0)), ("G", (0, 128, 0)), ("O", (128, 128, 0)),
    ("N", (0, 0, 128)), ("P", (128, 0, 128)), ("T", (0, 128, 128)), ("V", (192, 192, 192)),
    ("S", (128, 128, 128)), ("R", (255, 0, 0)), ("L", (0, 255, 0)), ("Y", (255, 255, 0)),
    ("B", (0, 0, 255)), ("F", (255, 0, 255)), ("A", (0, 255, 255)), ("W", (255, 255, 255)),
]
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}


def write_bmp(path, rows):
    """A 4-bit bitmap of the letter rows (top row first)."""
    height, width = len(rows), len(rows[0])
    assert all(len(r) == width for r in rows), path
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(stride)
        for x, letter in enumerate(row):
            value = INDEX[letter]
            line[x // 2] |= value << 4 if x % 2 == 0 else value
        pixels += line
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 16)
    offset = 14 + len(header) + len(palette)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset))
        f.write(header + palette + pixels)


# ---- Radio button and check box templates -------------------------------------------------

RADIO_CHECKED = [
    "OOOOAGKGAOOOO", "OOAKSLFLSKAOO", "OAGLFFFFFLGAO", "OKLFFYWYFFMKO", "ASFFWBNBWRRPA",
    "GLFYBNNNBYRMG", "KFFWNNNNNWRRK", "GLFYBNNNBYRMG", "ASFFWBNBWRRPA", "OKLFRYWYRRMKO",
    "OAGMRRRRRMGAO", "OOAKPMRMPKAOO", "OOOOAGKGAOOOO",
]
RADIO_UNCHECKED = RADIO_CHECKED[:4] + [
    "ASFFWWWWWRRPA", "GLFYWWWWWYRMG", "KFFWWWWWWWRRK", "GLFYWWWWWYRMG", "ASFFWWWWWRRPA",
] + RADIO_CHECKED[9:]
CHECK_EDGE_TOP = ["SSSSSSSSSSSSS", "SFFFFFFFFFFFS", "SFFFFFFFFFFRS"]
CHECK_EDGE_BOTTOM = ["SFFRRRRRRRRRS", "SFRRRRRRRRRRS", "SSSSSSSSSSSSS"]
CHECK_UNCHECKED = CHECK_EDGE_TOP + ["SFFWWWWWWWRRS"] * 7 + CHECK_EDGE_BOTTOM
CHECK_CHECKED = CHECK_EDGE_TOP + [
    "SFFWWWWWWBRRS", "SFFWWWWWBBRRS", "SFFBWWWBBBRRS", "SFFBBWBBBWRRS", "SFFBBBBBWWRRS",
    "SFFWBBBWWWRRS", "SFFWWBWWWWRRS",
] + CHECK_EDGE_BOTTOM
CHECK_GRAYED = CHECK_EDGE_TOP + ["SFFBBBBBBBRRS"] * 7 + CHECK_EDGE_BOTTOM

TEMPLATES = {
    "FcRadioChecked.bmp": RADIO_CHECKED,
    "FcRadioUnchecked.bmp": RADIO_UNCHECKED,
    "FcCheckUnchecked.bmp": CHECK_UNCHECKED,
    "FcCheckChecked.bmp": CHECK_CHECKED,
    "FcCheckGrayed.bmp": CHECK_GRAYED,
}

# ---- Stock button glyphs ------------------------------------------------------------------
# "." is transparent (olive).

CHECK = [
    "................",
    "................",
    "................",
    ".............G..",
    "............GG..",
    "...........GGG..",
    "..........GGG...",
    "..G......GGG....",
    "..GG....GGG.....",
    "..GGG..GGG......",
    "...GGGGGG.......",
    "....GGGG........",
    ".....GG.........",
    "................",
    "................",
    "................",
]
CROSS = [
    "................",
    "................",
    "...RR......RR...",
    "...RRR....RRR...",
    "....RRR..RRR....",
    ".....RRRRRR.....",
    "......RRRR......",
    "......RRRR......",
    ".....RRRRRR.....",
    "....RRR..RRR....",
    "...RRR....RRR...",
    "...RR......RR...",
    "................",
    "................",
    "................",
    "................",
]
QUESTION = [
    "................",
    ".....NNNNN......",
    "....NN...NN.....",
    "....NN...NN.....",
    ".........NN.....",
    "........NN......",
    ".......NN.......",
    "......NN........",
    "......NN........",
    "......NN........",
    "................",
    "......NN........",
    "......NN........",
    "................",
    "................",
    "................",
]
NO_ENTRY = [
    "................",
    ".....RRRRRR.....",
    "...RRR....RRR...",
    "..RR........RR..",
    "..RR.......RRR..",
    ".RR.......RR.RR.",
    ".RR......RR..RR.",
    ".RR.....RR...RR.",
    ".RR....RR....RR.",
    ".RR...RR.....RR.",
    ".RR..RR......RR.",
    "..RRRR......RR..",
    "..RRR.......RR..",
    "...RRR....RRR...",
    ".....RRRRRR.....",
    "................",
]
DOOR = [
    "................",
    "..MMMMMMMMMMM...",
    "..M.........M...",
    "..M.MMMMMMM.M...",
    "..M.MYYYYYM.M...",
    "..M.MYYYYYM.M...",
    "..M.MYYYYYM.M...",
    "..M.MYYYYKM.M...",
    "..M.MYYYYYM.M...",
    "..M.MYYYYYM.M...",
    "..M.MYYYYYM.M...",
    "..M.MMMMMMM.M...",
    "..M.........M...",
    "..MMMMMMMMMMM...",
    "................",
    "................",
]
STOP = [
    "................",
    ".....RRRRRR.....",
    "....RRRRRRRR....",
    "...RRRRRRRRRR...",
    "..RRRRRRRRRRRR..",
    "..RRRRRRRRRRRR..",
    "..RRWWWWWWWWRR..",
    "..RRWWWWWWWWRR..",
    "..RRRRRRRRRRRR..",
    "..RRRRRRRRRRRR..",
    "...RRRRRRRRRR...",
    "....RRRRRRRR....",
    ".....RRRRRR.....",
    "................",
    "................",
    "................",
]
AGAIN = [
    "................",
    ".....GGGGG......",
    "....GG...GG.G...",
    "...GG.....GGG...",
    "...G.....GGGG...",
    "..GG............",
    "..G.............",
    "..G.............",
    "..G.............",
    "..GG........G...",
    "...G.......GG...",
    "...GG.....GG....",
    "....GG...GG.....",
    ".....GGGGG......",
    "................",
    "................",
]
SKIP = [
    "................",
    "................",
    "......SS........",
    "......SS........",
    "......SS.BB.....",
    "......SS.BBB....",
    ".BBBBBBBBBBBB...",
    ".BBBBBBBBBBBBB..",
    ".BBBBBBBBBBBB...",
    "......SS.BBB....",
    "......SS.BB.....",
    "......SS........",
    "......SS........",
    "................",
    "................",
    "................",
]


def shifted(rows, dx):
    width = len(rows[0])
    out = []
    for row in rows:
        line = ["."] * width
        for x, c in enumerate(row):
            if c != "." and 0 <= x + dx < width:
                line[x + dx] = c
        out.append("".join(line))
    return out


def union(a, b):
    return ["".join(y if y != "." else x for x, y in zip(ra, rb)) for ra, rb in zip(a, b)]


BOTH_CHECKS = union(shifted(CHECK, -2), shifted(CHECK, 2))


def disabled(rows, blank="."):
    """The glyph's silhouette embossed: white one pixel down and right, grey on top; `blank`
    is the letter of the pixels around it."""
    h, w = len(rows), len(rows[0])
    out = [[blank] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            if rows[y][x] != blank and y + 1 < h and x + 1 < w:
                out[y + 1][x + 1] = "W"
    for y in range(h):
        for x in range(w):
            if rows[y][x] != blank:
                out[y][x] = "S"
    return ["".join(r) for r in out]


def kind_glyph(rows):
    cells = [rows, disabled(rows)]
    for cell in cells:
        assert cell[15][0] == ".", "the bottom-left pixel of each cell is the transparent colour"
    return [(a + b).replace(".", "O") for a, b in zip(*cells)]


KINDS = {
    "FcKindOk.bmp": CHECK,
    "FcKindCancel.bmp": CROSS,
    "FcKindHelp.bmp": QUESTION,
    "FcKindYes.bmp": CHECK,
    "FcKindNo.bmp": NO_ENTRY,
    "FcKindClose.bmp": DOOR,
    "FcKindAbort.bmp": STOP,
    "FcKindRetry.bmp": AGAIN,
    "FcKindIgnore.bmp": SKIP,
    "FcKindAll.bmp": BOTH_CHECKS,
}


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    for name, rows in TEMPLATES.items():
        write_bmp(os.path.join(folder, name), rows)
    for name, rows in KINDS.items():
        write_bmp(os.path.join(folder, name), kind_glyph(rows))


if __name__ == "__main__":
    main()
