"""The bad-input matrix: the real glyphstorm.exe under Wine, each run in a private folder with one
input broken, and what the user gets asserted: log lines, message boxes, exit code.

Rows covered elsewhere (not repeated here): fullscreen 0, 2 and 3 and the missing vtAPI.dll in
tests/driver/glyphstorm_test.py; DDRAW.DLL or DINPUT.DLL missing for glyphstorm2d in
tests/bench2d/program_test.py.
"""
import os
import shutil
import struct
import tempfile
import time
import unittest

import wineharness

COMPANIONS = wineharness.COMPANIONS
WINDOWED = b"[display]\nwidth=640\nheight=480\nbpp=32\nfullscreen=2\n"
PHRASE_DONE = "static draw add frase:саббакка баббка аф-фа-аф %!%^^^#$".encode("cp1251")
FONT_DONE = "загрузка текстурного шрифта закончилась успехом:Tahoma.txt".encode("cp1251")
NO_FONT = "Нет такого шрифта:Tahoma.txt".encode("cp1251")
NO_LAUNCHER = "Не могу загрузить библиотеку vtAPI".encode("cp1251")
WITH_BOXES = {"WINEDEBUG": "-all,+debugstr,+msgbox"}


def setUpModule():
    wineharness.ensure_display()


def tearDownModule():
    wineharness.release_display()


def tahoma_txt():
    with open(os.path.join(wineharness.BIN, "Tahoma.txt"), "rb") as f:
        return f.read()


def tga_header(width, height, bits=32):
    return bytes([0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0]) + struct.pack("<HH", width, height) + bytes([bits, 8])


def box_texts(run):
    """Texts of the message boxes the run showed, from Wine's msgbox trace."""
    return [line.split('L"', 1)[1].rstrip('"').replace("\\n", "\n")
            for line in run.stderr.splitlines() if "MSGBOX_OnInit" in line and 'L"' in line]


class Matrix(unittest.TestCase):
    def folder(self, ini=WINDOWED, files=None, leave_out=()):
        """A private copy of the program; files maps names to bytes (None: remove the file)."""
        folder = tempfile.mkdtemp(prefix="glyphstorm-matrix-")
        self.addCleanup(shutil.rmtree, folder, True)
        for name in COMPANIONS:
            if name not in leave_out:
                shutil.copy(os.path.join(wineharness.BIN, name), folder)
        all_files = {"vtAPI.ini": ini}
        all_files.update(files or {})
        for name, content in all_files.items():
            path = os.path.join(folder, name)
            if content is None:
                if os.path.exists(path):
                    os.remove(path)
                continue
            with open(path, "wb") as f:
                f.write(content)
        return folder

    def start(self, folder, env=None):
        run = wineharness.LiveRun(os.path.join(folder, "glyphstorm.exe"), cwd=folder, env=env)
        self.addCleanup(run.kill)
        return run

    def first_frame_then_escape(self, folder, env=None):
        run = self.start(folder, env)
        run.wait_for_log(PHRASE_DONE, timeout=60)
        time.sleep(0.3)
        wineharness.xdotool("key", "Escape")
        return run.finish(timeout=30)

    def answer_box(self, title, key):
        window = wineharness.wait_for_window("^%s$" % title, timeout=30)
        time.sleep(0.3)
        wineharness.xdotool("windowfocus", "--sync", window, check=False)
        wineharness.xdotool("key", key)

    def assertRanToTheEnd(self, result):
        self.assertEqual(result.returncode, 0)
        self.assertIn(FONT_DONE, result.log)
        self.assertIn(PHRASE_DONE, result.log)
        self.assertEqual(result.log[-2:], [b"DeInit", b"Logging closed"])

    def texture_lines(self, result):
        """The image loader's lines for the glyph sheet: from the file name to the byte count."""
        start = next(i for i, line in enumerate(result.log) if line.startswith(b"filename(char):"))
        return result.log[start:start + 11]

    # Font description file "Tahoma.txt".

    def test_font_file_missing_empty_or_garbage_gives_a_font_without_glyphs(self):
        garbage = bytes((i * 151 + 7) % 256 for i in range(4096))
        for name, content in (("missing", None), ("empty", b""), ("garbage", garbage)):
            with self.subTest(name):
                result = self.first_frame_then_escape(self.folder(files={"Tahoma.txt": content}))
                self.assertEqual(result.returncode, 0)
                if content is None:
                    self.assertIn(NO_FONT, result.log)
                    self.assertNotIn(FONT_DONE, result.log)
                else:
                    self.assertIn(FONT_DONE, result.log)
                self.assertIn(PHRASE_DONE, result.log)
                self.assertFalse(any(line.startswith(b"filename(char):") for line in result.log))
                self.assertIn(b"w=0", result.log)

    def test_ten_megabyte_line_is_skipped_and_the_rest_applies(self):
        content = b"x" * (10 * 1024 * 1024) + b"\n" + tahoma_txt()
        result = self.first_frame_then_escape(self.folder(files={"Tahoma.txt": content}))
        self.assertRanToTheEnd(result)
        self.assertIn(b"Tahoma.txt: line 1 is over 254 bytes and was skipped", result.log)
        self.assertIn(b"file loaded:Tahoma.png", result.log)
        self.assertIn(b"w=219", result.log)

    def test_keys_out_of_range_are_ignored(self):
        content = tahoma_txt() + b"\n256 = 99\n300 = 5\n-1 = 4\n999  7\n-99 = 1\n"
        result = self.first_frame_then_escape(self.folder(files={"Tahoma.txt": content}))
        self.assertRanToTheEnd(result)
        self.assertIn(b"w=219", result.log)  # the phrase's widths are untouched

    def test_without_a_texture_line_nothing_is_drawn_from_a_sheet(self):
        content = b"\n".join(line for line in tahoma_txt().splitlines() if not line.startswith(b"texture"))
        result = self.first_frame_then_escape(self.folder(files={"Tahoma.txt": content}))
        self.assertRanToTheEnd(result)
        self.assertFalse(any(line.startswith(b"filename(char):") for line in result.log))
        self.assertIn(b"w=219", result.log)

    def test_texture_line_naming_a_bad_file_loads_the_empty_image(self):
        with open(os.path.join(wineharness.BIN, "Tahoma.png"), "rb") as f:
            png = f.read()
        cases = {
            "missing.png": None,
            "truncated.png": png[:len(png) // 3],
            "notimage.png": b"this is not an image\r\n" * 40,
            # 65535 x 65535 x 4 bytes: the 32-bit byte count would wrap.
            "wrapping.tga": tga_header(65535, 65535) + b"\0" * 64,
        }
        for name, content in cases.items():
            with self.subTest(name):
                files = {"Tahoma.txt": tahoma_txt().replace(b"Tahoma.png", name.encode())}
                if content is not None:
                    files[name] = content
                result = self.first_frame_then_escape(self.folder(files=files))
                self.assertRanToTheEnd(result)
                lines = self.texture_lines(result)
                self.assertEqual(lines[:2], [b"filename(char):" + name.encode(), b"file not loaded:" + name.encode()])
                # The library's empty image: one byte, 1 x 1.
                self.assertEqual(lines[2:4], [b"src->width = 1", b"src->height = 1"])
                self.assertEqual(lines[10], b"bytes = 1")

    # Launcher: vtAPI.ini and vtAPI.dll.

    def test_settings_file_garbage_or_absent_opens_the_launcher_dialog(self):
        garbage = bytes(range(256)) * 8 + b"\0[display\nwidth=\xff"
        for name, content in (("garbage", garbage), ("absent", None)):
            with self.subTest(name):
                run = self.start(self.folder(ini=content))
                self.answer_box("glyphstorm settings", "Escape")
                result = run.finish(timeout=30)
                self.assertEqual(result.returncode, 0)
                reasons = [line for line in result.log if line.startswith(b"vtAPI: ")]
                self.assertEqual(len(reasons), 1, result.log)
                self.assertIn(b"no [display] section" if content else b"no vtAPI.ini", reasons[0])
                # Cancel in the dialog: the settings are logged and the program ends at once.
                self.assertEqual(result.log[-1], b"fullscreen=-1")
                self.assertNotIn(FONT_DONE, result.log)

    def test_launcher_without_initdemo_runs_windowed_at_800_by_600(self):
        folder = self.folder(ini=None)
        shutil.copy(os.path.join(wineharness.BIN, "vtAPI_noexport.dll"), os.path.join(folder, "vtAPI.dll"))
        result = self.first_frame_then_escape(folder)
        self.assertRanToTheEnd(result)
        self.assertEqual(result.log[:5], [NO_LAUNCHER, b"width=800", b"height=600", b"bpp=32", b"fullscreen=2"])

    def test_fullscreen_minus_one_ends_before_any_window(self):
        ini = WINDOWED.replace(b"fullscreen=2", b"fullscreen=-1")
        result = wineharness.run(os.path.join(self.folder(ini=ini), "glyphstorm.exe"), env=WITH_BOXES, timeout=60)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.log, [b"width=640", b"height=480", b"bpp=32", b"fullscreen=-1"])
        self.assertEqual(box_texts(result), [])

    # A full screen the display refuses (a bare X server cannot change its mode).

    QUESTION = "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?"

    def test_refused_full_screen_answered_yes_runs_windowed(self):
        ini = WINDOWED.replace(b"fullscreen=2", b"fullscreen=1")
        run = self.start(self.folder(ini=ini), env=WITH_BOXES)
        self.answer_box("Vantor", "y")
        run.wait_for_log(PHRASE_DONE, timeout=60)
        time.sleep(0.3)
        wineharness.xdotool("key", "Escape")
        result = run.finish(timeout=30)
        self.assertRanToTheEnd(result)
        self.assertIn(b"Init succes by params (640,480,32,1)", result.log)
        self.assertEqual(box_texts(result), [self.QUESTION])

    def test_refused_full_screen_answered_no_closes_the_program(self):
        ini = WINDOWED.replace(b"fullscreen=2", b"fullscreen=1")
        run = self.start(self.folder(ini=ini), env=WITH_BOXES)
        self.answer_box("Vantor", "n")
        self.answer_box("ERROR", "Return")
        result = run.finish(timeout=30)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.log, [b"width=640", b"height=480", b"bpp=32", b"fullscreen=1"])
        self.assertEqual(box_texts(result), [self.QUESTION, "Program Will Now Close."])


if __name__ == "__main__":
    unittest.main(verbosity=2)
