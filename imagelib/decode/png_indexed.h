// Palettised PNG files as colour indices, one byte per pixel (the general decoder expands them).
#pragma once

#include "decoded_image.h"

namespace imagelib {

// Whether the PNG header names a palettised image.
bool IsIndexedPng(const uint8_t* data, size_t size);

DecodeStatus DecodeIndexedPng(const uint8_t* data, size_t size, DecodedImage& out);

}  // namespace imagelib
