#!/usr/bin/python3
"""The web app (the zip's folder) in headless Chromium, served from 127.0.0.1 by http.server:

    tests/web/test_webapp.py ZIP APP_BAUEN SEITE SYMBOLE APP_MANIFEST [MANIFEST]

Chromium finds it installable and its service worker controls the page. With the server
stopped, the page opens again and a run writes its first line. Then a changed version, built by
APP_BAUEN from SEITE, SYMBOLE and APP_MANIFEST and served at the same address, replaces the cached one on the
next visits. MANIFEST, if given, receives the manifest as Chromium read it.
"""
import json
import pathlib
import re
import subprocess
import sys
import tempfile
import time
import zipfile

from browser import Server, chromium

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
from pruefdaten import zeile  # noqa: E402


def check(condition, what, *details):
    if not condition:
        sys.exit(f"FAIL: {what} {details if details else ''}")
    print(f"ok: {what}")


def wait_for(what, test, seconds=20):
    end = time.monotonic() + seconds
    while not test():
        if time.monotonic() > end:
            check(False, what)
        time.sleep(0.05)
    print(f"ok: {what}")


def main():
    with tempfile.TemporaryDirectory(prefix="webapp-") as work:
        test(pathlib.Path(work), *sys.argv[1:])


def test(work, zip_file, builder, page, icons, app_manifest, manifest_file=None):
    version = re.fullmatch(r"wendelkamm-(.+)-web\.zip", pathlib.Path(zip_file).name)[1]
    with zipfile.ZipFile(zip_file) as z:
        z.extractall(work / "alt")

    driver = chromium(800, 600)
    js = driver.execute_script
    server = Server()
    try:
        # First visit: the browser installs the service worker, which caches every file.
        server.start(work / "alt")
        url = f"http://127.0.0.1:{server.port}/wendelkamm/"
        driver.get(url)
        wait_for("the service worker controls the page",
                 lambda: js("return navigator.serviceWorker.controller !== null"))
        errors = driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
        check(errors == [], "Chromium finds the app installable", errors)
        # The app is known by its start address, so that two copies on one server are two apps.
        app_id = driver.execute_cdp_cmd("Page.getAppId", {})["appId"]
        check(app_id == url, "the app's id is its folder", app_id)
        manifest = driver.execute_cdp_cmd("Page.getAppManifest", {})
        check(manifest["errors"] == [] and json.loads(manifest["data"])["lang"] == "de",
              "the manifest read without errors", manifest["errors"])
        if manifest_file:
            pathlib.Path(manifest_file).write_text(json.dumps(manifest, indent=2))
        files = sorted(url + p.name for p in (work / "alt/wendelkamm").iterdir())
        cached = js("return caches.keys().then(k => Promise.all(k.map(async n => "
                    "[n, (await (await caches.open(n)).keys()).map(r => r.url).sort()])))")
        check(cached == [[f"wendelkamm-{version} {url}", files]],
              "every file in the version's cache", cached)

        # Offline: the page opens from the cache and runs.
        server.stop()
        driver.refresh()
        wait_for("the page offline", lambda: js("return !!document.getElementById('cmdStart')"))
        js("document.getElementById('cmdStart').click()")
        wait_for("the first line offline",
                 lambda: zeile(6) in js("return document.getElementById('Text1').value"))
        js("document.getElementById('cmdNotbremse').click()")

        # A new version at the same address: the next visit finds its service worker, which
        # takes its own cache and drops the old one; the visit after shows the new page, even
        # with the server gone again.
        new = f"{version}.1"
        subprocess.run([sys.executable, builder, page, icons, app_manifest, new, work / "neu/wendelkamm"],
                       check=True)
        index = work / "neu/wendelkamm/index.html"
        index.write_text(index.read_text().replace("</head>", '<meta name="neu">\n</head>'))
        server.start(work / "neu")
        driver.get(url)
        wait_for("the old cache replaced by the new version's",
                 lambda: js("return caches.keys()") == [f"wendelkamm-{new} {url}"], 60)
        server.stop()
        driver.get(url)
        wait_for("the new version offline",
                 lambda: js("return !!document.querySelector('meta[name=neu]') && "
                            "!!document.getElementById('cmdStart')"))
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
