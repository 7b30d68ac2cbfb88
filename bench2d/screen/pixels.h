// Pixel values of the full screen: the pixel-format code of a surface and the fill value of a
// colour at a depth. Portable.
#pragma once

#include <cstdint>

// Code 1..7 from the depth and the surface's red and green masks.
int32_t PixelFormatCode(int32_t depth, uint32_t redMask, uint32_t greenMask);

// Pixel value that a colour fill writes for colour 0x00BBGGRR.
uint32_t FillValue(uint32_t color, int32_t depth, int32_t pixelFormat);
