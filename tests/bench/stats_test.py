"""The benchmark's arithmetic without Wine: rates from frame lines, intervals over processes and
their coverage by simulation, verdicts, the shared fixture, the sweep fit, the path table's
consistency, the targets it drives and --compare on fixed result files."""
import dataclasses
import itertools
import json
import math
import os
import random
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(TOP, "bench"))

from linux import paths as table  # noqa: E402
from linux import results as res  # noqa: E402
from linux import stats  # noqa: E402


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
    def test_one_process_gets_the_order_statistic_interval_with_its_exact_coverage(self):
        three = stats.process_interval([50.0, 49.0, 52.0])
        self.assertEqual((three.median, three.low, three.high, three.coverage), (50.0, 49.0, 52.0, 0.75))
        # 20 rounds: P(Binom(20, 1/2) <= 5) = 21700 / 2^20, so j = 6 is the largest with >= 95 %.
        twenty = stats.process_interval([float(v) for v in range(20, 0, -1)], [0] * 20)
        self.assertEqual((twenty.low, twenty.high, twenty.processes), (6.0, 15.0, 1))
        self.assertAlmostEqual(twenty.coverage, 1 - 2 * 21700 / 2 ** 20)
        self.assertIsNone(stats.process_interval([None, 0.0, -1.0]))

    def test_processes_are_the_unit_and_pairs_are_taken_per_process(self):
        # Per process the median of its rounds (10 and 40), then their geometric mean, 20.
        got = stats.process_interval([9.0, 10.0, 30.0, 11.0, 40.0, 50.0], [0, 0, 1, 0, 1, 1])
        half = math.tan(math.pi * 0.475) * math.log(4.0) / 2  # t(0.975, 1) · sd / √2 of log 10, log 40
        self.assertEqual((got.processes, got.rounds, got.df), (2, 6, 1))
        for value, want in zip((got.median, got.low, got.high), (20.0, 20.0 / math.exp(half), 20.0 * math.exp(half))):
            self.assertAlmostEqual(value, want)
        paired = stats.paired_ratio_interval([10.0, 22.0, 30.0, 33.0], [5.0, 10.0, 10.0, 10.0], [0, 0, 1, 1])
        self.assertAlmostEqual(paired.median, math.sqrt(2.1 * 3.15))  # per process: 2.1 and 3.15
        # Unpaired over one process a side: each side's interval at √95 % (20 rounds: x(5), x(16),
        # 98.8 %), so both hold together at least 95 % of the time.
        rounds = stats.unpaired_ratio_interval([100.0 + i for i in range(20)], [50.0 + i for i in range(20)])
        self.assertEqual((rounds.low, rounds.high, rounds.processes), (104.0 / 65.0, 115.0 / 54.0, 1))
        self.assertAlmostEqual(rounds.coverage, (1 - 2 * 6196 / 2 ** 20) ** 2)


def simulated_run(rng, processes, rounds, heavy, process_sd=0.01):
    """One path's rounds around a truth of 100: each process with an effect of its own, each round
    with noise in the log, normal or (heavy) Student t with 3 degrees of freedom."""
    values, units = [], []
    for k in range(processes):
        effect = rng.gauss(0.0, process_sd)
        for _ in range(rounds):
            scale = math.sqrt(sum(rng.gauss(0.0, 1.0) ** 2 for _ in range(3)) / 3.0) if heavy else 1.0
            values.append(100.0 * math.exp(effect + 0.02 * rng.gauss(0.0, 1.0) / scale))
            units.append(k)
    return values, units


class Coverage(unittest.TestCase):
    RUNS = 2000
    # A true 95 % interval stays above it (three standard errors below 95 %); a 90 % one does not.
    BOUND = 0.935

    def test_intervals_over_processes_cover_95_percent_and_a_90_percent_one_fails_the_bound(self):
        for seed, (heavy, processes, rounds) in enumerate(itertools.product((False, True), (2, 3, 5, 8), (1, 5))):
            rng, held = random.Random(seed), {0.95: 0, 0.90: 0}
            for _ in range(self.RUNS):
                values, units = simulated_run(rng, processes, rounds, heavy)
                for level in held:
                    got = stats.process_interval(values, units, level=level)
                    held[level] += got.low <= 100.0 <= got.high
            with self.subTest(heavy=heavy, processes=processes, rounds=rounds):
                self.assertGreaterEqual(held[0.95] / self.RUNS, self.BOUND)
                self.assertLess(held[0.90] / self.RUNS, self.BOUND)

    def test_one_process_covers_its_rounds_median_as_stated(self):
        rng = random.Random(7)
        for n in (3, 5, 6, 20):
            intervals = [stats.process_interval([rng.gauss(50.0, 5.0) for _ in range(n)]) for _ in range(self.RUNS)]
            held = sum(i.low <= 50.0 <= i.high for i in intervals) / self.RUNS
            with self.subTest(rounds=n):
                self.assertLess(abs(held - intervals[0].coverage), 0.03)
                self.assertEqual(intervals[0].coverage >= 0.95, n >= 6)

    def test_two_runs_of_one_truth_differ_no_more_than_5_percent_of_the_time(self):
        rng = random.Random(11)
        for processes in (2, 3, 4):
            differ = sum(stats.change(*(stats.process_interval(*simulated_run(rng, processes, 5, True))
                                        for _ in "on"))[1] == stats.DIFFER for _ in range(self.RUNS))
            with self.subTest(processes=processes):
                self.assertLessEqual(differ / self.RUNS, 0.065)


class Verdicts(unittest.TestCase):
    def test_the_interval_decides_only_over_processes(self):
        for (low, high), want in (((0.97, 1.02), stats.MET), ((0.95, 0.969), stats.MISSED),
                                  ((0.96, 0.99), stats.UNDECIDED)):
            self.assertEqual(stats.verdict(stats.Interval(1.0, low, high, stats.LEVEL, 4, 20, 0.01, 3), 0.97), want)
        self.assertEqual(stats.verdict(None, 0.97), stats.UNDECIDED)
        # Twenty rounds of one process give a 95.9 % interval that knows nothing of the process.
        self.assertEqual(stats.verdict(stats.process_interval([1.0 + i / 1000.0 for i in range(20)]), 0.5),
                         stats.TOO_FEW)
        self.assertEqual(stats.value_verdict(1.2, 1.5), stats.MET)
        self.assertEqual(stats.value_verdict(1.5, 1.5), stats.MISSED)


class Fixture(unittest.TestCase):
    """The file every harness checks its own implementation of the method against."""
    with open(os.path.join(HERE, "data", "stats_fixture.json"), encoding="utf-8") as f:
        FIXTURE = json.load(f)
    KINDS = {
        "interval": lambda c: stats.process_interval(c["values"], c["processes"]),
        "paired_ratio": lambda c: stats.paired_ratio_interval(c["numerators"], c["denominators"], c["processes"]),
        "unpaired_ratio": lambda c: stats.unpaired_ratio_interval(
            c["numerators"], c["denominators"], c["numerator_processes"], c["denominator_processes"]),
    }

    def close(self, got, want, fields):
        for field in fields:
            self.assertLessEqual(abs(getattr(got, field) - want[field]), 1e-9 * abs(want[field]), field)

    def test_the_method_gives_the_fixture_s_digits(self):
        self.assertEqual(self.FIXTURE["level"], stats.LEVEL)
        for row in self.FIXTURE["t_quantiles"]:
            self.assertAlmostEqual(stats.t_quantile(row["p"], row["df"]) / row["t"], 1.0, places=9)
        for case in self.FIXTURE["cases"]:
            with self.subTest(case["name"]):
                want = case["expect"]
                if case["kind"] == "compare":
                    old, new = (self.KINDS["paired_ratio"](case[run]) for run in ("old", "new"))
                    changed, agreement = stats.change(old, new)
                    self.assertEqual((agreement, changed is None), (want["agreement"], "median" not in want))
                    self.close(changed, want, ("median", "low", "high", "df") if changed else ())
                    continue
                got = self.KINDS[case["kind"]](case)
                self.close(got, want, ("median", "low", "high", "coverage"))
                self.assertEqual((got.processes, got.rounds, stats.verdict(got, case["bar"])),
                                 (want["processes"], want["rounds"], want["verdict"]))


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


def fake_result(path, fps_rounds, processes=(0, 0, 0, 1, 1)):
    return {"key": path.key, "name": path.name, "group": path.group, "reference": path.reference,
            "fps_rounds": fps_rounds, "cpu_rounds": [2000.0 / f for f in fps_rounds], "round_processes": list(processes),
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
        # One process a path: the same rounds, no verdict.
        for r in results:
            r["round_processes"] = [0] * 5
        once = [t for t in res.targets_and_information(results)[0] if t["kind"] == "ratio"]
        self.assertEqual({t["verdict"] for t in once}, {stats.TOO_FEW})
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
    OLD, NEW = (os.path.join(HERE, "data", "processes-" + run) for run in ("old", "new"))
    # Files from before rounds carried their process.
    LEGACY_OLD, LEGACY_NEW = (os.path.join(HERE, "data", run) for run in ("old", "new"))

    def test_ratios_are_judged_by_the_interval_of_their_change(self):
        found = res.compare(res.load(self.OLD), res.load(self.NEW))
        self.assertEqual([r["agreement"] for r in found["ratios"]], [stats.DIFFER, stats.AGREE])
        self.assertGreater(found["ratios"][0]["change"]["low"], 1.0)
        product, reference = found["paths"]
        self.assertAlmostEqual(product["ratio"], 1.06, places=3)
        self.assertAlmostEqual(product["vs_reference"], 1.06 / 0.98, places=3)
        self.assertIsNone(reference["vs_reference"])
        legacy = res.compare(res.load(self.LEGACY_OLD), res.load(self.LEGACY_NEW))
        self.assertEqual([(r["agreement"], r["change"]) for r in legacy["ratios"]], [(stats.TOO_FEW, None)])
        self.assertEqual(legacy["only_new"], ["only in the new run"])

    def test_the_command_leads_with_the_ratios_and_flags_no_fps_change(self):
        def bench(old, new):
            done = subprocess.run([sys.executable, os.path.join(TOP, "scripts", "bench"), "--compare", old, new],
                                  capture_output=True, text=True, timeout=60)
            self.assertEqual(done.returncode, 0, done.stderr)
            return done.stdout

        out = bench(self.OLD, self.NEW)
        self.assertRegex(out, r"product ≥ 0\.97× reference +0\.829 \[0\.827–0\.831\] +0\.898 \[0\.870–0\.927\] +"
                              r"\+8\.3 % \[\+5\.0–\+11\.8\] +differ +missed → missed")
        self.assertRegex(out, r"by CPU time per frame .* agree +\(information\)")
        self.assertRegex(out, r"\nproduct +50\.1 \[49\.2–51\.0\] +53\.1 \[52\.2–54\.0\] +\+6\.0 % +\+8\.2 %")
        self.assertLess(out.index("product ≥"), out.index("old FPS"))
        self.assertNotIn("significant", out)
        legacy = bench(self.LEGACY_OLD, self.LEGACY_OLD)
        self.assertRegex(legacy, r"0\.833 \[0\.826–0\.840\] \(1 process\) .* too few processes to judge")


if __name__ == "__main__":
    unittest.main()
