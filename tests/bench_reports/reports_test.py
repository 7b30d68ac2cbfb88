"""The method's report folder read by other programs: benchmark.json by Google Benchmark's own
compare.py (GLYPHSTORM_BENCHMARK_COMPARE, run by GLYPHSTORM_COMPARE_PYTHON), the SVG charts by
an XML parser, report.html rendered by a headless Chromium (GLYPHSTORM_CHROMIUM): its layout and
a screenshot with the table and the chart's bars. ctest sets the variables.
Argument: the bench_reports_write program."""
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
DATA = os.path.join(HERE, "data")
TEMPLATE = os.path.join(TOP, "bench", "method", "report.html")
MARKERS = ("/*RESULTS_JSON*/null", "<!--CHARTS_SVG-->")
WRITE = sys.argv.pop(1) if len(sys.argv) > 1 else None
WINDOW = (1000, 2400)
SVG = "{http://www.w3.org/2000/svg}"


def load(name):
    with open(os.path.join(DATA, name), encoding="utf-8") as f:
        return json.load(f)


def report_folder(name, data=None):
    """The folder bench_reports_write makes of data/NAME, or of `data` when given."""
    folder = tempfile.mkdtemp(prefix="bench-reports-")
    source = os.path.join(DATA, name)
    if data is not None:
        source = os.path.join(folder, "input.json")
        with open(source, "w", encoding="utf-8") as f:
            json.dump(data, f, ensure_ascii=False)
    subprocess.run([WRITE, source, folder], check=True, timeout=60)
    return folder


class Export(unittest.TestCase):
    def test_compare_py_reads_two_runs_round_by_round(self):
        tool, python = os.environ.get("GLYPHSTORM_BENCHMARK_COMPARE"), os.environ.get("GLYPHSTORM_COMPARE_PYTHON")
        self.assertTrue(tool and python, "set GLYPHSTORM_BENCHMARK_COMPARE and GLYPHSTORM_COMPARE_PYTHON (ctest does)")
        files = [os.path.join(report_folder("compare-processes-%s.json" % run), "benchmark.json")
                 for run in ("old", "new")]
        with open(files[0], encoding="utf-8") as f:
            exported = json.load(f)
        product = [b for b in exported["benchmarks"] if b["name"] == "product"]
        path = load("compare-processes-old.json")["paths"][0]
        self.assertEqual([(b["repetition_index"], b["repetitions"], b["time_unit"]) for b in product],
                         [(i, 12, "ms") for i in range(12)])
        self.assertEqual((product[3]["real_time"], product[3]["cpu_time"]),
                         (1000.0 / path["fps_rounds"][3], path["cpu_rounds"][3]))
        self.assertEqual(exported["context"]["executable"], "scripts/bench")
        done = subprocess.run([python, tool, "--no-color", "benchmarks"] + files, capture_output=True, text=True,
                              timeout=120)
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

    def test_a_failed_run_has_no_benchmark_json(self):
        self.assertFalse(os.path.exists(os.path.join(report_folder("failed.json"), "benchmark.json")))


class Charts(unittest.TestCase):
    def test_the_charts_parse_as_svg(self):
        glyphs = ElementTree.parse(os.path.join(report_folder("rounds.json"), "glyphs.svg")).getroot()
        self.assertEqual((glyphs.tag, glyphs.get("id")), (SVG + "svg", "glyph-chart"))
        bars = [r for r in glyphs.iter(SVG + "rect") if r.get("class") == "bar"]
        self.assertEqual(len(bars), 6)
        ticks = [t.text for t in glyphs.iter(SVG + "text") if t.get("class") == "tick"]
        self.assertEqual(ticks, ["100k", "1M", "10M"])
        sweep = ElementTree.parse(os.path.join(report_folder("sweep.json"), "sweep.svg")).getroot()
        self.assertEqual(len([c for c in sweep.iter(SVG + "circle") if c.get("class") == "point"]), 8)


def chromium(page, *args):
    done = subprocess.run([os.environ.get("GLYPHSTORM_CHROMIUM", "chromium"), "--headless", "--no-sandbox",
                           "--disable-gpu", "--window-size=%d,%d" % WINDOW] + list(args) + ["file://" + page],
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


def rendered(dom):
    """What the page's script put in its subtitle and report block (not the script's own text)."""
    return dom.split('<p class="sub"', 1)[1].split('<div id="charts"', 1)[0]


class Page(unittest.TestCase):
    def assertShows(self, text, dom):
        self.assertTrue(text in rendered(dom), "the page does not show %r" % text)  # not the whole page

    def render(self, folder):
        """The page's DOM after its script ran; its table and chart checked in a screenshot."""
        page = os.path.join(folder, "report.html")
        dom = chromium(page, "--dump-dom")
        shot = os.path.join(folder, "shot.png")
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
        with open(TEMPLATE, encoding="utf-8") as f:
            text = f.read()
        for marker in MARKERS:
            self.assertEqual(text.count(marker), 1, marker)
        for fetching in (r"\ssrc=", r"<link", r"url\(", r"@import", r"fetch\(", r"XMLHttpRequest",
                         r"https?://(?!www\.w3\.org/2000/svg)"):
            self.assertIsNone(re.search(fetching, text), fetching)

    def test_scripts_bench_s_run_shows_its_table_chart_and_gaps(self):
        data = load("rounds.json")
        dom = self.render(report_folder("rounds.json"))
        self.assertShows("failed: exits early (code 3)", dom)
        self.assertShows("unavailable with this stack: no Direct2D in this Wine", dom)
        self.assertShows("capped by the display: this number says nothing about text", dom)
        self.assertShows("1 process, 96.8 %", dom)
        self.assertShows("under load", dom)
        self.assertShows("±19.7 %", dom)  # the judge's half-width
        self.assertShows("measured by scripts/bench", dom)
        self.assertShows("scripts/bench &lt;/script&gt;&lt;!--", dom)  # data, not markup
        for p in data["paths"]:
            self.assertShows(">%s<" % p["name"].replace("&", "&amp;"), dom)
        drawn = [p for p in data["paths"] if p["fps"] and p["glyphs_per_frame"] and not p["failed"]]
        self.assertEqual(dom.count("<rect"), len(drawn))
        self.assertNotIn('id="charts" hidden=""><svg', dom)  # the chart left its hidden block

    def test_the_runner_s_run_shows_its_desktop(self):
        dom = self.render(report_folder("windows.json"))
        self.assertShows("Wine Display &lt;/script&gt; adapter", dom)  # data, not markup
        self.assertShows("measured on a Windows desktop", dom)
        self.assertShows("Partial run", dom)

    def test_a_sweep_failed_and_minimal_run_still_give_a_page(self):
        sweep = chromium(os.path.join(report_folder("sweep.json"), "report.html"), "--dump-dom")
        self.assertShows("<td>reference glyph quads</td><td class=\"num\">2.00</td><td class=\"num\">10.0</td>", sweep)
        self.assertShows('id="sweep-chart"', sweep)
        self.assertNotIn("No text path was measured", rendered(sweep))
        failed = chromium(os.path.join(report_folder("failed.json"), "report.html"), "--dump-dom")
        self.assertShows("The run failed: reference phrase quads (gl_reference.exe phrase 60 199) exits early "
                         "(code 3).", failed)
        # What --compare's oldest fixtures hold: no text path, so no chart.
        small = chromium(os.path.join(report_folder("compare-new.json"), "report.html"), "--dump-dom")
        self.assertShows("No text path was measured", small)


if __name__ == "__main__":
    unittest.main()
