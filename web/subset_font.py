#!/usr/bin/python3
"""Makes the web edition's font: the glyphs of IPAPGothic (IPA P Gothic) that the page's texts
use, as WOFF2, renamed "Mokopera Gothic" as the IPA Font License requires of a derived font, and
the licence text that must go with it.

usage: subset_font.py SOURCE.ttf DEBIAN_COPYRIGHT OUT.woff2 OUT_LICENCE.txt TEXT_FILE...
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "Mokopera Gothic"
# Name records that name the font: family, subfamily id, full name, PostScript name, and the
# typographic family and full names. Copyright, trademark and licence records stay as they are.
RENAMED = {1: FAMILY, 3: FAMILY + " 003.03 subset", 4: FAMILY, 6: "MokoperaGothic",
           16: FAMILY, 18: FAMILY}


def licence_text(copyright_file):
    """The IPA-1 licence paragraph of a Debian copyright file, as plain text."""
    lines, inside = [], False
    for line in open(copyright_file, encoding="utf-8"):
        if inside and line.startswith(" "):
            lines.append("" if line.strip() == "." else line[1:].rstrip())
        elif lines:
            break  # the end of the paragraph that holds the text
        else:
            inside = line.strip() == "License: IPA-1"
    return "\n".join(lines) + "\n"


def main(source, copyright_file, output, licence_output, *text_files):
    text = "".join(open(name, encoding="utf-8").read() for name in text_files)
    characters = {ord(c) for c in text if c >= " "} | set(range(0x20, 0x7F))
    options = subset.Options()
    options.flavor = "woff2"
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    font = TTFont(source)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=sorted(characters))
    subsetter.subset(font)
    for record in font["name"].names:
        if record.nameID in RENAMED:
            record.string = RENAMED[record.nameID]
    font.flavor = "woff2"
    font.save(output)
    licence = licence_text(copyright_file)
    if "IPA" not in licence:
        sys.exit("no IPA Font License in " + copyright_file)
    with open(licence_output, "w", encoding="utf-8") as out:
        out.write(licence)


if __name__ == "__main__":
    if len(sys.argv) < 6:
        sys.exit(__doc__)
    main(*sys.argv[1:])
