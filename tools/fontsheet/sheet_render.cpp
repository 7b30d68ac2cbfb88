#include "sheet_render.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include "cp1251.h"

namespace {

// Copy the rendered coverage into the cell: pen at the cell's left edge, baseline at
// `baselineRow`. Texels that would leave the cell are counted, not drawn.
void BlitGlyph(const FT_GlyphSlot slot, int code, int baselineRow, GlyphSheet* sheet) {
  const FT_Bitmap& bitmap = slot->bitmap;
  // A negative bearing would fall into the neighbouring cell; the quad starts at the pen.
  int left = slot->bitmap_left < 0 ? 0 : slot->bitmap_left;
  int top = baselineRow - slot->bitmap_top;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const unsigned char* line = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
    for (unsigned column = 0; column < bitmap.width; ++column) {
      uint8_t coverage = line[column];
      if (coverage == 0) continue;
      int x = left + int(column);
      int y = top + int(row);
      if (x < 0 || x >= kCellSize || y < 0 || y >= kCellSize) {
        ++sheet->clippedTexels[code];
        continue;
      }
      uint8_t* texel = &sheet->rgba[CellTexelOffset(code, x, y)];
      texel[0] = texel[1] = texel[2] = 255;
      texel[3] = coverage;
    }
  }
}

// Render one byte code; false when the font has no glyph for it.
bool RenderCode(FT_Face face, int code, int baselineRow, GlyphSheet* sheet) {
  if (code < 32) return false;  // control codes
  uint32_t codePoint = Cp1251ToUnicode(uint8_t(code));
  if (codePoint == 0 || codePoint == 0x7F) return false;
  FT_UInt index = FT_Get_Char_Index(face, codePoint);
  if (index == 0) return false;
  // Outlines only: embedded bitmap strikes would come without antialiasing.
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return false;
  if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
  if (face->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return false;
  sheet->hasGlyph[code] = true;
  sheet->widths[code] = int((face->glyph->advance.x + 32) >> 6);
  BlitGlyph(face->glyph, code, baselineRow, sheet);
  return true;
}

}  // namespace

bool RenderGlyphSheet(const std::string& fontFile, const RenderOptions& options, GlyphSheet* sheet,
                      std::string* error) {
  *sheet = MakeEmptySheet();
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) {
    *error = "cannot start FreeType";
    return false;
  }
  FT_Face face = nullptr;
  bool ok = false;
  if (FT_New_Face(library, fontFile.c_str(), 0, &face) != 0) {
    *error = "cannot open font " + fontFile;
  } else if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(options.pixelSize)) != 0) {
    *error = "font cannot be sized to " + std::to_string(options.pixelSize) + " px";
  } else {
    for (int code = 0; code < 256; ++code) RenderCode(face, code, options.baselineRow, sheet);
    ok = true;
  }
  if (face) FT_Done_Face(face);
  FT_Done_FreeType(library);
  return ok;
}
