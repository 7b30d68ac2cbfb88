"""benchmark.json: two runs exported in Google Benchmark's format and compared by its own
compare.py (GLYPHSTORM_BENCHMARK_COMPARE, run by GLYPHSTORM_COMPARE_PYTHON; ctest sets both)."""
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
sys.path[:0] = [os.path.join(TOP, "scripts"), os.path.join(TOP, "tests", "tools")]

from benchlib import export  # noqa: E402
from benchlib import results as res  # noqa: E402

OLD = res.load(os.path.join(HERE, "data", "processes-old"))
NEW = res.load(os.path.join(HERE, "data", "processes-new"))


class Export(unittest.TestCase):
    def exported(self, data, name):
        folder = os.path.join(self.folder.name, name)
        os.makedirs(folder)
        export.write(folder, data)
        return os.path.join(folder, export.FILE)

    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="bench-export-")
        self.addCleanup(self.folder.cleanup)

    def test_one_repetition_per_round_in_ms_per_frame(self):
        with open(self.exported(OLD, "old"), encoding="utf-8") as f:
            written = json.load(f)
        product = [b for b in written["benchmarks"] if b["name"] == "product"]
        path = OLD["paths"][0]
        self.assertEqual([b["repetition_index"] for b in product], list(range(12)))
        self.assertEqual({(b["repetitions"], b["time_unit"], b["run_type"]) for b in product}, {(12, "ms", "iteration")})
        self.assertAlmostEqual(product[3]["real_time"], 1000.0 / path["fps_rounds"][3])
        self.assertEqual(product[3]["cpu_time"], path["cpu_rounds"][3])
        self.assertEqual([b["process"] for b in product], path["round_processes"])
        self.assertEqual(written["context"]["date"], "2026-12-01T10:00:00+00:00")
        failed = export.benchmarks({"format": 1, "kind": "failed", "failure": {}})
        self.assertEqual(failed, [])

    def test_compare_py_reads_two_exports(self):
        tool, python = os.environ.get("GLYPHSTORM_BENCHMARK_COMPARE"), os.environ.get("GLYPHSTORM_COMPARE_PYTHON")
        self.assertTrue(tool and python, "set GLYPHSTORM_BENCHMARK_COMPARE and GLYPHSTORM_COMPARE_PYTHON (ctest does)")
        done = subprocess.run([python, tool, "--no-color", "benchmarks", self.exported(OLD, "old"),
                               self.exported(NEW, "new")],
                              capture_output=True, text=True, timeout=120)
        self.assertEqual(done.returncode, 0, done.stderr)
        changes = {}
        for name, time, cpu in re.findall(r"^(\w+) +([-+]\d+\.\d+) +([-+]\d+\.\d+) ", done.stdout, re.M):
            changes.setdefault(name, []).append((float(time), float(cpu)))
        # 6 % more frames per second is 5.7 % less time per frame, round by round; the reference
        # lost 2 %; CPU time per frame stayed.
        self.assertEqual(len(changes["product"]), 12, done.stdout)
        self.assertTrue(all(-0.1 < time < -0.02 and cpu == 0 for time, cpu in changes["product"]), done.stdout)
        self.assertTrue(all(abs(time - 0.0204) < 1e-4 for time, _ in changes["reference"]), done.stdout)
        pvalues = dict(re.findall(r"^(\w+)_pvalue +(\d\.\d+) ", done.stdout, re.M))
        self.assertLess(float(pvalues["product"]), 0.05, done.stdout)
        self.assertIn("U Test, Repetitions: 12 vs 12", done.stdout)
        self.assertRegex(done.stdout, r"OVERALL_GEOMEAN +-0\.0\d+ ")


if __name__ == "__main__":
    unittest.main()
