"""scripts/bench --quick on this build tree: the table, results.json, the report folder and its
pictures; and a run whose program cannot start, which must fail and say why."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import wineharness
from linux import wineplumbing  # noqa: E402

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TREE = os.path.dirname(os.path.abspath(wineharness.BIN))
sys.path.insert(0, os.path.join(TOP, "bench"))
from linux import paths as table  # noqa: E402

BENCH = [sys.executable, os.path.join(TOP, "scripts", "bench")]


class QuickBench(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="bench-report-")
        # Two processes per paired path, so the restart halfway is measured like the rest. The
        # suite has built the tree.
        cls.bench = subprocess.run(BENCH + ["--quick", "--processes", "2", "--build", TREE, "--no-build", "--out", cls.out],
                                   capture_output=True, text=True, timeout=540)
        with open(os.path.join(cls.out, "report.md"), encoding="utf-8") as f:
            cls.report = f.read()
        with open(os.path.join(cls.out, "results.json"), encoding="utf-8") as f:
            cls.results = json.load(f)
        cls.paths = {p["key"]: p for p in cls.results.get("paths", [])}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out, ignore_errors=True)

    def test_every_path_of_the_table_is_measured_in_every_round(self):
        self.assertEqual(self.bench.returncode, 0, self.bench.stdout + self.bench.stderr)
        run_rounds = self.results["run"]["rounds"]
        for path in table.PATHS:
            with self.subTest(path=path.key):
                rounds = min(run_rounds, table.ROUNDS_CAP.get(path.group, run_rounds))
                p = self.paths[path.key]
                self.assertEqual((p["rounds"], len(p["fps_rounds"])), (rounds, rounds))
                self.assertGreater(min(p["fps_rounds"]), 0)
                self.assertGreater(p["frames"], 0)
                paired = any(q.reference for q in table.PATHS if q.group == path.group)
                self.assertEqual(set(p["round_processes"]), {0, 1} if paired else {0})
                fps = p["fps"]
                self.assertTrue(fps["low"] <= fps["median"] <= fps["high"], fps)
                self.assertGreater(p["cpu_ms_per_frame"]["median"], 0)
                self.assertIn("| %s | %d |" % (path.name, rounds), self.report)
                self.assertIn(path.name, self.bench.stdout)
        loads = self.results["run"]["round_loads"]
        self.assertEqual(len(loads), sum(min(run_rounds, table.ROUNDS_CAP.get(g[0].group, run_rounds))
                                         for g in table.groups(table.PATHS)))
        run = self.results["run"]
        for load in loads:
            # This run's own programs keep the machine busy; other processes cannot use more
            # cores than it has.
            self.assertGreater(load["load1_before"], 0, load)
            self.assertLessEqual(load["others_cores"], run["machine"]["cores"], load)
            self.assertEqual(load["loaded"], load["others_cores"] >= run["loaded_cores"], load)
        restarted = {g[0].group for g in table.groups(table.PATHS) if any(p.reference for p in g)}
        for group in table.groups(table.PATHS):
            name = group[0].group
            self.assertEqual("%s: every program started afresh" % name in self.bench.stdout,
                             name in restarted, name)

    def test_targets_follow_from_the_table_with_verdicts_and_gl_calls_are_counted(self):
        targets = {t["path"]: t for t in self.results["targets"] if t["kind"] == "ratio"}
        for path in [p for p in table.PATHS if p.bar is not None]:
            with self.subTest(path=path.key):
                t = targets[path.key]
                self.assertEqual(t["reference"], path.reference)
                self.assertIn(t["verdict"], ("met", "missed", "undecided"))
                self.assertRegex(self.bench.stdout, r"%s ≥ 0\.97× .* [\d.]+× \[[\d.]+–[\d.]+\]" % re.escape(path.name))
        labels = [i["label"] for i in self.results["information"]]
        for label in [i.label for i in table.INFO_RATIOS]:
            self.assertIn(label, labels)
        self.assertRegex(self.report, r"glyphstorm: start to first frame < 1\.5 s \| [\d.]+ s")
        calls = {key: self.paths[key]["gl_calls_per_frame"] for key in self.paths}
        # Mode 1 issues eight calls per glyph quad; mode 2 eight per phrase; the batch a handful.
        self.assertGreater(calls["glyphstorm-mode1"], 199 * 33 * 8)
        self.assertGreater(calls["glyphstorm-mode2"], 199 * 10)
        self.assertLess(calls["glyphstorm-mode2"], calls["glyphstorm-mode1"] / 10)
        self.assertLess(calls["gl_reference-batched"], 100)
        self.assertLess(calls["gl_reference-empty"], 100)

    def test_run_record_names_the_stack(self):
        run = self.results["run"]
        self.assertEqual(run["arch"], wineplumbing.test_arch())
        self.assertIn("llvmpipe", run["gl"]["renderer"])
        self.assertTrue(run["wine"].startswith("wine-"))
        self.assertEqual(set(run["stack"]), {"gl_driver", "ddraw_renderer"})
        self.assertIn("per process", run["interval_method"])

    def test_the_paths_that_report_their_own_frames_show_coloured_text(self):
        # Their frames come from the programs themselves, so the screenshot is what proves that
        # text was drawn (a font the driver cannot find leaves a black window that still counts).
        for path in [p for p in table.PATHS if p.source == "debug" and p.phrases]:
            with self.subTest(path=path.key):
                rows = wineharness.screen_pixels(os.path.join(self.out, "%s.png" % path.shot))
                lit = [p for row in rows[:600] for p in row[:800] if p != (0, 0, 0)]
                self.assertGreater(len(lit), 20000)
                self.assertGreater(len({p for p in lit if max(p) - min(p) > 60}), 50, "coloured text")

    def test_report_folder_holds_the_chart_and_one_screenshot_per_path(self):
        names = ["chart.png", "glyphs.png"] + ["%s.png" % p.shot for p in table.PATHS]
        for name in names:
            with self.subTest(file=name):
                path = os.path.join(self.out, name)
                self.assertTrue(os.path.isfile(path))
                with open(path, "rb") as f:
                    self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")
                self.assertIn("(%s)" % name, self.report)
        with open(os.path.join(self.out, "memory.csv")) as f:
            samples = f.read()
        for path in ("glyphstorm mode 2", "glyphstorm mode 1", "glyphstorm2d"):
            self.assertRegex(samples, r'"%s",[\d.]+,\d+,rounds\n' % re.escape(path))
        # The page both harnesses write carries this run's own record.
        with open(os.path.join(self.out, "report.html"), encoding="utf-8") as f:
            page = f.read()
        self.assertIn(json.dumps(self.results["run"]["date"]), page)


class StackOptions(unittest.TestCase):
    def test_a_path_the_chosen_stack_cannot_run_is_a_row_and_the_rest_is_measured(self):
        # Direct2D needs Direct3D, which neither softpipe nor the GDI renderer gives it here.
        for option, measured in ((["--gl-driver", "softpipe"], "gl_reference-empty"),
                                 (["--ddraw-renderer", "gdi"], "ddraw_reference")):
            with self.subTest(option=option[0]), tempfile.TemporaryDirectory(prefix="bench-stack-") as out:
                done = subprocess.run(BENCH + ["--quick", "--build", TREE, "--no-build", "--out", out, "--paths",
                                               "d2d_reference," + measured] + option,
                                      capture_output=True, text=True, timeout=300)
                self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
                with open(os.path.join(out, "results.json"), encoding="utf-8") as f:
                    results = json.load(f)
                self.assertEqual([u["key"] for u in results["unavailable"]], ["d2d_reference"])
                self.assertIn(option[1], results["run"]["stack"].values())
                self.assertEqual([p["key"] for p in results["paths"]], [measured])
                self.assertGreater(results["paths"][0]["frames"], 0)
                with open(os.path.join(out, "report.md"), encoding="utf-8") as f:
                    self.assertRegex(f.read(), r"\| Direct2D DrawText \| unavailable with this stack: .+ \|")


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
            with open(os.path.join(out, "results.json"), encoding="utf-8") as f:
                failure = json.load(f)["failure"]
            self.assertEqual(failure["path"], "gl_reference-phrase")
            with open(os.path.join(out, "report.md"), encoding="utf-8") as f:
                self.assertNotIn("| reference phrase quads |", f.read())
        finally:
            shutil.rmtree(tree, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
