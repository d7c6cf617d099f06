#!/usr/bin/python3
"""Builds Wendelkamm as an installable web app: a folder to put as it is on any web server, and
a zip that holds it.

app_bauen.py SEITE SYMBOLE MANIFEST VERSION ORDNER [--zip ZIP --zeitpunkt SEKUNDEN]

SEITE is the single-file page wendelkamm.html; it becomes ORDNER/index.html with the link to
the manifest (MANIFEST, which CMake writes from manifest.json.in), the tags for the home screens
of iPad and iPhone, and the registration of the service worker sw.js, which keeps every file of
the folder for offline use in a cache named from VERSION. The icons that the manifest names
come from SYMBOLE (window/icon, drawn by smiley.py).

The zip holds the folder as "wendelkamm/", its entries in a fixed order with fixed modes and
the time SOURCE_DATE_EPOCH, or where that is not set, the release's (SEKUNDEN, from
debian/changelog), so that the same files give the same zip."""

import argparse
import json
import os
import shutil
import sys
from pathlib import Path

HIER = Path(__file__).resolve().parent
sys.path.insert(0, str(HIER.parent))
from zip_schreiben import schreiben  # noqa: E402

# The home-screen icon of iPad and iPhone, under the name that index.html uses; the others are
# the manifest's.
APPLE = {"apple-touch-icon.png": "wendelkamm-apple-180.png"}

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


def ordner(seite, symbole, manifest_datei, version, ziel):
    if ziel.exists():
        shutil.rmtree(ziel)
    ziel.mkdir(parents=True)
    manifest = json.loads(Path(manifest_datei).read_text(encoding="utf-8"))
    html = Path(seite).read_text(encoding="utf-8")
    kopf = KOPF.format(farbe=manifest["theme_color"], name=manifest["name"])
    html = einfuegen(html, "</head>", kopf)
    html = einfuegen(html, "</body>", REGISTRIERUNG)
    (ziel / "index.html").write_text(html, encoding="utf-8")
    shutil.copyfile(manifest_datei, ziel / "manifest.json")
    symboldateien = {s["src"]: s["src"] for s in manifest["icons"]} | APPLE
    for name, quelle in symboldateien.items():
        shutil.copyfile(Path(symbole) / quelle, ziel / name)
    dateien = [*sorted(p.name for p in ziel.iterdir()), "sw.js"]
    sw = (HIER / "sw.js").read_text(encoding="utf-8")
    sw = sw.replace("@VERSION@", version).replace("@DATEIEN@", json.dumps(dateien))
    (ziel / "sw.js").write_text(sw, encoding="utf-8")


def packen(quelle, zip_datei, zeitpunkt):
    if "SOURCE_DATE_EPOCH" in os.environ:
        zeitpunkt = int(os.environ["SOURCE_DATE_EPOCH"])
    dateien = [("wendelkamm/" + d.name, d) for d in sorted(quelle.iterdir())]
    schreiben(zip_datei, [("wendelkamm/", None), *dateien], zeitpunkt)


def main():
    argumente = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    for name in ("seite", "symbole", "manifest", "version", "ordner"):
        argumente.add_argument(name)
    argumente.add_argument("--zip")
    argumente.add_argument("--zeitpunkt", type=int)
    a = argumente.parse_args()
    ordner(a.seite, a.symbole, a.manifest, a.version, Path(a.ordner))
    if a.zip:
        packen(Path(a.ordner), a.zip, a.zeitpunkt)


if __name__ == "__main__":
    main()
