#!/usr/bin/python3
"""The web app (the zip's folder) in headless Chromium, served from 127.0.0.1 by http.server:

    tests/web/test_webapp.py ZIP APP_BAUEN SEITE SYMBOLE [MANIFEST]

Chromium finds it installable and its service worker controls the page. With the server
stopped, the page opens again and a run writes its first line. Then a changed version, built by
APP_BAUEN from SEITE and SYMBOLE and served at the same address, replaces the cached one on the
next visits. MANIFEST, if given, receives the manifest as Chromium read it.
"""
import functools
import http.server
import json
import pathlib
import re
import subprocess
import sys
import tempfile
import threading
import time
import zipfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Server:
    """http.server on 127.0.0.1, at the same port each time it is started."""

    def __init__(self):
        self.port, self.server = 0, None

    def start(self, folder):
        handler = functools.partial(Quiet, directory=folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", self.port), handler)
        self.port = self.server.server_port
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


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


def test(work, zip_file, builder, page, icons, manifest_file=None):
    version = re.fullmatch(r"wendelkamm-(.+)-web\.zip", pathlib.Path(zip_file).name)[1]
    with zipfile.ZipFile(zip_file) as z:
        z.extractall(work / "alt")

    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=800,600",
                "--disable-dev-shm-usage"):
        options.add_argument(arg)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
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
                 lambda: " 6 = 3 + 3\n" in js("return document.getElementById('Text1').value"))
        js("document.getElementById('cmdNotbremse').click()")

        # A new version at the same address: the next visit finds its service worker, which
        # takes its own cache and drops the old one; the visit after shows the new page, even
        # with the server gone again.
        new = f"{version}.1"
        subprocess.run([sys.executable, builder, page, icons, new, work / "neu/wendelkamm"],
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
