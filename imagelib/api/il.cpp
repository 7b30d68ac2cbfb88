// The image library's main entry points: named images, loading, queries and kept DXT data.
#include <IL/il.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "decode/file_read.h"
#include "decode/image_decode.h"

namespace {

using imagelib::DecodedImage;

constexpr ILint kVersion = 180;
constexpr size_t kErrorStackSize = 32;

// Image 0 always exists: it is what the library falls back to when the bound image goes away.
struct Library {
  std::map<ILuint, DecodedImage> images{{0, DecodedImage{}}};
  ILuint bound = 0;
  ILuint level = 0;  // selected mip level of the bound image, 0 = the image itself
  bool keepDxtc = false;
  std::vector<ILenum> errors;
};

Library& State() {
  static Library library;
  return library;
}

void SetError(ILenum error) {
  std::vector<ILenum>& errors = State().errors;
  if (errors.size() == kErrorStackSize) errors.erase(errors.begin());
  errors.push_back(error);
}

DecodedImage& BoundImage() {
  Library& library = State();
  return library.images[library.bound];
}

DecodedImage& CurrentImage() {
  DecodedImage& base = BoundImage();
  ILuint level = State().level;
  return level == 0 ? base : base.mipmaps[level - 1];
}

ILuint FreeName() {
  const std::map<ILuint, DecodedImage>& images = State().images;
  ILuint name = 1;
  for (auto it = images.upper_bound(0); it != images.end() && it->first == name; ++it) ++name;
  return name;
}

ILenum ErrorOfDecode(imagelib::DecodeStatus status) {
  switch (status) {
    case imagelib::DecodeStatus::unknownType: return IL_INVALID_EXTENSION;
    case imagelib::DecodeStatus::invalidHeader: return IL_INVALID_FILE_HEADER;
    case imagelib::DecodeStatus::tooLarge: return IL_OUT_OF_MEMORY;
    default: return IL_ILLEGAL_FILE_VALUE;
  }
}

ILenum ErrorOfRead(imagelib::ReadStatus status) {
  switch (status) {
    case imagelib::ReadStatus::cannotOpen: return IL_COULD_NOT_OPEN_FILE;
    case imagelib::ReadStatus::tooLarge: return IL_OUT_OF_MEMORY;
    default: return IL_FILE_READ_ERROR;
  }
}

bool IsDxtcFormat(ILenum format) { return format >= IL_DXT1 && format <= IL_DXT5; }

}  // namespace

extern "C" {

void ILAPIENTRY ilInit(void) { State(); }

void ILAPIENTRY ilGenImages(ILsizei Num, ILuint* Images) {
  if (!Images) {
    SetError(IL_INVALID_VALUE);
    return;
  }
  for (ILsizei i = 0; i < Num; ++i) {
    Images[i] = FreeName();
    State().images[Images[i]] = DecodedImage{};
  }
}

// An unknown name gets a fresh image, as if it had been generated.
void ILAPIENTRY ilBindImage(ILuint Image) {
  Library& library = State();
  library.images.try_emplace(Image);
  library.bound = Image;
  library.level = 0;
}

void ILAPIENTRY ilDeleteImages(ILsizei Num, const ILuint* Images) {
  if (!Images) {
    SetError(IL_INVALID_VALUE);
    return;
  }
  Library& library = State();
  for (ILsizei i = 0; i < Num; ++i) {
    if (Images[i] == 0) continue;
    library.images.erase(Images[i]);
    if (Images[i] == library.bound) {
      library.bound = 0;
      library.level = 0;
    }
  }
}

// Loads into the bound image; on any failure the image stays exactly as it was.
ILboolean ILAPIENTRY ilLoadImage(ILconst_string FileName) {
  if (!FileName) {
    SetError(IL_INVALID_PARAM);
    return IL_FALSE;
  }
  std::vector<uint8_t> bytes;
  imagelib::ReadStatus read = imagelib::ReadWholeFile(FileName, bytes);
  if (read != imagelib::ReadStatus::ok) {
    SetError(ErrorOfRead(read));
    return IL_FALSE;
  }
  DecodedImage decoded;
  imagelib::DecodeStatus status =
      imagelib::DecodeImage(bytes.data(), bytes.size(), FileName, State().keepDxtc, decoded);
  if (status != imagelib::DecodeStatus::ok) {
    SetError(ErrorOfDecode(status));
    return IL_FALSE;
  }
  BoundImage() = std::move(decoded);
  State().level = 0;
  return IL_TRUE;
}

ILint ILAPIENTRY ilGetInteger(ILenum Mode) {
  const DecodedImage& image = CurrentImage();
  ILint componentBytes = image.type == IL_UNSIGNED_SHORT ? 2 : 1;
  switch (Mode) {
    case IL_VERSION_NUM: return kVersion;
    case IL_CUR_IMAGE: return ILint(State().bound);
    case IL_ACTIVE_MIPMAP: return ILint(State().level);
    case IL_KEEP_DXTC_DATA: return State().keepDxtc ? IL_TRUE : IL_FALSE;
    case IL_IMAGE_WIDTH: return ILint(image.width);
    case IL_IMAGE_HEIGHT: return ILint(image.height);
    case IL_IMAGE_DEPTH: return ILint(image.depth);
    case IL_IMAGE_FORMAT: return ILint(image.format);
    case IL_IMAGE_TYPE: return ILint(image.type);
    case IL_IMAGE_BPP: return ILint(image.bpp);
    case IL_IMAGE_BITS_PER_PIXEL: return ILint(image.bpp * 8);
    case IL_IMAGE_BPC: return componentBytes;
    case IL_IMAGE_CHANNELS: return ILint(image.bpp) / componentBytes;
    case IL_IMAGE_SIZE_OF_DATA: return ILint(image.pixels.size());
    case IL_DXTC_DATA_FORMAT: return ILint(image.dxtcFormat);
    case IL_NUM_MIPMAPS: return ILint(BoundImage().mipmaps.size() - State().level);
    default: SetError(IL_INVALID_ENUM); return 0;
  }
}

void ILAPIENTRY ilSetInteger(ILenum Mode, ILint Param) {
  if (Mode == IL_KEEP_DXTC_DATA) {
    State().keepDxtc = Param != 0;
    return;
  }
  SetError(IL_INVALID_ENUM);
}

ILubyte* ILAPIENTRY ilGetData(void) { return CurrentImage().pixels.data(); }

ILenum ILAPIENTRY ilGetError(void) {
  std::vector<ILenum>& errors = State().errors;
  if (errors.empty()) return IL_NO_ERROR;
  ILenum error = errors.back();
  errors.pop_back();
  return error;
}

// Moves Number levels down from the level now selected; ilBindImage returns to the base image.
ILboolean ILAPIENTRY ilActiveMipmap(ILuint Number) {
  Library& library = State();
  if (Number > BoundImage().mipmaps.size() - library.level) {
    SetError(IL_ILLEGAL_OPERATION);
    return IL_FALSE;
  }
  library.level += Number;
  return IL_TRUE;
}

// Copies the kept compressed data of the selected level. Only the kind the file held is offered:
// there is no compressor, so asking for another kind gives 0 (IL_FORMAT_NOT_SUPPORTED).
ILuint ILAPIENTRY ilGetDXTCData(void* Buffer, ILuint BufferSize, ILenum DXTCFormat) {
  if (!IsDxtcFormat(DXTCFormat)) {
    SetError(IL_INVALID_ENUM);
    return 0;
  }
  const DecodedImage& image = CurrentImage();
  if (image.dxtcFormat != DXTCFormat || image.dxtcData.empty()) {
    SetError(IL_FORMAT_NOT_SUPPORTED);
    return 0;
  }
  ILuint size = ILuint(image.dxtcData.size());
  if (!Buffer) return size;
  ILuint copied = std::min(size, BufferSize);
  std::memcpy(Buffer, image.dxtcData.data(), copied);
  return copied;
}

}  // extern "C"
