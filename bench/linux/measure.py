"""Running the paths under Wine: the programs of one group start together, each on an X display
of its own, and then take turns in rounds. Only one of them runs at a time; the others' Unix
processes are stopped (SIGSTOP) and continued (SIGCONT), so no program pays a start-up per
round and slow phases of the machine hit every path of a round alike. Frames are counted from
each program's own frame reports (program.py), CPU time from /proc."""
import dataclasses
import os
import shutil
import statistics
import subprocess
import tempfile
import time

from linux import paths as table
from linux import wineplumbing as wp
from linux.program import PathFailure, Program

VTAPI_INI = "[display]\nwidth=800\nheight=600\nbpp=32\nfullscreen=2\n"
# A round counts as loaded when other processes kept this much of the machine busy (cores).
LOADED_CORES = 0.5
# A keyed path's GL calls per frame must change at least this much (relative) after its keys.
KEY_EFFECT = 0.5


@dataclasses.dataclass
class Settings:
    """How long things take: rounds, the running time of a slice, its warm-up (the part of a
    slice not counted), and how long a program runs after its first frame before the rounds.
    processes: how many processes each path of a group with product/reference pairs runs as,
    each for an equal share of the rounds: one process carries effects of its own (where its
    memory and threads landed) that its rounds cannot average out. tolerant: a path that cannot
    start is recorded as unavailable instead of ending the run (a stack other than the default)."""
    rounds: int
    slice: float
    warmup: float
    settle: float
    processes: int = 1
    slice_frames: int = 4  # a slice holds at least this many frames, however slow the path is
    tolerant: bool = False


@dataclasses.dataclass
class Context:
    bin: str
    runner: str
    prefix: str
    displays: list
    out: str
    stack_env: dict = dataclasses.field(default_factory=dict)
    limit: int = 3600  # seconds a reference program runs before it ends by itself
    folder: str = None  # glyphstorm's folder, made on first use
    xvfb_pids: list = dataclasses.field(default_factory=list)
    loads: list = dataclasses.field(default_factory=list)  # one record per round
    unavailable: list = dataclasses.field(default_factory=list)  # paths the stack cannot run, and why

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


@dataclasses.dataclass
class Measured:
    """What a run measured, for the record: its programs with their slices, the GL call counts,
    the soak samples, or the failure that ended it."""
    kind: str  # "rounds", "sweep" or "self-check"
    stamp: str
    out: str
    command: str
    arch: str
    durations: dict
    load_before: list
    programs: list = dataclasses.field(default_factory=list)
    gl_calls: dict = dataclasses.field(default_factory=dict)
    soaked: dict = dataclasses.field(default_factory=dict)
    failure: PathFailure = None
    displays: list = dataclasses.field(default_factory=list)
    stack: dict = dataclasses.field(default_factory=dict)
    wine: str = ""
    loads: list = dataclasses.field(default_factory=list)
    unavailable: list = dataclasses.field(default_factory=list)


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
        # Below 0 is the jitter of sampling the two sides at slightly different moments.
        others = round(max(0.0, others), 2)
        return {"load1_before": round(before["load1"], 2), "load1_after": round(after["load1"], 2),
                "others_cores": others, "loaded": others >= LOADED_CORES}


def _start_programs(ctx, group, settings, programs_out, launch):
    """Starts the group's programs one after another, each alone (its start-to-first-frame is not
    slowed by the others). With a tolerant run, one that cannot start is left out as unavailable."""
    programs = []
    for slot, path in enumerate(group):
        program = launch(ctx, path, slot)
        programs_out.append(program)  # the caller ends them, also after a failure
        try:
            program.start(settings.settle)
        except PathFailure as failure:
            if not settings.tolerant:
                raise
            ctx.unavailable.append({"key": path.key, "name": path.name, "command": failure.command,
                                    "reason": failure.reason})
            program.end()
            programs_out.remove(program)
            continue
        programs.append(program)
    return programs


def restart_rounds(rounds, processes):
    """The rounds before which every program of a group starts afresh: equal shares."""
    return {rounds * i // processes for i in range(1, processes)}


def _run_round(ctx, programs, settings, r, probe):
    order = programs if r % 2 == 0 else programs[::-1]
    before = probe.sample()
    for program in order:
        program.run_slice(settings, r)
    time.sleep(0.05)
    after = probe.sample()
    for program in programs:
        program.close_slice(settings, r)
    load = dict(group=programs[0].path.group, round=r + 1, **LoadProbe.between(before, after))
    ctx.loads.append(load)
    return load


def run_group(ctx, group, settings, say, programs_out=None, launch=Program, probe=None):
    """Starts the group's programs, then runs the rounds. Round orders alternate (forward,
    backward), so a path's slice and its neighbour's sit side by side in every round. A group
    with a product/reference pair runs as settings.processes processes per path."""
    programs_out = [] if programs_out is None else programs_out
    programs = _start_programs(ctx, group, settings, programs_out, launch)
    if not programs:
        return programs
    group_name = group[0].group
    probe = probe or LoadProbe(ctx)
    rounds = min(settings.rounds, table.ROUNDS_CAP.get(group_name, settings.rounds))
    paired = any(p.path.reference for p in programs)
    restarts = restart_rounds(rounds, min(settings.processes, rounds) if paired else 1)
    for r in range(rounds):
        if r in restarts:
            say("  %s: every program started afresh" % group_name)
            # All end first: each next process starts on a display another one has just left.
            stop_all(programs)
            for program in programs:
                program.restart(settings.settle)
        load = _run_round(ctx, programs, settings, r, probe)
        say("  round %d/%d of %s: %s%s" % (r + 1, rounds, group_name, ", ".join(
            "%.0f" % p.slices[-1]["fps"] for p in programs),
            "  (loaded: others used %.1f cores)" % load["others_cores"] if load["loaded"] else ""))
    return programs


def _calls_per_frame(program, since):
    """GL calls per frame: the median over two reports, two after `since` (the first report
    closes the set-up). The calls between two reports belong to as many frames as the later one
    counts (each report is written at the frame after its period)."""
    program.wait_frames(4, 180, since=since)
    pairs = zip(program.log.calls[since + 2:since + 4], program.events[since + 2:since + 4])
    per_frame = [calls / frames for calls, (_, frames) in pairs if frames]
    if not per_frame:
        program.fail("reported no frame while its GL calls were counted")
    return statistics.median(per_frame)


def _keyed_calls(program):
    """Calls per frame after the path's keys, which must have changed them: the proof that the
    program is in the state its keys put it in."""
    program.open(press=False)
    before = _calls_per_frame(program, 0)
    program.press_keys()
    after = _calls_per_frame(program, len(program.events))
    if before and abs(after / before - 1.0) < KEY_EFFECT:
        program.fail("its GL calls per frame stayed at %d after key(s) %s: the key changed nothing" % (
            after, " ".join(program.path.keys)))
    return after


def count_gl_calls(ctx, paths, launch=Program):
    """GL calls of one frame per path, from runs with every opengl32 call traced. The counts do
    not depend on speed, so the traced runs share the machine; a path with keys starts alone
    first, while its window is the foreground one."""
    counts = {}
    programs = []
    try:
        ordered = [p for p in paths if p.keys] + [p for p in paths if not p.keys]
        for slot, path in enumerate(ordered):
            program = launch(ctx, path, slot, count_calls=True)
            programs.append(program)
            if path.keys:
                counts[path.key] = _keyed_calls(program)
        for program in programs:
            if not program.path.keys:
                counts[program.path.key] = _calls_per_frame(program, 0)
    finally:
        stop_all(programs)
    return counts


def soak(ctx, path, seconds, launch=Program):
    """Runs one path alone for `seconds`, its resident size sampled every second from the key
    press (or the first frame) on: (seconds, KiB) samples. A process that cannot be found or
    read fails the run."""
    program = launch(ctx, path, 0)
    samples = []
    try:
        program.open()
        begin = time.monotonic()
        while time.monotonic() - begin < seconds:
            time.sleep(1.0)
            kib = wp.resident_kib(program.pid)
            if not program.alive():
                program.fail("exited early, with code %s, %.0f s into the soak" % (
                    program.process.returncode, time.monotonic() - begin))
            if kib is None:
                program.fail("its resident size could not be read %.0f s into the soak" % (time.monotonic() - begin))
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
