#include "stb_decode.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "stb_image.h"

namespace imagelib {
namespace {

uint32_t FormatOfChannels(int channels) {
  switch (channels) {
    case 1: return kFormatLuminance;
    case 2: return kFormatLuminanceAlpha;
    case 3: return kFormatRgb;
    default: return kFormatRgba;
  }
}

}  // namespace

DecodeStatus DecodeWithStb(const uint8_t* data, size_t size, DecodedImage& out) {
  if (size > size_t(INT_MAX)) return DecodeStatus::tooLarge;
  // An empty file has no data pointer to hand over: stb must not get a null buffer.
  if (size == 0 || !data) return DecodeStatus::invalidHeader;
  int len = int(size), width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, len, &width, &height, &channels)) {
    return DecodeStatus::invalidHeader;
  }
  bool wide = stbi_is_16_bit_from_memory(data, len);
  uint32_t componentBytes = wide ? 2 : 1;
  if (channels < 1 || channels > 4 ||
      !SizeAcceptable(uint32_t(width), uint32_t(height), 1, uint32_t(channels) * componentBytes)) {
    return DecodeStatus::tooLarge;
  }
  void* pixels =
      wide ? static_cast<void*>(stbi_load_16_from_memory(data, len, &width, &height, &channels, 0))
           : static_cast<void*>(stbi_load_from_memory(data, len, &width, &height, &channels, 0));
  if (!pixels) return DecodeStatus::invalidData;
  uint32_t bpp = uint32_t(channels) * componentBytes;
  DecodedImage image = MakeImage(uint32_t(width), uint32_t(height), 1, FormatOfChannels(channels),
                                 wide ? kTypeUnsignedShort : kTypeUnsignedByte, bpp);
  std::memcpy(image.pixels.data(), pixels, image.pixels.size());
  stbi_image_free(pixels);
  out = std::move(image);
  return DecodeStatus::ok;
}

}  // namespace imagelib
