"""The conformance driver with the scripted library promising 524292 pixel bytes (65537² · 4,
wrapped to 32 bits) and holding 16: it hashes and dumps the 16, never what lies past them."""
import os
import subprocess
import sys
import tempfile
import unittest

DRIVER = sys.argv.pop(1) if len(sys.argv) > 1 else ""


def fnv1a(data):
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return value


class HeldPixels(unittest.TestCase):
    def test_only_the_held_bytes_are_read(self):
        with tempfile.TemporaryDirectory() as folder:
            env = dict(os.environ, SCRIPTED_DEVIL_IMAGE="65537 65537 4 16")
            done = subprocess.run([DRIVER, "--dump", folder, "scripted"], env=env,
                                  capture_output=True, text=True, timeout=60)
            self.assertEqual(0, done.returncode, done.stderr[-2000:])
            self.assertIn("bytes 524292 held 16\n", done.stdout)
            self.assertIn("pixels %08x\n" % fnv1a(b"\x80" * 16), done.stdout)
            with open(os.path.join(folder, "scripted.raw"), "rb") as dump:
                self.assertEqual(b"\x80" * 16, dump.read())


if __name__ == "__main__":
    unittest.main()
