// Image loading through the DevIL API (IL): eleven log lines per file, and one more when the
// library holds fewer pixel bytes than its sizes promise or the image is too large to copy.
#include "engine/texture/image.h"

#include <IL/il.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "engine/core/engine_state.h"

namespace {

// The largest texture the engine can upload: 16384 × 16384 texels of four bytes, the most a GL
// driver of this benchmark's machines takes. A byte count above it is refused before anything
// is allocated; below it the allocation may still fail (a 32-bit address space), and is
// refused then too instead of throwing.
const uint32_t kMaxImageBytes = 16384u * 16384u * 4u;

bool IsDxtFormat(ILint format) {
  return format == IL_DXT1 || format == IL_DXT2 || format == IL_DXT3 || format == IL_DXT4 ||
         format == IL_DXT5;
}

unsigned GlCompressedFormat(ILint dxtFormat) {
  if (dxtFormat == IL_DXT1) return 0x83F1;  // GL_COMPRESSED_RGBA_S3TC_DXT1_EXT
  if (dxtFormat == IL_DXT2 || dxtFormat == IL_DXT3) return 0x83F2;
  return 0x83F3;  // DXT4, DXT5
}

// Collect the kept DXT data of the base image and each mipmap level, back to back.
void CopyKeptLevels(Image* image, ILuint name, ILint dxtFormat) {
  std::vector<unsigned char> levels;
  for (int level = 0; level <= image->numMipmaps; ++level) {
    ilBindImage(name);
    if (level > 0 && !ilActiveMipmap(level)) break;
    ILuint size = ilGetDXTCData(nullptr, 0, dxtFormat);
    if (size == 0) break;
    size_t offset = levels.size();
    levels.resize(offset + size);
    if (ilGetDXTCData(levels.data() + offset, size, dxtFormat) != size) {
      levels.resize(offset);
      break;
    }
  }
  ilBindImage(name);
  if (levels.empty()) return;
  image->compressedData = new unsigned char[levels.size()];
  std::memcpy(image->compressedData, levels.data(), levels.size());
  image->compressedBytes = uint32_t(levels.size());
  image->compressedFormat = GlCompressedFormat(dxtFormat);
}

// Copy at most what the library holds: the sizes it reports may promise more (a wrapped or
// inconsistent product), and reading past its buffer faults. The rest stays zero.
void CopyHeldPixels(unsigned char* data, uint32_t bytes) {
  ILint held = ilGetInteger(IL_IMAGE_SIZE_OF_DATA);
  const ILubyte* pixels = ilGetData();
  uint32_t copied = pixels && held > 0 ? std::min(bytes, uint32_t(held)) : 0;
  if (copied) std::memcpy(data, pixels, copied);
  std::memset(data + copied, 0, bytes - copied);
  if (copied < bytes) engineLog << "bytes zero-filled = " << bytes - copied << std::endl;
}

}  // namespace

Image* LoadImageFile(const char* fileName) {
  Image* image = new Image{};
  ILuint name = 0;
  ilGenImages(1, &name);
  ilBindImage(name);
  engineLog << "filename(char):" << fileName << std::endl;
  if (ilLoadImage(fileName)) engineLog << "file loaded:" << fileName << std::endl;
  else engineLog << "file not loaded:" << fileName << std::endl;

  image->width = ilGetInteger(IL_IMAGE_WIDTH);
  engineLog << "src->width = " << image->width << std::endl;
  image->height = ilGetInteger(IL_IMAGE_HEIGHT);
  engineLog << "src->height = " << image->height << std::endl;
  image->depth = ilGetInteger(IL_IMAGE_DEPTH);
  engineLog << "src->depth = " << image->depth << std::endl;
  image->type = ilGetInteger(IL_IMAGE_TYPE);
  engineLog << "src->type = " << image->type << std::endl;
  image->format = ilGetInteger(IL_IMAGE_FORMAT);
  engineLog << "src->format = " << image->format << std::endl;
  ILint dxtFormat = ilGetInteger(IL_DXTC_DATA_FORMAT);
  image->comp = IsDxtFormat(dxtFormat);
  engineLog << "src->comp = " << (image->comp ? 1 : 0) << std::endl;
  image->numMipmaps = ilGetInteger(IL_NUM_MIPMAPS);
  engineLog << "src->numMipmaps = " << image->numMipmaps << std::endl;
  image->bpp = ilGetInteger(IL_IMAGE_BPP);
  engineLog << "src->bpp = " << image->bpp << std::endl;
  image->internalformat = int(image->bpp);

  uint32_t bytes = ImageBytes(*image);
  engineLog << "bytes = " << bytes << std::endl;
  // No pixel data (null) is an image the texture code leaves alone.
  if (bytes <= kMaxImageBytes) image->data = new (std::nothrow) unsigned char[bytes ? bytes : 1];
  if (image->data) {
    CopyHeldPixels(image->data, bytes);
    if (image->comp) CopyKeptLevels(image, name, dxtFormat);
  } else {
    engineLog << "bytes refused = " << bytes << std::endl;
  }

  ilDeleteImages(1, &name);
  return image;
}

void FreeImage(Image* image) {
  if (!image) return;
  delete[] image->data;
  delete[] image->compressedData;
  delete image;
}
