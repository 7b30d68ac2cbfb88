"""One path's program under Wine: its process (start, the Unix process found, keys, stop and
continue, end), its frame log read live from its stderr, and its slices as raw.json records."""
import os
import signal
import subprocess
import time

from linux import frames
from linux import plan as plans
from linux import raw
from linux import wineplumbing as wp

START_TIMEOUT = 90
# A program that presents no frame for this long (s) while it runs has failed.
NO_FRAME_TIMEOUT = 30
# Tries at finding the program's Unix process, 0.1 s apart.
FIND_TRIES = 50
# How long (s) a program's window may take to get the X input focus before its keys.
FOCUS_TIMEOUT = 5.0
XDOTOOL_TIMEOUT = 10


# A program ends with this code, before its first frame, when the desktop lacks what its path
# needs (a GL version or extension); it names what is missing on its debug output.
UNAVAILABLE_EXIT = 3
UNAVAILABLE_LINE = b"unavailable on this desktop: "


class PathFailure(Exception):
    def __init__(self, path, command, reason):
        Exception.__init__(self, "%s (%s): %s" % (path.name, command, reason))
        self.path = path
        self.command = command
        self.reason = reason


class PathUnavailable(PathFailure):
    """The path cannot run here: a row saying so, never the end of the run."""


def xdotool(display, *args):
    """Runs xdotool on a display: (exit code, output). A connection that fails while Wine
    programs start and end is asked again: that is no answer from the display."""
    for _ in range(10):
        try:
            done = subprocess.run(["xdotool"] + list(args), capture_output=True, text=True,
                                  env=dict(os.environ, DISPLAY=display), timeout=XDOTOOL_TIMEOUT)
        except subprocess.TimeoutExpired:
            return 1, "xdotool %s gave no answer within %d s" % (args[0], XDOTOOL_TIMEOUT)
        if "Can't open display" not in done.stderr:
            break
        time.sleep(0.2)
    return done.returncode, (done.stdout + done.stderr).strip()


def display_for(slot, process_index, displays):
    """Each process of a group moves its programs one display on: an X server's own speed then
    differs between the processes of a path, where the interval over processes covers it,
    instead of weighing on every round of one path."""
    return displays[(slot + process_index) % len(displays)]


def rate_between(events, begin, end):
    """Frames per second of the reports from `begin` to `end` after the first of them (whose
    frames came before), or None until a whole report period lies there. Measuring needs it
    live only: to know a slice holds frames, and to stretch a slow path's slice."""
    inside = [(stamp, frames) for stamp, frames in events if begin <= stamp <= end]
    if len(inside) < 2 or inside[-1][0] <= inside[0][0]:
        return None
    return sum(frames for _, frames in inside[1:]) / (inside[-1][0] - inside[0][0])


class Program:
    """One path's program on its display. A restart ends its process and starts the one the
    plan names next; each slice record carries the process it was measured in."""

    def __init__(self, ctx, path, slot, count_calls=False, process=0):
        self.ctx, self.path, self.slot, self.count_calls = ctx, path, slot, count_calls
        self.source = frames.SOURCES[path.source]
        self.rss = []  # (seconds the program has run, KiB), of its first process only
        self.slices = []  # raw.Slice, one per round
        self.first_frame = None
        self.ran = 0.0
        self.process_index = process
        self.restarted = False
        self.settle_rate = None
        self._cpu_before = None
        self.screenshot = None
        self._launch()

    @property
    def events(self):
        return self.log.events

    def _environment(self):
        channels = ["-all", "+timestamp", self.source.channel]
        if self.path.launch == "glyphstorm" and "+debugstr" not in channels:
            channels.append("+debugstr")
        if self.count_calls:
            channels.append("trace+opengl")
        env = dict(os.environ, DISPLAY=self.display, WINEDEBUG=",".join(channels),
                   GLYPHSTORM_WINEPREFIX=self.ctx.prefix,
                   GLYPHSTORM_FRAME_REPORT=str(frames.FRAME_REPORT_MS), **self.ctx.stack_env)
        if self.path.desktop:
            # Named after the display: a desktop lingers a moment after its last program, on
            # the display it was made on.
            env["GLYPHSTORM_DESKTOP"] = "glyphstorm-bench-%d" % self.ctx.displays.index(self.display)
        return env

    def _launch(self):
        """Starts the program's process with a fresh frame log; what it measured so far is kept."""
        ctx, path = self.ctx, self.path
        self.display = display_for(self.slot, self.process_index, ctx.displays)
        self.log = frames.FrameLog(self.source)
        self.pid = None
        cwd = ctx.glyphstorm_folder() if path.launch == "glyphstorm" else ctx.bin
        args = plans.arguments(path, ctx.limit)
        self.command = " ".join([path.program] + args)
        command = [os.path.join(cwd, path.program)] + args
        if path.desktop:
            command = ["--desktop", "800x600"] + command
        self.started = wp.wine_clock()
        self.process = subprocess.Popen([ctx.runner] + command, cwd=cwd, env=self._environment(),
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                        encoding="latin-1", errors="replace", start_new_session=True)
        self.reader = wp.LineReader(self.process.stderr, self.log.take)

    def fail(self, reason):
        rest = [line for line in self.reader.rest if line.strip()]
        if rest:
            reason += "; its last output: " + " | ".join(rest[-3:])
        raise PathFailure(self.path, self.command, reason)

    def _unavailable(self):
        """Raises PathUnavailable when the program ended saying the desktop lacks what it needs."""
        if self.process.returncode != UNAVAILABLE_EXIT or self.events:
            return
        self.reader.join(timeout=5)
        for line in wp.log_lines(self.log.debug):
            if line.startswith(UNAVAILABLE_LINE):
                raise PathUnavailable(self.path, self.command, line[len(UNAVAILABLE_LINE):].decode("cp1251", "replace"))

    def alive(self):
        return self.process.poll() is None

    def wait_frames(self, count, timeout, since=0):
        """Waits until `count` frame reports arrived after the first `since` ones."""
        deadline = time.monotonic() + timeout
        while len(self.events) < since + count:
            if not self.alive():
                time.sleep(0.2)
                self._unavailable()
                self.fail("exited with code %s after %d frame(s)" % (self.process.returncode, len(self.events)))
            if time.monotonic() > deadline:
                self.fail("presented %d frame(s) within %d s, %d expected" % (len(self.events) - since, timeout, count))
            time.sleep(0.02)

    def open(self, press=True):
        """The one start step: the first frame, the program's Unix process, then its keys, each
        checked. Leaves it running."""
        self.wait_frames(1, START_TIMEOUT)
        if self.source.first_line:
            self.first_frame = self.events[0][0] - self.started
        for _ in range(FIND_TRIES):
            self.pid = wp.find_wine_process(self.process.pid, self.path.program)
            if self.pid or not self.alive():
                break
            time.sleep(0.1)
        if not self.pid:
            self.fail("its Unix process was not found")
        if press:
            self.press_keys()

    def _focused_here(self):
        """True when the X input focus is on a window of this program (Wine names its process
        in _NET_WM_PID); else it asks for the focus on this program's window."""
        code, found = xdotool(self.display, "getwindowfocus", "getwindowpid")
        ours = {self.pid, self.process.pid} | set(wp.descendants(self.process.pid))
        if code == 0 and found.isdigit() and int(found) in ours:
            return True, found
        xdotool(self.display, "search", "--pid", str(self.pid), "windowfocus")
        return False, found or str(code)

    def press_keys(self):
        """Keys reach the window with the X input focus: it must be this program's (a window
        that has only just appeared may not have it yet), and xdotool must say it sent each key."""
        if not self.path.keys:
            return
        deadline = time.monotonic() + FOCUS_TIMEOUT
        focused, found = self._focused_here()
        while not focused and time.monotonic() < deadline:
            time.sleep(0.2)
            focused, found = self._focused_here()
        if not focused:
            self.fail("its keys would not reach it: the focused window is not its own (%s)" % found.splitlines()[0])
        for key in self.path.keys:
            code, said = xdotool(self.display, "key", key)
            if code != 0:
                self.fail("key %s was not sent (xdotool: %s)" % (key, said or code))

    def start(self, settle):
        """Opens the program, lets it run `settle` seconds (twice that after keys: the first
        frames after a mode switch compile new shader variants), then stops it."""
        self.open()
        begin = wp.wine_clock()
        time.sleep(settle * (2 if self.path.keys else 1) + self.source.min_slice)
        self.run_until_frames(begin, "after its start")
        end = wp.wine_clock()
        self.stop()
        self.ran = end - self.started
        self.settle_rate = rate_between(self.events, begin, end)

    def run_until_frames(self, begin, when):
        """Keeps the program running until a whole report period lies after `begin`: a slow path
        on a loaded machine still gets its frames counted; one that presents none fails."""
        while rate_between(self.events, begin, wp.wine_clock()) is None:
            if not self.alive():
                time.sleep(0.2)
                self.fail("exited early, with code %s, %s" % (self.process.returncode, when))
            if wp.wine_clock() - begin > NO_FRAME_TIMEOUT:
                self.stop()
                self.fail("presented no frame for %d s %s" % (NO_FRAME_TIMEOUT, when))
            time.sleep(0.05)

    def stop(self):
        wp.stop_process(self.pid)

    def slice_seconds(self, settings):
        stretched = settings.slice_frames / self.settle_rate if self.settle_rate else 0.0
        return max(settings.slice, self.source.min_slice, stretched)

    def run_slice(self, settings, round_index):
        """Lets the program run for one slice; its reports are taken later (close_slice), once
        they have arrived."""
        self._cpu_before = wp.cpu_ms(self.pid)
        begin = wp.wine_clock()
        wp.continue_process(self.pid)
        time.sleep(self.slice_seconds(settings) + settings.warmup)
        self.run_until_frames(begin + settings.warmup, "in round %d" % (round_index + 1))
        end = wp.wine_clock()
        self.stop()
        self.slices.append(raw.Slice(round=round_index, process=self.process_index, display=self.display,
                                     begin=begin, count_from=begin + settings.warmup, end=end, reports=[],
                                     cpu_ms=None))
        self.ran += end - begin

    def close_slice(self, round_index):
        """The reports and CPU time of the last slice (the process has stopped by now), and a
        memory sample."""
        record = self.slices[-1]
        if not self.alive():
            self.fail("exited early, with code %s, in round %d" % (self.process.returncode, round_index + 1))
        record.reports = [[stamp, count] for stamp, count in self.events if record.begin <= stamp <= record.end]
        if rate_between(record.reports, record.count_from, record.end) is None:
            self.fail("presented no frame while it ran for %.1f s in round %d" % (
                record.end - record.begin, round_index + 1))
        before, after = self._cpu_before, wp.cpu_ms(self.pid)
        record.cpu_ms = after - before if before is not None and after is not None else None
        kib = wp.resident_kib(self.pid) if not self.restarted else None
        if kib:
            self.rss.append((self.ran, kib))

    def restart(self, settle, process):
        """Ends the program and starts process `process` of its path, on the display that
        process moves to; its slices go on. Start-up time and memory stay the first process's."""
        first_frame, ran = self.first_frame, self.ran
        self.end()
        self.process_index = process
        self.restarted = True
        self._launch()
        self.start(settle)
        self.first_frame, self.ran = first_frame, ran

    def record(self, gl_calls=None):
        """The path's raw.json record."""
        return raw.PathRecord(key=self.path.key, command=self.command,
                              display=self.slices[0].display if self.slices else self.display,
                              screenshot=self.screenshot, failed=None, first_frame_s=self.first_frame,
                              gl_calls_per_frame=gl_calls,
                              memory=[[round(t, 1), kib] for t, kib in self.rss], slices=self.slices)

    def gl_strings(self):
        return self.log.gl_strings()

    def end(self):
        if self.pid:
            wp.continue_process(self.pid)
        if self.alive():
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            pass
        self.reader.join(timeout=5)
        if not self.reader.alive():
            self.process.stderr.close()
