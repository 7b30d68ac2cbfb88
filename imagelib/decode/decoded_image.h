// The picture a decoder hands to the image library: sizes, layout and pixels, plus the kept
// compressed data of a DXT file and its further mip levels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imagelib {

// Pixel formats and component types use the OpenGL numbers (the library reports them as such).
enum : uint32_t {
  kFormatColourIndex = 0x1900,
  kFormatRgb = 0x1907,
  kFormatRgba = 0x1908,
  kFormatLuminance = 0x1909,
  kFormatLuminanceAlpha = 0x190A,
  kFormatBgr = 0x80E0,
  kFormatBgra = 0x80E1,
  kTypeUnsignedByte = 0x1401,
  kTypeUnsignedShort = 0x1403,
};

// Compressed data kinds, numbered as the library's public constants.
enum : uint32_t {
  kDxt1 = 0x0706,
  kDxt2 = 0x0707,
  kDxt3 = 0x0708,
  kDxt4 = 0x0709,
  kDxt5 = 0x070A,
  kDxtNone = 0x070B,
};

enum class DecodeStatus {
  ok,
  unknownType,    // nothing recognised the file
  invalidHeader,  // the header is damaged or describes something unsupported
  invalidData,    // the header is fine but the pixel data is short or damaged
  tooLarge,       // declared sizes beyond what the library accepts
};

struct DecodedImage {
  uint32_t width = 1;
  uint32_t height = 1;
  uint32_t depth = 1;
  uint32_t format = kFormatLuminance;
  uint32_t type = kTypeUnsignedByte;
  uint32_t bpp = 1;                   // bytes per pixel
  std::vector<uint8_t> pixels = {0};  // width * height * depth * bpp bytes, stored row order
  uint32_t dxtcFormat = kDxtNone;     // kind of dxtcData, kDxtNone when nothing is kept
  std::vector<uint8_t> dxtcData;      // the compressed blocks of this level as read
  std::vector<DecodedImage> mipmaps;  // further levels, largest first (empty on levels)
};

// Largest pixel buffer a decoder produces; keeps every byte count within 32 bits. Fuzzing
// builds lower it so that a mutated header costs milliseconds, not a gigabyte.
#ifndef IMAGELIB_MAX_PIXEL_BYTES
#define IMAGELIB_MAX_PIXEL_BYTES (uint64_t(1) << 30)
#endif
constexpr uint64_t kMaxPixelBytes = IMAGELIB_MAX_PIXEL_BYTES;
constexpr uint32_t kMaxDimension = 1u << 16;

// Whether width x height x depth x bpp stays within the library's limits.
bool SizeAcceptable(uint64_t width, uint64_t height, uint64_t depth, uint64_t bpp);

// Make an image of the given shape with a zeroed buffer (the caller checked the size).
DecodedImage MakeImage(uint32_t width, uint32_t height, uint32_t depth, uint32_t format,
                       uint32_t type, uint32_t bpp);

}  // namespace imagelib
