"""The runner core's results.json read by scripts/bench's own Python, and report.html (the one
template, filled by the runner and by linux/html.py) rendered by a headless browser.
Argument: the benchrunner_sample program."""
import contextlib
import io
import json
import os
import re
import subprocess
import sys
import tempfile
import types
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
sys.path[:0] = [os.path.join(TOP, "bench")]

from linux import html  # noqa: E402
from linux import paths as table  # noqa: E402
from linux import report  # noqa: E402
from linux import results as res  # noqa: E402

SAMPLE = sys.argv.pop(1) if len(sys.argv) > 1 else None
WINDOW = (1000, 2400)


def bench_data():
    """What scripts/bench writes for a run of every path: its own path_result and lines."""
    programs = []
    for i, path in enumerate(table.PATHS):
        slices = [{"fps": 240.0 / (1 + i % 4) * (1 + 0.01 * (r % 3)), "cpu_per_frame": 3.0 + i * 0.1,
                   "frames": 100, "seconds": 1.0, "process": r // 3} for r in range(6)]
        program = types.SimpleNamespace(slices=slices, command=path.program, display=":150", first_frame=0.8,
                                        rss=[(1.0, 20000), (12.0, 21000)])
        programs.append(res.path_result(path, program))
    targets, information = res.targets_and_information(programs)
    quality, steadiness = res.quality(programs, targets, information)
    run = {"date": "20261209-200000", "command": "scripts/bench </script><!--", "arch": "i686", "wine": "wine-8.0",
           "gl": {"renderer": "llvmpipe"}, "stack": {"gl_driver": "Mesa", "ddraw_renderer": "gl"},
           "rounds": 6, "slice_s": 1.0, "warmup_s": 0.1, "processes": 2}
    return {"format": res.FORMAT, "kind": "rounds", "run": run, "paths": programs, "targets": targets,
            "information": information, "quality": quality, "steadiness": steadiness, "sweep": []}


def chromium(page, *args):
    done = subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu",
                           "--window-size=%d,%d" % WINDOW] + list(args) + ["file://" + page],
                          capture_output=True, text=True, timeout=90)
    return done.stdout


BAR_COLOURS = ("#4477aa", "#cc6677")  # the chart's GL and 2D bars


def share(shot, box, colours=None):
    """Share of the screenshot's pixels inside box (left, top, width, height) that are not white,
    or, given colours, that have one of them."""
    left, top, width, height = box
    keep = []
    if colours:
        keep = ["-fuzz", "15%", "-fill", "red"] + [a for c in colours for a in ("-opaque", c)]
        keep += ["-fuzz", "0", "-fill", "white", "+opaque", "red"]
    out = subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (width, min(height, WINDOW[1] - top), left, top),
                          "+repage"] + keep + ["-colorspace", "Gray", "-threshold", "90%", "-format", "%[fx:1-mean]",
                                               "info:"], capture_output=True, text=True, check=True).stdout
    return float(out)


class ResultsRoundTrip(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="benchrunner-")
        subprocess.run([SAMPLE, self.dir], check=True)
        self.data = res.load(self.dir)

    def test_scripts_bench_reads_the_runners_file_as_its_own(self):
        mine = next(p for p in self.data["paths"] if not p["failed"])
        theirs = bench_data()["paths"][0]
        self.assertEqual(sorted(set(theirs) - set(mine)), [])
        self.assertEqual(self.data["run"]["harness"], "windows-runner")
        self.assertIn("partial", self.data["run"])
        rows = report.path_rows(self.data)
        self.assertEqual(len(rows), len(table.PATHS))
        found = res.compare(self.data, self.data)
        self.assertTrue(found["ratios"])
        self.assertTrue(all(r["agreement"] == "agree" for r in found["ratios"] if r["change"]))
        printed = io.StringIO()
        with contextlib.redirect_stdout(printed):  # a run of each harness against the other's
            report.print_compare(bench_data(), self.data, res.compare(bench_data(), self.data))
        self.assertRegex(printed.getvalue(), r"old: .*DirectDraw renderer gl\nnew: .*windows-runner on ")
        for line in self.data["targets"] + self.data["information"]:
            self.assertIn(line["kind"], ("ratio", "share", "seconds"))


class Report(unittest.TestCase):
    def assertShows(self, text, dom):
        self.assertTrue(text in dom, "the page does not show %r" % text)  # not the whole page

    def render(self, page):
        dom = chromium(page, "--dump-dom")
        shot = os.path.join(os.path.dirname(page), "shot.png")
        chromium(page, "--screenshot=" + shot)
        layout = re.search(r'data-layout="([^"]*)"', dom)
        self.assertIsNotNone(layout, "the page's script did not run")
        boxes = json.loads(layout.group(1).replace("&quot;", '"'))
        self.assertIsNotNone(boxes["table"], "no table")
        self.assertIsNotNone(boxes["chart"], "no chart")
        for name, box in boxes.items():
            self.assertGreater(box[2] * box[3], 0, "%s has no size" % name)
            self.assertGreater(share(shot, box), 0.02, "%s is blank in the screenshot" % name)
        self.assertGreater(share(shot, boxes["chart"], BAR_COLOURS), 0.02, "the chart has no bars")
        return dom

    def test_the_template_fetches_nothing(self):
        with open(html.TEMPLATE, encoding="utf-8") as f:
            text = f.read()
        self.assertEqual(text.count(html.MARKER), 1)
        for fetching in (r"\ssrc=", r"<link", r"url\(", r"@import", r"fetch\(", r"XMLHttpRequest",
                         r"https?://(?!www\.w3\.org/2000/svg)"):
            self.assertIsNone(re.search(fetching, text), fetching)

    def test_a_value_gone_wrong_still_leaves_a_page(self):
        data = bench_data()
        data["paths"][0]["fps"]["median"] = float("nan")
        data["paths"][0]["glyphs_per_second"] = float("inf")
        embedded = html.page(data).split("const RESULTS = ", 1)[1].split("\n", 1)[0]
        self.assertNotRegex(embedded, r"\bNaN\b|\bInfinity\b")

    def test_the_runners_report_shows_its_table_chart_and_failures(self):
        out = tempfile.mkdtemp(prefix="benchrunner-html-")
        subprocess.run([SAMPLE, out], check=True)
        dom = self.render(os.path.join(out, "report.html"))
        self.assertShows("failed: reports nothing for 30 s", dom)
        self.assertShows("capped by the display: this number says nothing about text", dom)
        self.assertShows("Wine Display &lt;/script&gt; adapter", dom)  # data, not markup
        drawn = [p for p in res.load(out)["paths"] if p["fps"] and p["glyphs_per_frame"]]
        self.assertEqual(dom.count("<rect"), len(drawn))

    def test_scripts_bench_writes_the_same_report(self):
        out = tempfile.mkdtemp(prefix="bench-html-")
        data = bench_data()
        data["unavailable"] = [{"key": "x", "name": "a stack's gap", "command": "x.exe", "reason": "no device"}]
        data["sweep"] = [{"name": "swept line", "fixed_ms": 1.25, "ns_per_glyph": 42.5, "r2": 0.9, "r2_ok": False}]
        dom = self.render(html.write_html(out, data))
        self.assertShows("unavailable with this stack: no device", dom)
        self.assertShows("<td>swept line</td><td class=\"num\">1.25</td><td class=\"num\">42.5</td>", dom)
        for p in data["paths"]:
            self.assertShows(">%s<" % p["name"].replace("&", "&amp;"), dom)
        self.assertShows("measured by scripts/bench", dom)
        self.assertShows("scripts/bench &lt;/script&gt;&lt;!--", dom)  # data, not markup
        # A minimal file (what --compare's fixtures hold) still gives a page, with no chart.
        with open(os.path.join(TOP, "tests", "bench", "data", "new", "results.json"), encoding="utf-8") as f:
            small = html.write_html(tempfile.mkdtemp(prefix="bench-html-"), json.load(f))
        self.assertShows("No text path was measured", chromium(small, "--dump-dom"))


if __name__ == "__main__":
    unittest.main()
