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
sys.path[:0] = [os.path.join(TOP, "bench"), os.path.join(TOP, "tests", "tools")]

from linux import export  # noqa: E402
from linux import results as res  # noqa: E402

OLD = res.load(os.path.join(HERE, "data", "processes-old"))
NEW = res.load(os.path.join(HERE, "data", "processes-new"))


class Export(unittest.TestCase):
    def test_one_repetition_per_round_that_compare_py_reads(self):
        tool, python = os.environ.get("GLYPHSTORM_BENCHMARK_COMPARE"), os.environ.get("GLYPHSTORM_COMPARE_PYTHON")
        self.assertTrue(tool and python, "set GLYPHSTORM_BENCHMARK_COMPARE and GLYPHSTORM_COMPARE_PYTHON (ctest does)")
        with tempfile.TemporaryDirectory(prefix="bench-export-") as folder:
            files = []
            for name, data in (("old", OLD), ("new", NEW)):
                os.makedirs(os.path.join(folder, name))
                export.write(os.path.join(folder, name), data)
                files.append(os.path.join(folder, name, export.FILE))
            with open(files[0], encoding="utf-8") as f:
                product = [b for b in json.load(f)["benchmarks"] if b["name"] == "product"]
            done = subprocess.run([python, tool, "--no-color", "benchmarks"] + files, capture_output=True, text=True,
                                  timeout=120)
        path = OLD["paths"][0]
        self.assertEqual([(b["repetition_index"], b["repetitions"], b["time_unit"]) for b in product],
                         [(i, 12, "ms") for i in range(12)])
        self.assertEqual((product[3]["real_time"], product[3]["cpu_time"]), (1000.0 / path["fps_rounds"][3],
                                                                             path["cpu_rounds"][3]))
        self.assertEqual(export.benchmarks({"format": 1, "kind": "failed", "failure": {}}), [])
        self.assertEqual(done.returncode, 0, done.stderr)
        changes = {}
        for name, time, cpu in re.findall(r"^(\w+) +([-+]\d+\.\d+) +([-+]\d+\.\d+) ", done.stdout, re.M):
            changes.setdefault(name, []).append((float(time), float(cpu)))
        # 6 % more frames per second is 5.7 % less time per frame, round by round; the reference
        # lost 2 %; CPU time per frame stayed.
        self.assertEqual(len(changes["product"]), 12, done.stdout)
        self.assertTrue(all(-0.1 < time < -0.02 and cpu == 0 for time, cpu in changes["product"]), done.stdout)
        self.assertTrue(all(abs(time - 0.0204) < 1e-4 for time, _ in changes["reference"]), done.stdout)
        self.assertLess(float(re.search(r"^product_pvalue +(\d\.\d+) ", done.stdout, re.M).group(1)), 0.05)
        self.assertIn("U Test, Repetitions: 12 vs 12", done.stdout)


if __name__ == "__main__":
    unittest.main()
