// The fontsheet tool: code page table, description text, rendering of the shipped font.
#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>
#include <iterator>

#include "cp1251.h"
#include "description_reader.h"
#include "glyph_sheet.h"
#ifdef FONTSHEET_RENDER
#include "font_data.h"
#endif

namespace {

// The system's own converter, or 0 where it has no character for the byte.
uint32_t IconvCp1251(iconv_t converter, uint8_t byte) {
  char in[1] = {char(byte)};
  uint32_t out = 0;
  char* inPtr = in;
  char* outPtr = reinterpret_cast<char*>(&out);
  size_t inLeft = 1, outLeft = sizeof out;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)) return 0;
  return out;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(Cp1251, MapsCyrillicAndMarksTheUndefinedByte) {
  EXPECT_EQ(Cp1251ToUnicode(0xC0), 0x0410u);  // А
  EXPECT_EQ(Cp1251ToUnicode(0xDF), 0x042Fu);  // Я
  EXPECT_EQ(Cp1251ToUnicode(0xE0), 0x0430u);  // а
  EXPECT_EQ(Cp1251ToUnicode(0xFF), 0x044Fu);  // я
  EXPECT_EQ(Cp1251ToUnicode(0xA8), 0x0401u);  // Ё
  EXPECT_EQ(Cp1251ToUnicode(0xB8), 0x0451u);  // ё
  EXPECT_EQ(Cp1251ToUnicode(0x98), 0u);
  EXPECT_EQ(Cp1251ToUnicode('A'), 0x41u);
}

TEST(Cp1251, AgreesWithIconvOnEveryByte) {
  iconv_t converter = iconv_open("UTF-32LE", "CP1251");
  if (converter == iconv_t(-1)) GTEST_SKIP() << "iconv has no CP1251";
  for (int byte = 1; byte < 256; ++byte)
    EXPECT_EQ(Cp1251ToUnicode(uint8_t(byte)), IconvCp1251(converter, uint8_t(byte)))
        << "byte 0x" << std::hex << byte;
  iconv_close(converter);
}

TEST(FontDescriptionText, ParsesBackIntoNameTextureAndWidths) {
  GlyphSheet sheet = MakeEmptySheet();
  sheet.hasGlyph[0] = true;  // a code whose key is a single digit
  sheet.hasGlyph[32] = true;
  sheet.widths[32] = 3;
  sheet.hasGlyph[255] = true;
  sheet.widths[255] = 7;
  sheet.widths[65] = 9;  // width without a glyph: not written
  FontDescription description =
      ParseFontDescription(FormatFontDescription("My Font", "my font.png", sheet));
  EXPECT_EQ(description.internalName, "My Font");
  EXPECT_EQ(description.texture, "my font.png");
  std::map<int, int> expected = {{0, 0}, {32, 3}, {255, 7}};
  EXPECT_EQ(description.widths, expected);
}

TEST(GlyphSheetLayout, CellOffsetsFollowByteCode) {
  EXPECT_EQ(CellTexelOffset(0, 0, 0), 0u);
  EXPECT_EQ(CellTexelOffset(0x41, 0, 0), (size_t(4 * 16) * 256 + 16) * 4);
  EXPECT_EQ(CellTexelOffset(0xFF, 15, 15), (size_t(256) * 256 - 1) * 4);
}

#ifdef FONTSHEET_RENDER
class ShippedFont : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::ifstream(GLYPHSTORM_FONT_TTF).good())
      GTEST_SKIP() << GLYPHSTORM_FONT_TTF << " missing (fonts-wine)";
    std::string error;
    ASSERT_TRUE(MakeFontData(GLYPHSTORM_FONT_TTF, "Tahoma", RenderOptions(), &files, &error))
        << error;
  }
  FontDataFiles files;
};

TEST_F(ShippedFont, NoGlyphLeavesItsCell) {
  for (int code = 0; code < 256; ++code)
    EXPECT_EQ(files.sheet.clippedTexels[code], 0) << "byte 0x" << std::hex << code;
}

TEST_F(ShippedFont, HasTheCyrillicAlphabetAndNoControlCodes) {
  for (int code = 0xC0; code <= 0xFF; ++code) EXPECT_TRUE(files.sheet.hasGlyph[code]) << code;
  EXPECT_TRUE(files.sheet.hasGlyph[0xA8]);
  EXPECT_TRUE(files.sheet.hasGlyph[0xB8]);
  for (int code = 0; code < 32; ++code) EXPECT_FALSE(files.sheet.hasGlyph[code]) << code;
  EXPECT_FALSE(files.sheet.hasGlyph[0x98]);
}

TEST_F(ShippedFont, RegeneratingReproducesTheCommittedFiles) {
  EXPECT_TRUE(files.description == ReadFile(GLYPHSTORM_DATA_DIR "/Tahoma.txt"))
      << "data/Tahoma.txt is stale: run scripts/make-font-data";
  std::string png(files.png.begin(), files.png.end());
  EXPECT_TRUE(png == ReadFile(GLYPHSTORM_DATA_DIR "/Tahoma.png"))
      << "data/Tahoma.png is stale: run scripts/make-font-data";
}
#endif
