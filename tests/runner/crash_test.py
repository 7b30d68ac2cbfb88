"""A crashing Windows program under the build's Wine runner fails at once and says why.

Without this the prefix's crash debugger starts, hangs headless and holds the wineserver, so the
crash shows up minutes later as timeouts of unrelated tests.
"""
import os
import subprocess
import unittest

import wineharness


class CrashTest(unittest.TestCase):
    def test_a_crash_ends_the_run_with_the_fault_and_frees_the_server(self):
        # Twice: the second run shows the first left nothing behind that holds the server.
        for attempt in (1, 2):
            result = wineharness.run("crash_probe.exe", timeout=30)
            self.assertNotEqual(result.returncode, 0, f"run {attempt}")
            self.assertRegex(result.stderr, "Unhandled page fault on read access to 0+ at",
                             f"run {attempt}")


class WindowsExitTest(unittest.TestCase):
    def windows_exit(self, program):
        return subprocess.run([wineharness.RUNNER, "--windows-exit", os.path.join(wineharness.BIN, program)],
                              cwd=wineharness.BIN, env=dict(os.environ, WINEDEBUG="-all,+debugstr"),
                              stdin=subprocess.DEVNULL, capture_output=True, encoding="latin-1", timeout=60)

    def test_the_exit_code_windows_records_and_the_log_pass_through(self):
        done = self.windows_exit("log_probe.exe")
        self.assertEqual(3, done.returncode)
        self.assertIn(b"DeInit", wineharness.log_lines(done.stderr))
        self.assertEqual(wineharness.run("crash_probe.exe", timeout=30).returncode,
                         self.windows_exit("crash_probe.exe").returncode)


if __name__ == "__main__":
    unittest.main()
