#!/usr/bin/python3
"""Drives the page wendelkamm.html in headless Chromium as a user would, through Selenium.

    tests/web/test_seite.py build-web/wendelkamm.html [quick|deep]

"quick" (the default) checks the page as it opens and the runs; "deep" opens 1000 nested runs.
Before the page loads, the test replaces its Date with a clock that runs TEMPO times as fast
as the real one (starting at 10:00 local time), and records every value of Text1 that the page
paints and every value of the brake flag, in order. The page itself has no switch for tests.
"""
import functools
import http.server
import pathlib
import re
import sys
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

NOTE = ("KORVANT hatte im Jahr 1900 die \nFrage aufgeworfen: \nGibt es einen Algorithmus, durch den \n"
        "für jede (ausreichend formalisierte) \nAussage der Mathematik entschieden \n"
        "werden kann, ob diese wahr oder \nfalsch ist? \n\nVelschor beweist im Jahre 1936, \n"
        "dass das unmöglich ist.\n")
QUESTION = "Terminiert dieser Algorithmus?\n"
TEMPO = 20  # clock seconds per real second: a pass takes some 50 ms of waiting

WATCH = """
(() => {
  const RealDate = Date;
  const start = new RealDate(2026, 0, 5, 10, 0, 0).getTime();
  const t0 = performance.now();
  window.__clock = {tempo: %d};
  let now = start, last = t0;
  const read = () => {
    const p = performance.now();
    now += (p - last) * window.__clock.tempo;
    last = p;
    return now;
  };
  window.Date = class extends RealDate {
    constructor(...args) { if (args.length) super(...args); else super(read()); }
    static now() { return read(); }
  };
  // What the page paints: every new value of Text1 seen at a frame, and the longest time
  // between two frames since the last reset.
  window.__seen = {painted: [], flags: [], gap: 0, previous: null};
  const frame = (t) => {
    const s = window.__seen, box = document.getElementById('Text1');
    if (box && s.painted[s.painted.length - 1] !== box.value) s.painted.push(box.value);
    if (s.previous !== null) s.gap = Math.max(s.gap, t - s.previous);
    s.previous = t;
    requestAnimationFrame(frame);
  };
  requestAnimationFrame(frame);
  // Each change of the brake flag, with the value it had before (the records come only after
  // the page's task, when the flag may have changed again).
  new MutationObserver((changes) => {
    for (const c of changes) if (c.target.id === 'cmdNotbremse') {
      window.__seen.flags.push(c.oldValue);
    }
  }).observe(document, {subtree: true, attributes: true, attributeOldValue: true,
                        attributeFilter: ['data-tag']});
})();
""" % TEMPO


def prime(x):
    """The run's prime rule: even numbers (2 included) are not, 1 and odd negatives are."""
    return x % 2 != 0 and all(x % i for i in range(3, x))


def line(n):
    p = n // 2
    while not (prime(p) and prime(n - p)):
        p -= 1
    return f" {n} = {p} + {n - p}\n"


class Page:
    def __init__(self, page):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=800,600",
                    "--disable-dev-shm-usage"):
            options.add_argument(arg)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": WATCH})
        self.url = pathlib.Path(page).resolve().as_uri()
        self.logged = []

    def open(self):
        self.driver.get(self.url)
        self.logged = []
        self.wait_for("the window", lambda: self.js("return !!document.getElementById('Text1')"))

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def el(self, name):
        return self.driver.find_element(By.ID, name)

    def text(self):
        return self.js("return document.getElementById('Text1').value")

    def flag(self):
        return self.el("cmdNotbremse").get_attribute("data-tag")

    def painted(self):
        return self.js("return window.__seen.painted")

    def flags(self):
        """The values the brake flag took after its first, in order."""
        return self.js("const f = window.__seen.flags;"
                       "return f.slice(1).concat(f.length ? [document.getElementById("
                       "'cmdNotbremse').dataset.tag] : [])")

    def wait_for(self, what, check, seconds=20):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            value = check()
            if value:
                return value
            if self.errors():
                raise AssertionError(f"errors in the page waiting for {what}: {self.errors()}")
            time.sleep(0.02)
        raise AssertionError(f"timed out waiting for {what}")

    def wait_painted(self, what, check, seconds=20):
        return self.wait_for(what, lambda: any(check(v) for v in self.painted()), seconds)

    def wait_stopped(self, brakes):
        """Waits until the brake has ended `brakes` runs in all (the flag back at "0" as often)
        and then that the text stays as it is over several passes."""
        self.wait_for("the brake's reset", lambda: self.flags().count("0") >= brakes)
        self.assert_idle()

    def assert_idle(self):
        before = self.painted()
        time.sleep(10 / TEMPO)  # ten passes' worth
        check(self.painted() == before, "the run went on after the brake",
              before[-1:], self.painted()[-1:])
        check(self.flag() == "0", "flag after the run", self.flag())

    def errors(self):
        """What the page reported as errors since it was opened."""
        self.logged += [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
        return self.logged

    def close(self):
        self.driver.quit()


def check(condition, what, *details):
    if not condition:
        raise AssertionError(what + ("" if not details else ": " + repr(details)))


def lines_of(painted):
    """The result lines in the order the runs wrote them, each from the value that added it."""
    out = []
    for before, after in zip(painted, painted[1:]):
        if after.startswith(before) and len(after) > len(before):
            out += re.findall(r" (\d+) = \d+ \+ \d+\n", after[len(before):])
    return [int(n) for n in out]


def test_opening(page):
    page.open()
    d = page.driver
    check(d.title == "Wendelkamm", "title", d.title)
    icon = page.js("const l = document.querySelector('link[rel=icon]'); return l && l.href")
    check(icon and icon.startswith("data:image/x-icon;base64,AAABAA"), "favicon", icon and icon[:40])
    check(page.text() == NOTE, "the note", page.text())
    check(page.flag() == "0", "brake flag", page.flag())
    check("SIL Open Font License" in d.page_source, "the font's licence in the page")
    # One file: nothing loaded from anywhere else.
    fetched = page.js("return performance.getEntriesByType('resource')"
                      ".map(r => r.name).filter(n => !n.startsWith('data:'))")
    check(fetched == [], "resources loaded besides the page", fetched)
    size = pathlib.Path(page.url.removeprefix("file://")).stat().st_size
    check(size <= 1_000_000, "the page's size", size)

    kinds = page.js("return [...document.querySelectorAll('#frmGoldbach > *')]"
                    ".map(e => e.tagName + '#' + e.id + ':' + "
                    "(e.tagName === 'TEXTAREA' ? e.value : e.textContent))")
    check(kinds == ["TEXTAREA#Text1:" + NOTE, "BUTTON#cmdStart:Start",
                    "BUTTON#cmdNotbremse:Notbremse"], "controls in tab order", kinds)
    geometry = page.js("""
        const box = document.getElementById('frmGoldbach');
        const b = box.getBoundingClientRect();
        const out = {box: [box.clientWidth, box.clientHeight]};
        for (const e of box.children) {
          const r = e.getBoundingClientRect(), s = getComputedStyle(e);
          out[e.id] = [r.left - b.left - box.clientLeft, r.top - b.top - box.clientTop,
                       r.width, r.height, s.fontSize, s.fontFamily.split(',')[0], s.fontWeight,
                       s.fontStyle, s.textDecorationLine];
        }
        return out;""")
    serif = '"Times New Roman"'
    check(geometry == {"box": [430, 393],
                       "Text1": [16, 16, 401, 317, "26px", serif, "400", "normal", "none"],
                       "cmdStart": [16, 336, 185, 49, "18px", serif, "400", "normal", "none"],
                       "cmdNotbremse": [232, 336, 185, 49, "18px", serif, "400", "normal", "none"]},
          "geometry and fonts", geometry)
    # The face the page carries loads, with the umlauts.
    faces = d.execute_async_script(
        "const done = arguments[0];"
        "document.fonts.load('26px \"Wendelkamm Serif\"', 'äöüÄÖÜß').then("
        "  f => done(f.map(x => x.family + ' ' + x.status)), e => done(String(e)));")
    check(faces == ['"Wendelkamm Serif" loaded'] or faces == ["Wendelkamm Serif loaded"],
          "the embedded font", faces)

    check(d.switch_to.active_element.get_attribute("id") == "Text1", "focus at the start")
    check(page.js("return document.getElementById('Text1').scrollTop") == 0, "note at its top")
    d.switch_to.active_element.send_keys(Keys.TAB)
    check(d.switch_to.active_element.get_attribute("id") == "cmdStart", "tab to Start")
    d.switch_to.active_element.send_keys(Keys.TAB)
    check(d.switch_to.active_element.get_attribute("id") == "cmdNotbremse", "tab to Notbremse")
    check(page.painted() == [NOTE], "only the note painted", page.painted())


def test_served(page):
    """The same page from a web server."""
    folder = pathlib.Path(page.url.removeprefix("file://")).parent
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    handler = functools.partial(Quiet, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        page.driver.get(f"http://127.0.0.1:{server.server_port}/{page.url.rsplit('/', 1)[1]}")
        page.logged = []
        page.wait_for("the window", lambda: page.js("return !!document.getElementById('Text1')"))
        page.el("cmdStart").click()
        page.wait_painted("the line for 6", lambda v: v == QUESTION + line(6))
        page.el("cmdNotbremse").click()
        page.wait_stopped(1)
    finally:
        server.shutdown()
        server.server_close()


def test_run(page):
    """The first lines, the clear at 20, every replacement painted before its wait, the page
    alive between passes; started with Enter and braked with Space on the focused buttons."""
    page.open()
    d = page.driver
    d.switch_to.active_element.send_keys(Keys.TAB)
    d.switch_to.active_element.send_keys(Keys.ENTER)  # on cmdStart
    page.wait_painted("the line for 24", lambda v: v.endswith(line(24)))
    page.js("window.__seen.gap = 0")
    page.wait_painted("the line for 30", lambda v: v.endswith(line(30)))
    gap = page.js("return window.__seen.gap")
    d.switch_to.active_element.send_keys(Keys.TAB)
    d.switch_to.active_element.send_keys(Keys.SPACE)  # on cmdNotbremse
    page.wait_stopped(1)

    block = QUESTION
    expected = [NOTE, block]
    for n in range(6, 20, 2):
        block += line(n)
        expected.append(block)
    expected += ["", line(20), line(20) + line(22), line(20) + line(22) + line(24)]
    painted = page.painted()
    check(painted[:len(expected)] == expected, "what the page showed, in order",
          painted[:len(expected) + 1])
    # A pass waits 1/TEMPO s; between two passes the page paints and takes its input.
    check(gap < 1000 * 6 / TEMPO, "the page stayed responsive between passes", gap)
    check(page.flags() == ["1", "0"], "the brake flag's values", page.flags())


def test_brake_idle(page):
    page.open()
    page.el("cmdNotbremse").click()
    page.wait_for("the flag raised", lambda: page.flag() == "1")
    check(page.text() == NOTE, "the note after the brake", page.text())
    page.el("cmdStart").click()
    page.wait_stopped(1)
    check(page.painted() == [NOTE, QUESTION], "the question and no line", page.painted())


def test_nested(page):
    """A second Start runs inside the first; the brake ends the inner run, the outer one goes
    on from the inner run's number, and a second brake ends it."""
    page.open()
    page.el("cmdStart").click()
    page.wait_painted("the line for 10", lambda v: v.endswith(line(10)))
    page.el("cmdStart").click()
    page.wait_for("the second question", lambda: page.painted().count(QUESTION) == 2)
    page.wait_painted("the inner run's line for 8",
                      lambda v: v.startswith(QUESTION) and v.endswith(line(8)))
    page.el("cmdNotbremse").click()
    page.wait_for("the inner run's end", lambda: page.flags() == ["1", "0"])
    after_inner = len(page.painted())
    page.wait_for("the outer run going on", lambda: len(page.painted()) > after_inner + 1)
    page.el("cmdNotbremse").click()
    page.wait_stopped(2)

    painted = page.painted()
    second = [i for i, v in enumerate(painted) if v == QUESTION][1]
    outer = lines_of(painted[:second])
    check(outer[:3] == [6, 8, 10], "the outer run's first lines", outer)
    both = lines_of(painted[second:])
    check(both == list(range(6, 6 + 2 * len(both), 2)) and len(both) >= 4,
          "the inner run's lines, then the outer run's from where the inner stopped", both)
    check(page.flags() == ["1", "0", "1", "0"], "the brake flag's values", page.flags())


def test_typed(page):
    """Text typed during a run stays as typed; the next line follows it directly."""
    page.open()
    page.el("cmdStart").click()
    page.wait_painted("the line for 8", lambda v: v.endswith(line(8)))
    typed = "Zwei\nZeilen äöß € "
    page.js("const t = document.getElementById('Text1'); t.focus();"
            "t.setSelectionRange(t.value.length, t.value.length);")
    followed = re.compile(re.escape(typed) + r" (\d+) = \d+ \+ \d+\n$")
    # Every command to the page waits for some of the run's passes, so where the typing lands
    # is not known. Typed just before a multiple of 20, it is cleared with the box: then it is
    # typed once more, ten passes from the next clear.
    for _ in range(3):
        seen = len(page.painted())
        page.driver.execute_cdp_cmd("Input.insertText", {"text": typed})

        def outcome():
            after = page.painted()[seen:]
            shown = next((i for i, v in enumerate(after) if typed in v), None)
            if shown is None:
                return None
            value = next((v for v in after[shown:] if followed.search(v)), None)
            if value is None and any(typed not in v for v in after[shown:]):
                return "cleared"
            return value

        value = page.wait_for("the typed text with a line after it, or cleared", outcome)
        if value != "cleared":
            break
    page.el("cmdNotbremse").click()
    page.wait_stopped(1)
    check(value != "cleared", "the typed text, three times cleared with the box")
    # The box holds what the run wrote since the last clear, the typed text, the line.
    n = int(followed.search(value).group(1))
    block = "".join(line(k) for k in range(max(6, n - n % 20), n, 2))
    check(value == (QUESTION if n < 20 else "") + block + typed + line(n),
          "typed text kept, then the line", value)


def test_deep(page):
    """1000 nested runs: 1001 clicks on Start queued at once; the last is refused."""
    page.open()
    started = time.monotonic()
    page.js("window.__clock.tempo = 200;"
            "for (let i = 0; i < 1001; i++) document.getElementById('cmdStart').click();")
    page.wait_for("every Start delivered",
                  lambda: page.js("return Seite.warteschlange.length") == 0, 600)
    page.wait_painted("the innermost run's first line", lambda v: v.endswith(line(6)), 60)
    opened = time.monotonic() - started
    used = page.js("const d = Asyncify.currData;"
                   "return d ? HEAP32[d >> 2] - (d + 12) : -1")
    page.el("cmdNotbremse").click()
    page.wait_for("the innermost run's end", lambda: page.flags() == ["1", "0"], 60)
    before = len(page.painted())
    page.wait_for("the next run going on", lambda: len(page.painted()) > before + 1, 60)
    check(not page.errors(), "errors in the page", page.errors())
    print(f"1000 nested runs open after {opened:.1f} s; asyncify keeps {used} bytes of the "
          f"chain of calls at the innermost run's event processing")
    check(used > 0, "a suspended program at the event processing", used)


def main():
    page_file = sys.argv[1]
    part = sys.argv[2] if len(sys.argv) > 2 else "quick"
    tests = ([test_opening, test_served, test_run, test_brake_idle, test_nested, test_typed]
             if part == "quick" else [test_deep])
    page = Page(page_file)
    failed = 0
    try:
        for test in tests:
            begun = time.monotonic()
            try:
                test(page)
                errors = page.errors()
                check(not errors, "errors in the page", errors)
                print(f"ok   {test.__name__} ({time.monotonic() - begun:.1f} s)")
            except AssertionError as e:
                failed += 1
                print(f"FAIL {test.__name__}: {e}")
    finally:
        page.close()
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
