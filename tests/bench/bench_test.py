"""scripts/bench --quick on this build tree: the table, the report folder and its pictures."""
import os
import re
import subprocess
import sys
import tempfile
import unittest

import wineharness

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TREE = os.path.dirname(os.path.abspath(wineharness.BIN))
PATHS = ["glyphstorm mode 2", "glyphstorm mode 1", "reference phrase quads", "reference glyph quads",
         "reference glyph quads batched", "reference phrase quads, isotropic", "reference empty frame",
         "glyphstorm2d", "reference GDI text", "reference GDI text, same calls"]


class QuickBench(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="bench-report-")
        cls.bench = subprocess.run([sys.executable, os.path.join(TOP, "scripts", "bench"), "--quick",
                                  "--build", TREE, "--out", cls.out],
                                 capture_output=True, text=True, timeout=540)
        with open(os.path.join(cls.out, "report.md"), encoding="utf-8") as f:
            cls.report = f.read()

    def row(self, path):
        m = re.search(r"^\| %s \| (\d+) \| ([\d.]+) \| ([\d.]+) \| (\d+)–(\d+) \| ([\d—]+) \| ([\d—]+) \| (.*) \|$"
                      % re.escape(path), self.report, re.M)
        self.assertIsNotNone(m, "no row for %s in\n%s\n%s" % (path, self.report, self.bench.stdout))
        return m

    def test_every_path_has_a_measured_row_in_the_printed_and_written_table(self):
        self.assertEqual(self.bench.returncode, 0, self.bench.stdout + self.bench.stderr)
        for path in PATHS:
            with self.subTest(path=path):
                m = self.row(path)
                frames, seconds, median = int(m.group(1)), float(m.group(2)), float(m.group(3))
                self.assertGreater(frames, 0)
                self.assertAlmostEqual(seconds, 2.0, delta=0.5)
                self.assertLessEqual(int(m.group(4)), median)
                self.assertGreaterEqual(int(m.group(5)), median)
                self.assertIn(path, self.bench.stdout)

    def test_products_are_compared_with_their_references_and_gl_calls_counted(self):
        self.assertRegex(self.row("glyphstorm mode 2").group(8), r"^[\d.]+× reference phrase quads$")
        self.assertRegex(self.row("glyphstorm mode 1").group(8), r"^[\d.]+× reference glyph quads$")
        self.assertRegex(self.row("glyphstorm2d").group(8), r"^[\d.]+× reference GDI text$")
        mode1, mode2 = int(self.row("glyphstorm mode 1").group(7)), int(self.row("glyphstorm mode 2").group(7))
        batched = int(self.row("reference glyph quads batched").group(7))
        # Mode 1 issues eight calls per glyph quad; mode 2 eight per phrase; the batch a handful.
        self.assertGreater(mode1, 199 * 33 * 8)
        self.assertGreater(mode2, 199 * 10)
        self.assertLess(mode2, mode1 / 10)
        self.assertLess(batched, 100)
        self.assertLess(int(self.row("reference empty frame").group(7)), 100)
        self.assertIn("mode 2 ≥ 2.5× mode 1", self.report)
        self.assertRegex(self.report, r"glyphstorm: start to first frame < 1\.5 s \| [\d.]+ s")

    def test_report_folder_holds_the_chart_and_one_screenshot_per_path(self):
        names = ["chart.png", "glyphstorm-mode2.png", "glyphstorm-mode1.png", "gl_reference-phrase.png",
                 "gl_reference-glyphs.png", "gl_reference-batched.png", "gl_reference-isotropic.png",
                 "gl_reference-empty.png", "glyphstorm2d.png", "ddraw_reference.png", "ddraw_reference-calls.png"]
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
            self.assertRegex(samples, r'"%s",[\d.]+,\d+\n' % re.escape(path))


if __name__ == "__main__":
    unittest.main()
