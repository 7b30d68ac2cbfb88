#include <gtest/gtest.h>

#include <vector>

#include "engine/text/phrase_texels.h"

namespace {

TEST(PhraseTextureWidth, NextPowerOfTwoBetweenFourAnd4096) {
  const uint32_t cases[][2] = {{0, 1},      {1, 1},       {2, 2},       {3, 4},
                               {4, 4},      {5, 8},       {300, 512},   {512, 512},
                               {513, 1024}, {4096, 4096}, {4097, 4096}, {0xFFFFFFFFu, 4096}};
  for (const auto& c : cases) EXPECT_EQ(PhraseTextureWidth(c[0]), c[1]) << c[0];
}

TEST(PhraseTexels, AlphaIsTheNextRedDoubledAndPaddingIsZero) {
  const uint32_t width = 3, textureWidth = 4;
  std::vector<uint8_t> readBack(width * 64 + 1, 0);
  // Row 0: reds 100, 128, 255; row 1 starts with red 7; the spare byte is 9.
  readBack[0] = 100, readBack[4] = 128, readBack[8] = 255, readBack[12] = 7;
  readBack[width * 64] = 9;
  std::vector<uint8_t> texels(textureWidth * 64, 0xAA);
  BuildPhraseTexels(readBack.data(), width, textureWidth, texels.data());
  // Pixel 0 takes 128 * 2 mod 256 = 0, pixel 1 takes 255 * 2 mod 256 = 254, pixel 2 the first
  // red of the next row up (7 * 2).
  EXPECT_EQ(
      std::vector<uint8_t>(texels.begin(), texels.begin() + 16),
      (std::vector<uint8_t>{255, 255, 255, 0, 255, 255, 255, 254, 255, 255, 255, 14, 0, 0, 0, 0}));
  // The last pixel of the last row takes the spare byte.
  EXPECT_EQ(texels[15 * 16 + 2 * 4 + 3], 18);
  for (int row = 0; row < 16; ++row)
    for (int byte = 12; byte < 16; ++byte) EXPECT_EQ(texels[row * 16 + byte], 0) << row;
}

TEST(PhraseTexels, RedOfOneHundredGivesTwoHundred) {
  std::vector<uint8_t> readBack(2 * 64 + 1, 0);
  readBack[4] = 100;
  std::vector<uint8_t> texels(4 * 64);
  BuildPhraseTexels(readBack.data(), 2, 4, texels.data());
  EXPECT_EQ(texels[3], 200);
}

TEST(PhraseTexels, RowsWiderThanTheTextureAreCut) {
  std::vector<uint8_t> readBack(6 * 64 + 1, 0);
  std::vector<uint8_t> texels(4 * 64, 0xAA);
  BuildPhraseTexels(readBack.data(), 6, 4, texels.data());
  for (uint8_t byte : texels) EXPECT_TRUE(byte == 255 || byte == 0);
}

}  // namespace
