"""The GL reference paths draw the same picture: one frame of each from the same seed (gl_reference
--shot), read back from the back buffer and compared with the immediate-mode glyph quads. And a
desktop whose GL lacks what a buffer path needs gets the unavailable exit code, not a failure.

The frames stay in <build>/reference-artifacts for a look.
"""
import dataclasses
import os
import re
import subprocess
import unittest

import wineharness as wh

ARTIFACTS = os.path.join(os.path.dirname(wh.BIN.rstrip("/")), "reference-artifacts")
# Drawn from the same vertices with the same state as the glyph quads: nothing may differ.
SAME_QUADS = ["batched", "vbo", "instanced"]
# The phrase texture: sampled nearest (with 16x anisotropy for "phrase"), where the glyph sheet is
# filtered bilinearly a fraction of a texel off, so edges move by up to a texel.
PHRASE_TEXTURES = ["phrase", "isotropic"]
# The glyphs' alpha test drops fragments of alpha 0.1 or less, which the phrase quads blend.
ALPHA_CUT = 26
# Where glyph cells overlap, the phrase texture keeps the larger alpha while glyph quads blend
# twice; where phrases overlap, each blends onto other neighbours. 1.3 % here.
STRAY_SHARE = 0.03
# Filtering and alpha scale a pixel's channels alike, so a pixel bright enough to show its colour
# (brightest channel at least SOLID) keeps its channels' proportions to the brightest within
# HUE_TOLERANCE, but where phrases of different colours overlap the two filters mix them in
# other proportions: 0.8 % (phrase) and 4.1 % (isotropic) of such pixels here.
SOLID = 64
HUE_TOLERANCE = 0.2
OFF_HUE_SHARE = 0.1
# Bilinear filtering darkens the glyph sheet's ink at its edges (its empty texels are black) and
# the alpha test drops its faintest fragments: the phrase frame carries more ink, 1.28x here.
INK_RANGE = (1.0, 1.5)
EXIT_UNAVAILABLE = 3
UNAVAILABLE = re.compile(rb"^unavailable on this desktop: (.+)$")


@dataclasses.dataclass
class Frame:
    width: int
    height: int
    rgb: bytes  # top row first

    def plane(self, channel):
        return self.rgb[channel::3]

    def lit(self):
        return sum(1 for i in range(0, len(self.rgb), 3) if self.rgb[i:i + 3] != b"\0\0\0")

    def ink(self):
        return sum(self.rgb)


def read_ppm(path):
    with open(path, "rb") as f:
        magic, size, depth, rgb = f.read().split(b"\n", 3)
    width, height = map(int, size.split())
    assert (magic, depth, len(rgb)) == (b"P6", b"255", width * height * 3), path
    return Frame(width, height, rgb)


def differing_pixels(a, b):
    return sum(1 for i in range(0, len(a.rgb), 3) if a.rgb[i:i + 3] != b.rgb[i:i + 3])


def around(plane, width, height, pick):
    """pick (min or max) of each pixel's 3 x 3 neighbourhood, edges repeated."""
    rows = [plane[y * width:(y + 1) * width] for y in range(height)]
    padded = b"".join(r[:1] + r + r[-1:] for r in rows)
    across = bytes(map(pick, padded[:-2], padded[1:-1], padded[2:]))
    stride = width + 2
    across = b"".join(across[y * stride:y * stride + width] for y in range(height))
    column = across[:width] + across + across[-width:]
    return bytes(map(pick, column[:-2 * width], column[width:-width], column[2 * width:]))


def outside_neighbourhood(a, b, slack):
    """Pixels of a with a channel outside the range b has within one pixel, widened by slack."""
    outside = []
    for channel in range(3):
        low = around(b.plane(channel), b.width, b.height, min)
        high = around(b.plane(channel), b.width, b.height, max)
        outside.append(bytes(map(lambda v, lo, hi: v + slack < lo or v > hi + slack,
                                 a.plane(channel), low, high)))
    return sum(1 for flags in zip(*outside) if any(flags))


def hue(pixel):
    brightest = max(pixel)
    return [c / brightest for c in pixel] if brightest >= SOLID else None


def off_hue(a, b):
    """Solid pixels of a, and those with no pixel of the same hue within one pixel in b."""
    hues = [hue(b.rgb[i:i + 3]) for i in range(0, len(b.rgb), 3)]
    solid = off = 0
    for y in range(a.height):
        for x in range(a.width):
            mine = hue(a.rgb[(y * a.width + x) * 3:(y * a.width + x) * 3 + 3])
            if mine is None:
                continue
            near = [hues[v * b.width + u] for v in range(max(0, y - 1), min(b.height, y + 2))
                    for u in range(max(0, x - 1), min(b.width, x + 2))]
            solid += 1
            off += not any(h and all(abs(p - q) <= HUE_TOLERANCE for p, q in zip(mine, h))
                           for h in near)
    return solid, off


def run_reference(args, env=None):
    """gl_reference under Wine, its exit code as Windows records it (GL teardown can outlast the
    wineserver's patience), with its debugger output."""
    done = subprocess.run([wh.RUNNER, "--windows-exit", os.path.join(wh.BIN, "gl_reference.exe")]
                          + args, cwd=wh.BIN, capture_output=True, encoding="latin-1", timeout=120,
                          env=dict(os.environ, WINEDEBUG="-all,+debugstr", **(env or {})))
    return wh.Run(done.returncode, done.stdout, done.stderr)


def shoot(path):
    file = os.path.join(ARTIFACTS, "shot-%s.ppm" % path)
    if os.path.exists(file):
        os.remove(file)
    done = run_reference([path, "--shot", file])
    assert done.returncode == 0, "%s: exit code %s, log %r" % (path, done.returncode, done.log)
    return read_ppm(file)


def setUpModule():
    os.makedirs(ARTIFACTS, exist_ok=True)
    wh.ensure_display()


def tearDownModule():
    wh.release_display()


class SamePicture(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.glyphs = shoot("glyphs")

    def test_the_frame_shows_coloured_phrases(self):
        # Two blank frames would be equal too.
        self.assertGreater(self.glyphs.lit(), 100000)
        colours = {self.glyphs.rgb[i:i + 3] for i in range(0, len(self.glyphs.rgb), 3)}
        self.assertGreater(len(colours), 5000)

    def test_paths_from_the_same_quads_draw_the_same_pixels(self):
        for path in SAME_QUADS:
            with self.subTest(path=path):
                differing = differing_pixels(self.glyphs, shoot(path))
                print("%s: %d pixels differ from glyphs" % (path, differing))
                self.assertEqual(0, differing)

    def test_phrase_texture_paths_match_within_their_filtering(self):
        for path in PHRASE_TEXTURES:
            with self.subTest(path=path):
                self.assertWithinFiltering(shoot(path), path)

    def test_the_colour_check_catches_a_frame_without_its_colours(self):
        grey = bytearray(self.glyphs.rgb)
        for i in range(0, len(grey), 3):
            grey[i:i + 3] = bytes([max(grey[i:i + 3])] * 3)
        solid, off = off_hue(self.glyphs, Frame(self.glyphs.width, self.glyphs.height, bytes(grey)))
        self.assertGreater(off, OFF_HUE_SHARE * solid)

    def assertWithinFiltering(self, frame, path):
        stray = outside_neighbourhood(self.glyphs, frame, ALPHA_CUT)
        solid, off = off_hue(self.glyphs, frame)
        ink = frame.ink() / self.glyphs.ink()
        print("%s: of the glyphs' %d lit pixels %d outside its neighbourhood ± %d; of %d solid "
              "ones %d without their hue near; ink %.2fx the glyphs'"
              % (path, self.glyphs.lit(), stray, ALPHA_CUT, solid, off, ink))
        self.assertLessEqual(stray, STRAY_SHARE * self.glyphs.lit())
        self.assertLessEqual(off, OFF_HUE_SHARE * solid)
        self.assertGreaterEqual(ink, INK_RANGE[0])
        self.assertLessEqual(ink, INK_RANGE[1])


class Unavailable(unittest.TestCase):
    def test_a_desktop_without_what_a_path_needs_gets_its_own_exit_code(self):
        cases = [("instanced", {"MESA_GL_VERSION_OVERRIDE": "2.1",
                                "MESA_EXTENSION_OVERRIDE": "-GL_ARB_instanced_arrays"},
                  "without GL_ARB_instanced_arrays"),
                 ("vbo", {"MESA_GL_VERSION_OVERRIDE": "1.4",
                          "MESA_EXTENSION_OVERRIDE": "-GL_ARB_vertex_buffer_object"},
                  "needs OpenGL 1.5 or GL_ARB_vertex_buffer_object")]
        for path, env, reason in cases:
            with self.subTest(path=path):
                done = run_reference([path, "5"], env)
                self.assertEqual(EXIT_UNAVAILABLE, done.returncode, done.log)
                said = [m.group(1) for m in map(UNAVAILABLE.match, done.log) if m]
                self.assertEqual(1, len(said), done.log)
                self.assertIn(reason, said[0].decode("latin-1"))
                self.assertFalse([line for line in done.log if line.startswith(b"frames=")])


if __name__ == "__main__":
    unittest.main(verbosity=2)
