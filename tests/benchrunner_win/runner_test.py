"""glyphstorm-bench.exe as a Windows user runs it: from the release zip unpacked into an empty
folder, under Wine inside a virtual desktop (the DirectDraw paths need one).

Environment (set by ctest): GLYPHSTORM_PACKAGE = the zip; GLYPHSTORM_BIN and GLYPHSTORM_RUN as
for every end-to-end test (the stand-in program comes from GLYPHSTORM_BIN). Set by the caller:
GLYPHSTORM_RESULTS = the host tree's glyphstorm-results, which must judge the runner's raw.json
to the same bytes as the runner does.
"""
import glob
import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
import zipfile

import wineharness as wh

PACKAGE = os.environ.get("GLYPHSTORM_PACKAGE", "")
HOST_RESULTS = os.environ.get("GLYPHSTORM_RESULTS", "")
REPORT_FILES = ["benchmark.json", "glyphs.svg", "memory.csv", "raw.json", "report.html",
                "report.md", "results.json"]
DESKTOP = "1024x768"
# The stand-in tables: a program that never reports, one that is not there, one the desktop
# lacks what it needs for, one that works; one caught inside OutputDebugString beside one that
# works.
STAND_IN_TABLE = {
    "_about": "the runner test's own table",
    "phrase_glyphs": 33,
    "plan": {"rounds": 20, "processes": 5},
    "paths": [
        {"key": "silent", "name": "never reports", "program": "silent_program.exe",
         "source": "debug", "phrases": 1, "group": "a"},
        {"key": "absent", "name": "not there", "program": "absent_program.exe",
         "source": "debug", "phrases": 1, "group": "a"},
        {"key": "lacking", "name": "needs more GL", "program": "lacking_program.exe",
         "source": "debug", "phrases": 1, "group": "a"},
        {"key": "gdi", "name": "GDI text on a window", "program": "gdi_reference.exe",
         "args": ["{seconds}", "{phrases}"], "source": "debug", "phrases": 200, "group": "b"},
    ],
}


CHATTY_TABLE = dict(STAND_IN_TABLE, paths=[
    {"key": "chatty", "name": "writes amid its report", "program": "chatty_program.exe",
     "source": "debug", "phrases": 1, "group": "a"},
    dict(STAND_IN_TABLE["paths"][3], group="a")])


def setUpModule():
    wh.ensure_display()


def tearDownModule():
    wh.release_display()


def unpack(into):
    with zipfile.ZipFile(PACKAGE) as archive:
        archive.extractall(into)
        top = archive.namelist()[0].split("/")[0]
    return os.path.join(into, top)


def start_runner(folder, args, stdout):
    """The runner under Wine, its output to a file. It stays in the test's process group: Wine
    turns SIGINT into Ctrl+C only there (in a session or group of its own the signal is lost),
    and only when SIGINT is not ignored, as it is for a suite started in the background."""
    cmd = [wh.RUNNER, "--desktop", DESKTOP, os.path.join(folder, "glyphstorm-bench.exe")] + args
    return subprocess.Popen(cmd, cwd=folder, stdin=subprocess.DEVNULL, stdout=stdout,
                            stderr=subprocess.STDOUT,
                            preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL),
                            env=dict(os.environ, LC_ALL="ru_RU.UTF-8"))


def run_runner(folder, args, timeout):
    log = os.path.join(folder, "..", "runner.log")
    with open(log, "wb") as out:
        process = start_runner(folder, args, out)
        try:
            code = process.wait(timeout=timeout)
        finally:
            kill(process)
    return code, read(log)


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def rendered(html):
    """The page's document after its scripts ran, from headless Chromium."""
    done = subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--dump-dom",
                           "file://" + html], capture_output=True, text=True, timeout=120)
    return done.stdout


def kill(process):
    """Ends the runner's Wine-run and every program it left (found by their folders)."""
    if process.poll() is None:
        process.kill()
        process.wait()
    folder = os.path.dirname(process.args[3])
    for pid, line in command_lines():
        if folder in line or "glyphstorm-bench-run-" in line:
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass


def results(folder):
    found = sorted(glob.glob(os.path.join(folder, "report", "*", "results.json")))
    if not found:
        raise AssertionError("no report\\<date>\\results.json in %s" % folder)
    with open(found[-1], encoding="utf-8") as f:
        return json.load(f), os.path.dirname(found[-1])


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def command_lines():
    """The command lines of this machine's processes."""
    lines = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                lines.append((int(pid), f.read().replace(b"\0", b" ").decode("latin-1")))
        except OSError:
            continue
    return lines


def ours(folder):
    """Windows programs started from the test's folder or the runner's temporary folder (named
    glyphstorm-bench-run-<id>); other tests of the machine run theirs elsewhere."""
    marks = (os.path.basename(folder.rstrip("/")), "glyphstorm-bench-run-")
    return [line for _, line in command_lines()
            if any(m in line for m in marks) and ".exe" in line and "wine-run" not in line]


def temporary_folders():
    """The runner's folders in the Wine prefix's temporary folder."""
    with open(wh.RUNNER, encoding="utf-8") as f:
        prefix = re.search(r'WINEPREFIX="\$\{GLYPHSTORM_WINEPREFIX:-([^}]*)\}"', f.read()).group(1)
    prefix = os.environ.get("GLYPHSTORM_WINEPREFIX", prefix)
    return glob.glob(os.path.join(prefix, "drive_c", "users", "*", "*", "*", "Temp", "glyphstorm-bench-run-*")) + \
        glob.glob(os.path.join(prefix, "drive_c", "users", "*", "Temp", "glyphstorm-bench-run-*"))


class QuickRun(unittest.TestCase):
    """One quick run of every path from the zip; its report folder is then judged again, by the
    runner and by the host's method."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="glyphstorm-bench-test-")
        cls.folder = unpack(cls.tmp)
        # A user's vtAPI.ini that would end glyphstorm at once, were it read.
        cls.users = b"[display]\r\nwidth=640\r\nheight=480\r\nbpp=16\r\nfullscreen=-1\r\n"
        with open(os.path.join(cls.folder, "vtAPI.ini"), "wb") as f:
            f.write(cls.users)
        cls.before = sorted(os.listdir(cls.folder))
        cls.code, cls.output = run_runner(cls.folder, ["--quick"], timeout=800)
        cls.after = sorted(os.listdir(cls.folder))
        cls.temporary, cls.left = temporary_folders(), ours(cls.tmp)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def setUp(self):
        self.assertEqual(0, self.code, self.output[-3000:])
        self.data, self.report = results(self.folder)
        # Relative to the runner's folder, where it runs.
        self.report_arg = "report\\" + os.path.basename(self.report)

    def test_every_path_is_measured_and_the_users_files_are_left_alone(self):
        with open(os.path.join(self.folder, "paths.json"), encoding="utf-8") as f:
            keys = [row["key"] for row in json.load(f)["paths"]]
        self.assertEqual(keys, [p["key"] for p in self.data["paths"]])
        for path in self.data["paths"]:
            self.assertIsNone(path["failed"], path["key"])
            self.assertGreater(path["frames"], 0, path["key"])
        self.assertEqual("windows-runner", self.data["run"]["harness"])
        self.assertFalse(self.data["run"]["partial"])
        self.assertIn("round 3/3", self.output)
        with open(os.path.join(self.folder, "vtAPI.ini"), "rb") as f:
            self.assertEqual(self.users, f.read())
        self.assertEqual(sorted(self.before + ["report"]), self.after)
        self.assertEqual([], self.temporary, "glyphstorm's temporary folder is removed")
        self.assertEqual([], self.left)

    def test_the_report_folder_holds_the_raw_run_and_every_report(self):
        self.assertEqual(REPORT_FILES, sorted(os.listdir(self.report)))
        with open(os.path.join(self.report, "raw.json"), encoding="utf-8") as f:
            raw = json.load(f)
        self.assertEqual(("glyphstorm-raw", "windows-runner"), (raw["format"], raw["run"]["harness"]))
        slices = [s for p in raw["paths"] for s in p["slices"]]
        self.assertTrue(slices and all(s["begin"] < s["count_from"] < s["end"] for s in slices))
        self.assertTrue(all(s["begin"] <= t <= s["end"] for s in slices for t, _ in s["reports"]))
        html = read(os.path.join(self.report, "report.html"))
        self.assertIsNone(re.search(r"<script[^>]+src=|<link[^>]+href=", html), "self-contained")
        # As a browser shows it: the table and the chart, made by the page's own script.
        dom = rendered(os.path.join(self.report, "report.html"))
        for part in (r'<table id="paths"', r'<svg[^>]* id="glyph-chart"', "glyphstorm mode 2",
                     "glyphstorm2d"):
            self.assertIsNotNone(re.search(part, dom), part)

    def test_rejudge_rewrites_the_report_to_the_same_bytes(self):
        results_before = read_bytes(os.path.join(self.report, "results.json"))
        os.remove(os.path.join(self.report, "report.md"))
        code, output = run_runner(self.folder, ["--rejudge", self.report_arg], timeout=120)
        self.assertEqual(0, code, output[-3000:])
        self.assertEqual(results_before, read_bytes(os.path.join(self.report, "results.json")))
        self.assertEqual(REPORT_FILES, sorted(os.listdir(self.report)), "report.md made again")

    def test_a_truncated_raw_json_is_refused_and_nothing_is_written(self):
        cut = os.path.join(self.folder, "cut")
        shutil.copytree(self.report, cut)
        raw = read_bytes(os.path.join(cut, "raw.json"))
        with open(os.path.join(cut, "raw.json"), "wb") as f:
            f.write(raw[:len(raw) // 2])
        os.remove(os.path.join(cut, "report.md"))
        results_before = read_bytes(os.path.join(cut, "results.json"))
        code, output = run_runner(self.folder, ["--rejudge", "cut"], timeout=120)
        self.assertEqual(2, code, output[-3000:])
        self.assertIn("raw.json", output)
        self.assertEqual(results_before, read_bytes(os.path.join(cut, "results.json")))
        self.assertNotIn("report.md", os.listdir(cut))

    def test_the_host_method_judges_the_same_raw_json_to_the_same_bytes(self):
        if not HOST_RESULTS:
            self.fail("GLYPHSTORM_RESULTS is not set: it must name the host tree's "
                      "glyphstorm-results, which judges the runner's raw.json natively")
        copy = os.path.join(self.tmp, "host-copy")
        os.makedirs(copy)
        shutil.copy(os.path.join(self.report, "raw.json"), copy)
        done = subprocess.run([HOST_RESULTS, "--rejudge", copy], capture_output=True, text=True,
                              timeout=120)
        self.assertEqual(0, done.returncode, done.stdout[-2000:] + done.stderr[-2000:])
        self.assertEqual(read_bytes(os.path.join(self.report, "results.json")),
                         read_bytes(os.path.join(copy, "results.json")))

    def test_compare_reads_folders_and_refuses_what_is_none(self):
        code, output = run_runner(self.folder, ["--compare", self.report_arg,
                                                self.report_arg + "\\results.json"], timeout=120)
        self.assertEqual(0, code, output[-3000:])
        self.assertIn("glyphstorm mode 2", output)
        code, output = run_runner(self.folder, ["--compare", self.report_arg, "nonesuch"], timeout=120)
        self.assertEqual(2, code, output[-3000:])
        self.assertIn("nonesuch", output)


class FromTheZip(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="glyphstorm-bench-test-")
        self.folder = unpack(self.tmp)

    def tearDown(self):
        shutil.rmtree(self.tmp, ignore_errors=True)

    def test_a_program_that_never_reports_is_a_failed_row_and_the_others_still_run(self):
        shutil.copy(os.path.join(wh.BIN, "silent_program.exe"), self.folder)
        shutil.copy(os.path.join(wh.BIN, "lacking_program.exe"), self.folder)
        with open(os.path.join(self.folder, "paths.json"), "w", encoding="utf-8") as f:
            json.dump(STAND_IN_TABLE, f)
        code, output = run_runner(self.folder, ["--quick"], timeout=300)
        self.assertEqual(1, code, output[-3000:])
        data, _ = results(self.folder)
        rows = {p["key"]: p for p in data["paths"]}
        self.assertEqual("reports no frames for 30 s", rows["silent"]["failed"])
        self.assertIn("silent_program.exe", rows["silent"]["command"])
        self.assertRegex(rows["absent"]["failed"], r"^missing program .*absent_program\.exe$")
        self.assertIsNone(rows["gdi"]["failed"])
        self.assertGreater(rows["gdi"]["frames"], 0)
        self.assertIn("failed: reports no frames for 30 s", output)
        # What the desktop lacks is a row of its own: no failure, no measured path.
        self.assertEqual([(u["key"], u["reason"]) for u in data["unavailable"]],
                         [("lacking", "GL 9.9 is missing")])
        self.assertNotIn("lacking", rows)
        self.assertIn("unavailable on this desktop: GL 9.9 is missing", output)
        self.assertEqual([], ours(self.tmp))

    def test_a_program_held_amid_its_report_keeps_no_other_from_reporting(self):
        shutil.copy(os.path.join(wh.BIN, "chatty_program.exe"), self.folder)
        with open(os.path.join(self.folder, "paths.json"), "w", encoding="utf-8") as f:
            json.dump(CHATTY_TABLE, f)
        code, output = run_runner(self.folder, ["--quick"], timeout=300)
        self.assertEqual(0, code, output[-3000:])
        data, _ = results(self.folder)
        self.assertEqual([None, None], [p["failed"] for p in data["paths"]])
        self.assertEqual([], ours(self.tmp))

    def test_an_unknown_path_or_a_broken_table_is_bad_use(self):
        code, output = run_runner(self.folder, ["--paths", "glyphstorm-mode2,nonesuch"], timeout=60)
        self.assertEqual(2, code)
        self.assertIn("no path 'nonesuch'", output)
        self.assertIn("gl_reference-phrase", output)
        with open(os.path.join(self.folder, "paths.json"), "w", encoding="utf-8") as f:
            json.dump(dict(STAND_IN_TABLE, plan={"rounds": 20}), f)
        code, output = run_runner(self.folder, ["--quick"], timeout=60)
        self.assertEqual(2, code, output[-3000:])
        self.assertRegex(output, r"paths\.json: .*processes")
        self.assertFalse(os.path.exists(os.path.join(self.folder, "report")))

    def test_ctrl_c_ends_every_program_and_writes_a_partial_report(self):
        log = os.path.join(self.tmp, "interrupted.log")
        with open(log, "wb") as out:
            process = start_runner(self.folder, ["--rounds", "200", "--paths",
                                                 "glyphstorm-mode2,gl_reference-phrase"], out)
            try:
                deadline = time.time() + 120
                while time.time() < deadline and "round 2/" not in read(log):
                    self.assertIsNone(process.poll(), read(log)[-3000:])
                    time.sleep(0.5)
                self.assertEqual(2, sum("glyphstorm.exe" in line or "gl_reference.exe" in line
                                        for line in ours(self.tmp)), ours(self.tmp))
                runner = [pid for pid, line in command_lines()
                          if "glyphstorm-bench.exe" in line and os.path.basename(self.tmp) in line
                          and "wine-run" not in line]
                self.assertTrue(runner, "the runner's Wine process")
                before = set(temporary_folders())
                for pid in runner:
                    os.kill(pid, signal.SIGINT)
                code = process.wait(timeout=60)
            except subprocess.TimeoutExpired:
                # Wine turns SIGINT into Ctrl+C in some launches of the suite and not in others
                # (seen on one machine, same build); a run it never reached says nothing of the
                # runner's handler, so this run does not judge it. One whose programs were
                # ended, though, was reached: then the runner had to exit.
                programs_left = [line for line in ours(self.tmp) if "glyphstorm-bench.exe" not in line]
                kill(process)
                for folder in set(temporary_folders()) - before:
                    shutil.rmtree(folder, ignore_errors=True)
                self.assertTrue(programs_left, "the runner ended its programs after Ctrl+C but did not exit")
                self.skipTest("Ctrl+C NOT TESTED: the runner did not react to SIGINT within 60 s "
                              "(Wine did not deliver it as Ctrl+C in this launch)")
            finally:
                kill(process)
        self.assertEqual(3, code, read(log)[-3000:])
        time.sleep(1)
        self.assertEqual([], ours(self.tmp))
        data, report = results(self.folder)
        self.assertTrue(data["run"]["partial"])
        self.assertTrue(any(p["frames"] > 0 for p in data["paths"]))
        with open(os.path.join(report, "raw.json"), encoding="utf-8") as f:
            self.assertTrue(json.load(f)["run"]["partial"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
