#!/usr/bin/python3
"""Writes src/platform/CharacterReferenceNames.inc, the named character references of HTML
(the table browsers decode "&eacute;", "&hearts;" or the old "&copy" without ";" from), taken
from Python's own copy of that table (html.entities.html5).

Run it again only when a newer Python knows more names; the output is sorted by name in byte
order, as the viewer's lookup needs.
"""
import html.entities
import os

HERE = os.path.dirname(os.path.abspath(__file__))
TARGET = os.path.join(HERE, "..", "src", "platform", "CharacterReferenceNames.inc")


def c_string(data):
    return '"' + "".join(
        chr(b) if 0x20 <= b < 0x7F and chr(b) not in '"\\?' else "\\x%02X" % b
        for b in data) + '"'


def main():
    entries = sorted((name.encode("ascii"), text.encode("utf-8"))
                     for name, text in html.entities.html5.items())
    lines = ["// Written by tools/make-character-references.py; do not edit.",
             "// {name as written after \"&\" (with its \";\" when it needs one), UTF-8}"]
    for name, text in entries:
        # A hexadecimal escape would swallow a following hexadecimal digit: split the string.
        value = '" "'.join(c_string(bytes([b]))[1:-1] for b in text)
        lines.append("{%s, \"%s\"}," % (c_string(name), value))
    with open(TARGET, "w", encoding="ascii", newline="\n") as out:
        out.write("\n".join(lines) + "\n")
    print(TARGET, len(entries), "names")


if __name__ == "__main__":
    main()
