// glyphstorm's GL drawing work, as every path of the GL reference program draws it: the phrase, the
// glyph sheet's cells and advance widths, each phrase's colour and place in glyphstorm's generator
// order, and the glyph quads built from them. Portable.
#pragma once

#include <cstdint>
#include <istream>
#include <vector>

// Windows-1251 bytes, 33 characters.
extern const char kGlPhrase[];
const int32_t kGlPhraseGlyphs = 33;
const int32_t kGlWidth = 800;
const int32_t kGlHeight = 600;
const int32_t kGlDefaultPhrases = 199;
// A glyph quad is a 16 x 16 pixel square showing one cell of the sheet's 16 x 16 grid.
const float kGlyphPixels = 16.0f;
const float kCellSpan = 1.0f / 16.0f;

struct GlyphWidths {
  int32_t advance[256] = {};
  int32_t phraseWidth = 0;
};

// "code = width" lines, as glyphstorm reads its font's widths. False when the phrase gets no
// width or one wider than the window (no place would be left for it).
bool ReadGlyphWidths(std::istream& in, GlyphWidths& widths);

struct PhrasePlace {
  uint8_t color[4];  // red, green, blue, 255
  int32_t x, y;      // top-left corner
};

// The next phrase's colour and place from the C library's generator, in glyphstorm's order:
// blue, green, red, x, y.
PhrasePlace NextPhrasePlace(int32_t phraseWidth);

struct QuadCorner {
  float u, v, x, y;
};

// The corners of `code`'s glyph quad with its top-left at (left, top), in the order GL_QUADS draws
// them: counter-clockwise on screen, so the culled back faces keep them.
inline void GlyphQuadCorners(unsigned char code, float left, float top, QuadCorner (&corners)[4]) {
  float u = float(code & 15) * kCellSpan, v = float(code >> 4) * kCellSpan;
  float right = left + kGlyphPixels, bottom = top + kGlyphPixels;
  corners[0] = QuadCorner{u, v, left, top};
  corners[1] = QuadCorner{u, v + kCellSpan, left, bottom};
  corners[2] = QuadCorner{u + kCellSpan, v + kCellSpan, right, bottom};
  corners[3] = QuadCorner{u + kCellSpan, v, right, top};
}

// One vertex of the vertex-array paths, in the layout they hand to GL.
struct GlyphVertex {
  float u, v;
  uint8_t color[4];
  float x, y, z;
};

// Writes the four corners of every glyph quad of the phrase placed at `place`, in GL_QUADS
// order; returns the end of what was written (kGlPhraseGlyphs * 4 vertices).
GlyphVertex* WritePhraseQuads(const GlyphWidths& widths, const PhrasePlace& place,
                              GlyphVertex* out);

// One corner of the phrase's glyph triangles, relative to the phrase's top-left.
struct PhraseCorner {
  float u, v, x, y;
};

// The phrase's glyph quads as two counter-clockwise triangles each, corners (0, 1, 2) and
// (0, 2, 3): the shape drawn once per phrase by the instanced path.
std::vector<PhraseCorner> PhraseTriangles(const GlyphWidths& widths);

// What the instanced path uploads per phrase.
struct PhraseInstance {
  float x, y;
  uint8_t color[4];
};
