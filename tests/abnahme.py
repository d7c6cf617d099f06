#!/usr/bin/python3
"""Drives the real Wendelkamm under X, or on Wayland, as a user and a screen reader would.

It reads the window through the accessibility bus (AT-SPI), clicks with the X pointer
(xdotool), goes through a run by keyboard while the screen reader Orca listens, types into the
box, starts a run inside a run, measures a run's processor time and pace, and pings and closes
the window as a window manager does (_NET_WM_PING, WM_DELETE_WINDOW). Run it in an X session
with a D-Bus session bus, e.g.:

    xvfb-run -a dbus-run-session -- tests/abnahme.py build/app/wendelkamm

--wayland ID starts weston's headless compositor and the program on it, without X: buttons are
pressed by their accessibility action, the application id that the window gives the compositor,
which must be ID, is read from weston's protocol log, and what needs a keyboard or a pointer is
skipped with its reason:

    dbus-run-session -- tests/abnahme.py --wayland de.wendelkamm.wendelkamm build/app/wendelkamm

The program may be a command (qemu-aarch64 -L / wendelkamm); before it, --slow 10 makes every
time limit ten times as long, for a slower program, and --without-orca leaves out what Orca says
(for a system without Orca).
"""
import argparse
import os
import pathlib
import re
import select
import statistics
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib
from Xlib import X, display, protocol

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "window"))
import fensterdefinition  # noqa: E402
from pruefdaten import zeile  # noqa: E402

CAPTION = fensterdefinition.DEFINITION["Beschriftung"]
START, BRAKE = fensterdefinition.inhalt("cmdStart"), fensterdefinition.inhalt("cmdNotbremse")
LINE_6, LINE_8 = zeile(6), zeile(8)
BOX_NAME = fensterdefinition.element("Text1")["Zugangsname"]

NOTE = fensterdefinition.inhalt("Text1").replace("\r\n", "\n")
QUESTION = fensterdefinition.DEFINITION["Frage"] + "\n"
RESULT = r"(\d+) = \d+ \+ \d+"
LINE = re.compile(f" ?{RESULT}\n")
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


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def first_lines(box, run):
    wait_for(f"the line for 6 of {run}", lambda: text_of(box) == QUESTION + LINE_6, 5)
    wait_for(f"the line for 8 of {run}", lambda: LINE_8 in text_of(box), 5)


def numbers(text):
    return [int(n) for n in LINE.findall(text)]


def gaps(heard):
    return [b[0] - a[0] for a, b in zip(heard, heard[1:])]


def ms(seconds):
    return [round(s * 1000) for s in seconds]


def processor_seconds(pid):
    """The processor time that the process has used so far, all threads (utime + stime)."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()  # from the third field, the state, on
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def new_lines(seconds):
    """(moment, number) of each result line that reached the accessibility bus in the seconds
    given: what a screen reader hears, which asks nothing of the program."""
    heard = []

    def listener(event):
        found = re.search(RESULT, str(event.any_data))
        if found:
            heard.append((time.monotonic(), int(found.group(1))))
    pyatspi.Registry.registerEventListener(listener, "object:text-changed:insert")
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop() or False)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(listener, "object:text-changed:insert")
    return heard


def resting_run(program, seconds):
    """Over the seconds given of a run, the program rests while it waits out each second and
    still writes a line a second."""
    used, begin = processor_seconds(program.pid), time.monotonic()
    heard = new_lines(seconds)
    used, elapsed = processor_seconds(program.pid) - used, time.monotonic() - begin
    share, between = used / elapsed, gaps(heard)
    steps = [b[1] - a[1] for a, b in zip(heard, heard[1:])]
    if len(between) < seconds - 2 or steps != [2] * len(between):
        fail(f"in {elapsed:.1f} s of a run the lines {[n for _, n in heard]} came")
    median, longest = statistics.median(between), max(between)
    figures = (f"{used:.2f} s of processor time in {elapsed:.1f} s ({share * 100:.1f} % of a "
               f"core); a line every {median * 1000:.0f} ms median, {longest * 1000:.0f} ms at "
               f"most ({ms(between)} ms)")
    if share > 0.05 * SLOW:  # a spinning wait takes a core, a resting one about 1 %
        fail("the run keeps the processor busy: " + figures)
    # The times carry the bus's delay, a few ms, and the float clock's steps (1/128 s at night).
    if abs(median - 1.0) > 0.02 * SLOW or longest > 1.0 + 0.15 * SLOW:
        fail("the run lost its pace: " + figures)
    print("ok: during a run, " + figures)


def wakeups(pid):
    """How often the process's threads have gone to sleep and been woken so far, all together
    (voluntary context switches)."""
    total = 0
    for task in pathlib.Path(f"/proc/{pid}/task").iterdir():
        status = (task / "status").read_text()
        total += int(re.search(r"^voluntary_ctxt_switches:\s*(\d+)", status, re.M).group(1))
    return total


def connected(name):
    try:
        return display.Display(name)
    except Exception:  # not yet taking connections
        return None


def quiet_run(command, seconds):
    """Wake-ups a second of a run on a desktop where no screen reader runs: a second X server
    and a session bus of the program's own, without an accessibility bus, Start clicked with the
    pointer. The box, read from the X server, must change during the run."""
    # A display number free here and in every namespace that shares this one's abstract sockets
    # (a root of autopkgtest's, say, whose X server's lock file is not seen here).
    taken = pathlib.Path("/proc/net/unix").read_text()
    number = next(n for n in range(200, 400) if f"@/tmp/.X11-unix/X{n}\n" not in taken
                  and not os.path.exists(f"/tmp/.X{n}-lock"))
    xvfb = subprocess.Popen(["Xvfb", f":{number}", "-nolisten", "tcp", "-ac"],
                            stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=f":{number}", QT_QPA_PLATFORM="xcb")
    x = wait_for("the second X server", lambda: connected(env["DISPLAY"]), 10)
    for name in ("AT_SPI_BUS_ADDRESS", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"):
        env.pop(name, None)
    # A session bus of its own, which has started no accessibility bus.
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                           stdout=subprocess.PIPE, text=True)
    env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    program = subprocess.Popen(command, env=env)
    try:
        window = wait_for("the window", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", f"^{CAPTION}$"], env=env,
            capture_output=True, text=True).stdout.split(), 10)[0]
        subprocess.run([pathlib.Path(__file__).resolve().parents[1] / "script/click", "--window",
                        window, "cmdStart"], env=env, check=True, stdout=subprocess.DEVNULL)
        box = fensterdefinition.rechteck("Text1", 96)
        picture = lambda: x.create_resource_object("window", int(window)).get_image(
            *box, X.ZPixmap, 0xffffffff).data
        time.sleep(1.5 * SLOW)
        pid = program.pid
        woken, used, begin, seen = wakeups(pid), processor_seconds(pid), time.monotonic(), picture()
        time.sleep(seconds)
        woken, used = wakeups(pid) - woken, processor_seconds(pid) - used
        elapsed, changed = time.monotonic() - begin, picture() != seen
        x.close()
    finally:
        for process in (program, bus, xvfb):
            process.kill()
            process.wait(timeout=10)
    figures = f"{woken / elapsed:.1f} wake-ups a second, {used / elapsed * 100:.1f} % of a core"
    if not changed:
        fail("the box did not change during a run clicked on a desktop without a screen reader")
    if woken / elapsed > 10 * SLOW:
        fail("without a screen reader, the run wakes up too often: " + figures)
    print("ok: during a run without a screen reader (no accessibility bus), " + figures)


def announced_run(screen, box, start, brake, folder, seconds):
    """A run with the focus on Start while Orca listens (Qt 6.8 and later): the question and each
    new line are announced on the box, each text the box's newest line as it comes, and Orca
    speaks the lines."""
    orca = Orca(folder)
    heard = []

    def listener(event):
        newest = text_of(box).rstrip("\n").split("\n")[-1]
        heard.append((str(event.any_data), newest, event.source == box))
    pyatspi.Registry.registerEventListener(listener, "object:announcement")
    screen.press(start)
    wait_for("the focus on Start", lambda: focused(start), 5)
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop() or False)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(listener, "object:announcement")
    screen.press(brake)
    orca.end()
    # A line read back after the next pass has cleared the box (at a multiple of 20) is gone.
    wrong = [h for h in heard if h[1] not in (h[0], "") or not h[2]]
    if len(heard) < seconds - 1 or heard[0][0] != QUESTION.rstrip("\n") or wrong:
        fail(f"announced in {seconds} s of a run (text, the box's newest line, on the box): {heard}")
    log = pathlib.Path(orca.log).read_text("utf-8", "replace")
    spoken = [int(n) for n in re.findall(r" - SPEECH OUTPUT: ' ?" + RESULT, log)]
    if len(spoken) < seconds - 2 or spoken != list(range(6, 6 + 2 * len(spoken), 2)):
        fail(f"Orca spoke the lines {spoken} in {seconds} s of a run with the focus on Start")
    print(f"ok: with the focus on Start a run announces the question and each line on the box "
          f"({len(heard)} in {seconds} s, {heard[-1][0]!r} last); Orca spoke the lines "
          f"{spoken[0]} to {spoken[-1]}")


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


class Weston:
    """Weston's headless compositor on a socket of its own, with its protocol log (weston-debug:
    every request and event between the compositor and its clients)."""

    SOCKET = "wayland-wendelkamm"

    def __init__(self, folder):
        runtime = os.path.join(folder, "laufzeit")
        os.mkdir(runtime, 0o700)
        self.env = dict(os.environ, XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY=self.SOCKET)
        self.env.pop("DISPLAY", None)
        self.log = os.path.join(folder, "protokoll.log")
        self.process = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", "--debug", "--no-config", "--idle-time=0",
             f"--socket={self.SOCKET}", "--log=" + os.path.join(folder, "weston.log")],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("weston's socket", lambda: os.path.exists(os.path.join(runtime, self.SOCKET)), 10)
        self.logger = subprocess.Popen(["weston-debug", "-o", self.log, "proto"], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The log's first line is weston-debug's own: from then on every client is logged.
        wait_for("weston's protocol log", lambda: os.path.exists(self.log)
                 and os.path.getsize(self.log) > 0, 10)

    def program_env(self):
        return dict(self.env, QT_QPA_PLATFORM="wayland")

    def app_id(self, title):
        """The application id that the client with a toplevel of the title gave, or None."""
        text = pathlib.Path(self.log).read_text("utf-8", "replace")
        request = r"client {} rq xdg_toplevel@\d+\.{}\("
        titled = re.search(request.format(r"(\w+)", "set_title") + re.escape(f'"{title}"'), text)
        given = titled and re.search(request.format(titled[1], "set_app_id") + r'"(.*)"\)', text)
        return given[1] if given else None

    def end(self):
        for process in (self.logger, self.process):
            if process.poll() is None:
                process.terminate()
                process.wait(timeout=10)


class XScreen:
    """The X display of the session: the pointer clicks, the keyboard types, and the window is
    pinged and closed as a window manager does (_NET_WM_PING, WM_DELETE_WINDOW)."""

    pressed = "clicked"
    env = None

    def started(self):
        self.window = wait_for("the window", lambda: self.x_window(CAPTION), 10)
        # The keyboard goes to the window, made the active one as a window manager does.
        subprocess.run(["xdotool", "windowfocus", "--sync", str(self.window)], check=True)

    def lacks(self, what, need):
        return False  # X has all: keyboard, ping and close

    def end(self):
        pass

    @staticmethod
    def x_window(name):
        # The mapped one: Qt keeps a hidden helper window of the same name.
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{name}$"],
                             capture_output=True, text=True).stdout.split()
        return int(out[0]) if out else None

    def press(self, button):
        # A real click of the X pointer in the middle of the button.
        x, y, w, h = button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"],
                       check=True)

    def key(self, name):
        subprocess.run(["xdotool", "key", name], check=True)

    def type(self, text):
        subprocess.run(["xdotool", "type", text], check=True)

    def close(self):
        d = display.Display()
        window = d.create_resource_object("window", self.window)
        protocols = d.intern_atom("WM_PROTOCOLS")
        delete = d.intern_atom("WM_DELETE_WINDOW")
        if delete not in (window.get_wm_protocols() or []):
            fail("the window does not take WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=X.NoEventMask)
        d.sync()  # a round trip: a mere flush may leave the message unsent when the connection closes
        d.close()

    def ping(self, count):
        """Seconds until the program answered each of count pings (_NET_WM_PING), sent as a
        window manager does to find out whether a program still responds."""
        d = display.Display()
        root = d.screen().root
        # The answer goes to the root window, to whoever takes its structure events (Qt sends it
        # with those).
        root.change_attributes(event_mask=X.StructureNotifyMask)
        window = d.create_resource_object("window", self.window)
        protocols, ping = d.intern_atom("WM_PROTOCOLS"), d.intern_atom("_NET_WM_PING")
        if ping not in (window.get_wm_protocols() or []):
            fail("the window does not take _NET_WM_PING")
        times = []
        for stamp in range(1, count + 1):
            begin = time.monotonic()
            window.send_event(protocol.event.ClientMessage(
                window=window, client_type=protocols, data=(32, [ping, stamp, self.window, 0, 0])),
                event_mask=X.NoEventMask)
            d.flush()
            while True:
                left = begin + 5 * SLOW - time.monotonic()
                if left <= 0:
                    fail(f"the program did not answer a ping in {5 * SLOW:.0f} s during a run")
                if not d.pending_events():
                    select.select([d.fileno()], [], [], left)
                    continue
                event = d.next_event()
                # A sent event: its type carries the bit that says so.
                if (event.type & 0x7f == X.ClientMessage and event.client_type == protocols
                        and list(event.data[1][:2]) == [ping, stamp]):
                    break
            times.append(time.monotonic() - begin)
            time.sleep(0.3 * stamp)  # the next one at another moment of the second
        d.close()
        return times


class WaylandScreen:
    """Weston's headless compositor: buttons are pressed by their accessibility action, and
    what needs a keyboard, a pointer or the compositor's requests is skipped with its reason."""

    pressed = "pressed through its accessibility action"
    LACKS = {
        "keyboard": "weston's headless backend has no seat, so no keyboard, and AT-SPI makes keys "
                    "on X only",
        "ping": "weston's desktop shell pings a client when the pointer enters its window, and the "
                "headless backend has no pointer",
        "close": "weston 10's shells never ask a window to close, and without a pointer the close "
                 "button of Qt's title bar cannot be clicked",
    }

    def __init__(self, folder, app_id):
        self.weston, self.app_id = Weston(folder), app_id
        self.env = self.weston.program_env()

    def started(self):
        given = wait_for("the window's application id", lambda: self.weston.app_id(CAPTION), 10)
        if given != self.app_id:
            fail(f"the window gave the compositor the application id {given!r}, not {self.app_id!r}")
        print(f"ok: on Wayland (weston, headless), the window 'Wendelkamm' has the "
              f"application id '{given}'")

    def lacks(self, what, need):
        print(f"skipped on Wayland: {what} ({self.LACKS[need]})")
        return True

    def press(self, button):
        # The button's own accessibility action, as a screen reader presses it: no pointer needed.
        action = button.queryAction()
        for i in range(action.nActions):
            if action.getName(i).lower() == "press":
                action.doAction(i)
                return
        fail(f"'{button.name}' has no press action")

    def end(self):
        self.weston.end()


def the_window():
    """The program's frame on the accessibility bus, with the note in its box: box, Start, brake."""
    app = wait_for("the program on the accessibility bus", application, 10)
    frame = wait_for("the frame", lambda: find(app, "frame", CAPTION), 5)
    box = find(frame, "text")
    start = find(frame, "push button", START)
    brake = find(frame, "push button", BRAKE)
    if not (box and start and brake):
        fail("the text box or a button is missing")
    if text_of(box) != NOTE:
        fail(f"the note reads {text_of(box)!r}")
    if box.name != BOX_NAME:
        fail(f"the box is called {box.name!r}, not {BOX_NAME!r}")
    print(f"ok: window 'Wendelkamm' with the note in '{BOX_NAME}', Start and Notbremse")
    return box, start, brake


def keyboard_run(screen, box, start, brake, folder, with_orca):
    """A run by keyboard (Tab to Start, Space), braked with Tab and Space; and what Orca said."""
    if screen.lacks("the run by keyboard, typed text and what Orca says after each key", "keyboard"):
        return
    orca = Orca(folder) if with_orca else None
    try:
        keys_and_run(screen, box, start, brake)
        if orca:
            orca_heard(orca.end())
    finally:
        if orca and orca.process.poll() is None:
            orca.process.kill()


def keys_and_run(screen, box, start, brake):
    screen.key("Tab")
    wait_for("the focus on Start", lambda: focused(start), 5)
    screen.key("space")
    wait_for("the question", lambda: text_of(box).startswith(QUESTION), 5)
    wait_for("the line for 6", lambda: text_of(box).startswith(QUESTION + LINE_6), 5)
    wait_for("the line for 8", lambda: LINE_8 in text_of(box), 5)
    print("ok: Start by keyboard shows the question, then ' 6 = 3 + 3', then ' 8 = 3 + 5'")

    # During the run: back into the box for two more lines, Tab on to Notbremse,
    # Space there brakes it, Tab on to the box.
    screen.key("shift+Tab")
    wait_for("the focus in the box", lambda: focused(box), 5)
    lines = text_of(box).count("\n")
    wait_for("two more lines", lambda: text_of(box).count("\n") >= lines + 2, 5)
    screen.key("Tab")
    wait_for("the focus on Start", lambda: focused(start), 5)
    screen.key("Tab")
    wait_for("the focus on Notbremse", lambda: focused(brake), 5)
    time.sleep(0.5)  # Orca's turn to speak
    screen.key("space")
    # A run writes a line each second and reads the brake within two: a text that stays the
    # same for 2.5 s is that of a stopped run.
    stopped = wait_for("the run to stop", unchanged_for(box, 2.5), 10)
    screen.key("Tab")
    wait_for("the focus in the box", lambda: focused(box), 5)
    time.sleep(1.5)
    if text_of(box) != stopped:
        fail("the run went on after Space on Notbremse")
    print("ok: Tab reaches Notbremse during a run, Space there stops it, Tab reaches the box")


def orca_heard(taken):
    # Shift+Tab is Backtab to Orca 43 (Debian 12) and ISO_Left_Tab to Orca 48 (Debian 13).
    keys = ["Backtab" if name == "ISO_Left_Tab" else name for name, _ in taken]
    if "Backtab" not in keys:
        fail(f"Orca took no Shift+Tab: {keys}")
    in_box, *tabs = [spoken for name, (_, spoken) in list(zip(keys, taken))[keys.index("Backtab"):]
                     if name in ("Backtab", "Tab")]
    if not any(re.search(RESULT, s) for s in in_box):
        fail(f"Orca spoke no new line with the focus in the box: {in_box}")
    if len(tabs) < 3 or not any(BRAKE in s for s in tabs[1]):
        fail(f"Orca did not speak Notbremse after Tab during the run: {taken}")
    if not any(BOX_NAME in s for s in tabs[2]):
        fail(f"Orca did not speak '{BOX_NAME}' after Tab behind the brake: {taken}")
    print(f"ok: Orca read the run's lines in the box ({in_box[-1]!r}), said {tabs[1]} "
          f"on Notbremse and {tabs[2][:2]} after the brake")


def typing_during_run(screen, box):
    if screen.lacks("typing into the box during a run", "keyboard"):
        return
    # Keys typed during the run wait for its next event processing; the next line follows.
    screen.key("shift+Tab")
    wait_for("the focus in the box", lambda: focused(box), 5)
    screen.type("Hallo")
    typed = wait_for("the typed text with a line after it",
                     lambda: re.search(f"\nHallo( {RESULT})\n", text_of(box)), 5)
    print(f"ok: text typed into the box during a run stays, the next line follows it "
          f"('Hallo{typed.group(1)}')")


def reading_during_run(box):
    # During the run the program answers a screen reader at once, not once a second.
    times = latencies(box)
    median, longest = statistics.median(times), max(times)
    if median > 0.1 * SLOW or longest > 0.5 * SLOW:
        fail(f"reading the box during a run took {median * 1000:.1f} ms median, "
             f"{longest * 1000:.1f} ms at most")
    print(f"ok: during a run the box's text and name are read in {median * 1000:.1f} ms "
          f"median, {longest * 1000:.1f} ms at most")


def ping_during_run(screen):
    if screen.lacks("the compositor's ping", "ping"):
        return
    # A window manager takes a window that leaves its ping unanswered for some seconds for hung.
    # The run takes it in at its next event processing, within a second.
    times = screen.ping(3)
    if max(times) > 1.5 * SLOW:
        fail(f"during a run the program answered pings after {ms(times)} ms")
    print(f"ok: during a run the program answers a window manager's ping within "
          f"{max(times) * 1000:.0f} ms (after {ms(times)} ms)")


def brake_run(screen, box, brake):
    screen.press(brake)
    stopped = wait_for("the run to stop", unchanged_for(box, 2.5), 10)
    time.sleep(2.0)
    if text_of(box) != stopped:
        fail("the run went on after Notbremse")
    # The box holds the lines of the last block of ten numbers (none if the brake stopped the
    # pass that cleared it).
    last = numbers(stopped)
    if LINE.sub("", stopped) or (last and last != list(range(last[0], last[-1] + 1, 2))):
        fail(f"unexpected text after the brake: {stopped!r}")
    print(f"ok: Notbremse {screen.pressed} stopped the run at {last[-1] if last else 'a cleared box'}")


def run_inside_run(screen, box, start, brake):
    # Start during a run starts a run inside it; the brake then ends only the inner one, and the
    # outer one goes on from the inner one's number.
    screen.press(start)
    wait_for("the line for 8 of a run", lambda: LINE_8 in text_of(box), 5)
    screen.press(start)
    first_lines(box, "the run inside the run")
    screen.press(brake)
    braked = numbers(text_of(box))[-1]
    # The inner run writes at most one more line and ends a second later, the outer one's next
    # line a second after that: three or more lines in all.
    heard = new_lines(3.5 + SLOW)
    came = [n for _, n in heard]
    if came[:1] not in ([braked + 2], [braked + 4]) or len(heard) < 3:
        fail(f"after Notbremse during a run inside a run, at {braked}, came the lines {came}")
    if max(gaps(heard)) < 1.5:
        fail(f"Notbremse during a run inside a run ended no run (lines {ms(gaps(heard))} ms apart)")
    print(f"ok: a second Start during a run starts over at 6; Notbremse then ends the inner "
          f"run at {braked} and the outer one goes on with {came}")


def close_during_run(screen, program):
    if screen.lacks("closing the window as the compositor does", "close"):
        return
    screen.close()
    try:
        status = program.wait(timeout=5 * SLOW)
    except subprocess.TimeoutExpired:
        fail("the program did not end after the window was closed during a run")
    if status != 0:
        fail(f"the program ended with status {status}")
    print("ok: closing the window during a run ends the program with status 0")


def arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--slow", type=float, default=1.0, metavar="FACTOR",
                        help="every time limit FACTOR times as long, for a slower program")
    parser.add_argument("--without-orca", action="store_true",
                        help="leave out what Orca says (for a system without Orca)")
    parser.add_argument("--announcements", action="store_true",
                        help="only a run with the focus on Start while Orca listens: what the "
                             "program announces, and what Orca speaks (Qt 6.8 and later)")
    parser.add_argument("--wayland", metavar="ID",
                        help="on weston's headless compositor; the window's application id is ID")
    parser.add_argument("program", nargs=argparse.REMAINDER,
                        help="the program, or a command that runs it")
    args = parser.parse_args()
    if not args.program:
        parser.error("the program is missing")
    return args


def main():
    global SLOW
    args = arguments()
    SLOW = args.slow
    with tempfile.TemporaryDirectory() as folder:
        screen = WaylandScreen(folder, args.wayland) if args.wayland else XScreen()
        program = subprocess.Popen(args.program, env=screen.env)
        try:
            screen.started()
            box, start, brake = the_window()
            if args.announcements:
                return announced_run(screen, box, start, brake, folder, 8)
            keyboard_run(screen, box, start, brake, folder, not args.without_orca)

            screen.press(start)
            first_lines(box, "a run")
            print(f"ok: Start {screen.pressed} shows the question, then ' 6 = 3 + 3', "
                  f"then ' 8 = 3 + 5'")
            typing_during_run(screen, box)
            reading_during_run(box)
            resting_run(program, 6)
            quiet_run(args.program, 5)
            ping_during_run(screen)
            brake_run(screen, box, brake)
            run_inside_run(screen, box, start, brake)
            close_during_run(screen, program)
        finally:
            if program.poll() is None:
                program.kill()
            screen.end()
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
