#include "dds.h"

#include <algorithm>

namespace imagelib {
namespace {

constexpr size_t kHeaderSize = 128;
constexpr uint32_t kFlagMipmapCount = 0x20000;
constexpr uint32_t kFlagDepth = 0x800000;
constexpr uint32_t kPixelFourCc = 0x4;
constexpr uint32_t kCaps2Cubemap = 0x200;
constexpr uint32_t kCaps2Volume = 0x200000;

uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint32_t FourCc(const char* code) { return ReadLe32(reinterpret_cast<const uint8_t*>(code)); }

uint32_t DxtcFromFourCc(uint32_t fourCc) {
  if (fourCc == FourCc("DXT1")) return kDxt1;
  if (fourCc == FourCc("DXT2")) return kDxt2;
  if (fourCc == FourCc("DXT3")) return kDxt3;
  if (fourCc == FourCc("DXT4")) return kDxt4;
  if (fourCc == FourCc("DXT5")) return kDxt5;
  return kDxtNone;
}

uint32_t ChainLength(uint32_t width, uint32_t height, uint32_t depth) {
  uint32_t levels = 1;
  while (width > 1 || height > 1 || depth > 1) {
    width = HalfEdge(width);
    height = HalfEdge(height);
    depth = HalfEdge(depth);
    ++levels;
  }
  return levels;
}

// Expand a 5:6:5 colour to 8-bit channels as the reference library does, bit for bit: the low
// bits of green repeat its top three bits, and in DXT1 those of blue repeat red's top bits.
void Expand565(uint16_t c, bool isDxt1, uint8_t* rgb) {
  uint32_t r = c >> 11, g = (c >> 5) & 0x3F, b = c & 0x1F;
  rgb[0] = uint8_t(r << 3 | r >> 2);
  rgb[1] = uint8_t(g << 2 | g >> 3);
  rgb[2] = uint8_t(b << 3 | (isDxt1 ? r : b) >> 2);
}

// The four colours of a colour block. In DXT1's three-colour mode (c0 <= c1) colour 2 is the
// mean and colour 3 is transparent; its RGB stays the two-thirds mix, as in the reference.
void ColourPalette(const uint8_t* block, bool isDxt1, uint8_t palette[4][4]) {
  uint16_t c0 = uint16_t(block[0] | block[1] << 8);
  uint16_t c1 = uint16_t(block[2] | block[3] << 8);
  Expand565(c0, isDxt1, palette[0]);
  Expand565(c1, isDxt1, palette[1]);
  bool threeColour = isDxt1 && c0 <= c1;
  for (int ch = 0; ch < 3; ++ch) {
    int a = palette[0][ch], b = palette[1][ch];
    palette[2][ch] = uint8_t(threeColour ? (a + b) / 2 : (2 * a + b + 1) / 3);
    palette[3][ch] = uint8_t((a + 2 * b + 1) / 3);
  }
  palette[0][3] = palette[1][3] = palette[2][3] = 255;
  palette[3][3] = threeColour ? 0 : 255;
}

// The eight alpha values of a DXT5 alpha block, mixes rounded to nearest.
void AlphaPalette(const uint8_t* block, uint8_t alpha[8]) {
  int a0 = block[0], a1 = block[1];
  alpha[0] = uint8_t(a0);
  alpha[1] = uint8_t(a1);
  if (a0 > a1) {
    for (int i = 1; i < 7; ++i) alpha[i + 1] = uint8_t(((7 - i) * a0 + i * a1 + 3) / 7);
  } else {
    for (int i = 1; i < 5; ++i) alpha[i + 1] = uint8_t(((5 - i) * a0 + i * a1 + 2) / 5);
    alpha[6] = 0;
    alpha[7] = 255;
  }
}

// Decode one 4 x 4 block into a 16-pixel RGBA tile.
void DecodeBlock(uint32_t dxtcFormat, const uint8_t* block, uint8_t tile[16][4]) {
  bool isDxt1 = dxtcFormat == kDxt1;
  const uint8_t* colour = isDxt1 ? block : block + 8;
  uint8_t palette[4][4];
  ColourPalette(colour, isDxt1, palette);
  uint32_t indices = ReadLe32(colour + 4);
  for (int i = 0; i < 16; ++i) std::copy_n(palette[(indices >> (2 * i)) & 3], 4, tile[i]);
  if (dxtcFormat == kDxt2 || dxtcFormat == kDxt3) {
    for (int i = 0; i < 16; ++i) tile[i][3] = uint8_t(((block[i / 2] >> (4 * (i % 2))) & 0xF) * 17);
  } else if (dxtcFormat == kDxt4 || dxtcFormat == kDxt5) {
    uint8_t alpha[8];
    AlphaPalette(block, alpha);
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= uint64_t(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) tile[i][3] = alpha[(bits >> (3 * i)) & 7];
  }
}

// Undo premultiplied alpha (DXT2, DXT4) so every kind comes out as straight RGBA.
void UnPremultiply(uint8_t* rgba, size_t pixelCount) {
  for (size_t i = 0; i < pixelCount; ++i, rgba += 4) {
    if (rgba[3] == 0) continue;
    for (int ch = 0; ch < 3; ++ch) rgba[ch] = uint8_t(std::min(255, rgba[ch] * 255 / rgba[3]));
  }
}

// Decode one level at offset into `level`; false when the file is too short for it.
bool DecodeLevel(const DdsHeader& header, uint32_t width, uint32_t height, uint32_t depth,
                 const uint8_t* data, size_t size, size_t& offset, bool keepDxtc,
                 DecodedImage& level) {
  uint64_t levelSize = DxtcLevelSize(header.dxtcFormat, width, height, depth);
  if (levelSize > size - offset) return false;
  level = MakeImage(width, height, depth, kFormatRgba, kTypeUnsignedByte, 4);
  DecompressDxtc(header.dxtcFormat, data + offset, width, height, depth, level.pixels.data());
  if (keepDxtc) {
    level.dxtcFormat = header.dxtcFormat;
    level.dxtcData.assign(data + offset, data + offset + levelSize);
  }
  offset += size_t(levelSize);
  return true;
}

}  // namespace

bool ParseDdsHeader(const uint8_t* data, size_t size, DdsHeader& header) {
  if (size < kHeaderSize || ReadLe32(data) != FourCc("DDS ") || ReadLe32(data + 4) != 124) {
    return false;
  }
  uint32_t flags = ReadLe32(data + 8);
  uint32_t caps2 = ReadLe32(data + 112);
  header.height = ReadLe32(data + 12);
  header.width = ReadLe32(data + 16);
  bool volume = (flags & kFlagDepth) && (caps2 & kCaps2Volume);
  header.depth = volume ? std::max<uint32_t>(ReadLe32(data + 24), 1) : 1;
  uint32_t declared = (flags & kFlagMipmapCount) ? ReadLe32(data + 28) : 1;
  header.dxtcFormat =
      (ReadLe32(data + 80) & kPixelFourCc) ? DxtcFromFourCc(ReadLe32(data + 84)) : kDxtNone;
  // Cube maps and uncompressed layouts are not decoded.
  if (header.dxtcFormat == kDxtNone || (caps2 & kCaps2Cubemap)) return false;
  if (header.width == 0 || header.height == 0) return false;
  header.levels = std::clamp<uint32_t>(
      declared, 1,
      ChainLength(std::min(header.width, kMaxDimension), std::min(header.height, kMaxDimension),
                  std::min(header.depth, kMaxDimension)));
  return true;
}

uint64_t DxtcLevelSize(uint32_t dxtcFormat, uint32_t width, uint32_t height, uint32_t depth) {
  uint64_t blockBytes = dxtcFormat == kDxt1 ? 8 : 16;
  return (uint64_t(width) + 3) / 4 * ((uint64_t(height) + 3) / 4) * blockBytes * depth;
}

void DecompressDxtc(uint32_t dxtcFormat, const uint8_t* blocks, uint32_t width, uint32_t height,
                    uint32_t depth, uint8_t* rgba) {
  size_t blockBytes = dxtcFormat == kDxt1 ? 8 : 16;
  uint8_t tile[16][4];
  for (uint32_t z = 0; z < depth; ++z) {
    uint8_t* slice = rgba + size_t(z) * width * height * 4;
    for (uint32_t by = 0; by < height; by += 4) {
      for (uint32_t bx = 0; bx < width; bx += 4, blocks += blockBytes) {
        DecodeBlock(dxtcFormat, blocks, tile);
        for (uint32_t y = by; y < std::min(by + 4, height); ++y) {
          for (uint32_t x = bx; x < std::min(bx + 4, width); ++x) {
            std::copy_n(tile[(y - by) * 4 + (x - bx)], 4, slice + (size_t(y) * width + x) * 4);
          }
        }
      }
    }
    if (dxtcFormat == kDxt2 || dxtcFormat == kDxt4) {
      UnPremultiply(slice, size_t(width) * height);
    }
  }
}

DecodeStatus DecodeDds(const uint8_t* data, size_t size, bool keepDxtc, DecodedImage& out) {
  DdsHeader header;
  if (!ParseDdsHeader(data, size, header)) return DecodeStatus::invalidHeader;
  if (!SizeAcceptable(header.width, header.height, header.depth, 4)) {
    return DecodeStatus::tooLarge;
  }
  size_t offset = kHeaderSize;
  uint32_t w = header.width, h = header.height, d = header.depth;
  DecodedImage base;
  if (!DecodeLevel(header, w, h, d, data, size, offset, keepDxtc, base)) {
    return DecodeStatus::invalidData;
  }
  // Every declared level must be present: a short chain fails the whole file.
  for (uint32_t i = 1; i < header.levels; ++i) {
    w = HalfEdge(w);
    h = HalfEdge(h);
    d = HalfEdge(d);
    base.mipmaps.emplace_back();
    if (!DecodeLevel(header, w, h, d, data, size, offset, keepDxtc, base.mipmaps.back())) {
      return DecodeStatus::invalidData;
    }
  }
  if (!keepDxtc) base.dxtcFormat = kDxtNone;
  out = std::move(base);
  return DecodeStatus::ok;
}

}  // namespace imagelib
