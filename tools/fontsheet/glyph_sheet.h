// The glyph sheet in memory and the font description text that goes with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kCellSize = 16;     // pixels per cell side; also the drawn quad's size
constexpr int kCellsPerRow = 16;  // byte code c: column c % 16, row c / 16
constexpr int kSheetSize = kCellSize * kCellsPerRow;

struct GlyphSheet {
  std::vector<uint8_t> rgba;  // kSheetSize^2 RGBA texels, first row = top of picture
  bool hasGlyph[256] = {};
  int widths[256] = {};         // advance in whole pixels, for codes with a glyph
  int clippedTexels[256] = {};  // covered texels that fell outside the code's cell
};

// An empty, fully transparent sheet.
GlyphSheet MakeEmptySheet();

// Byte offset of texel (x, y) of the cell of `code`.
size_t CellTexelOffset(int code, int x, int y);

// "internalname", "texture" and one "code = width" line per code with a glyph, LF line ends.
std::string FormatFontDescription(const std::string& internalName, const std::string& textureFile,
                                  const GlyphSheet& sheet);
