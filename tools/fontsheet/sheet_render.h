// Renders a TrueType font into the 16 x 16-cell glyph sheet with FreeType.
#pragma once

#include <string>

#include "glyph_sheet.h"

struct RenderOptions {
  // 11 px is the em of 8-point type at 96 dpi; Cyrillic capitals with marks (Й, Ё) and the
  // descenders of р, у, щ fit in a 16-pixel cell at this size.
  int pixelSize = 11;
  // Pixel rows above the baseline: room for accents on top, 4 rows below for descenders.
  int baselineRow = 12;
};

// Fills `sheet` with the glyphs of `fontFile` in Windows-1251 order; false with `error` set when
// the font cannot be opened or sized.
bool RenderGlyphSheet(const std::string& fontFile, const RenderOptions& options, GlyphSheet* sheet,
                      std::string* error);
