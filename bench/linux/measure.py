"""Running the paths of a plan group under Wine: its programs start together, each on an X
display of its own, and then take turns in rounds. Only one of them runs at a time; the others'
Unix processes are stopped (SIGSTOP) and continued (SIGCONT), so no program pays a start-up per
round and slow phases of the machine hit every path of a round alike. Frames come from each
program's own reports (program.py), CPU time from /proc."""
import dataclasses
import os
import shutil
import subprocess
import tempfile
import time

from linux import raw
from linux import wineplumbing as wp
from linux.program import PathFailure, PathUnavailable, Program

VTAPI_INI = "[display]\nwidth=800\nheight=600\nbpp=32\nfullscreen=2\n"


@dataclasses.dataclass
class Settings:
    """How long things take: the running time of a slice, its warm-up (the part of a slice not
    counted), and how long a program runs after its first frame before the rounds. tolerant: a
    path that cannot start is recorded as unavailable instead of ending the run (a stack other
    than the default). loaded_cores: from this many cores of other processes a round is called
    loaded in the progress lines."""
    slice: float
    warmup: float
    settle: float
    slice_frames: int = 4  # a slice holds at least this many frames, however slow the path is
    tolerant: bool = False
    loaded_cores: float = 0.5


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
    loads: list = dataclasses.field(default_factory=list)  # raw.RoundLoad, one per round
    unavailable: list = dataclasses.field(default_factory=list)  # raw.Note: paths the stack cannot run

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

    def is_unavailable(self, row):
        return any(note.key == row.key for note in self.unavailable)

    def cannot_run(self, row, failure):
        if self.is_unavailable(row):
            return
        self.unavailable.append(raw.Note(key=row.key, name=row.name, command=failure.command,
                                         reason=failure.reason))


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
    def between(group, round_number, before, after):
        seconds = after["at"] - before["at"]
        others = ((after["busy"] - before["busy"]) - (after["ours"] - before["ours"])) / 1000.0 / seconds
        # Below 0 is the jitter of sampling the two sides at slightly different moments.
        return raw.RoundLoad(group=group, round=round_number, load1_before=round(before["load1"], 2),
                             load1_after=round(after["load1"], 2), others_cores=round(max(0.0, others), 2))


def _start_programs(ctx, group, settings, programs_out, launch):
    """Starts the group's programs one after another, each alone (its start-to-first-frame is not
    slowed by the others). One the desktop cannot run (or, in a tolerant run, one that cannot
    start) is left out as unavailable."""
    programs = []
    for slot, row in enumerate(group.rows):
        if ctx.is_unavailable(row):
            continue
        program = launch(ctx, row, slot, process=group.process_of_round[0])
        programs_out.append(program)  # the caller ends them, also after a failure
        try:
            program.start(settings.settle)
        except PathFailure as failure:
            if not (settings.tolerant or isinstance(failure, PathUnavailable)):
                raise
            ctx.cannot_run(row, failure)
            program.end()
            programs_out.remove(program)
            continue
        programs.append(program)
    return programs


def _run_round(ctx, group, programs, settings, r, probe):
    order = programs if r % 2 == 0 else programs[::-1]
    before = probe.sample()
    for program in order:
        program.run_slice(settings, r)
    time.sleep(0.05)
    after = probe.sample()
    for program in programs:
        program.close_slice(r)
    load = LoadProbe.between(group.name, r + 1, before, after)
    ctx.loads.append(load)
    return load


def _progress(group, r, programs, load, settings):
    frames = ", ".join("%d" % sum(n for _, n in p.slices[-1].reports) for p in programs)
    loaded = load.others_cores >= settings.loaded_cores
    return "  round %d/%d of %s: %s frames%s" % (r + 1, group.rounds, group.name, frames,
                                                  "  (loaded: others used %.1f cores)" % load.others_cores
                                                  if loaded else "")


def run_group(ctx, group, settings, say, programs_out=None, launch=Program, probe=None):
    """Starts the group's programs, then runs its rounds, each measured by the process the plan
    names: where that changes, every program of the group starts afresh. Round orders alternate
    (forward, backward), so a path's slice and its neighbour's sit side by side in every round."""
    programs_out = [] if programs_out is None else programs_out
    programs = _start_programs(ctx, group, settings, programs_out, launch)
    if not programs:
        return programs
    probe = probe or LoadProbe(ctx)
    for r, process in enumerate(group.process_of_round):
        if r and process != group.process_of_round[r - 1]:
            say("  %s: every program started afresh (process %d)" % (group.name, process + 1))
            # All end first: each next process starts on a display another one has just left.
            stop_all(programs)
            for program in programs:
                program.restart(settings.settle, process)
        load = _run_round(ctx, group, programs, settings, r, probe)
        say(_progress(group, r, programs, load, settings))
    return programs


def soak(ctx, row, seconds, launch=Program):
    """Runs one path alone for `seconds`, its resident size sampled every second from the key
    press (or the first frame) on: (seconds, KiB) samples. A process that cannot be found or
    read fails the run."""
    program = launch(ctx, row, 0)
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
            samples.append([round(time.monotonic() - begin, 1), kib])
    finally:
        program.end()
    return samples


def stop_all(programs):
    for program in programs:
        program.end()
