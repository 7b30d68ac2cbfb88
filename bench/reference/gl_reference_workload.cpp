#include "gl_reference_workload.h"

#include <cstdio>
#include <cstdlib>
#include <string>

const char kGlPhrase[] = "саббакка баббка аф-фа-аф %!%^^^#$";
static_assert(sizeof(kGlPhrase) == kGlPhraseGlyphs + 1, "33 single-byte characters");

namespace {

const unsigned char* PhraseBytes() { return reinterpret_cast<const unsigned char*>(kGlPhrase); }

}  // namespace

bool ReadGlyphWidths(std::istream& in, GlyphWidths& widths) {
  widths = GlyphWidths{};
  std::string line;
  int code = 0, width = 0;
  while (std::getline(in, line)) {
    if (std::sscanf(line.c_str(), "%d = %d", &code, &width) == 2 && code >= 0 && code < 256)
      widths.advance[code] = width;
  }
  int64_t total = 0;
  for (const unsigned char* c = PhraseBytes(); *c; ++c) total += widths.advance[*c];
  if (total <= 0 || total > kGlWidth) return false;
  widths.phraseWidth = int32_t(total);
  return true;
}

PhrasePlace NextPhrasePlace(int32_t phraseWidth) {
  PhrasePlace p;
  p.color[2] = uint8_t(std::rand() % 256);
  p.color[1] = uint8_t(std::rand() % 256);
  p.color[0] = uint8_t(std::rand() % 256);
  p.color[3] = 255;
  p.x = std::rand() % (kGlWidth - phraseWidth + 1);
  p.y = std::rand() % (kGlHeight - 15);
  return p;
}

GlyphVertex* WritePhraseQuads(const GlyphWidths& widths, const PhrasePlace& place,
                              GlyphVertex* out) {
  float pen = float(place.x), top = float(place.y);
  const uint8_t* c4 = place.color;
  QuadCorner corners[4];
  for (const unsigned char* c = PhraseBytes(); *c; ++c) {
    GlyphQuadCorners(*c, pen, top, corners);
    for (const QuadCorner& k : corners)
      *out++ = GlyphVertex{k.u, k.v, {c4[0], c4[1], c4[2], c4[3]}, k.x, k.y, 0.0f};
    pen += float(widths.advance[*c]);
  }
  return out;
}

std::vector<PhraseCorner> PhraseTriangles(const GlyphWidths& widths) {
  const int kTriangleCorners[6] = {0, 1, 2, 0, 2, 3};
  std::vector<PhraseCorner> triangles;
  triangles.reserve(kGlPhraseGlyphs * 6);
  float pen = 0.0f;
  QuadCorner corners[4];
  for (const unsigned char* c = PhraseBytes(); *c; ++c) {
    GlyphQuadCorners(*c, pen, 0.0f, corners);
    for (int k : kTriangleCorners)
      triangles.push_back(PhraseCorner{corners[k].u, corners[k].v, corners[k].x, corners[k].y});
    pen += float(widths.advance[*c]);
  }
  return triangles;
}
