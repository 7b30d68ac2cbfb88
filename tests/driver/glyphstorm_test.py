"""The real glyphstorm.exe under Wine: start-up transcript, launcher answers, frames, keys."""
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

import wineharness

COMPANIONS = wineharness.COMPANIONS
ARTIFACTS = os.path.join(wineharness.BIN, "..", "artifacts")


def cp(text):
    return text.encode("cp1251")


def make_folder(ini=None, leave_out=()):
    """A private copy of the program with its companions and, if given, a vtAPI.ini."""
    folder = tempfile.mkdtemp(prefix="glyphstorm-")
    for name in COMPANIONS:
        if name not in leave_out:
            shutil.copy(os.path.join(wineharness.BIN, name), folder)
    if ini is not None:
        with open(os.path.join(folder, "vtAPI.ini"), "w") as f:
            f.write(ini)
    return folder


def ini(width=640, height=480, bpp=32, fullscreen=2):
    return "[display]\nwidth=%d\nheight=%d\nbpp=%d\nfullscreen=%d\n" % (width, height, bpp, fullscreen)


def screenshot(name):
    os.makedirs(ARTIFACTS, exist_ok=True)
    path = os.path.join(ARTIFACTS, name)
    subprocess.run(["import", "-window", "root", path], check=True)
    return path


def mean_brightness(path, geometry):
    out = subprocess.run(["convert", path, "-crop", geometry, "+repage", "-colorspace", "gray",
                          "-format", "%[fx:mean]", "info:"], capture_output=True, text=True, check=True)
    return float(out.stdout)


def white_pixels(path, geometry):
    """Light grey to white pixels of the region (antialiased white glyphs over black)."""
    out = subprocess.run(["convert", path, "-crop", geometry, "+repage", "-fx",
                          "r>0.55&&g>0.55&&b>0.55&&abs(r-g)<0.08&&abs(g-b)<0.08",
                          "-format", "%[fx:mean*w*h]", "info:"],
                         capture_output=True, text=True, check=True)
    return float(out.stdout)


def differing_pixels(first, second, geometry):
    crops = []
    for path in (first, second):
        crop = path + ".crop.png"
        subprocess.run(["convert", path, "-crop", geometry, "+repage", crop], check=True)
        crops.append(crop)
    out = subprocess.run(["compare", "-metric", "AE", crops[0], crops[1], "null:"],
                         capture_output=True, text=True)
    return float(out.stderr.split()[0])


def window_origin(name):
    """Screen position of the top-left corner of the named window (its frame)."""
    window = wineharness.wait_for_window(name)
    geometry = wineharness.xdotool("getwindowgeometry", "--shell", window)
    values = dict(line.split("=") for line in geometry.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"])


def start_program(folder, env=None):
    return wineharness.LiveRun(os.path.join(folder, "glyphstorm.exe"), cwd=folder, env=env)


def run_until_first_frame_then_escape(test, folder, env=None):
    run = start_program(folder, env)
    try:
        # The phrase texture is made in the first frame of mode 2.
        run.wait_for_log(cp("static draw add frase:саббакка баббка аф-фа-аф %!%^^^#$"))
        time.sleep(1.0)
        shot = screenshot("glyphstorm-%s.png" % test.id().split(".")[-1])
        wineharness.xdotool("key", "Escape")
        result = run.finish(timeout=30)
    finally:
        run.kill()
    return result, shot


# Lines whose values depend on the machine: matched by pattern.
MACHINE = [rb"Pixel Format:\d+", rb"GL_\w+ (not )?exists", rb"\w+ (not )?init", rb"wglSwapIntervalEXT(not )?init",
           rb"VENDOR:.*", rb"RENDERER:.*", rb"VERSION:.*", rb"Max Anistropic Level:[\d.e+]+",
           rb"Max Tex units:\d+", rb"Max Bindable Uniform Size:\d+", rb"Bindable Uniform \w+:\d+",
           cp("Ошибка инициализации звука|Звук успешно инициализирован")]


def masked(line):
    for pattern in MACHINE:
        if re.fullmatch(pattern, line):
            return b"<" + pattern + b">"
    return line


def transcript():
    """The engine log of a windowed 640 x 480 run from start to Esc after the first frame, and the
    names of its entry-point lines in order."""
    entry_points = ["glGenBuffersARB", "glBindBufferARB", "glBufferDataARB", "glDeleteBuffersARB",
                    "glDrawRangeElements", "glCompressedTexImage2D", "glDrawArraysInstancedEXT",
                    "glDrawElementsInstancedEXT", "glActiveTexture", "glCreateShaderObjectARB",
                    "glCreateProgramObjectARB", "glAttachObjectARB", "glDetachObjectARB",
                    "glDeleteObjectARB", "glShaderSourceARB", "glCompileShaderARB", "glLinkProgramARB",
                    "glValidateProgramARB", "glUseProgramObjectARB", "glGetObjectParameterivARB",
                    "glGetInfoLogARB", "glUniform1fARB", "glUniform1iARB", "glGetUniformLocationARB"]
    expected = [b"width=640", b"height=480", b"bpp=32", b"fullscreen=2",
                cp("Полная аппаратная поддержка"), b"Pixel Format:0", b"bits:32", b"accum:0",
                b"depth:24", b"stencil:0", b"flags:37", b" ", b"Init extensions", b""]
    expected += [b"GL_X exists"] * 7 + [b""] + [b"x init"] * 24 + [b"", b"wglSwapIntervalEXT init",
                                                                      b"x init", b"",
                                                                      b"Init extensions success", b" "]
    expected += [b"VENDOR:", b"RENDERER:", b"VERSION:", b"Init succes by params (640,480,32,2)", b"",
                 b"VideoCard stats:", b"Max Anistropic Level:1", b"Max Tex units:1",
                 b"Max Bindable Uniform Size:1", b"Bindable Uniform Vertex:1",
                 b"Bindable Uniform Fragment:1", b"Bindable Uniform Geometry:1",
                 cp("Версия успешно сверена"), cp("Версия библиотеки:") + str(0x02030000).encode(),
                 cp("Ошибка инициализации звука"), b"DevIL init success",
                 cp("Шрифт по умолчанию загружен (Tahoma 10px)"),
                 cp("гружу текстурный шрифт:Tahoma.txt"), b"filename(char):Tahoma.png",
                 b"file loaded:Tahoma.png", b"src->width = 256", b"src->height = 256", b"src->depth = 1",
                 b"src->type = 5121", b"src->format = 6408", b"src->comp = 0", b"src->numMipmaps = 0",
                 b"src->bpp = 4", b"bytes = 262144", b"saf: internalformat:4",
                 cp("загрузка текстурного шрифта закончилась успехом:Tahoma.txt"),
                 b"w=219", b"h=16", b"fw=256", b"fh=16",
                 cp("static draw add frase:саббакка баббка аф-фа-аф %!%^^^#$"),
                 b"DeInit", b"Logging closed"]
    return expected, entry_points


class Startup(unittest.TestCase):
    def test_windowed_run_logs_the_whole_transcript_draws_and_ends_with_escape(self):
        result, shot = run_until_first_frame_then_escape(self, make_folder(ini(640, 480, 32, 2)))
        self.assertEqual(result.returncode, 0)
        log = result.log
        expected, entry_points = transcript()
        self.assertEqual([masked(line) for line in log], [masked(line) for line in expected])
        # The entry-point lines name the rows in order.
        names = [line.rsplit(b" ", 1)[0].replace(b" not", b"") for line in log[22:46]]
        self.assertEqual(names, [n.encode() for n in entry_points])
        # Phrases cover the window's client area.
        self.assertGreater(mean_brightness(shot, "600x400+20+50"), 0.03)

    def test_frame_report_only_when_asked_and_the_transcript_stays_as_it_was(self):
        # Unset (every other test here), the log holds no report line; set, the reports come
        # between the lines of the same transcript.
        result, _ = run_until_first_frame_then_escape(self, make_folder(ini(640, 480, 32, 2)),
                                                      env={"GLYPHSTORM_FRAME_REPORT": "100"})
        self.assertEqual(result.returncode, 0)
        frames = [int(line[7:]) for line in result.log if re.fullmatch(rb"frames=\d+", line)]
        self.assertGreater(sum(frames), 0, result.log)
        self.assertGreaterEqual(len(frames), 3, "about ten reports a second for a second")
        rest = [masked(line) for line in result.log if not line.startswith(b"frames=")]
        self.assertEqual(rest, [masked(line) for line in transcript()[0]])

    def test_keys_switch_modes_space_repeats_frames_and_the_rate_is_drawn_white(self):
        run = start_program(make_folder(ini(640, 480, 32, 2)))
        try:
            run.wait_for_log(cp("static draw add frase:саббакка баббка аф-фа-аф %!%^^^#$"))
            x, y, _ = window_origin("Zumbrel")  # the title the loop sets
            time.sleep(1.0)
            mode2 = screenshot("glyphstorm-mode2.png")
            # The rate's white digits at (20, 20) of the client area, below the frame's caption.
            self.assertGreater(white_pixels(mode2, "40x24+%d+%d" % (x + 22, y + 41)), 3)
            wineharness.xdotool("key", "1")
            time.sleep(1.5)
            mode1 = screenshot("glyphstorm-mode1.png")
            self.assertGreater(mean_brightness(mode1, "600x400+%d+%d" % (x + 20, y + 50)), 0.03)
            # Space held: every frame restarts from seed 535, so frames repeat exactly (the rate
            # text aside).
            wineharness.xdotool("keydown", "space")
            time.sleep(1.0)
            first = screenshot("glyphstorm-space-1.png")
            time.sleep(0.7)
            second = screenshot("glyphstorm-space-2.png")
            wineharness.xdotool("keyup", "space")
            region = "600x380+%d+%d" % (x + 20, y + 90)
            self.assertEqual(differing_pixels(first, second, region), 0)
            self.assertGreater(differing_pixels(first, mode1, region), 1000)
            wineharness.xdotool("key", "2")
            time.sleep(0.5)
            wineharness.xdotool("key", "Escape")
            result = run.finish(timeout=30)
        finally:
            run.kill()
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.log[-2:], [b"DeInit", b"Logging closed"])

    def test_close_button_ends_the_run(self):
        run = start_program(make_folder(ini(640, 480, 32, 2)))
        try:
            run.wait_for_log(cp("static draw add frase:саббакка баббка аф-фа-аф %!%^^^#$"))
            x, y, width = window_origin("Zumbrel")
            wineharness.xdotool("mousemove", str(x + width - 12), str(y + 12), "click", "1")
            result = run.finish(timeout=30)
        finally:
            run.kill()
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.log[-2:], [b"DeInit", b"Logging closed"])

    def test_cancel_logs_the_settings_and_exits_without_a_window(self):
        result = wineharness.run(os.path.join(make_folder(ini(640, 480, 32, -1)), "glyphstorm.exe"),
                                 timeout=60)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.log, [b"width=640", b"height=480", b"bpp=32", b"fullscreen=-1"])

    def test_fullscreen_values_zero_and_three_start_windowed(self):
        for value in (0, 3):
            with self.subTest(fullscreen=value):
                result, _ = run_until_first_frame_then_escape(self, make_folder(ini(640, 480, 32, value)))
                self.assertEqual(result.returncode, 0)
                self.assertIn(b"fullscreen=%d" % value, result.log)
                self.assertIn(b"Init succes by params (640,480,32,%d)" % value, result.log)
                self.assertNotIn(b"Vantor", result.stderr.encode("latin-1"))

    def test_without_the_launcher_library_it_runs_windowed_at_800_by_600(self):
        result, shot = run_until_first_frame_then_escape(self, make_folder(leave_out=("vtAPI.dll",)))
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.log[:5], [cp("Не могу загрузить библиотеку vtAPI"), b"width=800",
                                          b"height=600", b"bpp=32", b"fullscreen=2"])
        self.assertIn(b"Init succes by params (800,600,32,2)", result.log)


if __name__ == "__main__":
    unittest.main()
