"""What the browser tests and the page's benchmark share: headless Chromium through Selenium, and
a web server on 127.0.0.1 for a folder."""
import functools
import http.server
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


def chromium(breite, hoehe):
    """Debian's Chromium, headless, with a window of breite x hoehe pixels."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", f"--window-size={breite},{hoehe}",
                "--disable-dev-shm-usage"):
        options.add_argument(arg)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class Quiet(http.server.SimpleHTTPRequestHandler):
    extra = {}  # headers sent with every answer

    def end_headers(self):
        for name, value in self.extra.items():
            self.send_header(name, value)
        super().end_headers()

    def log_message(self, *args):
        pass


class Server:
    """http.server on 127.0.0.1, at the same port each time it is started, with these headers."""

    def __init__(self, headers=None):
        self.port, self.server = 0, None
        self.handler = type("Handler", (Quiet,), {"extra": dict(headers or {})})

    def start(self, folder):
        handler = functools.partial(self.handler, directory=folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", self.port), handler)
        self.port = self.server.server_port
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()
