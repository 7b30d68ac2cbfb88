"""InitDemo of vtAPI.dll end to end under Wine: vtAPI.ini beside the DLL, and the dialog answered
with xdotool. Runs in a private copy of the DLL and the probe program, so the settings file never
sits beside the shared vtAPI.dll of the build."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import wineharness

TITLE = "glyphstorm settings"
def setUpModule():
    wineharness.ensure_display()


def tearDownModule():
    wineharness.release_display()


class InitDemo(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="glyphstorm-launcher-")
        for name in ("vtAPI.dll", "initdemo_probe.exe"):
            shutil.copy(os.path.join(wineharness.BIN, name), cls.folder)
        cls.ini = os.path.join(cls.folder, "vtAPI.ini")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def setUp(self):
        if os.path.isdir(self.ini):
            os.rmdir(self.ini)
        elif os.path.exists(self.ini):
            os.remove(self.ini)

    def write_ini(self, content):
        """content None: a folder named vtAPI.ini, which cannot be read as a file."""
        self.setUp()
        if content is None:
            os.mkdir(self.ini)
            return
        with open(self.ini, "wb") as f:
            f.write(content)

    def start(self, env=None):
        return wineharness.start(os.path.join(self.folder, "initdemo_probe.exe"), env=env)

    def finish(self, process, timeout=60):
        try:
            run = wineharness.finish(process, timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.communicate()
            self.fail("InitDemo did not return (a dialog nobody answered?)")
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr[-2000:])
        return run

    @staticmethod
    def values(run):
        return tuple(int(v) for v in run.stdout.split()[-4:])

    @staticmethod
    def launcher_log(run):
        return [line.decode("latin-1") for line in run.log if line.startswith(b"vtAPI: ")]

    def answer_dialog(self, *actions, env=None):
        """Starts the probe, waits for the dialog and performs the actions on it."""
        process = self.start(env)
        try:
            try:
                window = wineharness.wait_for_window(TITLE, timeout=60)
            except AssertionError:
                ended = process.poll()
                process.kill()
                out, err = process.communicate()
                self.fail("no dialog; probe %s: %s %s" % ("still running" if ended is None else "exited %d" % ended,
                                                          out, err[-2000:]))
            time.sleep(0.3)
            wineharness.xdotool("windowfocus", "--sync", window, check=False)
            for action in actions:
                action(window)
                time.sleep(0.2)
        except BaseException:
            process.kill()
            process.communicate()
            raise
        return self.finish(process)

    @staticmethod
    def key(name):
        return lambda window: wineharness.xdotool("key", name)

    @staticmethod
    def click_close_button(window):
        geometry = dict(line.split("=") for line in
                        wineharness.xdotool("getwindowgeometry", "--shell", window).split())
        wineharness.xdotool("mousemove", "--window", window, str(int(geometry["WIDTH"]) - 12), "11",
                            "click", "1")

    def assertDefaultMode(self, width, height):
        screen = tuple(int(v) for v in wineharness.xdotool("getdisplaygeometry").split())
        self.assertIn((width, height), [(800, 600), screen])

    def test_usable_files_answer_without_dialog(self):
        cases = [
            (b"[display]\nwidth=640\nheight=480\nbpp=32\nfullscreen=2\n", (640, 480, 32, 2)),
            (b"\xef\xbb\xbf; unattended\r\n[Display]\r\n Width = 1024 \r\nHEIGHT=768 ; xga\r\n"
             b"bpp=16\r\nfullscreen=1\r\n", (1024, 768, 16, 1)),
            # Values the launcher never answers itself still reach the program unchanged.
            (b"[display]\nwidth=800\nheight=600\nbpp=24\nfullscreen=0", (800, 600, 24, 0)),
            (b"[display]\nwidth=800\nheight=600\nbpp=32\nfullscreen=3", (800, 600, 32, 3)),
            (b"[display]\nwidth=640\nheight=480\nbpp=32\nfullscreen=-1", (640, 480, 32, -1)),
        ]
        for content, expected in cases:
            with self.subTest(content=content):
                self.write_ini(content)
                run = self.finish(self.start())
                self.assertEqual(self.values(run), expected)
                self.assertEqual(self.launcher_log(run), [])

    def test_unusable_files_ask_with_the_reason(self):
        cases = [
            (b"[display]\nwidth=640\nheight=480\nbpp=32\n", "[display] lacks fullscreen"),
            (bytes(range(256)) * 8 + b"\0[display\nwidth=\xff", "no [display] section"),
            (None, "vtAPI.ini cannot be opened"),
        ]
        for content, reason in cases:
            with self.subTest(reason=reason):
                self.write_ini(content)
                run = self.answer_dialog(self.key("Escape"))
                self.assertEqual(self.values(run)[3], -1)
                log = self.launcher_log(run)
                self.assertEqual(len(log), 1, log)
                self.assertIn(reason, log[0])

    def test_partial_file_falls_back_to_the_dialog_defaults(self):
        self.write_ini(b"[display]\nwidth=640\nheight=480\n")
        width, height, bpp, fullscreen = self.values(self.answer_dialog(self.key("Return")))
        self.assertDefaultMode(width, height)
        self.assertEqual((bpp, fullscreen), (32, 2))

    def test_start_with_defaults_is_windowed(self):
        run = self.answer_dialog(self.key("Return"))
        width, height, bpp, fullscreen = self.values(run)
        self.assertDefaultMode(width, height)
        self.assertEqual((bpp, fullscreen), (32, 2))
        self.assertEqual(self.launcher_log(run), ["vtAPI: no vtAPI.ini beside vtAPI.dll; asking the user"])

    def test_dialog_has_common_controls_6_in_a_host_without_a_manifest(self):
        # From the DLL's own manifest, activated around the dialog; Wine loads that comctl32
        # from its side-by-side folder.
        run = self.answer_dialog(self.key("Return"), env={"WINEDEBUG": "-all,+debugstr,+loaddll"})
        self.assertEqual(self.values(run)[2:], (32, 2))
        loaded = [line for line in run.stderr.splitlines() if "comctl32" in line.lower()]
        self.assertTrue(any("common-controls_6595b64144ccf1df_6." in line for line in loaded), loaded)

    def test_full_screen_box_gives_1(self):
        self.assertEqual(self.values(self.answer_dialog(self.key("alt+f"), self.key("Return")))[3], 1)
        # Toggled twice: back to windowed.
        run = self.answer_dialog(self.key("alt+f"), self.key("alt+f"), self.key("Return"))
        self.assertEqual(self.values(run)[3], 2)

    def test_colour_depth_choice(self):
        run = self.answer_dialog(self.key("alt+d"), self.key("Up"), self.key("Return"))
        self.assertEqual(self.values(run)[2:], (16, 2))

    def test_cancel_and_close_give_minus_1(self):
        self.assertEqual(self.values(self.answer_dialog(self.key("Escape")))[3], -1)
        self.assertEqual(self.values(self.answer_dialog(self.key("alt+c")))[3], -1)
        run = self.answer_dialog(self.click_close_button)
        width, height, bpp, fullscreen = self.values(run)
        self.assertEqual(fullscreen, -1)
        self.assertDefaultMode(width, height)


if __name__ == "__main__":
    unittest.main(verbosity=2)
