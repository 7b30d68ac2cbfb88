#include "png_indexed.h"

#include <cstdlib>
#include <cstring>

#include "stb_image.h"

namespace imagelib {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int kColourTypePalette = 3;

uint32_t ReadBe32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

struct PngHeader {
  uint32_t width = 0, height = 0;
  int bitDepth = 0, colourType = 0, interlace = 0;
};

bool ReadHeader(const uint8_t* data, size_t size, PngHeader& header) {
  if (size < 33 || std::memcmp(data, kSignature, 8) != 0 || std::memcmp(data + 12, "IHDR", 4)) {
    return false;
  }
  header.width = ReadBe32(data + 16);
  header.height = ReadBe32(data + 20);
  header.bitDepth = data[24];
  header.colourType = data[25];
  header.interlace = data[28];
  return true;
}

// Concatenate the IDAT chunks; false on a chunk that runs past the end.
bool CollectImageData(const uint8_t* data, size_t size, std::vector<uint8_t>& compressed) {
  size_t pos = 8;
  while (size - pos >= 12) {
    uint32_t length = ReadBe32(data + pos);
    if (length > size - pos - 12) return false;
    const uint8_t* type = data + pos + 4;
    if (std::memcmp(type, "IDAT", 4) == 0) {
      compressed.insert(compressed.end(), data + pos + 8, data + pos + 8 + length);
    }
    if (std::memcmp(type, "IEND", 4) == 0) return true;
    pos += 12 + size_t(length);
  }
  return !compressed.empty();
}

int Paeth(int a, int b, int c) {
  int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Undo the row filter in place; prior is the previous unfiltered row or null.
bool Unfilter(int filter, uint8_t* row, const uint8_t* prior, size_t rowBytes) {
  for (size_t i = 0; i < rowBytes; ++i) {
    int left = i > 0 ? row[i - 1] : 0, up = prior ? prior[i] : 0;
    int upLeft = (i > 0 && prior) ? prior[i - 1] : 0;
    switch (filter) {
      case 0: break;
      case 1: row[i] = uint8_t(row[i] + left); break;
      case 2: row[i] = uint8_t(row[i] + up); break;
      case 3: row[i] = uint8_t(row[i] + (left + up) / 2); break;
      case 4: row[i] = uint8_t(row[i] + Paeth(left, up, upLeft)); break;
      default: return false;
    }
  }
  return true;
}

struct Pass {
  uint32_t x0, y0, dx, dy;
};
constexpr Pass kWholeImage[1] = {{0, 0, 1, 1}};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

uint32_t PassEdge(uint32_t edge, uint32_t start, uint32_t step) {
  return edge > start ? (edge - start + step - 1) / step : 0;
}

// Bytes the inflated stream holds for every pass: a filter byte and the packed indices per row.
uint64_t InflatedSize(const PngHeader& header, const Pass* passes, int passCount) {
  uint64_t total = 0;
  for (int p = 0; p < passCount; ++p) {
    uint64_t w = PassEdge(header.width, passes[p].x0, passes[p].dx);
    uint64_t h = PassEdge(header.height, passes[p].y0, passes[p].dy);
    if (w && h) total += h * (1 + (w * header.bitDepth + 7) / 8);
  }
  return total;
}

// Unfilter each pass and spread its packed indices into the picture.
bool Unpack(const PngHeader& header, const Pass* passes, int passCount, uint8_t* stream,
            DecodedImage& out) {
  int bits = header.bitDepth;
  for (int p = 0; p < passCount; ++p) {
    uint32_t w = PassEdge(header.width, passes[p].x0, passes[p].dx);
    uint32_t h = PassEdge(header.height, passes[p].y0, passes[p].dy);
    if (!w || !h) continue;
    size_t rowBytes = (size_t(w) * bits + 7) / 8;
    const uint8_t* prior = nullptr;
    for (uint32_t y = 0; y < h; ++y) {
      uint8_t* row = stream + 1;
      if (!Unfilter(stream[0], row, prior, rowBytes)) return false;
      uint8_t* target = out.pixels.data() + size_t(passes[p].y0 + y * passes[p].dy) * header.width;
      for (uint32_t x = 0; x < w; ++x) {
        size_t bit = size_t(x) * bits;
        int shift = 8 - bits - int(bit % 8);
        target[passes[p].x0 + x * passes[p].dx] =
            uint8_t((row[bit / 8] >> shift) & ((1 << bits) - 1));
      }
      prior = row;
      stream += 1 + rowBytes;
    }
  }
  return true;
}

}  // namespace

bool IsIndexedPng(const uint8_t* data, size_t size) {
  PngHeader header;
  return ReadHeader(data, size, header) && header.colourType == kColourTypePalette;
}

DecodeStatus DecodeIndexedPng(const uint8_t* data, size_t size, DecodedImage& out) {
  PngHeader header;
  if (!ReadHeader(data, size, header) || header.colourType != kColourTypePalette) {
    return DecodeStatus::invalidHeader;
  }
  int bits = header.bitDepth;
  if ((bits != 1 && bits != 2 && bits != 4 && bits != 8) || header.interlace > 1) {
    return DecodeStatus::invalidHeader;
  }
  if (!SizeAcceptable(header.width, header.height, 1, 1)) return DecodeStatus::tooLarge;
  std::vector<uint8_t> compressed;
  // No image data at all: nothing to inflate, and stb must not get a null buffer.
  if (!CollectImageData(data, size, compressed) || compressed.empty()) {
    return DecodeStatus::invalidData;
  }
  const Pass* passes = header.interlace ? kAdam7 : kWholeImage;
  int passCount = header.interlace ? 7 : 1;
  uint64_t expected = InflatedSize(header, passes, passCount);
  std::vector<uint8_t> stream(size_t(expected) + 1);
  // A fixed output buffer: a stream inflating to more than the picture needs is rejected.
  int got = stbi_zlib_decode_buffer(reinterpret_cast<char*>(stream.data()), int(stream.size()),
                                    reinterpret_cast<const char*>(compressed.data()),
                                    int(compressed.size()));
  if (got < 0 || uint64_t(got) < expected) return DecodeStatus::invalidData;
  DecodedImage image =
      MakeImage(header.width, header.height, 1, kFormatColourIndex, kTypeUnsignedByte, 1);
  if (!Unpack(header, passes, passCount, stream.data(), image)) return DecodeStatus::invalidData;
  out = std::move(image);
  return DecodeStatus::ok;
}

}  // namespace imagelib
