// fontsheet: renders a TrueType font into the glyph sheet and font description of the texture
// font.  Usage: fontsheet FONT.ttf OUTPUT_DIR [NAME [PIXEL_SIZE [BASELINE_ROW]]]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "font_data.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: fontsheet FONT.ttf OUTPUT_DIR [NAME [PIXEL_SIZE [BASELINE_ROW]]]\n"
               "  writes OUTPUT_DIR/NAME.txt and OUTPUT_DIR/NAME.png (NAME defaults to Tahoma)\n");
  return 2;
}

// Tell which glyphs did not fit their cell, so a size or baseline change can be judged.
void ReportClipping(const GlyphSheet& sheet) {
  for (int code = 0; code < 256; ++code) {
    if (sheet.clippedTexels[code] > 0)
      std::fprintf(stderr, "fontsheet: byte 0x%02X: %d covered texels outside its cell\n", code,
                   sheet.clippedTexels[code]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 6) return Usage();
  std::string name = argc > 3 ? argv[3] : "Tahoma";
  RenderOptions options;
  if (argc > 4) options.pixelSize = std::atoi(argv[4]);
  if (argc > 5) options.baselineRow = std::atoi(argv[5]);
  if (name.empty() || options.pixelSize < 1 || options.baselineRow < 0 ||
      options.baselineRow > kCellSize)
    return Usage();

  FontDataFiles files;
  std::string error;
  if (!MakeFontData(argv[1], name, options, &files, &error) ||
      !WriteFontData(files, argv[2], name, &error)) {
    std::fprintf(stderr, "fontsheet: %s\n", error.c_str());
    return 1;
  }
  ReportClipping(files.sheet);
  return 0;
}
