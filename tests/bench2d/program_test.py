"""glyphstorm2d end to end: the real program under Wine with code page 1251 (LC_ALL=ru_RU.UTF-8).

The full screen needs Wine's virtual desktop (800x600, runner flag --desktop). Each test's program
gets a desktop of its own name. The runner keeps that setting in the prefix's registry under a
file name, so the "screen cannot be opened" case runs without one, as a copy under another name
(glyphstorm2d-bare.exe) whose entry is deleted first: on a bare X server Wine refuses the display
mode change.

Message boxes are answered with xdotool; Wine's msgbox trace tells their text. Screenshots stay in
<build>/bench2d-artifacts for a look.
"""
import os
import shutil
import signal
import subprocess
import time
import unittest

import wineharness as wh

ARTIFACTS = os.path.join(os.path.dirname(wh.BIN.rstrip("/")), "bench2d-artifacts")
PROGRAM = "glyphstorm2d.exe"
DESKTOP = "800x600"


def setUpModule():
    os.makedirs(ARTIFACTS, exist_ok=True)
    wh.ensure_display()


def tearDownModule():
    wh.release_display()


class Program:
    """The program (or a copy) running under Wine, its Wine trace written to a file."""

    def __init__(self, name, path, desktop=DESKTOP, debug="-all", overrides=None, env=None,
                 desktop_name=None):
        self.desktop_name = desktop_name or "glyphstorm2d-" + name
        env = dict(os.environ, LC_ALL="ru_RU.UTF-8", WINEDEBUG=debug,
                   GLYPHSTORM_DESKTOP=self.desktop_name, **(env or {}))
        if overrides:
            env["WINEDLLOVERRIDES"] = overrides
        self.trace_path = os.path.join(ARTIFACTS, name + ".trace")
        self.trace = open(self.trace_path, "w")
        # Our programs' exit codes as Windows records them: Wine SIGKILLs a process whose Unix
        # side ends slowly after its last thread (seen: 137 after a clean Esc, 1 run in 10 under load).
        launch = ["--windows-exit"] if os.path.isabs(path) else []
        cmd = [wh.RUNNER] + (["--desktop", desktop] if desktop else []) + launch + [path]
        # A session of its own, so that a failed test can end the runner and Wine's process of the
        # program together.
        self.process = subprocess.Popen(cmd, cwd=wh.BIN, env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=self.trace,
                                        start_new_session=True)

    def alive_after(self, seconds):
        try:
            self.process.wait(timeout=seconds)
            return False
        except subprocess.TimeoutExpired:
            return True

    def finish(self, timeout=15):
        try:
            return self.process.wait(timeout=timeout)
        finally:
            self.trace.close()

    def kill(self):
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()
        self.trace.close()

    def trace_lines(self):
        with open(self.trace_path, encoding="latin-1") as f:
            return f.read().splitlines()

    def frame_reports(self):
        """N of each "frames=N" on the debugger output (WINEDEBUG with +debugstr)."""
        return [int(line[7:]) for line in wh.log_lines(self.trace_lines()) if line.startswith(b"frames=")]


def focus(window):
    wh.xdotool("windowfocus", "--sync", window, check=False)


def desktop_window(program):
    return wh.wait_for_window("^%s - Wine desktop$" % program.desktop_name, timeout=20)


def wait_for_class(name, timeout=20):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if wh.xdotool("search", "--classname", name, check=False).split():
            return
        time.sleep(0.2)
    raise AssertionError("no window of class %r appeared" % name)


def hold_key(key):
    """Presses a key long enough for a keyboard read once per frame to see it down."""
    wh.xdotool("keydown", key)
    time.sleep(0.3)
    wh.xdotool("keyup", key)


def answer_box(program):
    """Presses Return on the "Error" box until the program has gone (a key that arrives before
    the box has the focus is lost)."""
    window = wh.wait_for_window("^Error$", timeout=20)
    for _ in range(10):
        focus(window)
        wh.xdotool("key", "Return")
        if not program.alive_after(1):
            return
    raise AssertionError("the message box could not be answered")


def screen_pixels(png):
    """Rows of (r, g, b) tuples of a screenshot."""
    info = subprocess.run(["identify", "-format", "%w %h", png], capture_output=True, text=True, check=True)
    width, height = map(int, info.stdout.split())
    raw = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return [[tuple(raw[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)] for y in range(height)]


class Glyphstorm2d(unittest.TestCase):
    def box_texts(self, program):
        return [line.split('L"', 1)[1].rstrip('"') for line in program.trace_lines() if "MSGBOX_OnInit" in line]

    def test_benchmark_screen_and_keys(self):
        program = Program("run", os.path.join(wh.BIN, PROGRAM), debug="-all,+msg,+debugstr")
        try:
            desktop = desktop_window(program)
            wh.wait_for_window("^glyphstorm$")
            time.sleep(2.5)  # past the first rate period
            shot = os.path.join(ARTIFACTS, "screen.png")
            subprocess.run(["import", "-window", "root", shot], check=True)
            rows = screen_pixels(shot)
            screen = [row[:800] for row in rows[:600]]
            colours = {p for row in screen for p in row}
            self.assertGreater(len(colours), 100, "200 phrases in random colours")
            rate = [p for row in screen[:12] for p in row[:30]]
            self.assertIn((255, 255, 255), rate, "the white rate at (0, 0)")
            lit = sum(p != (0, 0, 0) for row in screen for p in row)
            self.assertGreater(lit, 10000)
            self.assertEqual(set(), {p for row in rows[610:] for p in row} - {(0, 0, 0)},
                             "phrases start above y = 589 and are clipped to the screen")

            # Closing through the system reaches the window as WM_CLOSE and is ignored.
            focus(desktop)
            wh.xdotool("key", "alt+F4")
            self.assertTrue(program.alive_after(1.5))
            self.assertTrue(any("msg=WM_CLOSE" in line for line in program.trace_lines()))

            hold_key("Escape")
            self.assertEqual(0, program.finish())
            self.assertEqual([], program.frame_reports(), "no frame report unless asked for")
        finally:
            program.kill()

    def test_frame_report_when_asked(self):
        program = Program("report", os.path.join(wh.BIN, PROGRAM), debug="-all,+debugstr",
                          env={"GLYPHSTORM_FRAME_REPORT": "100"})
        try:
            desktop = desktop_window(program)
            wh.wait_for_window("^glyphstorm$")
            time.sleep(1.5)
            focus(desktop)
            hold_key("Escape")
            self.assertEqual(0, program.finish())
            frames = program.frame_reports()
            self.assertGreaterEqual(len(frames), 3, "about ten reports a second")
            self.assertGreater(sum(frames), 0)
        finally:
            program.kill()

    def test_esc_in_another_program_is_not_seen(self):
        # Wine sends the full screen no WM_ACTIVATE when a window of another process in the same
        # virtual desktop becomes active, and gives it no foreground back when that window goes:
        # so only "the keyboard is read in the foreground only" can be shown here; the inactive
        # state (no flip, lost-surface hook once) is tested on the window procedure.
        program = Program("focus", os.path.join(wh.BIN, PROGRAM), debug="-all,+msg")
        other = None
        try:
            desktop_window(program)
            wh.wait_for_window("^glyphstorm$")
            other = Program("notepad", "notepad.exe", desktop_name=program.desktop_name)
            wait_for_class("notepad.exe")  # its title is translated under the Russian locale
            time.sleep(0.5)
            hold_key("Escape")
            self.assertTrue(program.alive_after(2), "Esc went to the other program")
            ours = [line for line in program.trace_lines() if "(WM_KEYDOWN)" in line and " wp 1b " in line]
            self.assertEqual([], ours, "the other program had the keyboard")
        finally:
            if other:
                other.kill()
            program.kill()

    def check_missing_directx(self, dll):
        program = Program("no-" + dll, os.path.join(wh.BIN, PROGRAM), debug="-all,+msgbox",
                          overrides=dll + "=d")
        try:
            answer_box(program)
            self.assertEqual(0, program.finish())
            self.assertEqual(["DirectX 7+ is needed."], self.box_texts(program))
        finally:
            program.kill()

    def test_without_directdraw(self):
        self.check_missing_directx("ddraw")

    def test_without_directinput(self):
        self.check_missing_directx("dinput")

    def test_screen_that_cannot_open(self):
        bare = os.path.join(ARTIFACTS, "glyphstorm2d-bare.exe")
        shutil.copyfile(os.path.join(wh.BIN, PROGRAM), bare)
        env = dict(os.environ, WINEDEBUG="-all")
        subprocess.run([wh.RUNNER, "reg", "delete",
                        "HKCU\\Software\\Wine\\AppDefaults\\glyphstorm2d-bare.exe", "/f"],
                       env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        program = Program("bare", bare, desktop=None, debug="-all,+msgbox")
        try:
            answer_box(program)
            self.assertEqual(0, program.finish())
            self.assertEqual(["Can't open the screen !"], self.box_texts(program))
        finally:
            program.kill()


if __name__ == "__main__":
    unittest.main(verbosity=2)
