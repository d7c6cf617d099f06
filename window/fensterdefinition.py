#!/usr/bin/python3
"""The window's definition (Fensterdefinition.json) for scripts, with pixels at any density.

    window/fensterdefinition.py beschriftung             the caption
    window/fensterdefinition.py innen [DPI]              the client area: "width height"
    window/fensterdefinition.py rechteck NAME [DPI]      a control: "left top width height"
    window/fensterdefinition.py mitte NAME [DPI]         a control's middle: "x y"

Pixels are of the client area, at DPI dots per inch (96 unless given)."""

import json
import pathlib
import sys

DEFINITION = json.loads((pathlib.Path(__file__).parent / "Fensterdefinition.json").read_text("utf-8"))


def pixel(twips, dpi=96):
    """Twips to pixels at a density, rounded to the nearest pixel (1440 twips to the inch)."""
    return (twips * dpi + 720) // 1440


def element(name):
    for e in DEFINITION["Steuerelemente"]:
        if e["Name"] == name:
            return e
    raise KeyError(f"no control {name} in the window's definition")


def rechteck(name, dpi=96):
    e = element(name)
    return tuple(pixel(e[k], dpi) for k in ("Links", "Oben", "Breite", "Hoehe"))


def inhalt(name):
    """A control's text as the window holds it at first: Text1's lines each end with CR LF."""
    e = element(name)
    return "".join(z + "\r\n" for z in e["Zeilen"]) if "Zeilen" in e else e["Inhalt"]


def main(args):
    befehl, rest = args[0], args[1:]
    if befehl == "beschriftung":
        print(DEFINITION["Beschriftung"])
    elif befehl == "innen":
        dpi = int(rest[0]) if rest else 96
        print(pixel(DEFINITION["Innenbreite"], dpi), pixel(DEFINITION["Innenhoehe"], dpi))
    elif befehl in ("rechteck", "mitte"):
        links, oben, breite, hoehe = rechteck(rest[0], int(rest[1]) if len(rest) > 1 else 96)
        print(*((links, oben, breite, hoehe) if befehl == "rechteck"
                else (links + breite // 2, oben + hoehe // 2)))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    try:
        main(sys.argv[1:])
    except (IndexError, KeyError, ValueError) as fehler:
        sys.exit(f"{fehler}\n{__doc__}")
