#!/usr/bin/python3
"""Build-time tool: the page's two faces, cut down to the characters the game can draw.

  page_fonts.py --face <original.ttf> <derived.ttf> <derived name> ... --texts <source> ...
  page_fonts.py --characters <out.txt> --texts <source> ...

The second writes the characters alone (UTF-8), for the glyphs a page carries instead of faces
(platform/graphics/baked).

The game's texts are a closed set, all of them string literals in its sources (resource
strings, dialog captions and controls, the stage and status texts, the system menu), and
numbers it formats at run time. So the characters kept are those of every string literal in
the sources given, and the ten digits. Each face keeps its outlines, hinting programs and
metrics unchanged, so a kept glyph rasterises to the same pixels as in the original.

A subset is a derived font under the IPA Font License: it may not carry the original's name,
as a font name or a file name, so each subset is written under a file name of its own, and
its name table names it <derived name>.
"""

import argparse
import re
from pathlib import Path

from fontTools import subset
from fontTools.ttLib import TTFont

# A C++ string literal: its text, escapes included, up to the closing quote on its line.
LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
ESCAPE = re.compile(r"\\(x[0-9a-fA-F]+|[0-7]{1,3}|.)")
SIMPLE_ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "0": "\0"}

# Name table entries that name the font; the rest (copyright, version, licence) stay.
FAMILY, UNIQUE, FULL, POSTSCRIPT = 1, 3, 4, 6


def unescape(text):
    def one(m):
        e = m.group(1)
        if e in SIMPLE_ESCAPES:
            return SIMPLE_ESCAPES[e]
        if e[0] == "x":
            return chr(int(e[1:], 16))
        if e[0].isdigit():
            return chr(int(e, 8))
        return e

    return ESCAPE.sub(one, text)


def game_characters(sources):
    characters = set("0123456789")
    for source in sources:
        for line in Path(source).read_text(encoding="utf-8").splitlines():
            if line.lstrip().startswith("#include"):
                continue
            for m in LITERAL.finditer(line):
                characters.update(unescape(m.group(1)))
    return "".join(sorted(c for c in characters if c.isprintable()))


def subset_face(original, out, derived, characters):
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.layout_features = ["*"]
    options.glyph_names = False
    font = TTFont(original)
    # The original's modification time, not the build's: a build at any time gives the same
    # bytes, and so does the program that carries them.
    font.recalcTimestamp = False
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=characters)
    subsetter.subset(font)
    version = font["name"].getDebugName(5) or ""
    for record in font["name"].names:
        if record.nameID == FAMILY:
            record.string = derived
        elif record.nameID == FULL:
            record.string = derived
        elif record.nameID == UNIQUE:
            record.string = f"{derived} {version}".strip()
        elif record.nameID == POSTSCRIPT:
            record.string = derived.replace(" ", "")
    Path(out).parent.mkdir(parents=True, exist_ok=True)
    font.save(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--face", nargs=3, action="append", default=[],
                        metavar=("ORIGINAL", "DERIVED", "NAME"))
    parser.add_argument("--characters", metavar="OUT")
    parser.add_argument("--texts", nargs="+", required=True, metavar="SOURCE")
    args = parser.parse_args()
    characters = game_characters(args.texts)
    if args.characters:
        Path(args.characters).parent.mkdir(parents=True, exist_ok=True)
        Path(args.characters).write_text(characters, encoding="utf-8")
    for original, out, derived in args.face:
        subset_face(original, out, derived, characters)


if __name__ == "__main__":
    main()
