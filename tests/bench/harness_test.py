"""The bench's measuring without Wine: rounds with fake programs (the plan's processes, a path
the stack cannot run), the plan as read from glyphstorm-results, the traced runs, the checks
that stop a run from going on silently (a lost key, a process not found), and scripts/bench end
to end over a fake Wine runner and a fake glyphstorm-results: raw.json as bench/raw-format.md
has it, a failed run, and the program's refusal of a request."""
import dataclasses
import json
import os
import stat
import subprocess
import sys
import tempfile
import textwrap
import types
import unittest
import unittest.mock

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(TOP, "bench"))
from linux import glcalls, measure, program, raw  # noqa: E402
from linux import plan as plans  # noqa: E402
from linux.program import PathFailure  # noqa: E402


def row(key, **fields):
    values = dict(key=key, name="path " + key, program=key + ".exe", args=[], launch="bin", desktop=False,
                  source="debug", phrases=10, keys=[], group="g", reference=None, bar=None, start_bar=None,
                  soak=False, gl_calls=False, sweep=False, on_sweep=None, shot=key)
    values.update(fields)
    return values


def group(name, rows, process_of_round):
    return {"name": name, "rounds": len(process_of_round), "processes": max(process_of_round) + 1,
            "process_of_round": process_of_round, "rows": rows}


def plan_json(*groups):
    return {"kind": "rounds", "rounds": 3, "processes": 2, "slice_s": 0.1, "warmup_s": 0.02, "settle_s": 0.05,
            "sweep_phrases": [25, 50], "loaded_cores": 0.5, "table": {"paths": "as read"}, "groups": list(groups)}


PLAN = plans.parse(plan_json(group("g", [row("p", reference="r", bar=0.97), row("r"), row("x")], [0, 0, 1, 1, 2, 2]),
                             group("h", [row("lone", group="h")], [0, 1, 1])))
SETTINGS = measure.Settings(slice=1.0, warmup=0.1, settle=0.0)


class FakeProgram:
    """Runs nothing; 'x' cannot start."""

    def __init__(self, ctx, path, slot, count_calls=False, process=0):
        self.path, self.display, self.command, self.process_index, self.slices = path, ":0", path.program, process, []

    def start(self, settle):
        if self.path.key == "x":
            raise PathFailure(self.path, self.command, "CreateHwndRenderTarget failed")

    def restart(self, settle, process):
        self.process_index = process

    def run_slice(self, settings, r):
        self.slices.append(raw.Slice(r, self.process_index, ":0", 0.0, 0.1, 1.1, [[0.1, 1], [1.1, 10]], 5.0))

    def close_slice(self, r):
        pass

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


def context(**fields):
    return measure.Context(**dict(dict(bin="", runner="", prefix="/nonexistent", displays=[":0"], out=""), **fields))


def measured(plan, settings):
    ctx, programs = context(), []
    for g in plan.groups:
        measure.run_group(ctx, g, settings, lambda text: None, programs, launch=FakeProgram, probe=Probe())
    return ctx, programs


class Rounds(unittest.TestCase):
    def test_every_group_restarts_where_the_plans_process_changes_and_records_each_rounds_load(self):
        ctx, programs = measured(PLAN, measure.Settings(slice=1.0, warmup=0.1, settle=0.0, tolerant=True))
        self.assertEqual({p.path.key: [s.process for s in p.slices] for p in programs},
                         {"p": [0, 0, 1, 1, 2, 2], "r": [0, 0, 1, 1, 2, 2], "lone": [0, 1, 1]})
        self.assertEqual([(load.group, load.round, load.others_cores) for load in ctx.loads],
                         [("g", 1, 0.0), ("g", 2, 1.5), ("g", 3, 0.0), ("g", 4, 1.5), ("g", 5, 0.0), ("g", 6, 1.5),
                          ("h", 1, 0.0), ("h", 2, 1.5), ("h", 3, 0.0)])

    def test_a_path_the_stack_cannot_run_is_unavailable_and_on_the_default_stack_the_end(self):
        ctx, programs = measured(PLAN, measure.Settings(slice=1.0, warmup=0.1, settle=0.0, tolerant=True))
        self.assertNotIn("x", [p.path.key for p in programs])
        self.assertEqual(ctx.unavailable, [raw.Note("x", "path x", "x.exe", "CreateHwndRenderTarget failed")])
        with self.assertRaises(PathFailure):
            measured(PLAN, SETTINGS)


class PlanShape(unittest.TestCase):
    def test_a_plan_the_bench_cannot_measure_from_is_refused_by_name(self):
        broken = {
            "groups[0].rows[1] has no shot": group("g", [row("p"), {k: v for k, v in row("r").items() if k != "shot"}],
                                                   [0]),
            "groups[0].rows[0]: unknown frame source 'vsync'": group("g", [row("p", source="vsync")], [0]),
            "groups[0].rows[0]: keys must be a list of str": group("g", [row("p", keys="1")], [0]),
            "groups[0]: process_of_round must name a process (from 0) for each of its 2 rounds":
                dict(group("g", [row("p")], [0]), rounds=2),
        }
        for message, faulty in broken.items():
            with self.subTest(message), self.assertRaises(plans.PlanError) as caught:
                plans.parse(plan_json(faulty))
            self.assertEqual(str(caught.exception), message)
        with self.assertRaisesRegex(plans.PlanError, "the plan has no slice_s"):
            plans.parse({k: v for k, v in plan_json(group("g", [row("p")], [0])).items() if k != "slice_s"})

    def test_a_rows_arguments_and_the_programs_to_build(self):
        parsed = plans.parse(plan_json(group("sweep-r", [row("r@25", program="r.exe", phrases=25,
                                                             args=["glyphs", "{seconds}", "{phrases}"]),
                                                         row("d", program="d.exe")], [0])))
        self.assertEqual(plans.arguments(parsed.groups[0].rows[0], 3600), ["glyphs", "3600", "25"])
        self.assertEqual(plans.programs(parsed), ["d", "r"])


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
        reference, keyed = PLAN.groups[0].rows[1], dataclasses.replace(PLAN.groups[0].rows[0], keys=("1",))
        self.assertEqual(glcalls.count(context(), [reference, keyed], launch=TracedProgram),
                         {"p": 23000.0, "r": 1000.0})
        with unittest.mock.patch.object(TracedProgram, "effect", 1.1), self.assertRaises(PathFailure) as caught:
            glcalls.count(context(), [keyed], launch=TracedProgram)
        self.assertIn("GL calls per frame stayed at 1100 after key(s) 1: the key changed nothing",
                      caught.exception.reason)


# A stand-in for wine-run: starts a child named after the program (as Wine names its process)
# unless told not to, which reports two frames every 20 ms the way a program's debug output
# reaches Wine's stderr, after three GL calls a frame when they are traced. A program named in
# FAKE_BROKEN ends at once; one named in FAKE_LACKING says on its debug output that the desktop
# lacks what it needs and ends with the code that means so.
FAKE_RUNNER = """\
#!{python}
import os, subprocess, sys, time
args = sys.argv[1:]
if args[:1] == ["--frames"]:
    traced = "trace+opengl" in os.environ.get("WINEDEBUG", "")
    while True:
        now = time.clock_gettime(time.CLOCK_MONOTONIC_RAW)
        sys.stderr.write("%.6f:0024:trace:opengl:glBegin\\n" % now * (6 if traced else 0))
        sys.stderr.write('%.6f:0024:warn:debugstr:OutputDebugStringA "frames=2\\\\n"\\n' % now)
        sys.stderr.flush()
        time.sleep(0.02)
if args[0] in ("--prepare", "--finish", "reg"):
    sys.exit(0)
if args[0] == "--desktop":
    args = args[2:]
if os.path.basename(args[0]) in os.environ.get("FAKE_BROKEN", "").split(","):
    sys.exit(3)
if os.path.basename(args[0]) in os.environ.get("FAKE_LACKING", "").split(","):
    sys.stderr.write('0024:warn:debugstr:OutputDebugStringA "unavailable on this desktop: GL 3.3\\\\n"\\n')
    sys.exit(3)
name = args[0] if os.environ.get("FAKE_FOUND", "1") == "1" else "/elsewhere/other"
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
# A stand-in for ImageMagick's import: a screenshot file.
FAKE_IMPORT = """\
#!{python}
import sys
open(sys.argv[-1], "wb").write(b"\\x89PNG\\r\\n\\x1a\\n")
"""
# A stand-in for glyphstorm-results: the plan of FAKE_PLAN, or its refusal of an unknown key;
# --rejudge reads raw.json and ends as a real judgement would for a failed run, else with
# FAKE_CODE. Each call is logged to FAKE_CALLS.
FAKE_RESULTS = """\
#!{python}
import json, os, sys
args = sys.argv[1:]
with open(os.environ["FAKE_CALLS"], "a") as log:
    log.write(" ".join(args) + "\\n")
if args[0] == "--plan":
    plan = json.load(open(os.environ["FAKE_PLAN"]))
    keys = [r["key"] for g in plan["groups"] for r in g["rows"]] if "--paths" in args else []
    unknown = [k for k in args[args.index("--paths") + 1].split(",") if k not in keys] if keys else []
    if unknown:
        sys.exit(print("no such path: %s (the paths: %s)" % (",".join(unknown), ", ".join(keys)), file=sys.stderr) or 2)
    print(json.dumps(plan))
elif args[0] == "--rejudge":
    kind = json.load(open(os.path.join(args[1], "raw.json"), encoding="utf-8"))["kind"]
    print("judged a %s run" % kind)
    sys.exit(1 if kind == "failed" else int(os.environ.get("FAKE_CODE", "0")))
else:
    print("compared %s with %s" % (args[1], args[2]))
"""


def install(folder, name, text):
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write(textwrap.dedent(text).format(python=sys.executable))
    os.chmod(path, os.stat(path).st_mode | stat.S_IEXEC)
    return path


class FakeWine(unittest.TestCase):
    """A folder with the fake tools first on PATH and a build tree of the fake runner."""

    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.dir = self.folder.name
        for name, text in (("xdotool", FAKE_XDOTOOL), ("import", FAKE_IMPORT)):
            install(self.dir, name, text)
        os.makedirs(os.path.join(self.dir, "tree", "bin"))
        self.runner = install(os.path.join(self.dir, "tree"), "wine-run", FAKE_RUNNER)
        patched = {"PATH": self.dir + os.pathsep + os.environ["PATH"],
                   "FAKE_PROGRAM": os.path.join(self.dir, "tree", "bin", "p.exe")}
        self.env = unittest.mock.patch.dict(os.environ, patched)
        self.env.start()

    def tearDown(self):
        self.env.stop()
        self.folder.cleanup()


class NothingSilent(FakeWine):
    def setUp(self):
        FakeWine.setUp(self)
        self.ctx = context(bin=os.path.join(self.dir, "tree", "bin"), runner=self.runner, out=self.dir)
        self.keyed = dataclasses.replace(PLAN.groups[0].rows[0], keys=("1",))

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
        starts = os.path.join(self.dir, "starts")
        ctx = context(bin=self.ctx.bin, runner=self.runner, displays=[":0", ":1"])
        settings = measure.Settings(slice=0.1, warmup=0.02, settle=0.05)
        two = plans.parse(plan_json(group("g", [row("p"), row("r")], [0, 1, 2])))
        with unittest.mock.patch.dict(os.environ, FAKE_STARTS=starts):
            programs = measure.run_group(ctx, two.groups[0], settings, lambda text: None)
        measure.stop_all(programs)
        self.assertEqual([[s.display for s in p.slices] for p in programs], [[":0", ":1", ":0"], [":1", ":0", ":1"]])
        with open(starts) as f:
            self.assertEqual(f.read().split(), ["p.exe", ":0", "r.exe", ":1", "p.exe", ":1", "r.exe", ":0",
                                                "p.exe", ":0", "r.exe", ":1"])


# The fields raw-format.md names for each record.
RUN_FIELDS = {"harness", "date", "command", "version", "arch", "rounds", "processes", "slice_s", "warmup_s",
              "settle_s", "sweep_phrases", "soak_minutes", "cpu_tick_ms", "refresh_hz", "partial", "durations",
              "facts", "round_loads"}
PATH_FIELDS = {"key", "command", "display", "screenshot", "failed", "first_frame_s", "gl_calls_per_frame", "memory",
               "slices"}
SLICE_FIELDS = {"round", "process", "display", "begin", "count_from", "end", "reports", "cpu_ms"}
LOAD_FIELDS = {"group", "round", "load1_before", "load1_after", "others_cores"}


class ScriptsBench(FakeWine):
    def bench(self, plan, *options, **env):
        """scripts/bench over the fake tree, judged by the fake glyphstorm-results: the finished
        process and the raw.json it wrote (None without one)."""
        with open(os.path.join(self.dir, "plan.json"), "w") as f:
            json.dump(plan, f)
        out = os.path.join(self.dir, "out")
        env = dict(os.environ, GLYPHSTORM_RESULTS=install(self.dir, "glyphstorm-results", FAKE_RESULTS),
                   FAKE_PLAN=os.path.join(self.dir, "plan.json"), FAKE_CALLS=os.path.join(self.dir, "calls"), **env)
        done = subprocess.run([sys.executable, os.path.join(TOP, "scripts", "bench"), "--no-build", "--build",
                               os.path.join(self.dir, "tree"), "--out", out, "--display", ":97,:98"] + list(options),
                              capture_output=True, text=True, env=env, timeout=120)
        with open(env["FAKE_CALLS"]) as f:
            self.calls = f.read().splitlines()
        if not os.path.exists(os.path.join(out, "raw.json")):
            return done, None
        with open(os.path.join(out, "raw.json"), encoding="utf-8") as f:
            return done, json.load(f)

    def test_raw_json_holds_every_slice_with_its_reports_and_the_exit_code_is_the_programs(self):
        plan = plan_json(group("g", [row("p", reference="r", gl_calls=True), row("r")], [0, 1, 1]),
                         group("h", [row("lone", group="h")], [0, 0, 1]))
        done, found = self.bench(plan, "--quick", "--rounds", "3", FAKE_CODE="1")
        self.assertEqual(done.returncode, 1, done.stdout + done.stderr)
        self.assertIn("judged a rounds run", done.stdout)
        table = os.path.join(TOP, "bench", "paths.json")
        self.assertEqual(self.calls, ["--plan --table %s --harness linux --rounds 3 --quick" % table,
                                      "--rejudge " + os.path.join(self.dir, "out")])
        self.assertEqual((found["format"], found["version"], found["kind"], found["table"], found["failure"],
                          found["unavailable"], found["soak"]), ("glyphstorm-raw", 1, "rounds", plan["table"], None,
                                                                 [], []))
        run = found["run"]
        self.assertEqual(set(run), RUN_FIELDS)
        self.assertEqual((run["harness"], run["version"], run["rounds"], run["slice_s"], run["sweep_phrases"],
                          run["refresh_hz"], run["partial"]), ("scripts/bench", "1.0.0", 3, 0.1, [], None, False))
        self.assertEqual(run["cpu_tick_ms"], 1000.0 / os.sysconf("SC_CLK_TCK"))
        self.assertEqual(run["facts"]["displays"], [":97", ":98"])
        self.assertEqual(set(run["facts"]), {"gl", "stack", "wine", "displays", "machine"})
        self.assertEqual([(load["group"], load["round"]) for load in run["round_loads"]],
                         [("g", 1), ("g", 2), ("g", 3), ("h", 1), ("h", 2), ("h", 3)])
        self.assertTrue(all(set(load) == LOAD_FIELDS for load in run["round_loads"]))
        paths = {p["key"]: p for p in found["paths"]}
        self.assertEqual(list(paths), ["p", "r", "lone"])
        # Three GL calls a frame in the traced run; only its row is counted.
        self.assertEqual((paths["p"]["gl_calls_per_frame"], paths["r"]["gl_calls_per_frame"]), (3.0, None))
        processes = {"p": [0, 1, 1], "r": [0, 1, 1], "lone": [0, 0, 1]}
        for key, path in paths.items():
            with self.subTest(path=key):
                self.assertEqual(set(path), PATH_FIELDS)
                self.assertEqual((path["command"], path["screenshot"], path["failed"]), (key + ".exe", key + ".png",
                                                                                         None))
                self.assertTrue(os.path.isfile(os.path.join(self.dir, "out", key + ".png")))
                self.assertGreater(path["first_frame_s"], 0)
                self.assertGreater(len(path["memory"]), 0)
                self.assertEqual([s["process"] for s in path["slices"]], processes[key])
                self.assertEqual([s["round"] for s in path["slices"]], [0, 1, 2])
                for s in path["slices"]:
                    self.assertEqual(set(s), SLICE_FIELDS)
                    self.assertAlmostEqual(s["count_from"], s["begin"] + 0.02)
                    self.assertGreaterEqual(len([t for t, _ in s["reports"] if t >= s["count_from"]]), 2)
                    self.assertTrue(all(s["begin"] <= t <= s["end"] and n == 2 for t, n in s["reports"]), s)
        # A restart moves the programs one display on.
        self.assertEqual([s["display"] for s in paths["p"]["slices"]], [":97", ":98", ":98"])
        self.assertEqual(paths["r"]["display"], ":98")

    def test_a_path_the_stack_cannot_run_is_unavailable_and_on_the_default_stack_fails_the_run(self):
        plan = plan_json(group("g", [row("x", gl_calls=True), row("r")], [0, 0]))
        done, found = self.bench(plan, "--gl-driver", "softpipe", FAKE_BROKEN="x.exe")
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertEqual([(u["key"], u["name"], u["command"]) for u in found["unavailable"]],
                         [("x", "path x", "x.exe")])
        self.assertIn("exited with code 3 after 0 frame(s)", found["unavailable"][0]["reason"])
        self.assertEqual(([p["key"] for p in found["paths"]], found["run"]["facts"]["stack"]["gl_driver"]),
                         (["r"], "softpipe"))
        done, found = self.bench(plan, FAKE_BROKEN="x.exe")
        self.assertEqual((done.returncode, found["kind"], found["failure"]["key"], found["unavailable"]),
                         (1, "failed", "x", []))
        self.assertRegex(done.stdout, r"FAILED: path x \(x\.exe\): exited with code 3 after 0 frame\(s\)")

    def test_a_path_the_desktop_lacks_is_an_unavailable_row_on_any_stack(self):
        # Its traced run and its rounds both meet the refusal; it is one row, the run goes on.
        plan = plan_json(group("g", [row("x", gl_calls=True), row("r", gl_calls=True)], [0, 0]))
        done, found = self.bench(plan, FAKE_LACKING="x.exe")
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertEqual([(u["key"], u["reason"]) for u in found["unavailable"]], [("x", "GL 3.3")])
        self.assertEqual([p["key"] for p in found["paths"]], ["r"])
        self.assertIn("unavailable: path x: GL 3.3", done.stdout)

    def test_a_request_the_program_refuses_ends_with_its_message_and_code_2(self):
        done, found = self.bench(plan_json(group("g", [row("p")], [0])), "--paths", "p,nope")
        self.assertEqual((done.returncode, found), (2, None))
        self.assertEqual(done.stderr.strip(), "no such path: nope (the paths: p)")
        self.assertEqual(len(self.calls), 1)
        done, _ = self.bench({"groups": "none"})
        self.assertEqual(done.returncode, 2)
        self.assertEqual(done.stderr.strip(), "glyphstorm-results --plan: the plan has no groups")
        done, _ = self.bench({}, "--compare", "old", "new")
        self.assertEqual((done.returncode, done.stdout.strip(), self.calls[-1]),
                         (0, "compared old with new", "--compare old new"))


if __name__ == "__main__":
    unittest.main()
