"""Running the paths under Wine: the programs of one group start together, each on an X display
of its own, and then take turns in rounds. Only one of them runs at a time; the others' Unix
processes are stopped (SIGSTOP) and continued (SIGCONT), so no program pays a start-up per
round and slow phases of the machine hit every path of a round alike. Frames are counted from
each program's own timestamped trace lines, CPU time from /proc."""
import os
import shutil
import signal
import statistics
import subprocess
import tempfile
import time

from benchlib import wineplumbing as wp
from benchlib import paths as table
from benchlib import stats

VTAPI_INI = "[display]\nwidth=800\nheight=600\nbpp=32\nfullscreen=2\n"
START_TIMEOUT = 90
# A round counts as loaded when other processes kept this much of the machine busy (cores).
LOADED_CORES = 0.5
# A slice holds at least this many frames of its path, however slow the path is.
SLICE_FRAMES = 4
# A program that presents no frame for this long (s) while it runs has failed.
NO_FRAME_TIMEOUT = 30


class PathFailure(Exception):
    def __init__(self, path, command, reason):
        Exception.__init__(self, "%s (%s): %s" % (path.name, command, reason))
        self.path = path
        self.command = command
        self.reason = reason


class Settings:
    """How long things take: rounds, the running time of a slice, its warm-up (the part of a
    slice not counted), and how long a program runs after its first frame before the rounds."""

    def __init__(self, rounds, slice_seconds, warmup, settle, processes=1):
        self.rounds = rounds
        self.slice = slice_seconds
        self.warmup = warmup
        self.settle = settle
        # Processes per path in a group with product/reference pairs, each for an equal share of
        # the rounds: one process carries effects of its own (where its memory and threads
        # landed) that its rounds cannot average out, and two runs then disagree beyond their
        # intervals.
        self.processes = processes


class Context:
    def __init__(self, bin_dir, runner, prefix, displays, out, stack_env, limit):
        self.bin = bin_dir
        self.runner = runner
        self.prefix = prefix
        self.displays = displays
        self.out = out
        self.stack_env = stack_env
        self.limit = limit  # seconds a reference program runs before it ends by itself
        self.folder = None  # glyphstorm's folder, made on first use
        self.xvfb_pids = []
        self.loads = []  # one record per round

    def glyphstorm_folder(self):
        if not self.folder:
            self.folder = tempfile.mkdtemp(prefix="glyphstorm-bench-")
            for name in wp.GLYPHSTORM_FILES:
                shutil.copy(os.path.join(self.bin, name), self.folder)
            with open(os.path.join(self.folder, "vtAPI.ini"), "w") as f:
                f.write(VTAPI_INI)
        return self.folder

    def remove_folder(self):
        if self.folder:
            shutil.rmtree(self.folder, ignore_errors=True)
            self.folder = None

    def screenshot(self, name, display):
        path = os.path.join(self.out, name + ".png")
        subprocess.run(["import", "-window", "root", path], capture_output=True,
                       env=dict(os.environ, DISPLAY=display))
        return os.path.basename(path) if os.path.exists(path) else None


class Program:
    """One path's program under Wine on its display, its frame lines read as they come."""

    def __init__(self, ctx, path, slot, count_calls=False):
        self.ctx, self.path, self.slot, self.count_calls = ctx, path, slot, count_calls
        self.display = ctx.displays[slot % len(ctx.displays)]
        self.source = table.SOURCES[path.source]
        self.rss = []  # (seconds the program has run, KiB), of the first process only
        self.slices = []  # one record per round
        self.first_frame = None
        self.ran = 0.0
        self.restarts = 0
        self._launch()

    def _launch(self):
        """Starts the program's process; what it measures so far is kept."""
        ctx, path = self.ctx, self.path
        self.events = []  # (Wine clock stamp, frames since the event before)
        self.calls = []  # GL calls between consecutive frame lines
        self.debug = []  # debug output lines, for the GL strings glyphstorm logs
        self.pid = None
        self._pending_calls = 0
        channels = ["-all", "+timestamp", self.source.channel]
        if path.launch == "glyphstorm" and "+debugstr" not in channels:
            channels.append("+debugstr")
        if self.count_calls:
            channels.append("trace+opengl")
        env = dict(os.environ, DISPLAY=self.display, WINEDEBUG=",".join(channels),
                   GLYPHSTORM_WINEPREFIX=ctx.prefix, **ctx.stack_env)
        cwd = ctx.glyphstorm_folder() if path.launch == "glyphstorm" else ctx.bin
        args = table.arguments(path, ctx.limit)
        self.command = " ".join([path.program] + args)
        command = [os.path.join(cwd, path.program)] + args
        if path.desktop:
            env["GLYPHSTORM_DESKTOP"] = "glyphstorm-bench-%d" % self.slot
            command = ["--desktop", "800x600"] + command
        self.started = wp.wine_clock()
        self.process = subprocess.Popen([ctx.runner] + command, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, encoding="latin-1",
                                        errors="replace", start_new_session=True)
        self.reader = wp.LineReader(self.process.stderr, self._line)

    def _line(self, line):
        m = self.source.pattern.match(line)
        frames = self.source.frames(m) if m else None
        if frames is not None:
            stamp = float(m.group(1)) if m.group(1) else wp.wine_clock()
            self.events.append((stamp, frames))
            self.calls.append(self._pending_calls)
            self._pending_calls = 0
            return True
        if wp.GL_CALL.match(line):
            self._pending_calls += 1
            return True
        if wp.DEBUGSTR.match(line):
            self.debug.append(line)
            return True
        return bool(wp.TRACE.match(line))

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

    def start(self, settle):
        """First frame, the path's keys, then `settle` seconds of running; leaves it stopped."""
        self.wait_frames(1, START_TIMEOUT)
        if self.source.per_frame:
            self.first_frame = self.events[0][0] - self.started
        for _ in range(50):
            self.pid = wp.find_wine_process(self.process.pid, self.path.program)
            if self.pid:
                break
            time.sleep(0.1)
        if not self.pid:
            self.fail("its Unix process was not found")
        # Keys reach the foreground window of the Wine desktop: this program's, until the next
        # program of the group starts.
        for key in self.path.keys:
            subprocess.run(["xdotool", "key", key], capture_output=True, env=dict(os.environ, DISPLAY=self.display))
        # The first frames after a mode switch compile new shader variants in the driver.
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
        return max(settings.slice, self.source.min_slice, SLICE_FRAMES / self.settle_rate)

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
        self.slices.append({"begin": begin, "end": end, "cpu_before": cpu_before})
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
        kib = wp.resident_kib(self.pid) if self.restarts == 0 else None
        if kib:
            self.rss.append((self.ran, kib))

    def restart(self, settle):
        """Ends the program and starts it afresh; its slices go on. Start-up time and memory
        stay those of the first process."""
        first_frame, ran = self.first_frame, self.ran
        self.end()
        self._launch()
        self.start(settle)
        self.first_frame, self.ran = first_frame, ran
        self.restarts += 1

    def gl_strings(self):
        found = {}
        for line in wp.log_lines(self.debug):
            for name in ("VENDOR", "RENDERER", "VERSION"):
                if line.startswith(name.encode() + b":") and name.lower() not in found:
                    found[name.lower()] = line[len(name) + 1:].decode("cp1251", "replace").strip()
        return found

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


class LoadProbe:
    """CPU time the rest of the machine used: all of it less this prefix's processes, our X
    servers and the bench itself."""

    def __init__(self, ctx):
        self.ctx = ctx

    def sample(self):
        times = os.times()
        ours = (times.user + times.system) * 1000.0
        for pid in wp.prefix_processes(self.ctx.prefix) + self.ctx.xvfb_pids:
            used = wp.cpu_ms(pid)
            ours += used or 0.0
        return {"at": time.monotonic(), "busy": wp.machine_busy_ms(), "ours": ours, "load1": wp.load_average()}

    @staticmethod
    def between(before, after):
        seconds = after["at"] - before["at"]
        others = ((after["busy"] - before["busy"]) - (after["ours"] - before["ours"])) / 1000.0 / seconds
        others = max(0.0, others)
        return {"load1_before": round(before["load1"], 2), "load1_after": round(after["load1"], 2),
                "others_cores": round(others, 2), "loaded": others >= LOADED_CORES}


def run_group(ctx, group, settings, say, programs_out=None):
    """Starts the group's programs one after another (each alone: its start-to-first-frame is
    not slowed by the others), then runs the rounds. Round orders alternate (forward, backward),
    so a path's slice and its neighbour's sit side by side in every round."""
    programs = []
    probe = LoadProbe(ctx)
    for slot, path in enumerate(group):
        program = Program(ctx, path, slot)
        programs.append(program)
        if programs_out is not None:
            programs_out.append(program)  # the caller ends them, also after a failure
        program.start(settings.settle)
    group_name = group[0].group
    rounds = min(settings.rounds, table.ROUNDS_CAP.get(group_name, settings.rounds))
    paired = any(p.reference for p in group)
    processes = min(settings.processes, rounds) if paired else 1
    restarts = {rounds * i // processes for i in range(1, processes)}
    for r in range(rounds):
        if r in restarts:
            say("  %s: every program started afresh" % group_name)
            for program in programs:
                program.restart(settings.settle)
        order = programs if r % 2 == 0 else programs[::-1]
        before = probe.sample()
        for program in order:
            program.run_slice(settings, r)
        time.sleep(0.05)
        after = probe.sample()
        for program in programs:
            program.close_slice(settings, r)
        load = dict(group=group_name, round=r + 1, **LoadProbe.between(before, after))
        ctx.loads.append(load)
        say("  round %d/%d of %s: %s%s" % (r + 1, rounds, group_name, ", ".join(
            "%.0f" % p.slices[-1]["fps"] for p in programs),
            "  (loaded: others used %.1f cores)" % load["others_cores"] if load["loaded"] else ""))
    return programs


def count_gl_calls(ctx, paths):
    """GL calls of one frame per path, from runs with every opengl32 call traced: the median of
    two whole frames after the start (after the key, where the path has one). The counts do not
    depend on speed, so the traced runs share the machine; a path with keys starts alone first,
    while its window is the foreground one."""
    counts = {}
    programs = []
    try:
        with_keys = [p for p in paths if p.keys]
        others = [p for p in paths if not p.keys]
        for slot, path in enumerate(with_keys):
            program = Program(ctx, path, slot, count_calls=True)
            programs.append(program)
            program.wait_frames(1, START_TIMEOUT)
            for key in path.keys:
                subprocess.run(["xdotool", "key", key], capture_output=True,
                               env=dict(os.environ, DISPLAY=program.display))
            program.keyed_at = len(program.events)
            program.wait_frames(2, 120, since=program.keyed_at)
        for slot, path in enumerate(others, len(with_keys)):
            program = Program(ctx, path, slot, count_calls=True)
            program.keyed_at = 0
            programs.append(program)
        for program in programs:
            program.wait_frames(4, 180, since=program.keyed_at)
            counts[program.path.key] = statistics.median(program.calls[program.keyed_at + 2:program.keyed_at + 4])
    finally:
        for program in programs:
            program.end()
    return counts


def soak(ctx, path, seconds):
    """Runs one path alone for `seconds`, its resident size sampled every second from the key
    press (or the first frame) on: (seconds, KiB) samples."""
    program = Program(ctx, path, 0)
    samples = []
    try:
        program.wait_frames(1, START_TIMEOUT)
        program.pid = wp.find_wine_process(program.process.pid, path.program)
        for key in path.keys:
            subprocess.run(["xdotool", "key", key], capture_output=True, env=dict(os.environ, DISPLAY=program.display))
        begin = time.monotonic()
        while time.monotonic() - begin < seconds:
            time.sleep(1.0)
            if not program.alive():
                program.fail("exited early, with code %s, %.0f s into the soak" % (
                    program.process.returncode, time.monotonic() - begin))
            kib = wp.resident_kib(program.pid) if program.pid else None
            if kib:
                samples.append((time.monotonic() - begin, kib))
    finally:
        program.end()
    return samples


def start_displays(count, numbers):
    """Starts `count` Xvfb servers on free numbers from `numbers`: (processes, displays)."""
    procs, displays = [], []
    numbers = list(numbers)
    while len(procs) < count:
        started = wp.start_xvfb(numbers)
        if not started:
            break
        procs.append(started[0])
        displays.append(started[1])
        numbers = [n for n in numbers if ":%d" % n not in displays]
    return procs, displays


def stop_all(programs):
    for program in programs:
        program.end()
