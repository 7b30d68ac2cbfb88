"""The bench's measuring and writing without Wine: run_group with fake programs (processes,
restarts, a path the stack cannot run), the record and report.md it leads to, the load probe,
and the checks that stop a run from going on silently (a lost key, a process not found), the
last ones with a real Program over a fake Wine runner and a fake xdotool."""
import contextlib
import dataclasses
import io
import os
import stat
import sys
import tempfile
import textwrap
import types
import unittest
import unittest.mock

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(TOP, "bench"))
from linux import measure, report  # noqa: E402
from linux import paths as table  # noqa: E402
from linux import results as res  # noqa: E402
from linux import program  # noqa: E402
from linux.program import PathFailure  # noqa: E402

PRODUCT = table.Path(key="p", name="product", program="p.exe", source="swap", phrases=10, group="g",
                     reference="r", bar=0.97)
REFERENCE = table.Path(key="r", name="reference", program="r.exe", source="swap", phrases=10, group="g")
BROKEN = table.Path(key="x", name="broken", program="x.exe", source="swap", phrases=10, group="g")
# FPS of each fake path against its reference's; the rest run at the same speed.
SPEED = {"p": 0.9, "slow-copy": 1.1}


class FakeProgram:
    """Runs nothing: each slice's FPS tells its process apart; 'x' cannot start."""

    def __init__(self, ctx, path, slot, count_calls=False):
        self.path, self.display, self.command = path, ":0", path.program
        self.slices, self.process_index, self.first_frame, self.rss = [], 0, 1.0, []
        self.screenshot = None

    def start(self, settle):
        if self.path.key == "x":
            raise PathFailure(self.path, self.command, "CreateHwndRenderTarget failed")

    def restart(self, settle):
        self.process_index += 1

    def run_slice(self, settings, r):
        self.slices.append({"process": self.process_index})

    def close_slice(self, settings, r):
        fps = 100.0 * (1 + self.process_index / 10.0) * SPEED.get(self.path.key, 1.0)
        self.slices[-1].update(fps=fps, seconds=1.0, frames=fps, cpu_per_frame=1000.0 / fps, cpu=1000.0)

    def end(self):
        pass


class Probe:
    """Other processes keep 1.5 cores busy in every second round."""

    def __init__(self):
        self.at, self.busy = 0, 0.0

    def sample(self):
        self.at += 1
        if self.at % 4 == 0:  # the after-sample of every second round
            self.busy += 1500.0
        return {"at": float(self.at), "busy": self.busy, "ours": 0.0, "load1": 1.0}


def context():
    return measure.Context(bin="", runner="", prefix="/nonexistent", displays=[":0"], out="")


def measured(groups, settings):
    ctx, programs = context(), []
    for group in groups:
        measure.run_group(ctx, group, settings, lambda text: None, programs, launch=FakeProgram, probe=Probe())
    return ctx, programs


class Rounds(unittest.TestCase):
    def test_processes_share_the_rounds_of_a_paired_group_only(self):
        settings = measure.Settings(rounds=6, slice=1.0, warmup=0.1, settle=0.0, processes=3)
        lone = dataclasses.replace(REFERENCE, key="lone", reference=None, group="h")
        _, programs = measured([[PRODUCT, REFERENCE], [lone]], settings)
        processes = {p.path.key: [s["process"] for s in p.slices] for p in programs}
        self.assertEqual(processes, {"p": [0, 0, 1, 1, 2, 2], "r": [0, 0, 1, 1, 2, 2], "lone": [0] * 6})

    def test_a_path_the_stack_cannot_run_is_a_row_and_on_the_default_stack_the_end(self):
        settings = measure.Settings(rounds=3, slice=1.0, warmup=0.1, settle=0.0, tolerant=True)
        ctx, programs = measured([[PRODUCT, BROKEN, REFERENCE]], settings)
        self.assertEqual([p.path.key for p in programs], ["p", "r"])
        self.assertEqual([(u["key"], u["reason"]) for u in ctx.unavailable], [("x", "CreateHwndRenderTarget failed")])
        with self.assertRaises(PathFailure):
            measured([[PRODUCT, BROKEN]], dataclasses.replace(settings, tolerant=False))

    def test_others_cores_are_measured_and_flag_the_round(self):
        loaded = measure.LoadProbe.between({"at": 0.0, "busy": 0.0, "ours": 0.0, "load1": 0.5},
                                           {"at": 2.0, "busy": 4000.0, "ours": 1000.0, "load1": 0.7})
        self.assertEqual((loaded["others_cores"], loaded["loaded"]), (1.5, True))
        quiet = measure.LoadProbe.between({"at": 0.0, "busy": 0.0, "ours": 0.0, "load1": 0.5},
                                          {"at": 2.0, "busy": 1000.0, "ours": 1200.0, "load1": 0.7})
        self.assertEqual((quiet["others_cores"], quiet["loaded"]), (0.0, False))


class Record(unittest.TestCase):
    def test_the_report_names_what_was_unavailable_and_a_verdict_taken_under_load(self):
        settings = measure.Settings(rounds=10, slice=1.0, warmup=0.1, settle=0.0, processes=5, tolerant=True)
        ctx, programs = measured([[PRODUCT, BROKEN, REFERENCE]], settings)
        run = measure.Measured(kind="rounds", stamp="20260101-000000", out="", command="scripts/bench", arch="x86_64",
                               durations={"total_s": 1.0}, load_before=[0.0, 0.0, 0.0], programs=programs,
                               stack={"gl_driver": "softpipe", "ddraw_renderer": "gl"}, loads=ctx.loads,
                               unavailable=ctx.unavailable)
        with unittest.mock.patch.object(table, "PATHS", [PRODUCT, REFERENCE, BROKEN]):
            data = res.run_record(run, settings, None)
        target = [t for t in data["targets"] if t["kind"] == "ratio"][0]
        self.assertEqual(target["under_load"], {"rounds": 5, "of": 10})
        with tempfile.TemporaryDirectory() as out:
            report.write_report(out, data)
            with open(os.path.join(out, "report.md"), encoding="utf-8") as f:
                text = f.read()
        self.assertIn("| broken | unavailable with this stack: CreateHwndRenderTarget failed |", text)
        self.assertRegex(text, r"\| product ≥ 0\.97× reference \| 0\.900× .*\| \*\*missed\*\*, \*\*under load\*\* "
                               r"\(5 of 10 rounds loaded\) \|")


    def test_a_self_check_pairs_each_reference_with_a_copy_and_says_whether_it_holds_one(self):
        slow = dataclasses.replace(REFERENCE, key="slow", name="slow reference")
        paths = table.self_check_paths([PRODUCT, REFERENCE, dataclasses.replace(PRODUCT, key="q", reference="slow"), slow])
        self.assertEqual([(p.key, p.program, p.reference, p.bar) for p in paths[:2]],
                         [("r", "r.exe", None, None), ("r-copy", "r.exe", "r", None)])
        settings = measure.Settings(rounds=4, slice=1.0, warmup=0.1, settle=0.0, processes=2)
        ctx, programs = measured(table.groups(paths), settings)
        run = measure.Measured(kind="self-check", stamp="20260101-000000", out="", command="scripts/bench --self-check",
                               arch="x86_64", durations={}, load_before=[0.0] * 3, programs=programs, loads=ctx.loads)
        data = res.run_record(run, settings, None)
        printed = io.StringIO()
        with contextlib.redirect_stdout(printed):
            self.assertFalse(report.print_self_check(data))
        self.assertEqual([line.split(":")[1].strip() for line in printed.getvalue().split("\n") if line],
                         ["reference / itself", "slow reference / itself"])
        self.assertRegex(printed.getvalue(), r"reference / itself: 1\.000× .* holds 1\.00\n.*"
                                             r"slow reference / itself: 1\.100× .* DOES NOT HOLD 1\.00")


class TracedProgram:
    """A traced run's stand-in: reports of two frames each; `effect` scales its GL calls per
    frame (1000) once its key is pressed."""
    effect = 23.0

    def __init__(self, ctx, path, slot, count_calls=False):
        self.path, self.events, self.keyed = path, [], False
        self.log = types.SimpleNamespace(calls=[])

    def open(self, press=True):
        pass

    def press_keys(self):
        self.keyed = True

    def wait_frames(self, count, timeout, since=0):
        while len(self.events) < since + count:
            self.events.append((len(self.events) * 0.1, 2))
            self.log.calls.append(2 * 1000 * (self.effect if self.keyed else 1.0))

    def fail(self, reason):
        raise PathFailure(self.path, self.path.program, reason)

    def end(self):
        pass


class TracedRun(unittest.TestCase):
    def test_gl_calls_are_per_frame_and_a_key_that_changes_nothing_fails_the_run(self):
        keyed = dataclasses.replace(PRODUCT, keys=("1",))
        self.assertEqual(measure.count_gl_calls(context(), [REFERENCE, keyed], launch=TracedProgram),
                         {"p": 23000.0, "r": 1000.0})
        with unittest.mock.patch.object(TracedProgram, "effect", 1.1), self.assertRaises(PathFailure) as caught:
            measure.count_gl_calls(context(), [keyed], launch=TracedProgram)
        self.assertIn("GL calls per frame stayed at 1100 after key(s) 1: the key changed nothing",
                      caught.exception.reason)


# A stand-in for wine-run: starts a child named after the program (as Wine names its process)
# unless told not to, which reports a frame every 10 ms the way Wine's swap trace does.
FAKE_RUNNER = """\
#!{python}
import os, subprocess, sys, time
if sys.argv[1:2] == ["--frames"]:
    while True:
        sys.stderr.write("%.6f:0024:trace:wgl:glxdrv_wglSwapBuffers\\n" % time.clock_gettime(time.CLOCK_MONOTONIC_RAW))
        sys.stderr.flush()
        time.sleep(0.01)
name = sys.argv[1] if os.environ.get("FAKE_FOUND", "1") == "1" else "/elsewhere/other"
if os.environ.get("FAKE_STARTS"):
    with open(os.environ["FAKE_STARTS"], "a") as f:
        f.write("%s %s\\n" % (os.path.basename(name), os.environ["DISPLAY"]))
subprocess.run([name, __file__, "--frames"], executable=sys.executable)
"""
# A stand-in for xdotool: the focus is on the fake program's window unless FAKE_FOCUS says
# whose it is; keys fail when FAKE_KEY is 1.
FAKE_XDOTOOL = """\
#!{python}
import os, sys
def started(pid):  # None when gone; the newest wins: one killed a moment ago may linger
    try:
        if open("/proc/%s/cmdline" % pid, "rb").read().split(b"\\0")[0] == os.environ["FAKE_PROGRAM"].encode():
            return int(open("/proc/%s/stat" % pid).read().rsplit(")", 1)[1].split()[19])
    except OSError:
        pass
if sys.argv[1] == "getwindowfocus":
    times = {{d: started(d) for d in os.listdir("/proc") if d.isdigit()}}
    mine = [d for d in times if times[d] is not None]
    print(os.environ.get("FAKE_FOCUS") or (max(mine, key=times.get) if mine else "none"))
elif sys.argv[1] == "key":
    sys.exit(int(os.environ.get("FAKE_KEY", "0")))
"""


class NothingSilent(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        for name, text in (("wine-run", FAKE_RUNNER), ("xdotool", FAKE_XDOTOOL)):
            path = os.path.join(self.folder.name, name)
            with open(path, "w") as f:
                f.write(textwrap.dedent(text).format(python=sys.executable))
            os.chmod(path, os.stat(path).st_mode | stat.S_IEXEC)
        patched = {"PATH": self.folder.name + os.pathsep + os.environ["PATH"],
                   "FAKE_PROGRAM": os.path.join(self.folder.name, "mode.exe")}
        self.env = unittest.mock.patch.dict(os.environ, patched)
        self.env.start()
        self.ctx = measure.Context(bin=self.folder.name, runner=os.path.join(self.folder.name, "wine-run"),
                                   prefix="/nonexistent", displays=[":0"], out=self.folder.name)
        self.keyed = dataclasses.replace(REFERENCE, program="mode.exe", keys=("1",))

    def tearDown(self):
        self.env.stop()
        self.folder.cleanup()

    def fails(self, reason, **env):
        with unittest.mock.patch.dict(os.environ, env), unittest.mock.patch.object(program, "FIND_TRIES", 5), \
                unittest.mock.patch.object(program, "FOCUS_TIMEOUT", 0.5):
            with self.assertRaises(PathFailure) as caught:
                measure.soak(self.ctx, self.keyed, 1.0)
        self.assertIn(reason, caught.exception.reason)

    def test_a_key_that_cannot_reach_the_program_or_is_not_sent_fails_the_run(self):
        self.fails("the focused window is not its own", FAKE_FOCUS="1")
        self.fails("key 1 was not sent", FAKE_KEY="1")
        self.assertGreater(len(measure.soak(self.ctx, self.keyed, 1.0)), 0)

    def test_a_soak_that_cannot_find_its_process_fails_the_run(self):
        self.fails("its Unix process was not found", FAKE_FOUND="0")

    def test_each_process_of_a_group_moves_its_programs_one_display_on(self):
        starts = os.path.join(self.folder.name, "starts")
        ctx = dataclasses.replace(self.ctx, displays=[":0", ":1"])
        settings = measure.Settings(rounds=3, slice=0.1, warmup=0.02, settle=0.05, processes=3)
        with unittest.mock.patch.dict(os.environ, FAKE_STARTS=starts):
            programs = measure.run_group(ctx, [PRODUCT, REFERENCE], settings, lambda text: None)
        measure.stop_all(programs)
        self.assertEqual([[s["display"] for s in p.slices] for p in programs],
                         [[":0", ":1", ":0"], [":1", ":0", ":1"]])
        with open(starts) as f:
            self.assertEqual(f.read().split(), ["p.exe", ":0", "r.exe", ":1", "p.exe", ":1", "r.exe", ":0",
                                                "p.exe", ":0", "r.exe", ":1"])


if __name__ == "__main__":
    unittest.main()
