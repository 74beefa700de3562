#!/usr/bin/env python3
"""Writes the shell dialogs' button pictures into resources/ as 16-colour 16 x 16 bitmaps.

The select-folder window's "Create Folder" and "Delete" pictures (each with a disabled
twin), and the open window's button pictures (up one level, new folder, list, details,
desktop, tree). The bottom-left pixel (olive) of each is its transparent colour. The bitmaps
are kept in the repository; run this again only to change them:

    tools/make-dialog-glyphs.py
"""
import importlib.util
import os

here = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location("glyphs", os.path.join(here, "make-button-glyphs.py"))
glyphs = importlib.util.module_from_spec(spec)
spec.loader.exec_module(glyphs)

FOLDER = [
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "OKKKKKOOOOOOOOOO",
    "KWYWYWKOOOOOOOOO",
    "KYWYWYWKKKKKKKOO",
    "KWYWYWYWYWYWYKOO",
    "KYWYWYWYWYWYWKOO",
    "KWYWYWYWYWYWYKOO",
    "KYWYWYWYWYWYWKOO",
    "KWYWYWYWYWYWYKOO",
    "KYWYWYWYWYWYWKOO",
    "KWYWYWYWYWYWYKOO",
    "KKKKKKKKKKKKKKOO",
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
]


def overlay(base, marks):
    """The base grid with the marks' non-olive letters put over it."""
    return ["".join(m if m != "O" else b for b, m in zip(brow, mrow)) for brow, mrow in zip(base, marks)]


SPARKLE = [
    "OOOOOOOOOOOYOOOO",
    "OOOOOOOOYOOYOOYO",
    "OOOOOOOOOYOYOYOO",
    "OOOOOOOOOOYYYOOO",
    "OOOOOOOOYYYWYYYO",
    "OOOOOOOOOOYYYOOO",
    "OOOOOOOOOYOYOYOO",
    "OOOOOOOOYOOYOOYO",
] + ["O" * 16] * 8

UP_ARROW = [
    "OOOOOOOOOOOGOOOO",
    "OOOOOOOOOOGGGOOO",
    "OOOOOOOOOGGGGGOO",
    "OOOOOOOOGGGGGGGO",
    "OOOOOOOOOOGGGOOO",
    "OOOOOOOOOOGGGOOO",
    "OOOOOOOOOOGGGOOO",
    "OOOOOOOOOOGGGOOO",
] + ["O" * 16] * 8

DELETE = [
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "ORROOOOOOOOORROO",
    "ORRROOOOOOORRROO",
    "OORRROOOOORRROOO",
    "OOORRROOORRROOOO",
    "OOOORRRORRROOOOO",
    "OOOOORRRRROOOOOO",
    "OOOOOORRROOOOOOO",
    "OOOOORRRRROOOOOO",
    "OOOORRRORRROOOOO",
    "OOORRROOORRROOOO",
    "OORRROOOOORRROOO",
    "ORRROOOOOOORRROO",
    "ORROOOOOOOOORROO",
    "OOOOOOOOOOOOOOOO",
]

LIST = [
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "ONNOKKKKOONNOKKK",
    "ONNOOOOOOONNOOOO",
    "OOOOOOOOOOOOOOOO",
    "ONNOKKKKOONNOKKK",
    "ONNOOOOOOONNOOOO",
    "OOOOOOOOOOOOOOOO",
    "ONNOKKKKOONNOKKK",
    "ONNOOOOOOONNOOOO",
    "OOOOOOOOOOOOOOOO",
    "ONNOKKKKOOOOOOOO",
    "ONNOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
]

DETAILS = [
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "OSSSSSSSSSSSSSSO",
    "OOOOOOOOOOOOOOOO",
    "ONNOKKKKKOKKOKKO",
    "ONNOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "ONNOKKKKKOKKOKKO",
    "ONNOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "ONNOKKKKKOKKOKKO",
    "ONNOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "ONNOKKKKKOKKOKKO",
    "ONNOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
]

DESKTOP = [
    "OOOOOOOOOOOOOOOO",
    "OKKKKKKKKKKKKKKO",
    "OKVVVVVVVVVVVVKO",
    "OKVBBBBBBBBBBVKO",
    "OKVBAABBBBBBBVKO",
    "OKVBAABBBBBBBVKO",
    "OKVBBBBBBBBBBVKO",
    "OKVBBBBBBBBBBVKO",
    "OKVBBBBBBBBBBVKO",
    "OKVVVVVVVVVVVVKO",
    "OKKKKKKKKKKKKKKO",
    "OOOOOOKKKKOOOOOO",
    "OOOOKKKKKKKKOOOO",
    "OOOOSSSSSSSSOOOO",
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
]

TREE = [
    "OOOOOOOOOOOOOOOO",
    "OYYYOOOOOOOOOOOO",
    "OYYYOOOOOOOOOOOO",
    "OOSOOOOOOOOOOOOO",
    "OOSSSSYYYOOOOOOO",
    "OOSOOOYYYOOOOOOO",
    "OOSOOOOSOOOOOOOO",
    "OOSOOOOSSSYYYOOO",
    "OOSOOOOOOOYYYOOO",
    "OOSOOOOOOOOOOOOO",
    "OOSSSSYYYOOOOOOO",
    "OOOOOOYYYOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
    "OOOOOOOOOOOOOOOO",
]


def disabled(rows):
    """The grey, embossed look of a disabled picture, on the olive background."""
    return glyphs.disabled(rows, blank="O")


NEW_FOLDER = overlay(FOLDER, SPARKLE)
PICTURES = {
    "FcShellNewFolder.bmp": NEW_FOLDER,
    "FcShellNewFolderDisabled.bmp": disabled(NEW_FOLDER),
    "FcShellDelete.bmp": DELETE,
    "FcShellDeleteDisabled.bmp": disabled(DELETE),
    "FcShellUpOneLevel.bmp": overlay(FOLDER, UP_ARROW),
    "FcShellList.bmp": LIST,
    "FcShellDetails.bmp": DETAILS,
    "FcShellDesktop.bmp": DESKTOP,
    "FcShellTree.bmp": TREE,
}

if __name__ == "__main__":
    out = os.path.join(here, "..", "resources")
    for name, rows in PICTURES.items():
        glyphs.write_bmp(os.path.join(out, name), rows)
