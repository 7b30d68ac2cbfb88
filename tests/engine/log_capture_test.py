"""The harness reads the engine log of a real program run back from Wine's output."""
import unittest

import wineharness


class LogCapture(unittest.TestCase):
    def test_lines_come_back_byte_for_byte(self):
        run = wineharness.run("log_probe.exe")
        self.assertEqual(run.returncode, 3)
        self.assertEqual(run.log, [
            b"width=640",
            "Версия библиотеки:".encode("cp1251") + b"33751040",
            b"",
            b" ",
            b"quote\" backslash\\ tab\t bytes \x01\x7f\xff end",
            b"DeInit",
            b"Logging closed",
        ])

    def test_decoder_handles_wine_escapes(self):
        self.assertEqual(wineharness.decode_debugstr(r"a\nb\x41\\\"\t"), b"a\nbA\\\"\t")


if __name__ == "__main__":
    unittest.main()
