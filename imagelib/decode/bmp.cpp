#include "bmp.h"

#include <cstring>

namespace imagelib {
namespace {

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitfields = 3;

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

struct BmpInfo {
  uint32_t width = 0, height = 0;
  uint32_t bits = 0, compression = 0, dataOffset = 0;
};

bool ReadInfo(const uint8_t* data, size_t size, BmpInfo& info) {
  if (size < 26 || data[0] != 'B' || data[1] != 'M') return false;
  info.dataOffset = Le32(data + 10);
  uint32_t infoSize = Le32(data + 14);
  if (infoSize == 12) {  // the old core header: 16-bit sizes, always bottom-up
    info.width = Le16(data + 18);
    info.height = Le16(data + 20);
    info.bits = Le16(data + 24);
    return true;
  }
  if (infoSize < 40 || size < 14 + size_t(40)) return false;
  int32_t width = int32_t(Le32(data + 18)), height = int32_t(Le32(data + 22));
  if (width <= 0 || height == 0 || height == INT32_MIN) return false;
  info.width = uint32_t(width);
  info.height = uint32_t(height < 0 ? -height : height);
  info.bits = Le16(data + 28);
  info.compression = Le32(data + 30);
  return true;
}

// Bit fields are accepted only with the layout plain 32-bit pixels have anyway.
bool StandardMasks(const uint8_t* data, size_t size, const BmpInfo& info) {
  if (info.compression == kCompressionNone) return true;
  if (info.compression != kCompressionBitfields || info.bits != 32 || size < 66) return false;
  return Le32(data + 54) == 0x00FF0000 && Le32(data + 58) == 0x0000FF00 &&
         Le32(data + 62) == 0x000000FF;
}

// Copy one stored row to the output: indices unpacked to a byte, 16-bit widened to BGR.
void ConvertRow(const uint8_t* in, uint32_t bits, uint32_t width, uint8_t* out) {
  switch (bits) {
    case 1:
    case 2:
    case 4:
      for (uint32_t x = 0; x < width; ++x) {
        size_t bit = size_t(x) * bits;
        out[x] = uint8_t((in[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1));
      }
      break;
    case 16:
      for (uint32_t x = 0; x < width; ++x) {
        uint32_t v = Le16(in + 2 * x);
        uint32_t b = v & 0x1F, g = (v >> 5) & 0x1F, r = (v >> 10) & 0x1F;
        out[3 * x] = uint8_t(b << 3 | b >> 2);
        out[3 * x + 1] = uint8_t(g << 3 | g >> 2);
        out[3 * x + 2] = uint8_t(r << 3 | r >> 2);
      }
      break;
    default: std::memcpy(out, in, size_t(width) * (bits / 8));
  }
}

}  // namespace

DecodeStatus DecodeBmp(const uint8_t* data, size_t size, DecodedImage& out) {
  BmpInfo info;
  if (!ReadInfo(data, size, info) || !StandardMasks(data, size, info)) {
    return DecodeStatus::invalidHeader;
  }
  uint32_t format = kFormatColourIndex, bpp = 1;
  switch (info.bits) {
    case 1:
    case 2:
    case 4:
    case 8: break;
    case 16:
    case 24:
      format = kFormatBgr;
      bpp = 3;
      break;
    case 32:
      format = kFormatBgra;
      bpp = 4;
      break;
    default: return DecodeStatus::invalidHeader;
  }
  if (!SizeAcceptable(info.width, info.height, 1, bpp)) return DecodeStatus::tooLarge;
  uint64_t stride = (uint64_t(info.width) * info.bits + 31) / 32 * 4;
  if (info.dataOffset > size || stride * info.height > size - info.dataOffset) {
    return DecodeStatus::invalidData;
  }
  // Rows keep the file's order: bottom row first unless the file is stored top-down.
  DecodedImage image = MakeImage(info.width, info.height, 1, format, kTypeUnsignedByte, bpp);
  for (uint32_t y = 0; y < info.height; ++y) {
    ConvertRow(data + info.dataOffset + y * stride, info.bits, info.width,
               image.pixels.data() + size_t(y) * info.width * bpp);
  }
  out = std::move(image);
  return DecodeStatus::ok;
}

}  // namespace imagelib
