// The shipped font data: glyph sheet picture and font description file.
#include <gtest/gtest.h>

// Static: the image library linked below keeps its own decoder instead of taking this one.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include "stb_image.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "description_reader.h"
#ifdef FONTDATA_IMAGELIB
#include <IL/il.h>
#endif

namespace {

const std::string kDataDir = GLYPHSTORM_DATA_DIR;
constexpr int kSize = 256;

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct Sheet {
  std::vector<uint8_t> rgba;  // row 0 = first row of the file

  uint8_t Alpha(int code, int x, int y) const {
    int sheetX = (code % 16) * 16 + x, sheetY = (code / 16) * 16 + y;
    return rgba[(size_t(sheetY) * kSize + sheetX) * 4 + 3];
  }
  int Coverage(int code) const {
    int sum = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) sum += Alpha(code, x, y);
    return sum;
  }
};

class FontData : public ::testing::Test {
 protected:
  void SetUp() override {
    png = ReadFile(kDataDir + "/Tahoma.png");
    ASSERT_GT(png.size(), 33u) << "data/Tahoma.png missing";
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()),
                                            int(png.size()), &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(width, kSize);
    ASSERT_EQ(height, kSize);
    ASSERT_EQ(channels, 4);
    sheet.rgba.assign(pixels, pixels + size_t(kSize) * kSize * 4);
    stbi_image_free(pixels);
    description = ParseFontDescription(ReadFile(kDataDir + "/Tahoma.txt"));
  }
  std::string png;
  Sheet sheet;
  FontDescription description;
};

}  // namespace

TEST_F(FontData, SheetIsPlainEightBitRgbaPng) {
  // The image library delivers such a PNG as RGBA bytes with the top row first.
  EXPECT_EQ(png.compare(12, 4, "IHDR"), 0);
  EXPECT_EQ(uint8_t(png[24]), 8);  // bit depth
  EXPECT_EQ(uint8_t(png[25]), 6);  // colour type RGBA
  EXPECT_EQ(uint8_t(png[28]), 0);  // not interlaced
}

TEST_F(FontData, TexelsAreWhiteWhereverTheyCover) {
  for (size_t i = 0; i < sheet.rgba.size(); i += 4) {
    if (sheet.rgba[i + 3] == 0) continue;
    ASSERT_EQ(sheet.rgba[i], 255) << "texel " << i / 4;
    ASSERT_EQ(sheet.rgba[i + 1], 255) << "texel " << i / 4;
    ASSERT_EQ(sheet.rgba[i + 2], 255) << "texel " << i / 4;
  }
}

TEST_F(FontData, GlyphsSitInTheirByteCodeCellsTopRowFirst) {
  EXPECT_GT(sheet.Coverage(0x41), 0);  // 'A', row 4 column 1
  EXPECT_GT(sheet.Coverage(0xE0), 0);  // 'а', row 14 column 0
  EXPECT_GT(sheet.Coverage(0xC0), 0);  // 'А', row 12 column 0
  EXPECT_EQ(sheet.Coverage(0x20), 0);  // space
  EXPECT_EQ(sheet.Coverage(0x98), 0);  // undefined in the code page
  // Control codes fill the first two rows of cells: a sheet stored bottom-up would show
  // Cyrillic letters there instead.
  for (int code = 0; code < 32; ++code) EXPECT_EQ(sheet.Coverage(code), 0) << code;
}

TEST_F(FontData, CapitalsStandOnACommonBaselineAndDescendersGoBelowIt) {
  auto lowestRow = [&](int code) {
    for (int y = 15; y >= 0; --y)
      for (int x = 0; x < 16; ++x)
        if (sheet.Alpha(code, x, y) > 0) return y;
    return -1;
  };
  int baseline = lowestRow('A');
  EXPECT_GE(baseline, 8);
  EXPECT_EQ(lowestRow('H'), baseline);
  EXPECT_EQ(lowestRow(0xC0), baseline);  // А
  EXPECT_EQ(lowestRow(0xE0), baseline);  // а
  EXPECT_GT(lowestRow(0xF0), baseline);  // р
  EXPECT_GT(lowestRow(0xF3), baseline);  // у
  EXPECT_LT(lowestRow(0xF9), 16);        // щ
}

TEST_F(FontData, DescriptionNamesTheFontAndItsSheet) {
  EXPECT_EQ(description.internalName, "Tahoma");
  EXPECT_EQ(description.texture, "Tahoma.png");
}

TEST_F(FontData, EveryByteTheBenchmarkDrawsHasAPositiveWidth) {
  const std::string phrase = "саббакка баббка аф-фа-аф %!%^^^#$";  // cp1251 literal
  ASSERT_EQ(phrase.size(), 33u);
  ASSERT_EQ(uint8_t(phrase[0]), 0xF1);
  std::string bytes = phrase + "0123456789";
  for (unsigned char byte : bytes) {
    auto found = description.widths.find(byte);
    ASSERT_NE(found, description.widths.end()) << "no width line for byte " << int(byte);
    EXPECT_GT(found->second, 0) << "byte " << int(byte);
  }
  for (int code = 0xC0; code <= 0xFF; ++code) EXPECT_EQ(description.widths.count(code), 1u);
}

TEST_F(FontData, EveryPictureHasASensibleWidthLine) {
  // Every drawn cell has a width; a width without a picture is only allowed for blank glyphs.
  for (int code = 0; code < 256; ++code) {
    if (sheet.Coverage(code) > 0) {
      EXPECT_EQ(description.widths.count(code), 1u) << code;
    }
  }
  for (const auto& [code, width] : description.widths) {
    EXPECT_GE(code, 32);
    EXPECT_LE(code, 255);
    EXPECT_GT(width, 0) << code;
    EXPECT_LE(width, 16) << code;
  }
}

#ifdef FONTDATA_IMAGELIB
TEST_F(FontData, ImageLibraryDeliversTheSheetAsRgbaTopRowFirst) {
  ilInit();
  ILuint image = 0;
  ilGenImages(1, &image);
  ilBindImage(image);
  ASSERT_TRUE(ilLoadImage((kDataDir + "/Tahoma.png").c_str()));
  EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), kSize);
  EXPECT_EQ(ilGetInteger(IL_IMAGE_HEIGHT), kSize);
  EXPECT_EQ(ilGetInteger(IL_IMAGE_FORMAT), IL_RGBA);
  EXPECT_EQ(ilGetInteger(IL_IMAGE_TYPE), IL_UNSIGNED_BYTE);
  const uint8_t* data = ilGetData();
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(std::equal(sheet.rgba.begin(), sheet.rgba.end(), data));
  ilDeleteImages(1, &image);
}
#endif
