"""The image library runtime against the reference library: the same driver source, built once
with each, loads the same generated files; their reports must agree except where noted below.

usage: conformance_test.py REFERENCE_DRIVER OUR_DRIVER [unittest args]
"""
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import samples  # noqa: E402

REFERENCE, OURS = sys.argv[1], sys.argv[2]
del sys.argv[1:3]

FAILED_LOAD = ["loaded no", "size 1x1x1", "type 0x1401 format 0x1909",
               "comp none numMipmaps 0 bpp 1 bytes 1 held 1"]

# Deliberate differences, each with its reason. Everything not listed must agree line by line.
# JPEG: the two libraries' decoders round their inverse transforms differently; the pixels
# agree within JPEG_TOLERANCE per byte.
JPEG_FILES = {"rgb.jpg", "grey.jpg"}
JPEG_TOLERANCE = 4
# The reference has no clean failure for these: it reports a half-made image after a failed
# load, reports success for sizes it cannot hold, or crashes. Ours fails and leaves the image
# untouched (1 x 1 x 1 luminance for a freshly generated one).
MUST_FAIL_CLEANLY = {
    "truncated_data.png": "reference keeps the header's sizes after the failed load",
    "truncated_mips.dds": "reference keeps the base level after the failed load",
    "huge.bmp": "reference reports a 2147483647 x 2147483647 image as loaded",
    "huge.tga": "reference allocates and hashes over 4 GiB for it: not given to the reference",
    "huge.dds": "reference crashes",
}
NOT_FOR_REFERENCE = {"huge.tga"}
# The reference rejects BMP files with the newer (V4/V5) headers; ours reads them. The sample
# holds the same picture as odd_width.bmp.
READS_NEWER_BMP = "v5_header.bmp"
# GIF goes through the general decoder, which expands the palette: RGBA instead of colour
# indices. The engine loads no GIF files.
GIF_FILE = "palette.gif"


def parse_report(text):
    """{file name: [report lines]} from the driver's output; the versions line is kept apart."""
    reports, current, versions = {}, None, None
    for line in text.splitlines():
        if line.startswith("versions "):
            versions = line
        elif line.startswith("file "):
            current = os.path.basename(line[5:])
            reports[current] = []
        elif current:
            reports[current].append(line.strip())
    return versions, reports


def field(report, prefix):
    return next(line for line in report if line.startswith(prefix))


class Conformance(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        root = cls.tmp.name
        cls.files = samples.make_all(os.path.join(root))
        cls.dumps = {"ours": os.path.join(root, "ours"), "reference": os.path.join(root, "ref")}
        for folder in cls.dumps.values():
            os.mkdir(folder)
        names = sorted(cls.files)
        out = subprocess.run([OURS, "--dump", cls.dumps["ours"]] + [cls.files[n] for n in names],
                             check=True, capture_output=True, text=True).stdout
        cls.versions, cls.ours = parse_report(out)
        # One process per file: the reference crashes on some of the bad input.
        cls.reference, cls.reference_crashed = {}, set()
        for name in sorted(set(names) - NOT_FOR_REFERENCE):
            run = subprocess.run([REFERENCE, "--dump", cls.dumps["reference"], cls.files[name]],
                                 capture_output=True, text=True)
            if run.returncode != 0:
                cls.reference_crashed.add(name)
                continue
            cls.reference.update(parse_report(run.stdout)[1])

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def dump(self, who, name):
        with open(os.path.join(self.dumps[who], name + ".raw"), "rb") as f:
            return f.read()

    def test_versions_are_180(self):
        self.assertEqual(self.versions, "versions il 180 ilu 180")

    def test_reports_agree(self):
        special = JPEG_FILES | set(MUST_FAIL_CLEANLY) | {READS_NEWER_BMP, GIF_FILE}
        for name in sorted(set(self.files) - special):
            with self.subTest(file=name):
                ours, ref = self.ours[name], self.reference[name]
                if ours[0] == "loaded no":
                    # A failed load's one pixel is uninitialised memory in the reference.
                    self.assertEqual(ours[:4], FAILED_LOAD)
                    self.assertEqual(ref[:4], FAILED_LOAD)
                else:
                    self.assertEqual(ours, ref)

    def test_every_row_of_the_format_list_is_covered(self):
        expected = {
            "rgba.png": "type 0x1401 format 0x1908", "rgb.png": "type 0x1401 format 0x1907",
            "rgb16.png": "type 0x1403 format 0x1907", "palette_grey.png": "type 0x1401 format 0x1900",
            "rgb.tga": "type 0x1401 format 0x80e0", "rgba.tga": "type 0x1401 format 0x80e1",
            "rgb.bmp": "type 0x1401 format 0x80e0", "rgb.jpg": "type 0x1401 format 0x1907",
            "dxt1.dds": "type 0x1401 format 0x1908", "dxt5.dds": "type 0x1401 format 0x1908",
        }
        for name, layout in expected.items():
            with self.subTest(file=name):
                self.assertEqual(field(self.ours[name], "loaded"), "loaded yes")
                self.assertEqual(field(self.ours[name], "type"), layout)
        self.assertEqual(field(self.ours["rgb16.png"], "comp"), "comp none numMipmaps 0 bpp 6 bytes 24576 held 24576")
        self.assertEqual(field(self.ours["dxt1.dds"], "comp"), "comp DXT1 numMipmaps 6 bpp 4 bytes 16384 held 16384")
        self.assertEqual(field(self.ours["dxt5.dds"], "comp"), "comp DXT5 numMipmaps 6 bpp 4 bytes 16384 held 16384")
        for name in ["missing.png", "empty.png", "truncated_header.png", "text.png", "text.dat"]:
            with self.subTest(file=name):
                self.assertEqual(self.ours[name][:4], FAILED_LOAD)

    def test_kept_dxt_levels_are_the_file_blocks(self):
        for name, first, block in [("dxt1.dds", 128, 8), ("dxt5.dds", 128, 16)]:
            levels = [line for line in self.ours[name] if line.startswith("level ")]
            self.assertEqual(len(levels), 7)
            sizes = [int(line.split(" dxtc ")[1].split()[0]) for line in levels]
            self.assertEqual(sizes, [s * block // 8 for s in [2048, 512, 128, 32, 8, 8, 8]])

    def test_rows_come_in_stored_order(self):
        stored = bytes([10, 20, 30] * 2 + [40, 50, 60] * 2 + [70, 80, 90] * 2)
        self.assertEqual(self.dump("ours", "bottom_left.tga"), stored)
        self.assertEqual(self.dump("ours", "top_left.tga"), stored)
        # A bottom-up BMP of the PNG's picture: the same rows, reversed, in BGR order.
        png, bmp = self.dump("ours", "rgb.png"), self.dump("ours", "rgb.bmp")
        rows = [png[y * 192:(y + 1) * 192] for y in range(64)]
        bgr_rows = [b"".join(row[x:x + 3][::-1] for x in range(0, 192, 3)) for row in rows]
        self.assertEqual(bmp, b"".join(reversed(bgr_rows)))

    def test_jpeg_pixels_within_tolerance(self):
        for name in JPEG_FILES:
            with self.subTest(file=name):
                ours, ref = self.ours[name], self.reference[name]
                self.assertEqual(ours[:4], ref[:4])
                a, b = self.dump("ours", name), self.dump("reference", name)
                self.assertEqual(len(a), len(b))
                self.assertLessEqual(max(abs(x - y) for x, y in zip(a, b)), JPEG_TOLERANCE)

    def test_bad_input_fails_cleanly(self):
        for name, reason in MUST_FAIL_CLEANLY.items():
            with self.subTest(file=name, reference=reason):
                self.assertEqual(self.ours[name][:4], FAILED_LOAD)

    def test_newer_bmp_headers_are_read(self):
        self.assertEqual(self.reference[READS_NEWER_BMP][0], "loaded no")
        self.assertEqual(self.ours[READS_NEWER_BMP], self.ours["odd_width.bmp"])

    def test_gif_expands_its_palette(self):
        self.assertEqual(field(self.reference[GIF_FILE], "type"), "type 0x1401 format 0x1900")
        self.assertEqual(field(self.ours[GIF_FILE], "type"), "type 0x1401 format 0x1908")


if __name__ == "__main__":
    unittest.main()
