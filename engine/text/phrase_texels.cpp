// Byte work of the phrase cache, apart from GL so it can be tested natively.
#include <cstring>

#include "engine/text/phrase_texels.h"

uint32_t PhraseTextureWidth(uint32_t width) {
  // Below 4 the powers of two go on down: 2 for a width of 2, 1 for 1 or 0.
  uint32_t textureWidth = width > 1 ? 2 : 1;
  for (uint32_t bound = 2; bound <= 2048; bound *= 2)
    if (width > bound) textureWidth = bound * 2;
  return textureWidth;
}

void BuildPhraseTexels(uint8_t* readBack, uint32_t readWidth, uint32_t textureWidth,
                       uint8_t* texels) {
  // In place and in increasing order: each alpha byte takes the following byte (the next
  // pixel's red, or the spare byte after the last pixel) before that byte becomes 255.
  size_t count = size_t(readWidth) * 64;
  for (size_t i = 0; i < count; ++i)
    readBack[i] = (i % 4 == 3) ? uint8_t(readBack[i + 1] * 2) : 255;
  for (uint32_t row = 0; row < 16; ++row) {
    uint8_t* out = texels + size_t(row) * textureWidth * 4;
    uint32_t copied = readWidth < textureWidth ? readWidth : textureWidth;
    std::memcpy(out, readBack + size_t(row) * readWidth * 4, size_t(copied) * 4);
    std::memset(out + size_t(copied) * 4, 0, size_t(textureWidth - copied) * 4);
  }
}
