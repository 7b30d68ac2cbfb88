// Produces the shipped font data: glyph sheet PNG and font description file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "glyph_sheet.h"
#include "sheet_render.h"

struct FontDataFiles {
  std::string description;   // contents of "<name>.txt"
  std::vector<uint8_t> png;  // contents of "<name>.png"
  GlyphSheet sheet;
};

// 8-bit RGBA PNG of the sheet, rows top first (the order the image library delivers them).
std::vector<uint8_t> EncodeSheetPng(const GlyphSheet& sheet);

// Render `fontFile` and build both files for the font called `name`.
bool MakeFontData(const std::string& fontFile, const std::string& name,
                  const RenderOptions& options, FontDataFiles* files, std::string* error);

// Write "<name>.txt" and "<name>.png" into `outputDir`.
bool WriteFontData(const FontDataFiles& files, const std::string& outputDir,
                   const std::string& name, std::string* error);
