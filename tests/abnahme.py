#!/usr/bin/python3
"""Drives the real Wendelkamm under X as a user and a screen reader would.

It reads the window through the accessibility bus (AT-SPI), clicks with the X pointer
(xdotool) and closes the window the way a window manager does (WM_DELETE_WINDOW). Run it in an
X session with a D-Bus session bus, e.g.:

    xvfb-run -a dbus-run-session -- tests/abnahme.py build/app/wendelkamm

The program may be a command (qemu-aarch64 -L / wendelkamm); --slow 10 before it makes every
time limit ten times as long, for a slower program.
"""
import subprocess
import sys
import time

import pyatspi
from Xlib import X, display, protocol

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
    if command[:1] == ["--slow"]:
        SLOW, command = float(command[1]), command[2:]
    program = subprocess.Popen(command)
    try:
        window_id = wait_for("the window", lambda: x_window("Wendelkamm"), 10)
        app = wait_for("the program on the accessibility bus", application, 10)
        frame = wait_for("the frame", lambda: find(app, "frame", "Wendelkamm"), 5)
        box = find(frame, "text")
        start = find(frame, "push button", "Start")
        brake = find(frame, "push button", "Notbremse")
        if not (box and start and brake):
            fail("the text box or a button is missing")
        if text_of(box) != NOTE:
            fail(f"the note reads {text_of(box)!r}")
        print("ok: window 'Wendelkamm' with the note, Start and Notbremse")

        click(start)
        wait_for("the question", lambda: text_of(box).startswith(QUESTION), 5)
        wait_for("the line for 6", lambda: text_of(box).startswith(QUESTION + " 6 = 3 + 3\n"), 5)
        wait_for("the line for 8", lambda: " 8 = 3 + 5\n" in text_of(box), 5)
        print("ok: Start shows the question, then ' 6 = 3 + 3', then ' 8 = 3 + 5'")

        click(brake)
        # A run writes a line each second and reads the brake within two: a text that stays the
        # same for 2.5 s is that of a stopped run.
        stopped = wait_for("the run to stop", unchanged_for(box, 2.5), 10)
        time.sleep(2.0)
        if text_of(box) != stopped:
            fail("the run went on after Notbremse")
        lines = stopped.split("\n")
        if lines[0] != QUESTION.strip() or not stopped.endswith("\n") or len(lines) < 4:
            fail(f"unexpected text after the brake: {stopped!r}")
        print(f"ok: Notbremse stopped the run after {len(lines) - 2} lines")

        click(start)
        wait_for("the line for 6 of a second run",
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
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
