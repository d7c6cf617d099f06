#!/usr/bin/python3
"""Builds wendelkamm.html, one file with everything in it: the page around the program's script
(which carries the WebAssembly), the icon and the web font.

seite_bauen.py VORLAGE SKRIPT ICON SCHRIFT LIZENZ DEFINITION HINTERGRUND AUSGABE

The title stands in the page from the start, taken from the window's definition (DEFINITION,
Fensterdefinition.json),
so that the tab and a screen reader name the page before the program has started. HINTERGRUND
is the page's background colour.

The font is cut down here from Liberation Serif Regular (SCHRIFT, a TrueType file) to the
characters a German text needs and renamed, as its licence (LIZENZ, kept in the page) asks of
a modified version."""

import base64
import html
import io
import json
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILIE = "Wendelkamm Serif"

# ASCII, Latin-1 (umlauts, ß, «», §, °), the capital sharp s, dashes, German quotation marks,
# the ellipsis, the euro sign.
ZEICHEN = ([*range(0x20, 0x7F), *range(0xA0, 0x100), 0x1E9E, 0x2013, 0x2014]
           + [*range(0x2018, 0x201F), 0x2026, 0x20AC])


def schrift(pfad):
    font = TTFont(pfad, recalcTimestamp=False)  # the font's own time, not the build's
    optionen = subset.Options()
    optionen.flavor = "woff2"
    optionen.layout_features = ["kern", "liga"]
    optionen.name_IDs = [0, 1, 2, 3, 4, 5, 6, 13, 14]
    optionen.hinting = False
    optionen.desubroutinize = True
    optionen.drop_tables += ["FFTM"]  # FontForge's time stamps
    teiler = subset.Subsetter(optionen)
    teiler.populate(unicodes=ZEICHEN)
    teiler.subset(font)
    for eintrag in font["name"].names:
        if eintrag.nameID in (1, 4, 16):
            eintrag.string = FAMILIE
        elif eintrag.nameID == 3:
            eintrag.string = FAMILIE + " (Liberation Serif 2.1.5, Teilmenge)"
        elif eintrag.nameID == 6:
            eintrag.string = FAMILIE.replace(" ", "")
    font.flavor = "woff2"
    daten = io.BytesIO()
    font.save(daten)
    return daten.getvalue()


def main():
    vorlage, skript, icon, schriftdatei, lizenz, definition, hintergrund, ausgabe = sys.argv[1:]
    with open(definition, encoding="utf-8") as f:
        titel = json.load(f)["Beschriftung"]
    with open(vorlage, encoding="utf-8") as f:
        seite = f.read()
    with open(skript, encoding="utf-8") as f:
        programm = f.read()
    # The script stands in the page itself: nothing in it may end its element early.
    programm = programm.replace("</script", "<\\/script")
    with open(icon, "rb") as f:
        ico = base64.b64encode(f.read()).decode()
    with open(lizenz, encoding="utf-8") as f:
        text = f.read().replace("--", "- -")  # an HTML comment may not hold "--"
    woff2 = base64.b64encode(schrift(schriftdatei)).decode()
    for platz, inhalt in (("@TITEL@", html.escape(titel)), ("@ICON@", ico), ("@LIZENZ@", text.rstrip()),
                          ("@HINTERGRUND@", hintergrund), ("@SCHRIFT@", woff2), ("@SKRIPT@", programm)):
        if seite.count(platz) != 1:
            sys.exit(f"{vorlage}: {platz} must stand there once")
        seite = seite.replace(platz, inhalt)
    with open(ausgabe, "w", encoding="utf-8") as f:
        f.write(seite)


if __name__ == "__main__":
    main()
