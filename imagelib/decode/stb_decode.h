// Formats read through stb_image (PNG without palette, JPEG, GIF, PSD, HDR, PIC, PNM): top row
// first, components in R, G, B, A order, 16-bit PNG kept at 16 bits.
#pragma once

#include "decoded_image.h"

namespace imagelib {

DecodeStatus DecodeWithStb(const uint8_t* data, size_t size, DecodedImage& out);

}  // namespace imagelib
