// DDS files: header, level arithmetic and DXT1/DXT3/DXT5 decompression.
#pragma once

#include "decoded_image.h"

namespace imagelib {

struct DdsHeader {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t depth = 1;
  uint32_t levels = 1;  // base level included, already limited to the full chain
  uint32_t dxtcFormat = kDxtNone;
};

// Read and check the 128-byte header; false when the file is no DDS we can decode.
bool ParseDdsHeader(const uint8_t* data, size_t size, DdsHeader& header);

// Bytes of one compressed level: 4 x 4 blocks of 8 (DXT1) or 16 bytes, per slice.
uint64_t DxtcLevelSize(uint32_t dxtcFormat, uint32_t width, uint32_t height, uint32_t depth);

// Next mip level's edge: half, never below 1.
inline uint32_t HalfEdge(uint32_t edge) { return edge > 1 ? edge / 2 : 1; }

// Decompress one level into RGBA bytes, top row first; blocks must hold DxtcLevelSize bytes.
void DecompressDxtc(uint32_t dxtcFormat, const uint8_t* blocks, uint32_t width, uint32_t height,
                    uint32_t depth, uint8_t* rgba);

DecodeStatus DecodeDds(const uint8_t* data, size_t size, bool keepDxtc, DecodedImage& out);

}  // namespace imagelib
