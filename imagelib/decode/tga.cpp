#include "tga.h"

#include <algorithm>
#include <cstring>

namespace imagelib {
namespace {

constexpr size_t kHeaderSize = 18;

struct TgaHeader {
  uint8_t idLength, colourMapType, imageType;
  uint16_t mapFirst, mapLength;
  uint8_t mapEntryBits;
  uint16_t width, height;
  uint8_t pixelBits, descriptor;
};

TgaHeader ReadHeader(const uint8_t* p) {
  auto le16 = [p](int at) { return uint16_t(p[at] | p[at + 1] << 8); };
  return {p[0], p[1], p[2], le16(3), le16(5), p[7], le16(12), le16(14), p[16], p[17]};
}

// Output layout of a header: format and bytes per pixel; false when unsupported.
bool OutputLayout(const TgaHeader& h, uint32_t& format, uint32_t& bpp) {
  switch (h.imageType & ~8) {
    case 1:
      format = kFormatColourIndex;
      bpp = 1;
      return h.pixelBits == 8 && h.colourMapType == 1;
    case 2:
      if (h.pixelBits == 15 || h.pixelBits == 16 || h.pixelBits == 24) {
        format = kFormatBgr;
        bpp = 3;
        return true;
      }
      format = kFormatBgra;
      bpp = 4;
      return h.pixelBits == 32;
    case 3:
      format = h.pixelBits == 16 ? kFormatLuminanceAlpha : kFormatLuminance;
      bpp = h.pixelBits / 8;
      return h.pixelBits == 8 || h.pixelBits == 16;
    default: return false;
  }
}

// Convert one stored pixel to the output layout (15/16-bit colour widens to BGR).
void StorePixel(const uint8_t* in, uint32_t inBytes, uint32_t outBytes, uint8_t* out) {
  if (inBytes == 2 && outBytes == 3) {
    uint32_t v = uint32_t(in[0] | in[1] << 8);
    uint32_t b = v & 0x1F, g = (v >> 5) & 0x1F, r = (v >> 10) & 0x1F;
    out[0] = uint8_t(b << 3 | b >> 2);
    out[1] = uint8_t(g << 3 | g >> 2);
    out[2] = uint8_t(r << 3 | r >> 2);
    return;
  }
  std::memcpy(out, in, outBytes);
}

// Read pixelCount pixels, raw or run-length coded; false when the data runs out.
bool ReadPixels(const uint8_t* data, size_t size, size_t pos, bool rle, uint32_t inBytes,
                uint32_t outBytes, size_t pixelCount, uint8_t* out) {
  size_t done = 0;
  while (done < pixelCount) {
    size_t run = pixelCount - done;
    bool repeat = false;
    if (rle) {
      if (pos >= size) return false;
      uint8_t packet = data[pos++];
      run = std::min<size_t>((packet & 0x7F) + 1u, pixelCount - done);
      repeat = packet & 0x80;
    }
    size_t needed = repeat ? inBytes : run * inBytes;
    if (needed > size - pos) return false;
    for (size_t i = 0; i < run; ++i, ++done) {
      StorePixel(data + pos + (repeat ? 0 : i * inBytes), inBytes, outBytes, out + done * outBytes);
    }
    pos += needed;
  }
  return true;
}

}  // namespace

bool LooksLikeTga(const uint8_t* data, size_t size) {
  if (size < kHeaderSize) return false;
  TgaHeader h = ReadHeader(data);
  uint32_t format = 0, bpp = 0;
  return h.colourMapType <= 1 && h.width > 0 && h.height > 0 && OutputLayout(h, format, bpp);
}

DecodeStatus DecodeTga(const uint8_t* data, size_t size, DecodedImage& out) {
  if (!LooksLikeTga(data, size)) return DecodeStatus::invalidHeader;
  TgaHeader h = ReadHeader(data);
  uint32_t format = 0, bpp = 0;
  OutputLayout(h, format, bpp);
  if (!SizeAcceptable(h.width, h.height, 1, bpp)) return DecodeStatus::tooLarge;
  size_t mapBytes = h.colourMapType ? size_t(h.mapLength) * ((h.mapEntryBits + 7) / 8) : 0;
  size_t pos = kHeaderSize + h.idLength + mapBytes;
  if (pos > size) return DecodeStatus::invalidData;
  // A file too short for its pixels fails before the buffer is made: a header alone must not
  // cost a gigabyte. A run-length packet covers at most 128 pixels.
  uint64_t pixels = uint64_t(h.width) * h.height, inBytes = (h.pixelBits + 7) / 8;
  uint64_t leastData = (h.imageType & 8) ? (pixels + 127) / 128 * (1 + inBytes) : pixels * inBytes;
  if (leastData > size - pos) return DecodeStatus::invalidData;
  // Rows stay in the order the file stores them; the colour map is not applied.
  DecodedImage image = MakeImage(h.width, h.height, 1, format, kTypeUnsignedByte, bpp);
  if (!ReadPixels(data, size, pos, h.imageType & 8, (h.pixelBits + 7) / 8, bpp,
                  size_t(h.width) * h.height, image.pixels.data())) {
    return DecodeStatus::invalidData;
  }
  out = std::move(image);
  return DecodeStatus::ok;
}

}  // namespace imagelib
