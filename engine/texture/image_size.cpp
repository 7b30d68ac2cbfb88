// Byte counts of an image, kept apart from the library calls so they can be tested natively.
#include "engine/texture/image.h"

uint32_t ImageBytes(const Image& image) {
  return uint32_t(image.height) * uint32_t(image.depth) * image.bpp * uint32_t(image.width);
}

bool ImageDataComplete(const Image& image) {
  if (image.width <= 0 || image.height <= 0 || image.depth <= 0 || image.bpp == 0) return false;
  uint64_t full = uint64_t(image.height) * uint64_t(image.depth) * image.bpp;
  // Check step by step so the 64-bit product cannot overflow either.
  if (full > UINT32_MAX) return false;
  full *= uint64_t(image.width);
  return full == ImageBytes(image);
}
