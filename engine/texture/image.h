// One image file as the image library reports it, with a private copy of its pixels.
#pragma once

#include <cstdint>

struct Image {
  int width;
  int height;
  int depth;
  unsigned format;      // equal to the OpenGL format constant
  int internalformat;   // copy of bpp: component count for mipmap building
  unsigned type;        // equal to the OpenGL type constant
  unsigned char* data;  // owned, `bytes` long; null for an image refused as too large
  unsigned bpp;         // bytes per pixel
  bool comp;            // the library kept DXT1..DXT5 data for it
  int numMipmaps;       // levels besides the base image
  // The kept DXT levels, base first, back to back, for a compressed upload; null when the file
  // has none. compressedFormat is the OpenGL constant of their block format.
  unsigned char* compressedData;
  uint32_t compressedBytes;
  unsigned compressedFormat;
};

// Load fileName through the image library, logging each property as it is read.
Image* LoadImageFile(const char* fileName);
void FreeImage(Image* image);

// width × height × depth × bpp as an unsigned 32-bit product, wrapping as the log shows it.
uint32_t ImageBytes(const Image& image);
// Whether `data` really holds every pixel, i.e. the 32-bit product did not wrap.
bool ImageDataComplete(const Image& image);
