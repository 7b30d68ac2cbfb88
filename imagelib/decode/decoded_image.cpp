#include "decoded_image.h"

namespace imagelib {

bool SizeAcceptable(uint64_t width, uint64_t height, uint64_t depth, uint64_t bpp) {
  if (width == 0 || height == 0 || depth == 0) return false;
  if (width > kMaxDimension || height > kMaxDimension || depth > kMaxDimension) return false;
  return width * height <= kMaxPixelBytes && width * height * depth * bpp <= kMaxPixelBytes;
}

DecodedImage MakeImage(uint32_t width, uint32_t height, uint32_t depth, uint32_t format,
                       uint32_t type, uint32_t bpp) {
  DecodedImage image;
  image.width = width;
  image.height = height;
  image.depth = depth;
  image.format = format;
  image.type = type;
  image.bpp = bpp;
  image.pixels.assign(size_t(width) * height * depth * bpp, 0);
  return image;
}

}  // namespace imagelib
