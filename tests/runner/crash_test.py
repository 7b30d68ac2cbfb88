"""A crashing Windows program under the build's Wine runner fails at once and says why.

Without this the prefix's crash debugger starts, hangs headless and holds the wineserver, so the
crash shows up minutes later as timeouts of unrelated tests.
"""
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


if __name__ == "__main__":
    unittest.main()
