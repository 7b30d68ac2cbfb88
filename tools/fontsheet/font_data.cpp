#include "font_data.h"

#include <cstdio>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

namespace {

void AppendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

bool WriteFile(const std::string& path, const void* data, size_t size, std::string* error) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    *error = "cannot create " + path;
    return false;
  }
  bool ok = std::fwrite(data, 1, size, file) == size;
  ok = std::fclose(file) == 0 && ok;
  if (!ok) *error = "cannot write " + path;
  return ok;
}

}  // namespace

std::vector<uint8_t> EncodeSheetPng(const GlyphSheet& sheet) {
  std::vector<uint8_t> png;
  stbi_write_png_to_func(AppendBytes, &png, kSheetSize, kSheetSize, 4, sheet.rgba.data(),
                         kSheetSize * 4);
  return png;
}

bool MakeFontData(const std::string& fontFile, const std::string& name,
                  const RenderOptions& options, FontDataFiles* files, std::string* error) {
  if (!RenderGlyphSheet(fontFile, options, &files->sheet, error)) return false;
  files->description = FormatFontDescription(name, name + ".png", files->sheet);
  files->png = EncodeSheetPng(files->sheet);
  if (files->png.empty()) {
    *error = "PNG encoding failed";
    return false;
  }
  return true;
}

bool WriteFontData(const FontDataFiles& files, const std::string& outputDir,
                   const std::string& name, std::string* error) {
  std::string base = outputDir.empty() ? name : outputDir + "/" + name;
  return WriteFile(base + ".txt", files.description.data(), files.description.size(), error) &&
         WriteFile(base + ".png", files.png.data(), files.png.size(), error);
}
