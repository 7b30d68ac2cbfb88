// TGA files in their stored row order: BGR/BGRA, luminance, or colour indices.
#pragma once

#include "decoded_image.h"

namespace imagelib {

// Whether the 18-byte header is a plausible TGA header (TGA has no signature).
bool LooksLikeTga(const uint8_t* data, size_t size);

DecodeStatus DecodeTga(const uint8_t* data, size_t size, DecodedImage& out);

}  // namespace imagelib
