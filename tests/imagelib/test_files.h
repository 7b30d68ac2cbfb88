// Small image files built in memory for the image library tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testfiles {

using Bytes = std::vector<uint8_t>;

// Append through resize and copy: GCC 12 warns falsely about vector::insert at the end here.
inline void Append(Bytes& out, const Bytes& more) {
  size_t at = out.size();
  out.resize(at + more.size());
  std::copy(more.begin(), more.end(), out.begin() + at);
}

inline void Put32(Bytes& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
}

// A DDS file: header declaring width x height, `declaredLevels` mip levels and the fourCC,
// followed by `payload` bytes of blocks.
inline Bytes Dds(uint32_t width, uint32_t height, const char* fourCc, uint32_t declaredLevels,
                 const Bytes& payload, uint32_t caps2 = 0) {
  Bytes out(128, 0);
  out[0] = 'D';
  out[1] = 'D';
  out[2] = 'S';
  out[3] = ' ';
  Put32(out, 4, 124);
  Put32(out, 8, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000 | (declaredLevels > 1 ? 0x20000 : 0));
  Put32(out, 12, height);
  Put32(out, 16, width);
  Put32(out, 28, declaredLevels);
  Put32(out, 76, 32);
  Put32(out, 80, 4);
  for (int i = 0; i < 4; ++i) out[84 + i] = uint8_t(fourCc[i]);
  Put32(out, 108, 0x1000);
  Put32(out, 112, caps2);
  Append(out, payload);
  return out;
}

// Bytes of a DXT1 chain of `levels` levels from width x height, each block a copy of `block`.
inline Bytes Dxt1Chain(uint32_t width, uint32_t height, uint32_t levels, const Bytes& block) {
  Bytes out;
  for (uint32_t i = 0; i < levels; ++i) {
    for (uint32_t b = 0; b < ((width + 3) / 4) * ((height + 3) / 4); ++b) {
      Bytes tagged = block;
      tagged[4] = uint8_t(i);  // tell the levels apart by their first index byte
      out.insert(out.end(), tagged.begin(), tagged.end());
    }
    width = width > 1 ? width / 2 : 1;
    height = height > 1 ? height / 2 : 1;
  }
  return out;
}

// An uncompressed 24-bit TGA with the given stored pixel bytes.
inline Bytes Tga24(uint16_t width, uint16_t height, const Bytes& pixels, bool topLeft) {
  // clang-format off
  Bytes out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
               uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8), 24,
               uint8_t(topLeft ? 0x20 : 0)};
  // clang-format on
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

// Write bytes to a file in the working directory; returns its name.
inline std::string WriteFile(const std::string& name, const Bytes& bytes) {
  if (std::FILE* f = std::fopen(name.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return name;
}

}  // namespace testfiles
