"""scripts/bench --quick on this build tree, judged by glyphstorm-results (GLYPHSTORM_RESULTS, as
scripts/bench finds it): raw.json against the plan's rows, the report folder and its pictures;
paths a chosen stack cannot run; and a run whose program cannot start, which must fail and say
why."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import wineharness
from linux import build, host, wineplumbing  # noqa: E402

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TREE = os.path.dirname(os.path.abspath(wineharness.BIN))
BENCH = [sys.executable, os.path.join(TOP, "scripts", "bench")]
RESULTS = build.results_program(TOP, False)


def read_json(folder, name):
    with open(os.path.join(folder, name), encoding="utf-8") as f:
        return json.load(f)


class QuickBench(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="bench-report-")
        # Two processes per path, so the restart halfway is measured like the rest. The suite
        # has built the tree.
        options = ["--quick", "--processes", "2"]
        cls.plan = host.ask_plan(RESULTS, os.path.join(TOP, "bench", "paths.json"), options)
        cls.bench = subprocess.run(BENCH + options + ["--build", TREE, "--no-build", "--out", cls.out],
                                   capture_output=True, text=True, timeout=540)
        cls.raw = read_json(cls.out, "raw.json")
        cls.results = read_json(cls.out, "results.json")
        cls.paths = {p["key"]: p for p in cls.raw["paths"]}
        with open(os.path.join(cls.out, "report.md"), encoding="utf-8") as f:
            cls.report = f.read()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out, ignore_errors=True)

    def test_every_path_of_the_plan_is_measured_in_every_round_by_its_process(self):
        self.assertEqual(self.bench.returncode, 0, self.bench.stdout + self.bench.stderr)
        self.assertEqual(self.raw["kind"], "rounds")
        self.assertEqual(list(self.paths), [row.key for row in self.plan.rows()])
        for group in self.plan.groups:
            for row in group.rows:
                with self.subTest(path=row.key):
                    slices = self.paths[row.key]["slices"]
                    self.assertEqual([s["process"] for s in slices], list(group.process_of_round))
                    for s in slices:
                        counted = [n for t, n in s["reports"] if s["count_from"] <= t <= s["end"]]
                        self.assertGreaterEqual(len(counted), 2, s)
                        self.assertGreater(sum(counted[1:]), 0, s)
                        self.assertIsNotNone(s["cpu_ms"])
                    self.assertIn(row.name, self.bench.stdout)
            restarts = len(set(group.process_of_round)) > 1
            self.assertEqual("%s: every program started afresh" % group.name in self.bench.stdout, restarts)
        run = self.raw["run"]
        self.assertEqual(len(run["round_loads"]), sum(g.rounds for g in self.plan.groups))
        for load in run["round_loads"]:
            # This run's own programs keep the machine busy; other processes cannot use more
            # cores than it has.
            self.assertGreater(load["load1_before"], 0, load)
            self.assertLessEqual(load["others_cores"], run["facts"]["machine"]["cores"], load)

    def test_targets_are_judged_and_gl_calls_are_counted(self):
        targets = {t["path"]: t for t in self.results["targets"] if t["kind"] == "ratio"}
        for row in [r for r in self.plan.rows() if r.bar is not None]:
            with self.subTest(path=row.key):
                self.assertEqual(targets[row.key]["reference"], row.reference)
                self.assertIn(targets[row.key]["verdict"], ("met", "missed", "undecided", "too few processes to judge"))
        calls = {key: p["gl_calls_per_frame"] for key, p in self.paths.items()}
        self.assertEqual({key for key in calls if calls[key]}, {r.key for r in self.plan.rows() if r.gl_calls})
        # Mode 1 issues eight calls per glyph quad; mode 2 eight per phrase; the batch a handful.
        self.assertGreater(calls["glyphstorm-mode1"], 199 * 33 * 8)
        self.assertGreater(calls["glyphstorm-mode2"], 199 * 10)
        self.assertLess(calls["glyphstorm-mode2"], calls["glyphstorm-mode1"] / 10)
        self.assertLess(calls["gl_reference-batched"], 100)
        self.assertLess(calls["gl_reference-empty"], 100)

    def test_the_facts_name_the_stack(self):
        run = self.raw["run"]
        self.assertEqual((run["arch"], run["harness"]), (wineplumbing.test_arch(), "scripts/bench"))
        facts = run["facts"]
        self.assertIn("llvmpipe", facts["gl"]["renderer"])
        self.assertTrue(facts["wine"].startswith("wine-"))
        self.assertEqual(set(facts["stack"]), {"gl_driver", "ddraw_renderer"})

    def test_the_paths_that_report_their_own_frames_show_coloured_text(self):
        # Their frames come from the programs themselves, so the screenshot is what proves that
        # text was drawn (a font the driver cannot find leaves a black window that still counts).
        for row in [r for r in self.plan.rows() if r.source == "debug" and r.phrases]:
            with self.subTest(path=row.key):
                self.assertEqual(self.paths[row.key]["screenshot"], row.shot + ".png")
                rows = wineharness.screen_pixels(os.path.join(self.out, row.shot + ".png"))
                lit = [p for line in rows[:600] for p in line[:800] if p != (0, 0, 0)]
                self.assertGreater(len(lit), 20000)
                self.assertGreater(len({p for p in lit if max(p) - min(p) > 60}), 50, "coloured text")

    def test_report_folder_holds_the_judged_files_and_one_screenshot_per_path(self):
        for row in self.plan.rows():
            with open(os.path.join(self.out, row.shot + ".png"), "rb") as f:
                self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n", row.key)
        with open(os.path.join(self.out, "glyphs.svg"), encoding="utf-8") as f:
            self.assertIn("<svg", f.read())
        read_json(self.out, "benchmark.json")
        with open(os.path.join(self.out, "memory.csv"), encoding="utf-8") as f:
            memory = f.read()
        for row in [r for r in self.plan.rows() if r.soak]:
            self.assertTrue(self.paths[row.key]["memory"], row.key)
            self.assertTrue(row.name in memory or row.key in memory, row.key)
        # The page both harnesses write carries this run's own record.
        with open(os.path.join(self.out, "report.html"), encoding="utf-8") as f:
            self.assertIn(json.dumps(self.raw["run"]["date"]), f.read())


class StackOptions(unittest.TestCase):
    def test_a_path_the_chosen_stack_cannot_run_is_unavailable_and_the_rest_is_measured(self):
        # Direct2D needs Direct3D, which neither softpipe nor the GDI renderer gives it here.
        for option, measured in ((["--gl-driver", "softpipe"], "gl_reference-empty"),
                                 (["--ddraw-renderer", "gdi"], "ddraw_reference")):
            with self.subTest(option=option[0]), tempfile.TemporaryDirectory(prefix="bench-stack-") as out:
                done = subprocess.run(BENCH + ["--quick", "--build", TREE, "--no-build", "--out", out, "--paths",
                                               "d2d_reference," + measured] + option,
                                      capture_output=True, text=True, timeout=300)
                self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
                raw = read_json(out, "raw.json")
                self.assertEqual([u["key"] for u in raw["unavailable"]], ["d2d_reference"])
                self.assertIn(option[1], raw["run"]["facts"]["stack"].values())
                self.assertEqual([p["key"] for p in raw["paths"]], [measured])
                self.assertTrue(all(s["reports"] for s in raw["paths"][0]["slices"]))
                with open(os.path.join(out, "report.md"), encoding="utf-8") as f:
                    self.assertIn("Direct2D DrawText", f.read())


class BrokenProgram(unittest.TestCase):
    def test_a_program_that_cannot_start_fails_the_run_and_is_named(self):
        tree = tempfile.mkdtemp(prefix="bench-broken-")
        out = os.path.join(tree, "report")
        try:
            # The real tree, with a gl_reference.exe that is no program.
            os.makedirs(os.path.join(tree, "bin"))
            for name in os.listdir(wineharness.BIN):
                if name.endswith((".exe", ".dll", ".txt", ".png")):
                    os.symlink(os.path.join(wineharness.BIN, name), os.path.join(tree, "bin", name))
            os.remove(os.path.join(tree, "bin", "gl_reference.exe"))
            with open(os.path.join(tree, "bin", "gl_reference.exe"), "wb") as f:
                f.write(b"not a program")
            prefix = os.path.join(TREE, "wineprefix-bench")
            subprocess.run([os.path.join(TREE, "wine-run"), "--prepare"], check=True,
                           env=dict(os.environ, GLYPHSTORM_WINEPREFIX=prefix))
            os.symlink(os.path.join(TREE, "wine-run"), os.path.join(tree, "wine-run"))
            os.symlink(prefix, os.path.join(tree, "wineprefix-bench"))
            done = subprocess.run(BENCH + ["--quick", "--build", tree, "--no-build", "--out", out],
                                  capture_output=True, text=True, timeout=300)
            self.assertNotEqual(done.returncode, 0)
            self.assertRegex(done.stdout, r"FAILED: reference phrase quads \(gl_reference\.exe phrase \d+ 199\): "
                                          r"exited with code -?\d+ after 0 frame")
            raw = read_json(out, "raw.json")
            self.assertEqual((raw["kind"], raw["failure"]["key"]), ("failed", "gl_reference-phrase"))
            self.assertEqual(read_json(out, "results.json")["kind"], "failed")
            with open(os.path.join(out, "report.md"), encoding="utf-8") as f:
                self.assertIn("reference phrase quads", f.read())
        finally:
            shutil.rmtree(tree, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
