"""The build helpers of cmake/GlyphstormHelpers.cmake, called by a probe project: the command a
DESKTOP test gets with and without a Wine runner, and the generated stdcall checks, compiled with
the i686 compiler against headers that break them.

Environment (set by ctest): GLYPHSTORM_CMAKE = cmake."""
import os
import re
import subprocess
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
CMAKE = os.environ.get("GLYPHSTORM_CMAKE", "cmake")
PROBE = os.path.join(HERE, "probe")


def Run(command):
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return done.returncode, done.stdout


def Configure(build, *options):
    status, output = Run([CMAKE, "-S", PROBE, "-B", build, f"-DGLYPHSTORM_SOURCE={TOP}", *options])
    if status != 0:
        raise AssertionError("probe did not configure:\n" + output)


def TestCommand(build, name):
    with open(os.path.join(build, "CTestTestfile.cmake")) as testfile:
        # add_test([=[name]=] "argument" ...) in CMake 3.25, add_test(name ...) before.
        pattern = r"^add_test\((?:\[=\[)?%s(?:\]=\])? (.*)\)$" % re.escape(name)
        line = re.search(pattern, testfile.read(), re.M)
    return re.findall(r'"((?:[^"\\]|\\.)*)"', line.group(1)) if line else []


class DesktopTest(unittest.TestCase):
    def test_the_runner_makes_the_desktop_and_without_one_the_program_runs_itself(self):
        with tempfile.TemporaryDirectory() as build:
            runner = os.path.join(build, "wine-run")
            Configure(os.path.join(build, "cross"), "-DPROBE=desktop",
                      f"-DCMAKE_CROSSCOMPILING_EMULATOR={runner}")
            command = TestCommand(os.path.join(build, "cross"), "desktop_probe")
            self.assertEqual(command[:3], [runner, "--desktop", "800x600"])
            self.assertRegex(command[3], r"/bin/desktop_probe(\.exe)?$")

            Configure(os.path.join(build, "native"), "-DPROBE=desktop")
            command = TestCommand(os.path.join(build, "native"), "desktop_probe")
            self.assertRegex(command[0], r"/bin/desktop_probe(\.exe)?$")
            self.assertEqual(command[1:], ["--gtest_brief=1"])


class StdcallChecks(unittest.TestCase):
    def test_the_i686_build_stops_at_a_header_that_differs_from_the_export_list(self):
        with tempfile.TemporaryDirectory() as build:
            Configure(build, "-DPROBE=stdcall",
                      f"-DCMAKE_TOOLCHAIN_FILE={TOP}/cmake/mingw-i686.cmake")
            for header, message in [("stdcall", None),
                                    ("cdecl", "ProbeCall is not __stdcall"),
                                    ("bytes", "ProbeCall does not take 8 argument bytes")]:
                with self.subTest(header):
                    status, output = Run([CMAKE, "--build", build, "--target", header + "_checks"])
                    if message is None:
                        self.assertEqual(status, 0, output)
                    else:
                        self.assertNotEqual(status, 0, output)
                        self.assertIn(message, output)
                        self.assertIn("static assertion failed", output)


if __name__ == "__main__":
    unittest.main()
