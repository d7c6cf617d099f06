#!/usr/bin/python3
"""Completes an MSI that wixl wrote. It sets the database's code page to 1252, in which wixl
already wrote its German texts, but which it leaves at 0. And it sets the summary information so
that the same sources give the same file: the package code, which wixl draws at random, and the times of creation and last saving,
which wixl takes from the clock. The package code follows the product code and the program the
package carries; the times are SOURCE_DATE_EPOCH's. The template names the package's platform and
language, x64 and German (1031), which wixl leaves at 1033.
    msi_zusammenfassung.py wendelkamm-1.00-win64.msi wendelkamm.exe
Needs Debian's gir1.2-libmsi-1.0 and python3-gi."""
import hashlib
import os
import sys
import tempfile
import uuid

import gi

gi.require_version("Libmsi", "1.0")
from gi.repository import Libmsi  # noqa: E402

# Seconds between 1601-01-01, where Windows' FILETIME starts, and 1970-01-01.
FILETIME_1970 = 11644473600


def main():
    pfad, programm = sys.argv[1], sys.argv[2]
    sekunden = int(os.environ["SOURCE_DATE_EPOCH"])
    datenbank = Libmsi.Database.new(pfad, Libmsi.DbFlags.TRANSACT, None)
    abfrage = Libmsi.Query.new(datenbank,
                               "SELECT `Value` FROM `Property` WHERE `Property` = 'ProductCode'")
    abfrage.execute(None)
    produktcode = uuid.UUID(abfrage.fetch().get_string(1))
    abfrage.close()
    with open(programm, "rb") as datei:
        inhalt = hashlib.sha256(datei.read()).hexdigest()
    paketcode = "{%s}" % str(uuid.uuid5(produktcode, inhalt)).upper()

    with tempfile.TemporaryDirectory() as ordner:
        tabelle = os.path.join(ordner, "_ForceCodepage.idt")
        with open(tabelle, "w", newline="\r\n") as datei:
            datei.write("\n\n1252\t_ForceCodepage\n")
        datenbank.import_(tabelle)

    info = Libmsi.SummaryInfo.new(datenbank, 20)
    zeit = (sekunden + FILETIME_1970) * 10_000_000
    info.set_filetime(Libmsi.Property.CREATED_TM, zeit)
    info.set_filetime(Libmsi.Property.LASTSAVED_TM, zeit)
    info.set_string(Libmsi.Property.UUID, paketcode)
    info.set_string(Libmsi.Property.TEMPLATE, "x64;1031")
    info.persist()
    datenbank.commit()


if __name__ == "__main__":
    main()
