#!/usr/bin/python3
"""How stale headless Chromium's accessibility tree of wendelkamm.html gets during a run.

    bench/web_zugangsbaum.py build-web/wendelkamm.html [LINES]

The page runs on the real clock, one line a second, for LINES lines (20 unless given). Meanwhile
the bench asks the page for its whole accessibility tree (the DevTools protocol's
Accessibility.getFullAXTree) again and again, each question sent as soon as the last was
answered, and notes when each was sent and answered. The page notes when it wrote each line.
Reported:
- how long a question waits for its answer during a run (the page answers only when it yields,
  after a line and at the run's event processing), against the idle page;
- for each line, the time from its write until an answer shows it, in the box's value and, where
  the page has one, in its live region.
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
    """The box's lines and the live region's texts in one answer."""
    nodes = {n["nodeId"]: n for n in tree["nodes"]}
    box, live = set(), set()
    for n in nodes.values():
        props = {p["name"]: p["value"].get("value") for p in n.get("properties", [])}
        if n.get("role", {}).get("value") == "textbox":
            box.update(str(n.get("value", {}).get("value", "")).split("\n"))
        if props.get("live") in ("polite", "assertive") and n.get("role", {}).get("value") == "StaticText":
            live.add(n.get("name", {}).get("value", ""))
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
        end = time.monotonic() + lines + 1.5
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
            f"{values[int(0.9 * (len(values) - 1))]:.0f} ms, max {values[-1]:.0f} ms (n = {len(values)})")


def main():
    page = pathlib.Path(sys.argv[1]).resolve()
    lines = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=800,800"):
        options.add_argument(arg)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": WRITES})
        driver.get(page.as_uri())
        address = driver.capabilities["goog:chromeOptions"]["debuggerAddress"]
        with urllib.request.urlopen(f"http://{address}/json") as targets:
            ws_url = next(t["webSocketDebuggerUrl"] for t in json.load(targets)
                          if t["type"] == "page" and t["url"] == page.as_uri())
        idle, answers, zufaellig, writes = trio.run(measure, ws_url, lines)
    finally:
        driver.quit()

    print(f"Chromium {driver.capabilities['browserVersion']}, {page.name}, {lines} lines")
    print("answer, idle:       " + figures([a - s for s, a, _ in idle[1:]]))
    print("answer, during run: " + figures([a - s for s, a, _ in zufaellig]))
    for where, index in (("box", 0), ("live region", 1)):
        stale, missing = [], 0
        for t, text in writes[1:lines + 1]:  # each line, after the question
            shown = [a for s, a, found in answers if a >= t and text in found[index]]
            if shown:
                stale.append(shown[0] - t)
            else:
                missing += 1
        if stale:
            print(f"line to {where}: {figures(stale)}" + (f", {missing} never shown" if missing else ""))
        else:
            print(f"line to {where}: never shown")


if __name__ == "__main__":
    main()
