"""The benchmark's arithmetic without Wine: rates from frame lines, intervals, verdicts, the sweep
fit, the path table's consistency, the targets it drives and --compare on two fixed result files."""
import dataclasses
import os
import random
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(TOP, "scripts"))

from benchlib import paths as table  # noqa: E402
from benchlib import results as res  # noqa: E402
from benchlib import stats  # noqa: E402


class Rates(unittest.TestCase):
    def test_per_frame_lines_count_only_whole_frames_inside_the_window(self):
        # 100 fps from t=10 s; the program was stopped between 10.5 and 12.5 s.
        events = [(10.0 + i * 0.01, 1) for i in range(51)] + [(12.5 + i * 0.01, 1) for i in range(1, 51)]
        rate, seconds = stats.window_rate(events, 12.5, 13.0)
        self.assertAlmostEqual(rate, 100.0, places=6)
        self.assertAlmostEqual(seconds, 0.49, places=6)
        # A window reaching back over the stop would count the stopped time as one long frame.
        rate, _ = stats.window_rate(events, 10.2, 13.0)
        self.assertLess(rate, 50.0)

    def test_reported_periods_count_only_when_they_lie_inside_the_window(self):
        # "frames=N" once a second: N frames since the line before.
        events = [(100.0, 50), (101.0, 60), (102.0, 62), (103.0, 70)]
        rate, seconds = stats.window_rate(events, 100.5, 103.2)
        self.assertEqual((rate, seconds), (66.0, 2.0))  # the 50 and the 60 began before the window
        self.assertEqual(stats.window_rate(events, 100.5, 101.5), (None, 0.0))

    def test_debug_output_lines_become_frame_events(self):
        source = table.SOURCES["debug"]
        m = source.pattern.match('12.345:0024:warn:debugstr:OutputDebugStringA "frames=57\\n"')
        self.assertEqual((m.group(1), source.frames(m)), ("12.345", 57))
        m = source.pattern.match('0024:warn:debugstr:OutputDebugStringA "frames=8"')
        self.assertEqual((m.group(1), source.frames(m)), (None, 8))
        other = source.pattern.match('1.000:0024:warn:debugstr:OutputDebugStringA "VENDOR:Mesa\\n"')
        self.assertIsNone(source.frames(other))
        swap = table.SOURCES["swap"]
        m = swap.pattern.match("1234.567:0024:trace:wgl:glxdrv_wglSwapBuffers (0x1234)")
        self.assertEqual((m.group(1), swap.frames(m)), ("1234.567", 1))


class Intervals(unittest.TestCase):
    def test_the_interval_holds_the_median_and_collapses_without_spread(self):
        self.assertEqual(stats.median_interval([5.0] * 9), (5.0, 5.0, 5.0))
        self.assertEqual(stats.median_interval([3.0]), (3.0, 3.0, 3.0))
        self.assertIsNone(stats.median_interval([]))
        values = [10.0 + (i % 7) * 0.5 for i in range(20)]
        middle, low, high = stats.median_interval(values)
        self.assertLessEqual(low, middle)
        self.assertLessEqual(middle, high)
        self.assertEqual(stats.median_interval(values), (middle, low, high))  # fixed seed

    def test_about_95_of_100_intervals_hold_the_true_median(self):
        rng = random.Random(3)
        held = 0
        for trial in range(200):
            sample = [rng.gauss(50.0, 5.0) for _ in range(20)]
            _, low, high = stats.median_interval(sample, resamples=400, seed=trial)
            held += low <= 50.0 <= high
        self.assertGreater(held, 176)  # 88 %; a bootstrap of the median runs a little wide
        self.assertLess(held, 200)

    def test_unpaired_ratio_and_paired_ratios(self):
        middle, low, high = stats.ratio_interval([110.0, 111.0, 109.0, 110.5], [100.0, 101.0, 99.0, 100.5])
        self.assertAlmostEqual(middle, 1.1, places=2)
        self.assertLess(low, middle)
        self.assertGreater(high, middle)
        self.assertEqual(stats.paired_ratios([10.0, 20.0, None], [5.0, 10.0, 1.0]), [2.0, 2.0])
        self.assertAlmostEqual(stats.half_width((1.0, 0.97, 1.03)), 0.03)


class Verdicts(unittest.TestCase):
    def test_the_interval_decides(self):
        self.assertEqual(stats.verdict((1.0, 0.97, 1.02), 0.97), stats.MET)
        self.assertEqual(stats.verdict((0.96, 0.95, 0.969), 0.97), stats.MISSED)
        self.assertEqual(stats.verdict((0.98, 0.96, 0.99), 0.97), stats.UNDECIDED)
        self.assertEqual(stats.verdict(None, 0.97), stats.UNDECIDED)
        self.assertEqual(stats.value_verdict(1.2, 1.5), stats.MET)
        self.assertEqual(stats.value_verdict(1.5, 1.5), stats.MISSED)


class Fit(unittest.TestCase):
    def test_a_line_is_found_with_r2_one_and_noise_lowers_r2(self):
        xs = [825, 1650, 3300, 6600, 13200, 26400]
        fixed, slope, r2 = stats.linear_fit(xs, [2.0 + 0.000015 * x for x in xs])
        self.assertAlmostEqual(fixed, 2.0)
        self.assertAlmostEqual(slope * 1e6, 15.0)  # ns per glyph when y is in ms
        self.assertAlmostEqual(r2, 1.0)
        noisy = [2.0 + 0.000015 * x + (0.8 if i % 2 else -0.8) for i, x in enumerate(xs)]
        self.assertLess(stats.linear_fit(xs, noisy)[2], 0.99)
        fixed, slope, r2 = stats.linear_fit([0, 1, 2, 3], [0.0, 1.0, 2.0, 4.0])
        for got, want in zip((fixed, slope, r2), (-0.2, 1.3, 1 - 0.3 / 8.75)):
            self.assertAlmostEqual(got, want)
        self.assertIsNone(stats.linear_fit([5, 5], [1.0, 2.0]))

    def test_sweep_fits_read_the_measured_points(self):
        lines = table.sweep_groups(counts=[25, 50, 100])
        line, products, points = lines[0]
        results = [{"key": p.key, "name": p.name, "phrases": p.phrases, "glyphs_per_frame": table.glyphs_per_frame(p),
                    "frame_ms": {"median": 1.0 + 0.01 * p.phrases, "low": 0, "high": 0}} for p in points + products]
        fit = res.sweep_fits(results, [lines[0]])[0]
        self.assertAlmostEqual(fit["fixed_ms"], 1.0)
        self.assertAlmostEqual(fit["ns_per_glyph"], 0.01 / table.PHRASE_GLYPHS * 1e6)
        self.assertTrue(fit["r2_ok"])
        self.assertEqual([p["phrases"] for p in fit["points"]], [25, 50, 100])
        self.assertEqual([p["key"] for p in fit["products"]], [p.key for p in products])


def fake_result(path, fps_rounds):
    return {"key": path.key, "name": path.name, "group": path.group, "reference": path.reference,
            "fps_rounds": fps_rounds, "cpu_rounds": [2000.0 / f for f in fps_rounds],
            "frame_ms": {"median": 1000.0 / fps_rounds[0]}, "first_frame_s": 0.9,
            "memory": {"rss_10s_kib": None, "rss_end_kib": None}}


class Table(unittest.TestCase):
    def test_the_shipped_table_is_sound(self):
        self.assertEqual(table.check(), [])

    def test_a_renamed_or_misplaced_row_is_caught(self):
        renamed = [dataclasses.replace(p, key="gl_reference-phrase-v2") if p.key == "gl_reference-phrase" else p
                   for p in table.PATHS]
        faults = table.check(renamed)
        self.assertTrue(any("glyphstorm-mode2: reference gl_reference-phrase is no row" in f for f in faults), faults)
        self.assertTrue(any("driver bound" in f for f in faults), faults)
        moved = [dataclasses.replace(p, group="other") if p.key == "ddraw_reference-calls" else p for p in table.PATHS]
        self.assertTrue(any("another group" in f for f in table.check(moved)))
        doubled = table.PATHS + [table.PATHS[0]]
        self.assertTrue(any("more than one row" in f for f in table.check(doubled)))
        fixed = [dataclasses.replace(p, args=("empty", "{seconds}")) if p.sweep else p for p in table.PATHS]
        self.assertTrue(any("takes no phrase count" in f for f in table.check(fixed)))

    def test_every_row_with_a_bar_becomes_a_target_with_its_verdict(self):
        results = [fake_result(p, [100.0, 101.0, 99.0, 100.0, 100.5]) for p in table.PATHS]
        slow = {p.key for p in table.PATHS if p.bar is not None}
        for r in results:
            if r["key"] in slow:
                r.update(fake_result(table.by_key()[r["key"]], [90.0, 91.0, 89.0, 90.0, 90.5]))  # 0.90×
        targets, information = res.targets_and_information(results)
        ratio_targets = {t["path"]: t for t in targets if t["kind"] == "ratio"}
        self.assertEqual(set(ratio_targets), slow)
        for t in ratio_targets.values():
            self.assertEqual(t["verdict"], stats.MISSED)
            self.assertEqual(t["pairing"], "paired")
            self.assertAlmostEqual(t["value"]["median"], 0.9, places=2)
        # The same pairs by CPU time per frame: twice the frame time in CPU, so again 0.9.
        by_cpu = {i["path"]: i for i in information if i.get("measure") == "cpu"}
        self.assertEqual(set(by_cpu), slow)
        for line in by_cpu.values():
            self.assertAlmostEqual(line["value"]["median"], 0.9, places=2)
        starts = [t for t in targets if t["kind"] == "seconds"]
        self.assertEqual(len(starts), len([p for p in table.PATHS if p.start_bar is not None]))
        labels = [i["label"] for i in information]
        for label in [i.label for i in table.INFO_RATIOS]:
            self.assertIn(label, labels)
        self.assertTrue(all(i["verdict"] is None for i in information))

    def test_arguments_and_sweep_rows(self):
        glyphs = table.by_key()["gl_reference-glyphs"]
        self.assertEqual(table.arguments(glyphs, 3600), ["glyphs", "3600", "199"])
        at400 = table.sweep_path(glyphs, 400)
        self.assertEqual(table.arguments(at400, 60), ["glyphs", "60", "400"])
        self.assertEqual(table.glyphs_per_frame(at400), 400 * 33)
        self.assertIsNone(at400.bar)


class Compare(unittest.TestCase):
    OLD = os.path.join(HERE, "data", "old")
    NEW = os.path.join(HERE, "data", "new")

    def test_changes_and_agreement_of_two_fixed_runs(self):
        found = res.compare(res.load(self.OLD), res.load(self.NEW))
        by_key = {p["key"]: p for p in found["paths"]}
        self.assertTrue(by_key["product"]["change"]["significant"])
        self.assertAlmostEqual(by_key["product"]["change"]["ratio"], 1.10, places=2)
        self.assertFalse(by_key["reference"]["change"]["significant"])
        self.assertEqual(found["only_new"], ["only in the new run"])
        (ratio,) = found["ratios"]
        self.assertFalse(ratio["new_in_old"] or ratio["old_in_new"])

    def test_the_command_prints_the_comparison(self):
        done = subprocess.run([sys.executable, os.path.join(TOP, "scripts", "bench"), "--compare", self.OLD, self.NEW],
                              capture_output=True, text=True, timeout=60)
        self.assertEqual(done.returncode, 0, done.stderr)
        lines = done.stdout.splitlines()
        self.assertTrue(any(l.startswith("product ") and l.rstrip().endswith("yes") and "+10." in l for l in lines),
                        done.stdout)
        self.assertTrue(any(l.startswith("reference ") and l.rstrip().endswith("no") for l in lines), done.stdout)
        self.assertRegex(done.stdout, r"product ≥ 0\.97× reference +0\.833 \[0\.826–0\.840\] +0\.921 .* no ")
        same = subprocess.run([sys.executable, os.path.join(TOP, "scripts", "bench"), "--compare", self.OLD, self.OLD],
                              capture_output=True, text=True, timeout=60)
        self.assertRegex(same.stdout, r"0\.833 \[0\.826–0\.840\] +yes ")


if __name__ == "__main__":
    unittest.main()
