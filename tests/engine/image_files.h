// Small image files written by the tests themselves.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A 32-bit TGA of w × h BGRA pixels given top row first; stored bottom row first unless topLeft.
inline void WriteTga(const std::string& path, int w, int h,
                     const std::vector<uint8_t>& bgraTopFirst, bool topLeft = false) {
  uint8_t header[18] = {0, 0, 2};
  header[12] = uint8_t(w), header[13] = uint8_t(w >> 8);
  header[14] = uint8_t(h), header[15] = uint8_t(h >> 8);
  header[16] = 32;
  header[17] = uint8_t(8 | (topLeft ? 0x20 : 0));
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(header, 1, sizeof header, file);
  for (int r = 0; r < h; ++r) {
    int row = topLeft ? r : h - 1 - r;
    std::fwrite(&bgraTopFirst[size_t(row) * w * 4], 1, size_t(w) * 4, file);
  }
  std::fclose(file);
}

inline void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

// A DXT1 DDS of size × size with `levels` levels (base included), every block solid red.
inline void WriteDxt1Dds(const std::string& path, int size, int levels) {
  std::vector<uint8_t> bytes(128, 0);
  bytes[0] = 'D', bytes[1] = 'D', bytes[2] = 'S', bytes[3] = ' ';
  Put32(bytes, 4, 124);
  Put32(bytes, 8, 0xA1007);  // caps, height, width, pixel format, mipmap count, linear size
  Put32(bytes, 12, size);
  Put32(bytes, 16, size);
  Put32(bytes, 20, uint32_t((size / 4) * (size / 4) * 8));
  Put32(bytes, 28, levels);
  Put32(bytes, 76, 32);
  Put32(bytes, 80, 4);  // four-character code
  bytes[84] = 'D', bytes[85] = 'X', bytes[86] = 'T', bytes[87] = '1';
  Put32(bytes, 108, 0x401008);  // texture, mipmap, complex
  const uint8_t redBlock[8] = {0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0};
  for (int level = 0, s = size; level<levels; ++level, s = s> 1 ? s / 2 : 1) {
    int blocks = ((s + 3) / 4) * ((s + 3) / 4);
    for (int b = 0; b < blocks; ++b) bytes.insert(bytes.end(), redBlock, redBlock + 8);
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}
