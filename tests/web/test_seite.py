#!/usr/bin/python3
"""Drives the page wendelkamm.html in headless Chromium as a user would, through Selenium.

    tests/web/test_seite.py build-web/wendelkamm.html chromium|firefox|webkit|deep NPM

Each engine runs the page's core scenarios (it opens; a run's first lines in order; the brake;
a nested Start) and what more it lets the test do (ENGINES); "deep" opens 1000 nested runs in
Chromium. NPM is the folder with what the test takes from the npm registry.
Before the page loads, the test makes its Date and performance.now() run TEMPO times as fast
as the real clock (from 10:00 local time) and the rest's timer as much shorter, and records
what the page paints, each write to Text1 and each value of the brake flag, in order. The page
itself has no switch for tests.
"""
import json
import pathlib
import re
import subprocess
import sys
import time

from selenium import webdriver
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

TESTS = pathlib.Path(__file__).resolve().parents[1]
sys.path[:0] = [str(TESTS), str(TESTS.parent / "window")]
import fensterdefinition  # noqa: E402
from browser import Server, chromium  # noqa: E402
from pruefdaten import zeile as line  # noqa: E402

NOTE = fensterdefinition.inhalt("Text1").replace("\r\n", "\n")
QUESTION = fensterdefinition.DEFINITION["Frage"] + "\n"
TEMPO = 20  # clock seconds per real second: a pass takes some 50 ms of waiting

CLOCK = """
(() => {
  // Date and performance.now() TEMPO times as fast, the milliseconds told to the page's worker
  // for the rest's timer as many times fewer; the page's own timers keep their pace. The first
  // hundred thousand readings of new Date() are kept in readings.
  const RealDate = Date, realNow = performance.now.bind(performance);
  const start = new RealDate(2026, 0, 5, 10, 0, 0).getTime(), base = realNow();
  const clock = window.__clock = {tempo: %d, readings: []};
  let gone = 0, last = base;
  const read = () => {  // ms of the page's clocks since the start
    const p = realNow(); gone += (p - last) * clock.tempo; last = p; return gone;
  };
  window.Date = class extends RealDate {
    constructor(...args) {
      const kept = (t) => (clock.readings.length < 100000 && clock.readings.push(t), t);
      super(...(args.length ? args : [kept(start + read())]));
    }
    static now() { return start + read(); }
  };
  performance.now = () => base + read();
  const post = window.Worker && Worker.prototype.postMessage;
  if (post) Worker.prototype.postMessage = function (m, ...more) {
    return post.call(this, typeof m === "number" ? m / clock.tempo : m, ...more);
  };
})();
""" % TEMPO

WATCH = """
(() => {
  // What the page paints: every new value of Text1 seen at a frame. Paused, it asks for no more
  // frames, which would keep the page's thread busy, until frame() is called.
  const s = window.__seen = {painted: [], writes: [], flags: [], errors: [], shown: [], heard: []};
  const frame = s.frame = () => {
    const box = document.getElementById('Text1');
    if (box && s.painted[s.painted.length - 1] !== box.value) s.painted.push(box.value);
    if (!s.paused) requestAnimationFrame(frame);
  };
  requestAnimationFrame(frame);
  // Every write to the box, at the page's clock: a replacement of the whole value, or an
  // insertion into it.
  const P = HTMLTextAreaElement.prototype;
  const value = Object.getOwnPropertyDescriptor(P, 'value'), insert = P.setRangeText;
  const write = (box, replaced) => s.writes.push({replaced, value: box.value, t: Date.now()});
  Object.defineProperty(P, 'value', {...value, set(v) { value.set.call(this, v); write(this, true); }});
  P.setRangeText = function (...args) { insert.apply(this, args); write(this, false); };
  // Each change of the brake flag, with the value it had before (the records come only after
  // the page's task, when the flag may have changed again).
  new MutationObserver((changes) => {
    for (const c of changes) if (c.target.id === 'cmdNotbremse') s.flags.push(c.oldValue);
  }).observe(document, {subtree: true, attributes: true, attributeOldValue: true,
                        attributeFilter: ['data-tag']});
  // Each text put into a live region: what a screen reader would speak.
  new MutationObserver((changes) => {
    for (const c of changes)
      if (c.target.matches?.('[aria-live]'))
        s.heard.push(...[...c.addedNodes].map(n => n.textContent));
  }).observe(document, {subtree: true, childList: true});
  document.addEventListener('visibilitychange',
                            () => s.shown.push([document.visibilityState, Date.now()]));
  addEventListener('error', (e) => s.errors.push(String(e.message)));
  addEventListener('unhandledrejection', (e) => s.errors.push(String(e.reason)));
})();
"""


class Page:
    """The page in a browser. Each engine below opens it and drives its input; the rest is read
    from the page. On a fast clock, the quiet after a brake lasts ten seconds of it; in real
    time two and a half."""
    fast = True
    live_regions = None  # where the browser's accessibility tree can be read

    def __init__(self, page, npm):
        self.url = pathlib.Path(page).resolve().as_uri()
        self.npm = npm
        self.quiet = 10_000 if self.fast else 2_500

    def focused(self):
        return self.js("return document.activeElement.id")

    def text(self):
        return self.js("return document.getElementById('Text1').value")

    def flag(self):
        return self.js("return document.getElementById('cmdNotbremse').dataset.tag")

    def painted(self):
        """Each value of Text1 seen at a frame, in order."""
        return self.js("return window.__seen.painted")

    def writes(self):
        """Each write to Text1, {replaced, value, t}: t in milliseconds of the page's clock."""
        return self.js("return window.__seen.writes")

    def flags(self):
        """The values the brake flag took after its first, in order."""
        return self.js("const f = window.__seen.flags;"
                       "return f.slice(1).concat(f.length ? [document.getElementById("
                       "'cmdNotbremse').dataset.tag] : [])")

    def errors(self):
        """What the page reported as errors since it was opened."""
        return self.js("return window.__seen ? window.__seen.errors : []")

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
        """Waits until the brake has ended `brakes` runs in all (the flag back at "0" as often),
        then checks that the box stays as it is for a while of the page's clock."""
        self.wait_for("the brake's reset", lambda: self.flags().count("0") >= brakes)
        written, until = len(self.writes()), self.js("return Date.now()") + self.quiet
        self.wait_for("the quiet", lambda: self.js("return Date.now()") > until)
        check(self.writes()[written:] == [], "the run went on after the brake",
              self.writes()[written:])
        check(self.flag() == "0", "flag after the run", self.flag())


class Chromium(Page):
    """Headless Chromium through Selenium, with the fast clock."""

    def __init__(self, page, npm):
        super().__init__(page, npm)
        self.driver = chromium(800, 800)
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                    {"source": CLOCK + WATCH})
        self.version = self.driver.capabilities["browserVersion"]

    def live_regions(self):
        """Each node that Chromium's accessibility tree marks live: role, politeness, texts."""
        tree = self.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})
        nodes = {n["nodeId"]: n for n in tree["nodes"]}
        texts = lambda n: [n["name"]["value"]] * (n["role"]["value"] == "StaticText") + [
            t for c in n.get("childIds", []) for t in texts(nodes[c])]
        return [(n["role"]["value"], p["value"]["value"], texts(n)) for n in nodes.values()
                for p in n.get("properties", []) if p["name"] == "live"]

    def open(self, url=None):
        self.driver.get(url or self.url)
        self.wait_for("the window", lambda: self.js("return !!document.getElementById('Text1')"))

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def js_async(self, script, *args):
        """Runs a script that calls its last argument with the result."""
        return self.driver.execute_async_script(script, *args)

    def click(self, name):
        self.driver.find_element(By.ID, name).click()

    def key(self, key):
        """A key pressed on the control in focus: "Tab", "Enter" or " "."""
        keys = {"Tab": Keys.TAB, "Enter": Keys.ENTER, " ": Keys.SPACE}
        self.driver.switch_to.active_element.send_keys(keys[key])

    def hide(self):
        """Opens a second tab over the page."""
        self.tab = self.driver.current_window_handle
        self.driver.switch_to.new_window("tab")

    def show(self):
        self.driver.close()
        self.driver.switch_to.window(self.tab)

    def close(self):
        self.driver.quit()


class Firefox(Page):
    """Firefox ESR, headless, through puppeteer-core over WebDriver BiDi (firefox.mjs), with the
    fast clock: each of Chromium's ways to drive the page is a command to it."""

    def __init__(self, page, npm):
        super().__init__(page, npm)
        self.node = subprocess.Popen(["node", f"{npm}/firefox.mjs", "/usr/bin/firefox-esr"],
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.version = self.start(CLOCK + WATCH)

    def __getattr__(self, op):
        def send(*args):
            self.node.stdin.write(json.dumps([op, *args]) + "\n")
            self.node.stdin.flush()
            answer = json.loads(self.node.stdout.readline() or '{"error": "firefox.mjs ended"}')
            if "error" in answer:
                raise AssertionError(f"Firefox, {op}: {answer['error']}")
            return answer.get("value")
        return send

    def open(self, url=None):
        self.goto(url or self.url)

    def close(self):
        self.quit()
        self.node.stdin.close()
        self.node.wait()


class WebKit(Chromium):
    """WebKitGTK's MiniBrowser through Selenium's WebKitGTK driver, on an X display. It cannot
    run a script before the page's own, so the page keeps the real clock, and what it paints is
    watched from when it has opened."""
    fast = False
    live_regions = None

    def __init__(self, page, npm):
        Page.__init__(self, page, npm)
        options = webdriver.WebKitGTKOptions()
        options.binary_location = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
        options.add_argument("--automation")
        self.driver = webdriver.WebKitGTK(options=options)
        self.version = self.driver.capabilities["browserVersion"]

    def open(self, url=None):
        super().open(url)
        self.js(WATCH)
        self.wait_for("the first frame", self.painted)




def check(condition, what, *details):
    if not condition:
        raise AssertionError(what + ("" if not details else ": " + repr(details)))


def median(values):
    return sorted(values)[len(values) // 2] if values else float("nan")


def line_times(writes):
    """When the question and each line were written."""
    return [w["t"] for w in writes if w["value"] not in (NOTE, "")]


def apart(times):
    return [b - a for a, b in zip(times, times[1:])]


def check_pace(gaps):
    check(len(gaps) >= 2 and 990 <= min(gaps) and max(gaps) < 1250, "a line a second", gaps)


def lines_of(writes):
    """The numbers of the result lines that the runs appended, in order."""
    return [int(re.search(r" (\d+) = \d+ \+ \d+\n$", w["value"])[1]) for w in writes
            if not w["replaced"]]


def test_opening(page):
    page.open()
    title = page.js("return document.title")
    check(title == fensterdefinition.DEFINITION["Beschriftung"], "title", title)
    icon = page.js("const l = document.querySelector('link[rel=icon]'); return l && l.href")
    check(icon and icon.startswith("data:image/x-icon;base64,AAABAA"), "favicon", icon and icon[:40])
    check(page.text() == NOTE, "the note", page.text())
    check(page.flag() == "0", "brake flag", page.flag())
    name = page.js("return document.getElementById('Text1').getAttribute('aria-label')")
    check(name == fensterdefinition.element("Text1")["Zugangsname"], "the box's accessible name",
          name)
    check(page.js("return document.documentElement.outerHTML.includes('SIL Open Font License')"),
          "the font's licence in the page")
    # One file: nothing loaded from anywhere else.
    fetched = page.js("return performance.getEntriesByType('resource')"
                      ".map(r => r.name).filter(n => !n.startsWith('data:'))")
    check(fetched == [], "resources loaded besides the page", fetched)
    size = pathlib.Path(page.url.removeprefix("file://")).stat().st_size
    check(size <= 1_000_000, "the page's size", size)
    # Its worker, for the rest's timer, made from the page itself, opened from disk.
    check(page.js("return Seite.uhrwerk instanceof Worker"), "the page's worker")

    kinds = page.js("return [...document.querySelectorAll('#frmGoldbach > *')]"
                    ".map(e => e.tagName + '#' + e.id + ':' + "
                    "(e.tagName === 'TEXTAREA' ? e.value : e.textContent))")
    controls = fensterdefinition.DEFINITION["Steuerelemente"]
    check(kinds == [("TEXTAREA#" if e["Art"] == "Textfeld" else "BUTTON#") + e["Name"] + ":"
                    + fensterdefinition.inhalt(e["Name"]).replace("\r\n", "\n") for e in controls],
          "controls in tab order", kinds)
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
    fonts = fensterdefinition.DEFINITION["Schriften"]
    expected = {e["Name"]: [*fensterdefinition.rechteck(e["Name"]), f"{s['Punkt'] * 96 / 72:g}px",
                            f'"{s["Name"]}"', str(s["Gewicht"]), "normal", "none"]
                for e in controls for s in [fonts[e["Schrift"]]]}
    box = [fensterdefinition.pixel(fensterdefinition.DEFINITION[k])
           for k in ("Innenbreite", "Innenhoehe")]
    check(geometry == {"box": box, **expected}, "geometry and fonts", geometry)
    # The face the page carries loads, with the umlauts.
    faces = page.js_async(
        "const done = arguments[0];"
        "document.fonts.load('26px \"Wendelkamm Serif\"', 'äöüÄÖÜß').then("
        "  f => done(f.map(x => x.family + ' ' + x.status)), e => done(String(e)));")
    check(faces == ['"Wendelkamm Serif" loaded'] or faces == ["Wendelkamm Serif loaded"],
          "the embedded font", faces)

    check(page.focused() == "Text1", "focus at the start", page.focused())
    check(page.js("return document.getElementById('Text1').scrollTop") == 0, "note at its top")
    page.key("Tab")
    check(page.focused() == "cmdStart", "tab to Start", page.focused())
    page.key("Tab")
    check(page.focused() == "cmdNotbremse", "tab to Notbremse", page.focused())
    check(page.painted() == [NOTE], "only the note painted", page.painted())


def test_served(page):
    """The same page from a web server that lets it make no worker: the rest is then woken by
    the page's own timer (hidden, by its message queue, busy as the spinning wait was). In real
    time, as that timer keeps its pace: a line a second, and lines on while hidden."""
    server = Server({"Content-Security-Policy": "worker-src 'none'"})
    server.start(pathlib.Path(page.url.removeprefix("file://")).parent)
    try:
        page.open(f"http://127.0.0.1:{server.port}/{page.url.rsplit('/', 1)[1]}")
        check(page.js("return Seite.uhrwerk") is None, "a worker made against the server's word")
        page.js("window.__clock.tempo = 1")
        page.click("cmdStart")
        page.wait_painted("the line for 8", lambda v: v == QUESTION + line(6) + line(8))
        page.hide()
        time.sleep(2.5)
        page.show()
        page.wait_painted("the line for 14", lambda v: v.endswith(line(14)))
        page.js("window.__clock.tempo = %d" % TEMPO)
        page.click("cmdNotbremse")
        page.wait_stopped(1)
    finally:
        server.stop()
    shown = page.js("return window.__seen.shown")
    times = line_times(page.writes())[:6]
    check_pace(apart([t for t in times if t < shown[0][1]]))
    check(any(shown[0][1] < t < shown[1][1] for t in times), "lines while hidden", times, shown)


def test_run(page):
    """The first lines, the clear at 20, every text painted before the run's wait, one line a
    second of the page's clock, each appended to the box (only the question and the clear
    replace its text); started with Enter and braked with Space on the focused buttons."""
    page.open()
    page.key("Tab")
    page.key("Enter")  # on cmdStart
    last = 24 if page.fast else 10
    page.wait_painted(f"the line for {last}", lambda v: v.endswith(line(last)))
    page.key("Tab")
    page.key(" ")  # on cmdNotbremse
    page.wait_stopped(1)

    block = QUESTION
    expected = [NOTE, block]
    for n in range(6, min(last + 2, 20), 2):
        block += line(n)
        expected.append(block)
    if last >= 20:
        expected += ["", line(20), line(20) + line(22), line(20) + line(22) + line(24)]
    painted = page.painted()
    check(painted[:len(expected)] == expected, "what the page showed, in order",
          painted[:len(expected) + 1])
    writes = [w for w in page.writes() if w["value"] != NOTE]
    wrong = [w for w in writes if w["replaced"] != (w["value"] in (QUESTION, ""))]
    check(wrong == [], "a line not appended, or the question or clear not replacing", wrong[:2])
    if page.fast:
        times = [w["t"] for w in writes if w["value"]]  # the question and each line
        gaps = [b - a for a, b in zip(times, times[1:])]
        check(min(gaps) >= 990, "a second of the page's clock before each line", gaps)
    check(page.flags() == ["1", "0"], "the brake flag's values", page.flags())
    # Heard: the question and each new line, once, and nothing at the clear.
    said = [w["value"].splitlines()[-1] for w in writes if w["value"]]
    heard = page.js("return window.__seen.heard")
    check(heard == said, "what the live region was given", heard, said)
    if page.live_regions:
        # Marked live in Chromium's accessibility tree, it holds the lines that the box holds.
        block = [z.strip() for z in page.text().splitlines()]
        check(page.live_regions() == [("log", "polite", block)] and len(block) < len(said),
              "the live region in Chromium's accessibility tree", page.live_regions(), block)


def test_brake_idle(page):
    page.open()
    page.click("cmdNotbremse")
    page.wait_for("the flag raised", lambda: page.flag() == "1")
    check(page.text() == NOTE, "the note after the brake", page.text())
    page.click("cmdStart")
    page.wait_stopped(1)
    check(page.painted() == [NOTE, QUESTION], "the question and no line", page.painted())


def test_nested(page):
    """A second Start runs inside the first; the brake ends the inner run, the outer one goes
    on from the inner run's number, and a second brake ends it."""
    page.open()
    page.click("cmdStart")
    page.wait_painted("the line for 10", lambda v: v.endswith(line(10)))
    page.click("cmdStart")
    page.wait_for("the second question", lambda: page.painted().count(QUESTION) == 2)
    page.wait_painted("the inner run's line for 8",
                      lambda v: v.startswith(QUESTION) and v.endswith(line(8)))
    page.click("cmdNotbremse")
    page.wait_for("the inner run's end", lambda: page.flags() == ["1", "0"])
    after_inner = len(page.painted())
    page.wait_for("the outer run going on", lambda: len(page.painted()) > after_inner + 1)
    page.click("cmdNotbremse")
    page.wait_stopped(2)

    writes = page.writes()
    second = [i for i, w in enumerate(writes) if w["value"] == QUESTION][1]
    outer = lines_of(writes[:second])
    check(outer[:3] == [6, 8, 10], "the outer run's first lines", outer)
    both = lines_of(writes[second:])
    check(both == list(range(6, 6 + 2 * len(both), 2)) and len(both) >= 4,
          "the inner run's lines, then the outer run's from where the inner stopped", both)
    check(page.flags() == ["1", "0", "1", "0"], "the brake flag's values", page.flags())


def test_typed(page):
    """Text typed during a run stays as typed; the next line follows it directly."""
    page.open()
    # Typed through the browser's editing at the page's first event processing after the run's
    # first line: the line for 8 follows it.
    typed = "Zwei\nZeilen äöß € "
    page.js("""
        const [typed, first] = arguments, box = document.getElementById('Text1');
        const look = () => {
          if (!box.value.endsWith(first)) return setTimeout(look, 0);
          box.focus();
          box.setSelectionRange(box.value.length, box.value.length);
          document.execCommand('insertText', false, typed);
        };
        look();""", typed, line(6))
    page.click("cmdStart")
    value = QUESTION + line(6) + typed + line(8)
    page.wait_painted("the typed text with the line for 8 after it", lambda v: v == value)
    page.click("cmdNotbremse")
    page.wait_stopped(1)


def test_hidden(page):
    """A run in a tab hidden behind another goes on at its pace, a line a second of its clock,
    where a browser would hold back a hidden page's frames and timers: the rest is woken by a
    worker's timer, which the browser does not hold back."""
    page.open()
    page.click("cmdStart")
    page.wait_painted("the line for 8", lambda v: v.endswith(line(8)))
    page.hide()
    time.sleep(3)  # a minute of the page's clock
    page.show()
    page.click("cmdNotbremse")
    page.wait_stopped(1)
    shown = page.js("return window.__seen.shown")
    check([v for v, _ in shown] == ["hidden", "visible"], "the page hidden, then shown", shown)
    hidden = [w["t"] for w in page.writes() if shown[0][1] < w["t"] < shown[1][1]]
    gaps = sorted(apart(hidden))
    print(f"     hidden for {(shown[1][1] - shown[0][1]) / 1000:.0f} s of the page's clock: "
          f"{len(hidden)} lines, {median(gaps):.0f} ms apart on the median, {gaps[-1]:.0f} ms "
          f"at most")
    check(len(hidden) >= (shown[1][1] - shown[0][1]) / 1250 and gaps[-1] < 2000,
          "lines written while hidden, a second apart", len(hidden), shown, gaps)


def waits(readings):
    """Milliseconds by which each one-second wait ended late, from the program's clock readings:
    a wait ends at its first reading a second or more after its first; the next starts anew."""
    late, start = [], None
    for t in readings:
        if start is None:
            start = t
        elif t >= start + 1000:
            late.append(t - start - 1000)
            start = None
    return late


def test_resting(page):
    """In real time, while the run rests out its second: a script from outside answers at once,
    the page's thread is mostly idle, a line comes a second; text typed into the box stays, the
    next line directly after it, and a click only queues for the next event processing."""
    page.open()
    page.js("window.__clock.tempo = 1")
    page.driver.execute_cdp_cmd("Performance.enable", {})
    metrics = lambda: {m["name"]: m["value"] for m in page.driver.execute_cdp_cmd(
        "Performance.getMetrics", {})["metrics"]}
    page.click("cmdStart")
    page.wait_painted("the line for 6", lambda v: v.endswith(line(6)))
    # Sixteen scripts from outside, each a quarter of a second after the answer to the last,
    # at any point of the run's second; the test's own watch of each frame paused meanwhile.
    page.js("window.__seen.paused = true")
    before, answers = metrics(), []
    for _ in range(16):
        time.sleep(0.25)
        asked = time.perf_counter()
        page.js("return 0")
        answers.append(1000 * (time.perf_counter() - asked))
    after = metrics()
    page.js("window.__seen.paused = false; window.__seen.frame()")
    busy = ((after["TaskDuration"] - before["TaskDuration"]) /
            (after["Timestamp"] - before["Timestamp"]))

    # Typed into the box and the brake clicked in the middle of a rest.
    seen = len(lines_of(page.writes()))
    def next_line():
        numbers = lines_of(page.writes())
        return len(numbers) > seen and numbers[-1] % 20 not in (16, 18) and numbers[-1]
    n = page.wait_for("a line two or more before a clear", next_line)
    time.sleep(max(0.0, (page.writes()[-1]["t"] + 300 - page.js("return Date.now()")) / 1000))
    typed = "Zwischendurch "
    page.driver.find_element(By.ID, "Text1").send_keys(typed)
    page.click("cmdNotbremse")
    queued = page.js("return [document.getElementById('cmdNotbremse').dataset.tag, Date.now()]")
    page.wait_for("the brake's reset", lambda: page.flags().count("0") >= 1)
    page.js("window.__clock.tempo = %d" % TEMPO)
    page.wait_stopped(1)

    writes = page.writes()
    times = line_times(writes)
    late = waits([t for t in page.js("return window.__clock.readings") if t < times[-1]])
    gaps = apart(times)
    print(f"     real time: main thread busy {100 * busy:.1f} % of the time; scripts from "
          f"outside answered in {median(answers):.1f} ms median, {max(answers):.1f} ms at most; "
          f"lines {median(gaps):.0f} ms apart on the median, {max(gaps):.0f} ms at most; "
          f"waits ended {median(late):.1f} ms late on the median, {max(late or [0]):.1f} ms "
          f"at most")
    check(median(answers) < 50, "scripts from outside answered late", answers)
    check(busy < 0.05, "the page's thread busy during the rest", busy)
    check_pace(gaps)
    check(queued[0] == "0" and queued[1] < writes[-1]["t"] - 100,
          "the brake's handler run during the rest", queued, writes[-1]["t"])
    check(page.text().endswith(line(n) + typed + line(n + 2)) and lines_of(writes)[-1] == n + 2,
          "the typed text, directly followed by the next line, the last", page.text())


FIT = """
const w = document.getElementById('Fenster'), r = w.getBoundingClientRect();
const html = document.documentElement;
return {sideways: html.scrollWidth - html.clientWidth, edges: [r.left, r.top, r.right, r.bottom],
        scales: [...w.querySelectorAll('*')].filter(e => e.offsetWidth)
                  .map(e => Math.round(1000 * e.getBoundingClientRect().width / e.offsetWidth)),
        wrapped: document.getElementById('Text1').scrollHeight};"""


def test_screens(page):
    """On phones, upright and across, the window scales down as one picture, its note wrapped
    as at full size, with no sideways scroll; a tap on a button clicks it."""
    full = None
    for width, height in ((800, 900), (360, 640), (320, 568), (640, 360)):
        page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 2, "mobile": True})
        page.open()
        fit = page.js(FIT)
        full = full or fit
        left, top, right, bottom = fit["edges"]
        check(fit["sideways"] <= 0 and left >= 0 and top >= 0 and right <= width and bottom <= height
              and len(set(fit["scales"])) == 1 and (fit["scales"][0] < 1000) == (fit != full)
              and fit["wrapped"] == full["wrapped"], f"the window on {width} x {height}", fit)
    for name in ("cmdStart", "cmdNotbremse"):
        x, y = page.js(f"const r = document.getElementById('{name}').getBoundingClientRect();"
                       "return [r.x + r.width / 2, r.y + r.height / 2]")
        for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
            page.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                        {"type": kind, "touchPoints": points})
        page.wait_painted("the run started by a tap", lambda v: v.startswith(QUESTION))
    page.wait_stopped(1)
    page.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def test_audit(page):
    """axe-core finds nothing to report on the page as it opens, nor during a run."""
    axe = pathlib.Path(page.npm, "node_modules/axe-core/axe.min.js").read_text("utf-8")
    page.open()
    found = []
    for moment in ("as it opens", "during a run"):
        if moment == "during a run":
            page.click("cmdStart")
            page.wait_painted("the line for 8", lambda v: v.endswith(line(8)))
        page.js(axe)
        result = page.js_async("axe.run(document).then(r => arguments[0]({version: axe.version,"
                               "passed: r.passes.length, violations: r.violations.map("
                               "v => v.id + ' (' + v.nodes.length + ')')}))")
        found += [f"{moment}: {v}" for v in result["violations"]]
        print(f"     axe-core {result['version']} {moment}: {result['passed']} rules passed, "
              f"{len(result['violations'])} violated")
    page.click("cmdNotbremse")
    page.wait_stopped(1)
    check(found == [], "axe-core's findings", found)


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
    page.click("cmdNotbremse")
    page.wait_for("the innermost run's end", lambda: page.flags() == ["1", "0"], 60)
    before = len(page.painted())
    page.wait_for("the next run going on", lambda: len(page.painted()) > before + 1, 60)
    check(not page.errors(), "errors in the page", page.errors())
    print(f"1000 nested runs open after {opened:.1f} s; asyncify keeps {used} bytes of the "
          f"chain of calls at the innermost run's event processing")
    check(used > 0, "a suspended program at the event processing", used)


# The core scenarios run in every engine; the rest where the engine lets the test do it.
CORE = [test_opening, test_run, test_brake_idle, test_nested]
ENGINES = {
    "chromium": (Chromium, CORE + [test_served, test_typed, test_hidden, test_resting, test_screens,
                                   test_audit]),
    "firefox": (Firefox, CORE + [test_hidden]),
    "webkit": (WebKit, CORE),
    "deep": (Chromium, [test_deep]),
}


def main():
    page_file, engine, npm = sys.argv[1:]
    kind, tests = ENGINES[engine]
    page = kind(page_file, npm)
    print(f"{kind.__name__} {page.version}")
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
