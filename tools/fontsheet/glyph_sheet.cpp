#include "glyph_sheet.h"

GlyphSheet MakeEmptySheet() {
  GlyphSheet sheet;
  sheet.rgba.assign(size_t(kSheetSize) * kSheetSize * 4, 0);
  return sheet;
}

size_t CellTexelOffset(int code, int x, int y) {
  int sheetX = (code % kCellsPerRow) * kCellSize + x;
  int sheetY = (code / kCellsPerRow) * kCellSize + y;
  return (size_t(sheetY) * kSheetSize + sheetX) * 4;
}

std::string FormatFontDescription(const std::string& internalName, const std::string& textureFile,
                                  const GlyphSheet& sheet) {
  // "key = value": a single '=' token between single spaces, so the value is taken whole.
  std::string text = "internalname = " + internalName + "\n";
  text += "texture = " + textureFile + "\n";
  for (int code = 0; code < 256; ++code) {
    if (sheet.hasGlyph[code])
      text += std::to_string(code) + " = " + std::to_string(sheet.widths[code]) + "\n";
  }
  return text;
}
