"""The release zip as a Windows user gets it: unpacked into an empty folder, both programs run
from there under Wine (so nothing of the build tree can stand in for a missing file), and every
DLL the shipped files import is either in the zip or part of Windows.

Environment (set by ctest): GLYPHSTORM_PACKAGE = the zip, GLYPHSTORM_OBJDUMP = the toolchain's
objdump; GLYPHSTORM_BIN and GLYPHSTORM_RUN as for every end-to-end test.
"""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest
import zipfile

import wineharness as wh

PACKAGE = os.environ.get("GLYPHSTORM_PACKAGE", "")
OBJDUMP = os.environ.get("GLYPHSTORM_OBJDUMP", "objdump")

PROGRAMS = ["glyphstorm.exe", "glyphstorm2d.exe"]
# The benchmark runner and the reference programs it compares with.
BENCH = ["glyphstorm-bench.exe", "gl_reference.exe", "ddraw_reference.exe", "gdi_reference.exe",
         "gdiplus_reference.exe", "d2d_reference.exe"]
LIBRARIES = ["DevIL.dll", "ILU.dll", "ILUT.dll", "bass.dll", "vtAPI.dll"]
CONTENTS = PROGRAMS + BENCH + LIBRARIES + ["Tahoma.txt", "Tahoma.png", "paths.json", "README.txt",
                                           "example/vtAPI.ini"]
# DLLs every Windows installation has (lower case).
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
               "ole32.dll", "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "winmm.dll",
               "opengl32.dll", "glu32.dll", "msvcrt.dll", "version.dll", "shlwapi.dll",
               "imm32.dll", "ddraw.dll", "dinput.dll", "dsound.dll", "ws2_32.dll", "gdiplus.dll",
               "d2d1.dll", "dwrite.dll"}

SWAP = re.compile(r"^[0-9a-f]+:trace:wgl:glxdrv_wglSwapBuffers\b")
FLIP = re.compile(r"^[0-9a-f]+:trace:ddraw:ddraw_surface7_Flip\b")


def setUpModule():
    wh.ensure_display()


def tearDownModule():
    wh.release_display()


class Traced:
    """A program of the unpacked folder under Wine, in a session of its own (so a failed test
    ends the runner and Wine's process together), its stderr collected as it comes."""

    def __init__(self, path, env, desktop=None):
        cmd = [wh.RUNNER] + (["--desktop", desktop] if desktop else []) + [path]
        self.process = subprocess.Popen(cmd, cwd=os.path.dirname(path), env=dict(os.environ, **env),
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE, encoding="latin-1",
                                        start_new_session=True)
        self.lines = []
        self.reader = threading.Thread(target=lambda: self.lines.extend(self.process.stderr),
                                       daemon=True)
        self.reader.start()

    def count(self, pattern):
        return sum(1 for line in list(self.lines) if pattern.match(line))

    def wait_for(self, pattern, at_least, timeout=60):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.count(pattern) >= at_least:
                return
            if self.process.poll() is not None:
                break
            time.sleep(0.2)
        raise AssertionError("%d of %d %s lines (exit %s); last output:\n%s" % (
            self.count(pattern), at_least, pattern.pattern, self.process.poll(),
            "".join(self.lines[-20:])))

    def finish(self, timeout=30):
        code = self.process.wait(timeout=timeout)
        self.reader.join(timeout=5)
        self.process.stderr.close()
        return code

    def kill(self):
        if self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.process.wait()
            self.reader.join(timeout=5)
            self.process.stderr.close()


class ReleaseZip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.isfile(PACKAGE):
            raise AssertionError("%s is missing: build it with cmake --build <tree> --target package"
                                 % PACKAGE)
        built = max(os.path.getmtime(os.path.join(wh.BIN, name)) for name in PROGRAMS + BENCH + LIBRARIES)
        if os.path.getmtime(PACKAGE) < built:
            raise AssertionError("%s is older than the programs: build the package target again"
                                 % PACKAGE)
        cls.unpacked = tempfile.mkdtemp(prefix="glyphstorm-zip-")
        with zipfile.ZipFile(PACKAGE) as archive:
            cls.names = archive.namelist()
            archive.extractall(cls.unpacked)
        cls.top = os.path.splitext(os.path.basename(PACKAGE))[0]
        cls.folder = os.path.join(cls.unpacked, cls.top)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.unpacked, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.folder, name)

    def test_holds_the_programs_the_runner_their_dlls_data_and_texts_in_one_folder(self):
        self.assertRegex(self.top, r"^glyphstorm-\d+\.\d+\.\d+-win(32|64)$")
        files = sorted(n[len(self.top) + 1:] for n in self.names if not n.endswith("/"))
        self.assertEqual(files, sorted(CONTENTS))
        for text in ("README.txt", "example/vtAPI.ini"):
            with open(self.path(text), "rb") as f:
                content = f.read()
            self.assertIsNone(re.search(rb"@\w+@", content), text + ": a template variable was left")
            self.assertEqual(content.count(b"\n"), content.count(b"\r\n"), text + ": not CRLF")
            content.decode("ascii")

    def test_every_imported_dll_is_in_the_zip_or_part_of_windows(self):
        shipped = {name.lower() for name in LIBRARIES}
        for name in PROGRAMS + BENCH + LIBRARIES:
            with self.subTest(file=name):
                dump = subprocess.run([OBJDUMP, "-p", self.path(name)], capture_output=True,
                                      text=True, check=True).stdout
                imports = {m.lower() for m in re.findall(r"^\s*DLL Name: (\S+)", dump, re.M)}
                self.assertIn("kernel32.dll", imports)
                self.assertEqual(imports - shipped - SYSTEM_DLLS, set())

    def test_glyphstorm_runs_from_the_unpacked_folder_with_the_example_settings(self):
        # As README.txt says: the example beside vtAPI.dll replaces the dialog.
        shutil.copy(self.path("example/vtAPI.ini"), self.path("vtAPI.ini"))
        run = Traced(self.path("glyphstorm.exe"), {"WINEDEBUG": "-all,err+module,+debugstr,trace+wgl"})
        try:
            run.wait_for(SWAP, 30)
            wh.xdotool("key", "Escape")
            code = run.finish()
        finally:
            run.kill()
            os.remove(self.path("vtAPI.ini"))
        self.assertEqual(code, 0)
        log = wh.log_lines("".join(run.lines))
        self.assertEqual(log[:4], [b"width=800", b"height=600", b"bpp=32", b"fullscreen=2"])
        for line in (b"DevIL init success", "Версия успешно сверена".encode("cp1251"),
                     b"file loaded:Tahoma.png", b"bytes = 262144",
                     "загрузка текстурного шрифта закончилась успехом:Tahoma.txt".encode("cp1251")):
            self.assertIn(line, log)
        self.assertEqual(log[-2:], [b"DeInit", b"Logging closed"])

    def test_glyphstorm2d_runs_from_the_unpacked_folder(self):
        run = Traced(self.path("glyphstorm2d.exe"),
                     {"WINEDEBUG": "-all,err+module,trace+ddraw", "LC_ALL": "ru_RU.UTF-8"}, desktop="800x600")
        try:
            wh.wait_for_window("^glyphstorm-800x600 - Wine desktop$", timeout=30)
            run.wait_for(FLIP, 30)
            wh.xdotool("keydown", "Escape")
            time.sleep(0.3)  # read once per frame: held long enough to be seen
            wh.xdotool("keyup", "Escape")
            code = run.finish()
        finally:
            run.kill()
        self.assertEqual(code, 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
