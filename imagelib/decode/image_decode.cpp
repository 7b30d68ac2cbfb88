#include "image_decode.h"

#include <cctype>
#include <cstring>

#include "bmp.h"
#include "dds.h"
#include "png_indexed.h"
#include "stb_decode.h"
#include "tga.h"

namespace imagelib {
namespace {

bool StartsWith(const uint8_t* data, size_t size, const char* magic) {
  size_t length = std::strlen(magic);
  return size >= length && std::memcmp(data, magic, length) == 0;
}

std::string ExtensionOf(const std::string& fileName) {
  size_t dot = fileName.find_last_of('.');
  size_t slash = fileName.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return fileName.substr(dot + 1);
}

}  // namespace

FileType TypeOfExtension(const std::string& extension) {
  std::string ext;
  for (char c : extension) ext += char(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "png") return FileType::png;
  if (ext == "jpg" || ext == "jpeg" || ext == "jpe" || ext == "jfif") return FileType::jpeg;
  if (ext == "bmp" || ext == "dib") return FileType::bmp;
  if (ext == "tga" || ext == "vda" || ext == "icb" || ext == "vst") return FileType::tga;
  if (ext == "dds") return FileType::dds;
  if (ext == "gif") return FileType::gif;
  if (ext == "psd") return FileType::psd;
  if (ext == "hdr") return FileType::hdr;
  if (ext == "pic") return FileType::pic;
  if (ext == "pnm" || ext == "ppm" || ext == "pgm") return FileType::pnm;
  return FileType::unknown;
}

FileType TypeOfContents(const uint8_t* data, size_t size) {
  if (StartsWith(data, size, "\x89PNG\r\n\x1a\n")) return FileType::png;
  if (StartsWith(data, size, "\xFF\xD8\xFF")) return FileType::jpeg;
  if (StartsWith(data, size, "BM")) return FileType::bmp;
  if (StartsWith(data, size, "DDS ")) return FileType::dds;
  if (StartsWith(data, size, "GIF8")) return FileType::gif;
  if (StartsWith(data, size, "8BPS")) return FileType::psd;
  if (StartsWith(data, size, "#?RADIANCE") || StartsWith(data, size, "#?RGBE")) {
    return FileType::hdr;
  }
  if (StartsWith(data, size, "\x53\x80\xF6\x34")) return FileType::pic;
  if (StartsWith(data, size, "P5") || StartsWith(data, size, "P6")) return FileType::pnm;
  if (LooksLikeTga(data, size)) return FileType::tga;
  return FileType::unknown;
}

DecodeStatus DecodeImage(const uint8_t* data, size_t size, const std::string& fileName,
                         bool keepDxtc, DecodedImage& out) {
  FileType type = TypeOfExtension(ExtensionOf(fileName));
  if (type == FileType::unknown) type = TypeOfContents(data, size);
  switch (type) {
    case FileType::unknown: return DecodeStatus::unknownType;
    case FileType::bmp: return DecodeBmp(data, size, out);
    case FileType::tga: return DecodeTga(data, size, out);
    case FileType::dds: return DecodeDds(data, size, keepDxtc, out);
    case FileType::png:
      if (IsIndexedPng(data, size)) return DecodeIndexedPng(data, size, out);
      return DecodeWithStb(data, size, out);
    default:
      // stb_image finds the format itself; a misnamed file of another kind it reads still loads.
      return DecodeWithStb(data, size, out);
  }
}

}  // namespace imagelib
