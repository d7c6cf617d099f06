#!/usr/bin/python3
"""Writes a zip of release files that the same files always give bit for bit: its entries in the
order given, with fixed modes and one time, SOURCE_DATE_EPOCH (from 1980 on, where a zip's times
start), in UTC.

    zip_schreiben.py ZIP ORDNER NAME...    the files ORDNER/NAME as entries NAME

packaging/web/app_bauen.py uses schreiben() for the web app's zip, whose files lie in a folder."""
import os
import sys
import time
import zipfile
from pathlib import Path


def schreiben(ziel, eintraege, zeitpunkt):
    """eintraege: (name in the zip, file) in order; a name ending in "/" is a folder, without
    a file."""
    datum = time.gmtime(max(zeitpunkt, 315532800))[:6]
    with zipfile.ZipFile(ziel, "w") as archiv:
        for name, datei in eintraege:
            eintrag = zipfile.ZipInfo(name, datum)
            eintrag.create_system = 3  # Unix, whose mode follows
            if name.endswith("/"):
                eintrag.external_attr = (0o40755 << 16) | 0x10
                archiv.writestr(eintrag, b"")
            else:
                eintrag.external_attr = 0o100644 << 16
                eintrag.compress_type = zipfile.ZIP_DEFLATED
                archiv.writestr(eintrag, Path(datei).read_bytes(), compresslevel=9)


if __name__ == "__main__":
    ziel, ordner, *namen = sys.argv[1:]
    schreiben(ziel, [(n, os.path.join(ordner, n)) for n in namen],
              int(os.environ["SOURCE_DATE_EPOCH"]))
