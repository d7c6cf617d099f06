#!/usr/bin/python3
"""Builds Wendelkamm as an installable web app: a folder to put as it is on any web server, and
a zip that holds it.

app_bauen.py SEITE SYMBOLE VERSION ORDNER [--zip ZIP --changelog CHANGELOG]

SEITE is the single-file page wendelkamm.html; it becomes ORDNER/index.html with the link to
the manifest, the tags for the home screens of iPad and iPhone, and the registration of the
service worker sw.js, which keeps every file of the folder for offline use in a cache named
from VERSION. The icons come from SYMBOLE (window/icon, drawn by smiley.py).

The zip holds the folder as "wendelkamm/", its entries in a fixed order with fixed modes and
the time SOURCE_DATE_EPOCH, or where that is not set, the date of the latest entry of
debian/changelog (CHANGELOG), so that the same files give the same zip."""

import argparse
import email.utils
import json
import os
import shutil
import sys
import time
import zipfile
from pathlib import Path

HIER = Path(__file__).resolve().parent

# The folder's files from window/icon, under the names the manifest and index.html use.
SYMBOLE = {"wendelkamm-192.png": "wendelkamm-192.png", "wendelkamm-512.png": "wendelkamm-512.png",
           "wendelkamm-maskable-512.png": "wendelkamm-maskable-512.png",
           "apple-touch-icon.png": "wendelkamm-apple-180.png"}

KOPF = """<link rel="manifest" href="manifest.json">
<meta name="theme-color" content="{farbe}">
<link rel="apple-touch-icon" href="apple-touch-icon.png">
<meta name="apple-mobile-web-app-capable" content="yes">
<meta name="mobile-web-app-capable" content="yes">
<meta name="apple-mobile-web-app-title" content="{name}">
<meta name="apple-mobile-web-app-status-bar-style" content="default">
"""

# Service workers exist only on https:// (and http://localhost); from disk the page runs without.
REGISTRIERUNG = """<script>
if ("serviceWorker" in navigator && location.protocol.startsWith("http")) {
  navigator.serviceWorker.register("sw.js").catch((fehler) => console.warn("sw.js:", fehler));
}
</script>
"""


def einfuegen(seite, vor, text):
    if seite.count(vor) != 1:
        sys.exit(f"the page must have {vor} once")
    return seite.replace(vor, text + vor)


def ordner(seite, symbole, version, ziel):
    if ziel.exists():
        shutil.rmtree(ziel)
    ziel.mkdir(parents=True)
    manifest = json.loads((HIER / "manifest.json").read_text(encoding="utf-8"))
    html = Path(seite).read_text(encoding="utf-8")
    kopf = KOPF.format(farbe=manifest["theme_color"], name=manifest["name"])
    html = einfuegen(html, "</head>", kopf)
    html = einfuegen(html, "</body>", REGISTRIERUNG)
    (ziel / "index.html").write_text(html, encoding="utf-8")
    shutil.copyfile(HIER / "manifest.json", ziel / "manifest.json")
    for name, quelle in SYMBOLE.items():
        shutil.copyfile(Path(symbole) / quelle, ziel / name)
    dateien = [*sorted(p.name for p in ziel.iterdir()), "sw.js"]
    sw = (HIER / "sw.js").read_text(encoding="utf-8")
    sw = sw.replace("@VERSION@", version).replace("@DATEIEN@", json.dumps(dateien))
    (ziel / "sw.js").write_text(sw, encoding="utf-8")


def zeitpunkt(changelog):
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    for zeile in Path(changelog).read_text(encoding="utf-8").splitlines():
        if zeile.startswith(" -- "):
            return int(email.utils.parsedate_to_datetime(zeile.split("  ", 1)[1]).timestamp())
    sys.exit(f"{changelog}: no entry with a date")


def packen(quelle, zip_datei, epoch):
    datum = time.gmtime(max(epoch, 315532800))[:6]  # a zip's times start in 1980
    with zipfile.ZipFile(zip_datei, "w") as z:
        verzeichnis = zipfile.ZipInfo("wendelkamm/", datum)
        verzeichnis.create_system = 3
        verzeichnis.external_attr = (0o40755 << 16) | 0x10
        z.writestr(verzeichnis, b"")
        for datei in sorted(quelle.iterdir()):
            eintrag = zipfile.ZipInfo("wendelkamm/" + datei.name, datum)
            eintrag.create_system = 3
            eintrag.external_attr = 0o100644 << 16
            eintrag.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(eintrag, datei.read_bytes(), compresslevel=9)


def main():
    argumente = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    for name in ("seite", "symbole", "version", "ordner"):
        argumente.add_argument(name)
    argumente.add_argument("--zip")
    argumente.add_argument("--changelog")
    a = argumente.parse_args()
    ordner(a.seite, a.symbole, a.version, Path(a.ordner))
    if a.zip:
        packen(Path(a.ordner), a.zip, zeitpunkt(a.changelog))


if __name__ == "__main__":
    main()
