"""The 2D reference programs under Wine: each path draws coloured text on its 800 x 600 window,
reports its presented frames once a second on the debugger output ("frames=N") and ends with Esc.

Screenshots stay in <build>/reference-artifacts for a look.
"""
import os
import re
import subprocess
import time
import unittest

import wineharness as wh

ARTIFACTS = os.path.join(os.path.dirname(wh.BIN.rstrip("/")), "reference-artifacts")
# program, arguments, window title
PATHS = [
    ("gdi_reference.exe", [], "gdi reference"),
    ("gdiplus_reference.exe", [], "gdiplus reference"),
    ("gdiplus_reference.exe", ["antialias"], "gdiplus reference"),
    ("d2d_reference.exe", [], "d2d reference"),
    ("d2d_reference.exe", ["layout"], "d2d reference"),
]
FRAMES = re.compile(rb"^frames=(\d+)$")
# A bound on each run should Esc not arrive; the test ends it long before.
SAFETY_SECONDS = "60"


def setUpModule():
    os.makedirs(ARTIFACTS, exist_ok=True)
    wh.ensure_display()


def tearDownModule():
    wh.release_display()


def frame_counts(log):
    return [int(m.group(1)) for m in map(FRAMES.match, log) if m]


def wait_for_frames(run, timeout=40):
    """The first second's count that is above 0, waiting for it."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        shown = [n for n in frame_counts(run.log()) if n > 0]
        if shown:
            return shown[0]
        if run.process.poll() is not None:
            break
        time.sleep(0.2)
    raise AssertionError("no frames=N line with N > 0; log %r" % run.log())


def press_escape(window, run):
    """Esc to the focused window until the program has gone (a key before the focus is lost)."""
    for _ in range(10):
        wh.xdotool("windowfocus", "--sync", window, check=False)
        wh.xdotool("key", "Escape", check=False)
        try:
            run.process.wait(timeout=2)
            return
        except subprocess.TimeoutExpired:
            pass


class ReferencePrograms(unittest.TestCase):
    def test_each_path_draws_coloured_text_reports_frames_and_ends_with_esc(self):
        for program, args, title in PATHS:
            name = "-".join([program[:-4]] + args)
            with self.subTest(path=name):
                run = wh.LiveRun(program, [SAFETY_SECONDS] + args, env={"LC_ALL": "ru_RU.UTF-8"})
                try:
                    window = wh.wait_for_window("^%s$" % title)
                    wait_for_frames(run)
                    shot = os.path.join(ARTIFACTS, name + ".png")
                    subprocess.run(["import", "-window", "root", shot], check=True)
                    press_escape(window, run)
                    result = run.finish(timeout=10)
                finally:
                    run.kill()
                self.assertEqual(0, result.returncode, result.stderr[-2000:])
                self.assertEqual([], [line for line in result.log if not FRAMES.match(line)],
                                 "only frames lines on the debugger output")
                self.assertTrue(any(n > 0 for n in frame_counts(result.log)))
                self.check_screen(wh.screen_pixels(shot))

    def check_screen(self, rows):
        screen = [row[:800] for row in rows[:600]]
        lit = [p for row in screen for p in row if p != (0, 0, 0)]
        self.assertGreater(len(lit), 20000, "200 phrases cover a good part of the window")
        # Each phrase has its own random colour; antialiased edges add more shades.
        self.assertGreater(len({p for p in lit if max(p) - min(p) > 60}), 50, "coloured text")
        rate = [p for row in screen[:14] for p in row[:40]]
        self.assertTrue(any(min(p) >= 230 for p in rate), "the white rate at (0, 0)")
        outside = {p for row in rows[600:] for p in row}
        outside |= {p for row in rows[:600] for p in row[800:]}
        self.assertEqual({(0, 0, 0)}, outside, "the window is 800 x 600 at the top-left")

    def test_the_report_period_comes_from_the_variable(self):
        # The GL reference here; the 2D ones share its reporter.
        result = wh.run("gl_reference.exe", ["empty", "2"], env={"GLYPHSTORM_FRAME_REPORT": "100"},
                        timeout=60)
        self.assertEqual(0, result.returncode, result.stderr[-2000:])
        counts = frame_counts(result.log)
        self.assertGreaterEqual(len(counts), 5, "about ten reports a second for two seconds")
        self.assertGreater(sum(counts), 0)

    def test_an_unknown_mode_word_is_refused(self):
        # A misspelt mode must not measure the default path under another row's name.
        result = wh.run("d2d_reference.exe", ["2", "200", "layouts"], timeout=30)
        self.assertEqual(2, result.returncode)
        self.assertIn("usage: d2d_reference", result.stderr)
        self.assertEqual([], frame_counts(result.log))


if __name__ == "__main__":
    unittest.main(verbosity=2)
