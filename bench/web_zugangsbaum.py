#!/usr/bin/python3
"""How stale Chromium's accessibility tree of wendelkamm.html gets during a run, seen from two
sides.

    bench/web_zugangsbaum.py build-web/wendelkamm.html [LINES]
    xvfb-run -a dbus-run-session -- bench/web_zugangsbaum.py build-web/wendelkamm.html [LINES] atspi

The page runs on the real clock, one line a second, for LINES lines (20 unless given); it notes
when it wrote each line.
- The page's own tree (headless): the bench asks the page for its whole accessibility tree (the
  DevTools protocol's Accessibility.getFullAXTree), which the page builds afresh for each
  question but can answer only when it yields, after a line and at the run's event processing.
  One asker asks again as soon as it has its answer (to see when each line shows); another at
  random moments, whether its last question was answered or not (to see how long a question
  waits).
- The browser's copy, which a screen reader reads (atspi, on an X display with a session bus):
  the bench reads the box's text and the live region's latest line through the accessibility
  bus (AT-SPI), as Orca would, every 5 ms. The browser answers these itself; they show what the
  page last sent it.
Reported: how long an answer takes, idle and during a run; and for the question and each line,
the time from its write until an answer shows it, in the box and, where the page has one, in its
live region.
"""
import itertools
import json
import pathlib
import random
import statistics
import sys
import time
import urllib.request

import trio
import trio_websocket
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

# Each write to the box, at the wall clock in milliseconds: its last line as the box holds it.
WRITES = """
window.__writes = [];
const P = HTMLTextAreaElement.prototype;
const value = Object.getOwnPropertyDescriptor(P, 'value'), insert = P.setRangeText;
const note = (box) => window.__writes.push(
  [performance.timeOrigin + performance.now(), box.value.split('\\n').slice(-2)[0]]);
Object.defineProperty(P, 'value', {...value, set(v) { value.set.call(this, v); note(this); }});
P.setRangeText = function (...args) { insert.apply(this, args); note(this); };
"""


def seen(tree):
    """The box's lines and the texts in the live region, as one answer has them (stripped, as
    the tree gives a paragraph's text)."""
    nodes = {n["nodeId"]: n for n in tree["nodes"]}
    box, live = set(), set()

    def texts(n):
        if n.get("role", {}).get("value") == "StaticText":
            live.add(n.get("name", {}).get("value", "").strip())
        for c in n.get("childIds", []):
            texts(nodes[c])

    for n in nodes.values():
        props = {p["name"]: p["value"].get("value") for p in n.get("properties", [])}
        if n.get("role", {}).get("value") == "textbox":
            box.update(z.strip() for z in str(n.get("value", {}).get("value", "")).split("\n"))
        if props.get("live") in ("polite", "assertive"):
            texts(n)
    return box, live


class Protokoll:
    """The DevTools protocol spoken straight to the page, past chromedriver (which reads the page
    once more after each command, and so waits for a second yield). Several questions may be
    open at once; one task reads every answer."""

    def __init__(self, ws, nursery):
        self.ws, self.ids, self.open = ws, itertools.count(1), {}
        nursery.start_soon(self.lesen)

    async def lesen(self):
        while True:
            answer = json.loads(await self.ws.get_message())
            if answer.get("id") in self.open:
                self.open[answer["id"]][1] = answer.get("result")
                self.open.pop(answer["id"])[0].set()

    async def __call__(self, method, **params):
        nr = next(self.ids)
        entry = self.open[nr] = [trio.Event(), None]
        await self.ws.send_message(json.dumps({"id": nr, "method": method, "params": params}))
        await entry[0].wait()
        return entry[1]


async def ask(cdp):
    sent = time.time() * 1000
    tree = await cdp("Accessibility.getFullAXTree")
    return sent, time.time() * 1000, seen(tree)


async def measure(ws_url, lines):
    """Two askers during the run: one asks again as soon as it has its answer (to see when each
    line shows), the other at random moments, whether its last question was answered or not, as
    a screen reader would (to see how long a question waits)."""
    async with trio_websocket.open_websocket_url(ws_url, max_message_size=2**24) as ws, \
            trio.open_nursery() as nursery:
        cdp = Protokoll(ws, nursery)
        await cdp("Accessibility.enable")
        idle = [await ask(cdp) for _ in range(20)]
        await cdp("Runtime.evaluate", expression="document.getElementById('cmdStart').click()")
        end = time.monotonic() + lines + 2
        dicht, zufaellig = [], []

        async def dicht_fragen():
            while time.monotonic() < end:
                dicht.append(await ask(cdp))

        async def einmal_fragen():
            zufaellig.append(await ask(cdp))

        async with trio.open_nursery() as askers:
            askers.start_soon(dicht_fragen)
            # Sent at moments of their own, whether the last was answered or not.
            while time.monotonic() < end - 1:
                await trio.sleep(random.uniform(0.05, 0.25))
                askers.start_soon(einmal_fragen)
        await cdp("Runtime.evaluate", expression="document.getElementById('cmdNotbremse').click()")
        writes = (await cdp("Runtime.evaluate", expression="window.__writes",
                            returnByValue=True))["result"]["value"]
        nursery.cancel_scope.cancel()
    return idle, dicht, zufaellig, writes


def figures(values):
    values = sorted(values)
    return (f"median {statistics.median(values):.0f} ms, 90th pct. "
            f"{values[int(0.9 * (len(values) - 1))]:.0f} ms, max {values[-1]:.0f} ms "
            f"(n = {len(values)})")


def browser(*args):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--no-sandbox", "--disable-gpu", "--window-size=800,800", *args):
        options.add_argument(arg)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": WRITES})
    return driver


def page_tree(page, lines):
    driver = browser("--headless=new")
    try:
        driver.get(page.as_uri())
        address = driver.capabilities["goog:chromeOptions"]["debuggerAddress"]
        with urllib.request.urlopen(f"http://{address}/json") as targets:
            ws_url = next(t["webSocketDebuggerUrl"] for t in json.load(targets)
                          if t["type"] == "page" and t["url"] == page.as_uri())
        idle, answers, zufaellig, writes = trio.run(measure, ws_url, lines)
    finally:
        driver.quit()
    return driver, idle, zufaellig, answers, writes


def find(node, role, depth=0):
    if node is None or depth > 40:
        return None
    if node.getRoleName() == role:
        return node
    for child in node:
        found = find(child, role, depth + 1)
        if found:
            return found
    return None


def browser_copy(page, lines):
    import pyatspi  # only here: the other side needs no accessibility bus

    driver = browser("--force-renderer-accessibility")
    try:
        driver.get(page.as_uri())
        app = next(a for a in pyatspi.Registry.getDesktop(0)
                   if a is not None and a.name == "Chromium")
        box, end = None, time.monotonic() + 20
        while box is None and time.monotonic() < end:
            document = find(app, "document web")
            box = find(document, "entry")
        live = find(document, "log")
        print(f"box: {box.getRoleName()} {box.name!r}; live region: "
              + (f"{live.getRoleName()} {live.getAttributes()}" if live else "none"))

        def read():
            # The answer's time is the box's, so that a page with a live region is timed as one
            # without; then the live region's latest line, read with as few calls as may be.
            sent = time.time() * 1000
            text = box.queryText().getText(0, -1)
            answered = time.time() * 1000
            latest = live[live.childCount - 1] if live and live.childCount else None
            said = {latest.queryText().getText(0, -1).strip()} if latest else set()
            return sent, answered, ({z.strip() for z in text.split("\n")}, said)

        idle = [read() for _ in range(20)]
        driver.execute_script("document.getElementById('cmdStart').click()")
        answers, end = [], time.monotonic() + lines + 2
        while time.monotonic() < end:
            answers.append(read())
            time.sleep(0.005)
        driver.execute_script("document.getElementById('cmdNotbremse').click()")
        writes = driver.execute_script("return window.__writes")
    finally:
        driver.quit()
    return driver, idle, answers, answers, writes


def main():
    page = pathlib.Path(sys.argv[1]).resolve()
    lines = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    atspi = sys.argv[3:] == ["atspi"]
    driver, idle, asked, answers, writes = (browser_copy if atspi else page_tree)(page, lines)

    print(f"Chromium {driver.capabilities['browserVersion']}, {page.name}, {lines} lines, "
          + ("the browser's copy through AT-SPI" if atspi else "the page's tree through DevTools"))
    print("answer, idle:       " + figures([a - s for s, a, _ in idle[1:]]))
    print("answer, during run: " + figures([a - s for s, a, _ in asked]))
    for where, index in (("box", 0), ("live region", 1)):
        stale, missing = [], []
        # The question and each line, after the note; the clear writes no line.
        for t, text in [w for w in writes[1:] if w[1]][:lines + 1]:
            shown = [a for s, a, found in answers if a >= t and text.strip() in found[index]]
            if shown:
                stale.append(shown[0] - t)
            else:
                missing.append(text)
        print(f"line to {where}: " + (figures(stale) if stale else "never shown")
              + (f", never shown: {missing}" if stale and missing else ""))


if __name__ == "__main__":
    main()
