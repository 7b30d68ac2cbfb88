#include "pixels.h"

int32_t PixelFormatCode(int32_t depth, uint32_t redMask, uint32_t greenMask) {
  switch (depth) {
    case 32: return redMask == 0xFF ? 6 : 7;
    case 24: return redMask == 0xFF ? 4 : 5;
    case 16: return greenMask == 0x7E0 ? 3 : 2;
    default: return 1;
  }
}

uint32_t FillValue(uint32_t color, int32_t depth, int32_t pixelFormat) {
  uint32_t red = color & 0xFF;
  uint32_t green = (color >> 8) & 0xFF;
  uint32_t blue = (color >> 16) & 0xFF;
  switch (depth) {
    case 15: return (red / 8) * 1024 + (green / 8) * 32 + blue / 8;
    // Always 5-6-5, even on a 5-5-5 surface: black, the program's only fill, is 0 either way.
    case 16: return (red / 8) * 2048 + (green / 4) * 32 + blue / 8;
    case 24:
    case 32:
      if (pixelFormat == 4 || pixelFormat == 6) return red + green * 256 + blue * 65536;
      return blue + green * 256 + red * 65536;
    default: return 0;
  }
}
