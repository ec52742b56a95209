#!/usr/bin/env python3
"""Writes data/Themes.dat, the delivered theme file, from data/themes.txt.

Run it after changing themes.txt; a core test checks that the two agree and that the
program writes the file back byte for byte.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data")


def short(text):
    raw = text.encode("utf-8")
    assert len(raw) < 256
    return bytes([len(raw)]) + raw


def integer(value):
    """The smallest integer form that holds the value, as the program writes it."""
    if -128 <= value <= 127:
        return b"\x02" + struct.pack("<b", value)
    if -32768 <= value <= 32767:
        return b"\x03" + struct.pack("<h", value)
    return b"\x04" + struct.pack("<i", value)


def color(text):
    red, green, blue = (int(text[i:i + 2], 16) for i in (1, 3, 5))
    return red | green << 8 | blue << 16


def theme_item(fields):
    name, picture, margin, *colors = fields
    item = b"\x01"
    for prop, value in (("ThemeName", name), ("BGImage", picture), ("LeftMargin", margin)):
        if value:
            item += short(prop) + b"\x06" + short(value)
    for prop, value in zip(("BGColor", "TextColor", "LinkColor", "ALinkColor", "VLinkColor"), colors):
        item += short(prop) + integer(color(value))
    return item + b"\x00"


def main():
    with open(os.path.join(DATA, "themes.txt"), encoding="utf-8") as source:
        rows = [line.rstrip("\n").split("|") for line in source if line.strip() and not line.startswith("#")]
    body = b"".join(theme_item(row) for row in rows)
    stream = b"TPF0" + short("TWebTheme") + b"\x00" + short("Items") + b"\x0e" + body + b"\x00" + b"\x00\x00"
    with open(os.path.join(DATA, "Themes.dat"), "wb") as target:
        target.write(stream)


if __name__ == "__main__":
    main()
