#!/usr/bin/python3
"""Drives the real Wendelkamm under X as a user and a screen reader would.

It reads the window through the accessibility bus (AT-SPI), clicks with the X pointer
(xdotool), types with the keyboard while the screen reader Orca listens, and closes the window
the way a window manager does (WM_DELETE_WINDOW). Run it in an X session with a D-Bus session
bus, e.g.:

    xvfb-run -a dbus-run-session -- tests/abnahme.py build/app/wendelkamm

The program may be a command (qemu-aarch64 -L / wendelkamm); before it, --slow 10 makes every
time limit ten times as long, for a slower program, and --ohne-orca leaves out what Orca says
(for a system without Orca).
"""
import os
import pathlib
import re
import statistics
import subprocess
import sys
import tempfile
import time

import pyatspi
from Xlib import X, display, protocol

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "window"))
import fensterdefinition  # noqa: E402

BOX_NAME = fensterdefinition.element("Text1")["Zugangsname"]

NOTE = ("KORVANT hatte im Jahr 1900 die \nFrage aufgeworfen: \nGibt es einen Algorithmus, durch den \n"
        "für jede (ausreichend formalisierte) \nAussage der Mathematik entschieden \n"
        "werden kann, ob diese wahr oder \nfalsch ist? \n\nVelschor beweist im Jahre 1936, \n"
        "dass das unmöglich ist.\n")
QUESTION = "Terminiert dieser Algorithmus?\n"
SLOW = 1.0  # factor on every time limit


def fail(message):
    print("FAILED:", message)
    sys.exit(1)


def wait_for(what, check, seconds):
    end = time.monotonic() + seconds * SLOW
    while time.monotonic() < end:
        value = check()
        if value:
            return value
        time.sleep(0.1)
    fail(f"timed out waiting for {what}")


def find(node, role, name=None):
    if node is None:
        return None
    # By the role, not its name, which AT-SPI 2.56 (Debian 13) changed ("push button" to "button").
    if (node.getRole() == getattr(pyatspi, "ROLE_" + role.upper().replace(" ", "_"))
            and (name is None or node.name == name)):
        return node
    for child in node:
        found = find(child, role, name)
        if found:
            return found
    return None


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Wendelkamm":
            return app
    return None


def text_of(box):
    return box.queryText().getText(0, -1)


def unchanged_for(box, seconds):
    # A check that gives the text once it has stayed the same for the seconds given.
    seen = [text_of(box), time.monotonic()]

    def check():
        if text_of(box) != seen[0]:
            seen[:] = [text_of(box), time.monotonic()]
        return seen[0] if time.monotonic() - seen[1] >= seconds else None
    return check


def click(button):
    # A real click of the X pointer in the middle of the button.
    x, y, w, h = button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"],
                   check=True)


def x_window(name):
    # The mapped one: Qt keeps a hidden helper window of the same name.
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{name}$"],
                         capture_output=True, text=True).stdout.split()
    return int(out[0]) if out else None


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def latencies(box):
    """Seconds of ten readings of the box's text and of its name, each a call into the program."""
    times = []
    for _ in range(10):
        for read in (text_of, lambda b: b.get_name()):
            box.clear_cache()  # a real call, not the bus library's cached copy
            begin = time.monotonic()
            try:
                read(box)
            except Exception as error:  # the bus gave up waiting for the program's answer
                fail(f"reading the box during a run failed after "
                     f"{time.monotonic() - begin:.1f} s: {error}")
            times.append(time.monotonic() - begin)
    return times


class Orca:
    """Debian's screen reader, in this X session and on this bus, with its debug log.

    The log is written in chunks: it is read once Orca has ended. Speech is matched to keys in the
    log's own order, as Orca took them."""

    def __init__(self, folder):
        self.log = os.path.join(folder, "orca.log")
        self.process = subprocess.Popen(
            ["orca", "--user-prefs", os.path.join(folder, "orca"), "--debug-file", self.log],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("Orca on the accessibility bus", lambda: any(
            a is not None and a.name == "orca" for a in pyatspi.Registry.getDesktop(0)), 30)

    def end(self):
        """Ends Orca; gives for each key it took, in order, the key and what it spoke after it."""
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.process.kill()
                fail("Orca did not end")
        taken = []
        # Lines end with LF only: a spoken line of the box may hold Qt's paragraph separator.
        for line in pathlib.Path(self.log).read_text("utf-8", "replace").split("\n"):
            pressed = re.match(r"vvvvv PROCESS ATSPI_KEY_PRESSED_EVENT: '(.*)'", line)
            spoken = re.search(r" - SPEECH OUTPUT: '(.*)' ?\[?\{'established", line)
            if pressed:
                taken.append((pressed.group(1), []))
            elif spoken and taken:
                taken[-1][1].append(spoken.group(1))
        return taken


def close_as_window_manager(window_id):
    d = display.Display()
    window = d.create_resource_object("window", window_id)
    protocols = d.intern_atom("WM_PROTOCOLS")
    delete = d.intern_atom("WM_DELETE_WINDOW")
    if delete not in (window.get_wm_protocols() or []):
        fail("the window does not take WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                         data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(event, event_mask=X.NoEventMask)
    d.sync()  # a round trip: a mere flush may leave the message unsent when the connection closes
    d.close()


def main():
    global SLOW
    command = sys.argv[1:]
    screen_reader = True
    while command[:1] in (["--slow"], ["--ohne-orca"]):
        if command[0] == "--slow":
            SLOW, command = float(command[1]), command[2:]
        else:
            screen_reader, command = False, command[1:]
    program = subprocess.Popen(command)
    orca = None
    folder = tempfile.TemporaryDirectory()
    try:
        window_id = wait_for("the window", lambda: x_window("Wendelkamm"), 10)
        # The keyboard goes to the window, and it is the active one, as a window manager makes it.
        subprocess.run(["xdotool", "windowfocus", "--sync", str(window_id)], check=True)
        app = wait_for("the program on the accessibility bus", application, 10)
        frame = wait_for("the frame", lambda: find(app, "frame", "Wendelkamm"), 5)
        box = find(frame, "text")
        start = find(frame, "push button", "Start")
        brake = find(frame, "push button", "Notbremse")
        if not (box and start and brake):
            fail("the text box or a button is missing")
        if text_of(box) != NOTE:
            fail(f"the note reads {text_of(box)!r}")
        if box.name != BOX_NAME:
            fail(f"the box is called {box.name!r}, not {BOX_NAME!r}")
        print(f"ok: window 'Wendelkamm' with the note in '{BOX_NAME}', Start and Notbremse")
        if screen_reader:
            orca = Orca(folder.name)

        # The first run by keyboard: Tab to Start, Space.
        key("Tab")
        wait_for("the focus on Start", lambda: focused(start), 5)
        key("space")
        wait_for("the question", lambda: text_of(box).startswith(QUESTION), 5)
        wait_for("the line for 6", lambda: text_of(box).startswith(QUESTION + " 6 = 3 + 3\n"), 5)
        wait_for("the line for 8", lambda: " 8 = 3 + 5\n" in text_of(box), 5)
        print("ok: Start shows the question, then ' 6 = 3 + 3', then ' 8 = 3 + 5'")

        # During the run the program answers a screen reader at once, not once a second.
        times = latencies(box)
        median, longest = statistics.median(times), max(times)
        if median > 0.1 * SLOW or longest > 0.5 * SLOW:
            fail(f"reading the box during a run took {median * 1000:.1f} ms median, "
                 f"{longest * 1000:.1f} ms at most")
        print(f"ok: during a run the box's text and name are read in {median * 1000:.1f} ms "
              f"median, {longest * 1000:.1f} ms at most")

        # During the run: back into the box for two more lines, Tab on to Notbremse, Space there
        # brakes it, Tab on to the box.
        key("shift+Tab")
        wait_for("the focus in the box", lambda: focused(box), 5)
        lines = text_of(box).count("\n")
        wait_for("two more lines", lambda: text_of(box).count("\n") >= lines + 2, 5)
        key("Tab")
        wait_for("the focus on Start", lambda: focused(start), 5)
        key("Tab")
        wait_for("the focus on Notbremse", lambda: focused(brake), 5)
        time.sleep(0.5)  # Orca's turn to speak
        key("space")
        # A run writes a line each second and reads the brake within two: a text that stays the
        # same for 2.5 s is that of a stopped run.
        stopped = wait_for("the run to stop", unchanged_for(box, 2.5), 10)
        key("Tab")
        wait_for("the focus in the box", lambda: focused(box), 5)
        time.sleep(1.5)
        if text_of(box) != stopped:
            fail("the run went on after Space on Notbremse")
        print("ok: Tab reaches Notbremse during a run, Space there stops it, Tab reaches the box")
        if orca:
            taken = orca.end()
            orca = None
            keys = [name for name, _ in taken]
            if "Backtab" not in keys:
                fail(f"Orca took no Shift+Tab: {keys}")
            in_box, *tabs = [spoken for name, spoken in taken[keys.index("Backtab"):]
                             if name in ("Backtab", "Tab")]
            if not any(re.search(r"\d+ = \d+ \+ \d+", s) for s in in_box):
                fail(f"Orca spoke no new line with the focus in the box: {in_box}")
            if len(tabs) < 3 or not any("Notbremse" in s for s in tabs[1]):
                fail(f"Orca did not speak Notbremse after Tab during the run: {taken}")
            if not any(BOX_NAME in s for s in tabs[2]):
                fail(f"Orca did not speak '{BOX_NAME}' after Tab behind the brake: {taken}")
            print(f"ok: Orca read the run's lines in the box ({in_box[-1]!r}), said {tabs[1]} "
                  f"on Notbremse and {tabs[2][:2]} after the brake")

        click(start)
        wait_for("the line for 6 of a second run",
                 lambda: text_of(box) == QUESTION + " 6 = 3 + 3\n", 5)
        wait_for("the line for 8 of a second run", lambda: " 8 = 3 + 5\n" in text_of(box), 5)
        click(brake)
        stopped = wait_for("the run to stop", unchanged_for(box, 2.5), 10)
        time.sleep(2.0)
        if text_of(box) != stopped:
            fail("the run went on after Notbremse")
        lines = stopped.split("\n")
        if lines[0] != QUESTION.strip() or not stopped.endswith("\n") or len(lines) < 4:
            fail(f"unexpected text after the brake: {stopped!r}")
        print(f"ok: Notbremse stopped the run after {len(lines) - 2} lines")

        click(start)
        wait_for("the line for 6 of a third run",
                 lambda: text_of(box) == QUESTION + " 6 = 3 + 3\n", 5)
        close_as_window_manager(window_id)
        try:
            status = program.wait(timeout=5 * SLOW)
        except subprocess.TimeoutExpired:
            fail("the program did not end after the window was closed during a run")
        if status != 0:
            fail(f"the program ended with status {status}")
        print("ok: closing the window during a run ends the program with status 0")
    finally:
        if program.poll() is None:
            program.kill()
        if orca and orca.process.poll() is None:
            orca.process.kill()
        folder.cleanup()
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
