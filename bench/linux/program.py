"""One path's program under Wine: its process (start, the Unix process found, keys, stop and
continue, end) and the frame log read live from its stderr."""
import dataclasses
import os
import signal
import subprocess
import time

from linux import paths as table
from linux import stats
from linux import wineplumbing as wp

START_TIMEOUT = 90
# A program that presents no frame for this long (s) while it runs has failed.
NO_FRAME_TIMEOUT = 30
# Tries at finding the program's Unix process, 0.1 s apart.
FIND_TRIES = 50
# How long (s) a program's window may take to get the X input focus before its keys.
FOCUS_TIMEOUT = 5.0
XDOTOOL_TIMEOUT = 10


class PathFailure(Exception):
    def __init__(self, path, command, reason):
        Exception.__init__(self, "%s (%s): %s" % (path.name, command, reason))
        self.path = path
        self.command = command
        self.reason = reason


@dataclasses.dataclass
class FrameLog:
    """What one process wrote: frame events (Wine clock stamp, frames since the event before),
    GL calls between consecutive frame lines, and its debug output lines."""
    source: table.Source
    events: list = dataclasses.field(default_factory=list)
    calls: list = dataclasses.field(default_factory=list)
    debug: list = dataclasses.field(default_factory=list)
    pending_calls: int = 0

    def take(self, line):
        """Files one stderr line; False for a line that is none of these (kept to explain a failure)."""
        m = self.source.pattern.match(line)
        frames = self.source.frames(m) if m else None
        if frames is not None:
            stamp = float(m.group(1)) if m.group(1) else wp.wine_clock()
            self.events.append((stamp, frames))
            self.calls.append(self.pending_calls)
            self.pending_calls = 0
            return True
        if wp.GL_CALL.match(line):
            self.pending_calls += 1
            return True
        if wp.DEBUGSTR.match(line):
            self.debug.append(line)
            return True
        return bool(wp.TRACE.match(line))

    def gl_strings(self):
        found = {}
        for line in wp.log_lines(self.debug):
            for name in ("VENDOR", "RENDERER", "VERSION"):
                if line.startswith(name.encode() + b":") and name.lower() not in found:
                    found[name.lower()] = line[len(name) + 1:].decode("cp1251", "replace").strip()
        return found


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


class Program:
    """One path's program on its display. `process` counts the processes it has run as (a restart
    starts the next); each slice record carries the index of the process it was measured in."""

    def __init__(self, ctx, path, slot, count_calls=False):
        self.ctx, self.path, self.slot, self.count_calls = ctx, path, slot, count_calls
        self.source = table.SOURCES[path.source]
        self.rss = []  # (seconds the program has run, KiB), of the first process only
        self.slices = []  # one record per round
        self.first_frame = None
        self.ran = 0.0
        self.process_index = 0
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
                   GLYPHSTORM_FRAME_REPORT=str(table.FRAME_REPORT_MS), **self.ctx.stack_env)
        if self.path.desktop:
            # Named after the display: a desktop lingers a moment after its last program, on
            # the display it was made on.
            env["GLYPHSTORM_DESKTOP"] = "glyphstorm-bench-%d" % self.ctx.displays.index(self.display)
        return env

    def _launch(self):
        """Starts the program's process with a fresh frame log; what it measured so far is kept."""
        ctx, path = self.ctx, self.path
        self.display = display_for(self.slot, self.process_index, ctx.displays)
        self.log = FrameLog(self.source)
        self.pid = None
        cwd = ctx.glyphstorm_folder() if path.launch == "glyphstorm" else ctx.bin
        args = table.arguments(path, ctx.limit)
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

    def alive(self):
        return self.process.poll() is None

    def wait_frames(self, count, timeout, since=0):
        """Waits until `count` frame lines arrived after the first `since` ones."""
        deadline = time.monotonic() + timeout
        while len(self.events) < since + count:
            if not self.alive():
                time.sleep(0.2)
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
        self.settle_rate, _ = stats.window_rate(self.events, begin, end)

    def run_until_frames(self, begin, when):
        """Keeps the program running until a whole frame period lies after `begin`: a slow path
        on a loaded machine still gets its frames counted; one that presents none fails."""
        while stats.window_rate(self.events, begin, wp.wine_clock())[0] is None:
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
        return max(settings.slice, self.source.min_slice, settings.slice_frames / self.settle_rate)

    def run_slice(self, settings, round_index):
        """Lets the program run for one slice; the rate is taken later (see close_slice)."""
        running = self.slice_seconds(settings) + settings.warmup
        cpu_before = wp.cpu_ms(self.pid)
        begin = wp.wine_clock()
        wp.continue_process(self.pid)
        time.sleep(running)
        self.run_until_frames(begin + settings.warmup, "in round %d" % (round_index + 1))
        end = wp.wine_clock()
        self.stop()
        self.slices.append({"begin": begin, "end": end, "cpu_before": cpu_before, "process": self.process_index,
                            "display": self.display})
        self.ran += end - begin

    def close_slice(self, settings, round_index):
        """The rate and CPU time of the last slice, once its lines have arrived."""
        record = self.slices[-1]
        if not self.alive():
            self.fail("exited early, with code %s, in round %d" % (self.process.returncode, round_index + 1))
        cpu_after = wp.cpu_ms(self.pid)
        rate, covered = stats.window_rate(self.events, record["begin"] + settings.warmup, record["end"])
        if not rate:
            self.fail("presented no frame while it ran for %.1f s in round %d" % (
                record["end"] - record["begin"], round_index + 1))
        seconds = record["end"] - record["begin"]
        cpu_before = record.pop("cpu_before")
        used = cpu_after - cpu_before if cpu_after is not None and cpu_before is not None else None
        record.update(fps=rate, seconds=covered, frames=rate * covered,
                      cpu_per_frame=used / (rate * seconds) if used is not None else None, cpu=used)
        kib = wp.resident_kib(self.pid) if self.process_index == 0 else None
        if kib:
            self.rss.append((self.ran, kib))

    def restart(self, settle):
        """Ends the program and starts its next process, on the next display; its slices go on.
        Start-up time and memory stay those of the first process."""
        first_frame, ran = self.first_frame, self.ran
        self.end()
        self.process_index += 1
        self._launch()
        self.start(settle)
        self.first_frame, self.ran = first_frame, ran

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
