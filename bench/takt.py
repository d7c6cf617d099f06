#!/usr/bin/python3
"""A run of one of the programs: the processor time it takes per second of the run, its pace (the
time from one number to the next), its start to the painted window and, on X, its peak memory
idle and at the end of the run. Prints one line of JSON.

    bench/takt.py qt PROGRAMM [SEKUNDEN]            on the X display in DISPLAY
    bench/takt.py wine PROGRAMM.exe [SEKUNDEN]      the same, in WINEPREFIX (X11 driver)
    bench/takt.py seite SEITE.html [SEKUNDEN]       in headless Chromium

The run is timed for SEKUNDEN (60 unless given) from its first number on. On X a number is seen
when the X server reports that the window changes after a quiet spell (the DAMAGE extension: it
costs the program nothing), on the page when the page writes it. Processor time (user and system)
is read from /proc: of the program's process, under Wine also of the prefix's wineserver; of the
page's renderer processes, beside its main thread's task time (DevTools, TaskDuration)."""
import json
import os
import pathlib
import select
import statistics
import subprocess
import sys
import time

from Xlib import X, display
from Xlib.ext import damage

WURZEL = pathlib.Path(__file__).resolve().parents[1]
sys.path[:0] = [str(WURZEL / "window"), str(WURZEL / "tests/web")]
import fensterdefinition  # noqa: E402

STARTS = 5  # each start timed, after one that warms up; the run goes on in the last
RUHE = 0.3  # s without a change of the window before a change counts as the next number


def stat(pid):
    """A process's figures in /proc after its name: state, parent, ..."""
    return pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()


def prozessorzeit(pid):
    """User plus system time of a process in seconds."""
    return (int(stat(pid)[11]) + int(stat(pid)[12])) / os.sysconf("SC_CLK_TCK")


def weckrufe(pid):
    """How often the process's threads have gone to sleep and been woken (voluntary context
    switches), all together."""
    return sum(int(next(z for z in (t / "status").read_text().splitlines()
                        if z.startswith("voluntary_ctxt_switches:")).split()[1])
               for t in pathlib.Path(f"/proc/{pid}/task").iterdir())


def ahnen(pid):
    """The process, its parent, its parent's parent ... up to init."""
    kette = [pid]
    while kette[-1] > 1:
        kette.append(int(stat(kette[-1])[1]))
    return kette


def spitze_mib(pid):
    """The process's peak resident memory."""
    zeile = next(z for z in open(f"/proc/{pid}/status") if z.startswith("VmHWM:"))
    return round(int(zeile.split()[1]) / 1024, 1)


def prozesse(wort, umgebung=""):
    """The processes whose command line holds wort and whose environment holds umgebung."""
    def lesen(p, datei):
        try:
            return (p / datei).read_text()
        except OSError:
            return ""
    return [int(p.name) for p in pathlib.Path("/proc").glob("[0-9]*")
            if wort in lesen(p, "cmdline") and umgebung in lesen(p, "environ")]


def takt(zeiten, t0, t1):
    """The pace of the numbers written between t0 and t1 (seconds, on any clock), from the moments
    the program wrote or drew: one that follows another within RUHE belongs to it."""
    zahlen = [t for i, t in enumerate(zeiten)
              if t0 <= t <= t1 and (i == 0 or t - zeiten[i - 1] > RUHE)]
    if len(zahlen) < 2:
        raise SystemExit(f"{len(zahlen)} numbers in the run")
    abstaende = [(b - a) * 1000 for a, b in zip(zahlen, zahlen[1:])]
    return {"Zahlen": len(zahlen), "Takt_Median_ms": round(statistics.median(abstaende), 1),
            "Takt_Hoechstens_ms": round(max(abstaende), 1)}


class Bildschirm:
    """The X display: starts a program and finds its window by the caption, and tells when a
    window changes."""

    def __init__(self):
        self.d = display.Display()
        self.d.damage_query_version()
        self.d.set_error_handler(lambda *_: None)  # a window gone before it was watched
        self.wurzel = self.d.screen().root
        self.wurzel.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.beschriftung = fensterdefinition.DEFINITION["Beschriftung"]

    def ereignis(self, bis):
        """The next event, or None once the monotonic clock reaches bis."""
        while not self.d.pending_events():
            if not select.select([self.d], [], [], max(0, bis - time.monotonic()))[0]:
                return None
        return self.d.next_event()

    def starten(self, befehl):
        """Starts the program and waits until its window is painted: gives the process, the
        window and the seconds from the start to the window's last change before it rests. Every
        window is watched from its creation, so that no paint comes before the watch."""
        anfang = time.monotonic()
        prozess = subprocess.Popen(befehl, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        fenster, gemalt, bis = None, None, anfang + 60
        while (e := self.ereignis(bis)) is not None:
            if e.type == X.CreateNotify:
                e.window.damage_create(damage.DamageReportRawRectangles)
            elif e.type == X.MapNotify and e.window.get_wm_name() == self.beschriftung:
                fenster = e.window
            elif fenster and e.type == self.d.extension_event.DamageNotify \
                    and e.drawable == fenster:
                gemalt = time.monotonic()
                bis = gemalt + RUHE
        if not gemalt:
            raise SystemExit(f"no window of {befehl}")
        return prozess, fenster, gemalt - anfang

    def zahlen(self, fenster, bis, jede=lambda t: None):
        """The moments the window changes after a quiet spell, until bis, each given to jede."""
        zeiten, letzte = [], 0
        while (e := self.ereignis(bis)) is not None:
            if e.type == self.d.extension_event.DamageNotify and e.drawable == fenster:
                if time.monotonic() - letzte > RUHE:
                    zeiten.append(time.monotonic())
                    jede(zeiten[-1])
                letzte = time.monotonic()
        return zeiten

    def klicken(self, fenster, name):
        """Clicks the middle of a control (script/click)."""
        subprocess.run([WURZEL / "script/click", "--window", str(fenster.id), name], check=True,
                       stdout=subprocess.DEVNULL)


def auf_x(art, programm, sekunden):
    x, starts, messungen = Bildschirm(), [], []
    praefix = f"WINEPREFIX={os.environ['WINEPREFIX']}\0" if art == "wine" else ""
    for i in range(STARTS + 1):
        if i:
            prozess.terminate()
            prozess.wait()
        prozess, fenster, dauer = x.starten(["wine", programm] if praefix else [programm])
        starts.append(dauer)
    pid = prozess.pid  # under Wine too: wine becomes the program's process
    uhren = [pid, *prozesse("wineserver", praefix)[:1]] if praefix else [pid]
    time.sleep(2)
    ergebnis = {"Programm": programm, "Start_ms": round(statistics.median(starts[1:]) * 1000),
                "Speicher_ruhend_MiB": spitze_mib(pid)}

    def messen(t):
        messungen.append([t, sum(map(weckrufe, uhren)), *map(prozessorzeit, uhren)])

    x.klicken(fenster, "cmdStart")
    # The question, then the first number: the run is timed from there.
    zahlen = x.zahlen(fenster, time.monotonic() + 2.5)
    if len(zahlen) < 2:
        raise SystemExit("the run wrote no number")
    messen(zahlen[1])
    zahlen += x.zahlen(fenster, zahlen[1] + sekunden + 0.5, messen)
    anfang = messungen[0]
    ende = [m for m in messungen if m[0] <= anfang[0] + sekunden + 0.1][-1]
    ergebnis |= takt(zahlen, anfang[0], ende[0])
    ergebnis["Weckrufe_je_Sekunde"] = round((ende[1] - anfang[1]) / (ende[0] - anfang[0]), 1)
    for name, a, b in zip(("Prozessor_Prozent", "Wineserver_Prozent"), anfang[2:], ende[2:]):
        ergebnis[name] = round((b - a) / (ende[0] - anfang[0]) * 100, 2)
    ergebnis["Speicher_Lauf_MiB"] = spitze_mib(pid)
    prozess.terminate()
    prozess.wait()
    return ergebnis


# Each write to the box, at the wall clock in milliseconds.
SCHREIBEN = """
window.__schreiben = [];
const P = HTMLTextAreaElement.prototype;
const wert = Object.getOwnPropertyDescriptor(P, 'value'), einfuegen = P.setRangeText;
const merken = () => window.__schreiben.push(performance.timeOrigin + performance.now());
Object.defineProperty(P, 'value', {...wert, set(v) { wert.set.call(this, v); merken(); }});
P.setRangeText = function (...a) { einfuegen.apply(this, a); merken(); };
"""
# The first contentful paint, once the window is built.
ANSTRICH = """return document.getElementById('Text1')
    && performance.getEntriesByName('first-contentful-paint')[0]?.startTime"""


def seite(pfad, sekunden):
    from browser import chromium

    seite = pathlib.Path(pfad).resolve()
    treiber = chromium(800, 600)
    try:
        treiber.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": SCHREIBEN})
        starts = []
        for _ in range(STARTS + 1):
            treiber.get("about:blank")
            treiber.get(seite.as_uri())
            while not (anstrich := treiber.execute_script(ANSTRICH)):
                time.sleep(0.01)
            starts.append(anstrich)
        treiber.execute_cdp_cmd("Performance.enable", {})
        treiber_pid = treiber.service.process.pid
        renderer = [p for p in prozesse("--type=renderer") if treiber_pid in ahnen(p)]

        def messen():
            haupt = next(m["value"] for m in treiber.execute_cdp_cmd("Performance.getMetrics", {})
                         ["metrics"] if m["name"] == "TaskDuration")
            return (time.time(), haupt, sum(map(prozessorzeit, renderer)),
                    sum(map(weckrufe, renderer)))

        treiber.execute_script("document.getElementById('cmdStart').click()")
        time.sleep(1.5)  # the question and the first number
        anfang = messen()
        time.sleep(sekunden)
        ende = messen()
        zahlen = [t / 1000 for t in treiber.execute_script("return window.__schreiben")]
    finally:
        treiber.quit()
    dauer = ende[0] - anfang[0]
    return {"Programm": str(seite), "Bytes": seite.stat().st_size,
            "Start_ms": round(statistics.median(starts[1:])),
            **takt(zahlen, anfang[0], ende[0]),
            "Hauptfaden_Prozent": round((ende[1] - anfang[1]) / dauer * 100, 2),
            "Prozessor_Prozent": round((ende[2] - anfang[2]) / dauer * 100, 2),
            "Weckrufe_je_Sekunde": round((ende[3] - anfang[3]) / dauer, 1)}


if __name__ == "__main__":
    art, programm = sys.argv[1:3]
    sekunden = float(sys.argv[3]) if len(sys.argv) > 3 else 60
    messung = seite if art == "seite" else lambda *a: auf_x(art, *a)
    print(json.dumps(messung(programm, sekunden)))
