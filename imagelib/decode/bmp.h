// Uncompressed BMP files in their stored row order: BGR/BGRA or colour indices.
#pragma once

#include "decoded_image.h"

namespace imagelib {

DecodeStatus DecodeBmp(const uint8_t* data, size_t size, DecodedImage& out);

}  // namespace imagelib
