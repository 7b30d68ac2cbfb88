"""gl_reference with the scripted image library: a glyph sheet the library holds only part of is
refused (exit 1) instead of read past the library's buffer; held whole, the same run draws."""
import os
import shutil
import tempfile
import unittest

import wineharness


def run_with_sheet(held_bytes):
    with tempfile.TemporaryDirectory() as folder:
        shutil.copy(os.path.join(wineharness.BIN, "gl_reference.exe"), folder)
        shutil.copy(os.path.join(wineharness.BIN, "scripted-devil", "DevIL.dll"), folder)
        shutil.copy(os.path.join(wineharness.BIN, "Tahoma.txt"), folder)
        open(os.path.join(folder, "Tahoma.png"), "wb").close()  # the scripted load ignores it
        return wineharness.run(os.path.join(folder, "gl_reference.exe"), ["phrase", "1"],
                               cwd=folder, env={"SCRIPTED_DEVIL_IMAGE": "256 256 4 %d" % held_bytes})


class ScriptedSheet(unittest.TestCase):
    def test_a_sheet_held_in_part_is_refused(self):
        done = run_with_sheet(16)
        self.assertEqual(1, done.returncode, done.stderr[-2000:])
        self.assertIn("Tahoma.png missing or unusable", done.stderr)

    def test_a_sheet_held_whole_is_drawn(self):
        done = run_with_sheet(256 * 256 * 4)
        self.assertEqual(0, done.returncode, done.stderr[-2000:])


if __name__ == "__main__":
    unittest.main()
