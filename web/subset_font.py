#!/usr/bin/python3
"""Makes a font of the web edition: the glyphs of an IPA font that the page's texts use, as WOFF2,
renamed as the IPA Font License requires of a derived font, and the licence text that must go
with it. The page's own font is "Mokopera Gothic", from IPAPGothic (IPA P Gothic); its dialogs'
is "Mokopera Gothic Fixed", from IPAGothic, whose full-width characters are all full width.

usage: subset_font.py FAMILY SOURCE.ttf DEBIAN_COPYRIGHT OUT.woff2 OUT_LICENCE.txt TEXT...
Each TEXT is a file whose characters the font must hold, or "text:" and the characters.
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont



def renamed(family):
    """Name records that name the font: family, subfamily id, full name, PostScript name, and the
    typographic family and full names. Copyright, trademark and licence records stay as they are."""
    return {1: family, 3: family + " 003.03 subset", 4: family, 6: family.replace(" ", ""),
            16: family, 18: family}


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


def read(text):
    """The characters of a TEXT argument."""
    if text.startswith("text:"):
        return text[len("text:"):]
    with open(text, encoding="utf-8") as source:
        return source.read()


def main(family, source, copyright_file, output, licence_output, *texts):
    text = "".join(read(each) for each in texts)
    characters = {ord(c) for c in text if c >= " "} | set(range(0x20, 0x7F))
    options = subset.Options()
    options.flavor = "woff2"
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    font = TTFont(source, recalcTimestamp=False)  # the source's own date: the same bytes at every build
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=sorted(characters))
    subsetter.subset(font)
    for record in font["name"].names:
        if record.nameID in renamed(family):
            record.string = renamed(family)[record.nameID]
    font.flavor = "woff2"
    font.save(output)
    licence = licence_text(copyright_file)
    if "IPA" not in licence:
        sys.exit("no IPA Font License in " + copyright_file)
    with open(licence_output, "w", encoding="utf-8") as out:
        out.write(licence)


if __name__ == "__main__":
    if len(sys.argv) < 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])
