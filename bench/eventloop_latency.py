#!/usr/bin/python3
"""How long the real program keeps input waiting while its stopwatch runs.

Starts build/bin/worktally on a virtual X server with a generated worksheet
of ROWS rows and working hours on every day, turns the stopwatch on with its
switch (a click on it), and then, until two whole minutes have passed, asks the window
every few milliseconds for the X11 ping that every window answers from its
event loop (_NET_WM_PING). The time to each answer is how long an input
event would have waited at that moment. Prints the median and the longest
wait over the whole run and over the second after each whole minute, when
the live update works out the running period.

Usage: bench/eventloop_latency.py BUILD_DIR [ROWS]
Needs Xvfb and python3-xlib (both installed by scripts/setup.sh).
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display, protocol

WORKING_HOURS = ("[WorkingHours]\nMon=07:24\nTue=07:24\nWed=07:24\nThu=07:24\n"
                 "Fri=07:24\nSat=01:00\nSun=01:00\n")


def two(value):
    return "%02d" % value


def write_worksheet(path, rows):
    """A worksheet as the program saves it (the benchmarks' sample file)."""
    with open(path, "w", encoding="utf-8", newline="") as out:
        for i in range(rows):
            date = "%s-%s-%s" % (two(1 + i % 28), two(1 + i // 28 % 12), two(i // 336 % 100))
            start_hour = 7 + i % 3
            minutes = 240 + (i * 37) % 300
            end_hour = start_hour + minutes // 60
            note = 'Customer call, ""urgent"" fix #%d' % i if i % 3 == 0 else ""
            diff = minutes - (7 * 60 + 24)
            diff_text = ("-" if diff < 0 else "+") + two(abs(diff) // 60) + ":" + two(abs(diff) % 60)
            out.write('"%s %s:00","%s %s:%s","%s:%s","","%s","07:24","","%s","%s"\r\n' % (
                date, two(start_hour), date, two(end_hour), two(minutes % 60), two(minutes // 60),
                two(minutes % 60), date, diff_text, note))
        out.write('"","","","","","","","",""\r\n')


def find_window(disp, name, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for window in disp.screen().root.query_tree().children:
            try:
                if window.get_wm_name() == name and window.get_attributes().map_state == X.IsViewable:
                    return window
            except Exception:
                pass
        time.sleep(0.05)
    raise SystemExit("no window named %r appeared" % name)


class Pinger:
    """Sends _NET_WM_PING to a window; its answer comes back to the root."""

    def __init__(self, disp, window):
        self.disp = disp
        self.window = window
        self.root = disp.screen().root
        self.root.change_attributes(event_mask=X.StructureNotifyMask)
        self.protocols = disp.intern_atom("WM_PROTOCOLS")
        self.ping = disp.intern_atom("_NET_WM_PING")
        self.serial = 0

    def round_trip(self, timeout=30.0):
        """Seconds from sending a ping to its answer."""
        self.serial += 1
        event = protocol.event.ClientMessage(
            window=self.window, client_type=self.protocols,
            data=(32, [self.ping, self.serial, self.window.id, 0, 0]))
        sent = time.monotonic()
        self.window.send_event(event, event_mask=0)
        self.disp.flush()
        deadline = sent + timeout
        while time.monotonic() < deadline:
            while self.disp.pending_events():
                answer = self.disp.next_event()
                if (answer.type == X.ClientMessage and answer.window == self.root
                        and answer.data[1][1] == self.serial):
                    return time.monotonic() - sent
            time.sleep(0.0002)
        raise SystemExit("the window stopped answering")


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 1000000
    with tempfile.TemporaryDirectory() as home:
        data = os.path.join(home, "data", "Worktally")
        os.makedirs(data)
        write_worksheet(os.path.join(data, "Hourbook.csv"), rows)
        with open(os.path.join(data, "Worktally.Setup"), "w") as setup:
            setup.write(WORKING_HOURS)
        screen = ":%d" % (200 + os.getpid() % 100)
        xvfb = subprocess.Popen(["Xvfb", screen, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                stderr=subprocess.DEVNULL)
        env = dict(os.environ, DISPLAY=screen, XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_STATE_HOME=os.path.join(home, "state"),
                   XDG_RUNTIME_DIR=home, QT_QPA_PLATFORM="xcb")
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        time.sleep(0.5)  # Xvfb opens its socket
        program = None
        try:
            disp = display.Display(screen)
            program = subprocess.Popen([os.path.join(build, "bin", "worktally")], env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            window = find_window(disp, "Worktally", 120)
            pinger = Pinger(disp, window)
            pinger.round_trip(120)  # the whole worksheet is read and shown
            started = time.time()
            subprocess.run(["xdotool", "mousemove", "--window", str(window.id), "464", "72", "click", "1"],
                           env=env, check=True)
            samples = []  # (wall-clock seconds, round trip)
            end = time.time() + 60 + (60 - time.time() % 60) + 2
            while time.time() < end:
                at = time.time()
                samples.append((at, pinger.round_trip()))
                time.sleep(0.003)
            after_start = [rt for at, rt in samples if at - started < 2]
            at_minute = [rt for at, rt in samples if at % 60 < 1.5]
            minutes = sorted({int(at // 60) for at, _ in samples if at % 60 < 1.5})
            every = [rt for _, rt in samples]
            ms = lambda s: "%.1f ms" % (s * 1000)
            print("worktally, %d rows, %d pings" % (rows, len(every)))
            print("  any time:            median %s, longest %s" % (ms(statistics.median(every)), ms(max(every))))
            print("  first 2 s of Start:  longest %s" % ms(max(after_start)))
            print("  second after each minute: median %s, longest %s (%d pings)"
                  % (ms(statistics.median(at_minute)), ms(max(at_minute)), len(at_minute)))
            for number, minute in enumerate(minutes, 1):
                longest = max(rt for at, rt in samples if int(at // 60) == minute and at % 60 < 1.5)
                print("    whole minute %d after Start: longest %s" % (number, ms(longest)))
        finally:
            if program:
                program.terminate()
                program.wait(60)
            xvfb.terminate()
            xvfb.wait()
        # The exit saved the running period: proof that the stopwatch ran.
        with open(os.path.join(data, "Hourbook.csv"), encoding="utf-8") as saved:
            today = time.strftime('"%d-%m-%y ')
            if not any(line.startswith(today) for line in saved.readlines()[-3:]):
                raise SystemExit("the stopwatch did not start: no period of today was saved")


if __name__ == "__main__":
    main()
