// Byte work of the phrase cache. Portable: no Windows or GL headers.
#pragma once

#include <cstdint>

// Texture width for a phrase of `width` pixels: the next power of two, 4096 at most.
uint32_t PhraseTextureWidth(uint32_t width);
// Turn read-back RGBA pixels (16 rows of readWidth, then one spare byte) into the phrase
// texture's bytes: white texels whose alpha is twice the next pixel's red byte (mod 256), rows
// of textureWidth with zero padding. Changes readBack.
void BuildPhraseTexels(uint8_t* readBack, uint32_t readWidth, uint32_t textureWidth,
                       uint8_t* texels);
