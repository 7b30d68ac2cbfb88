// Pick the decoder for a file and decode it: by the file name's extension when it names a known
// type, otherwise by the contents.
#pragma once

#include <string>

#include "decoded_image.h"

namespace imagelib {

enum class FileType { unknown, png, jpeg, bmp, tga, dds, gif, psd, hdr, pic, pnm };

// The type a (lower- or upper-case) extension names, without the dot.
FileType TypeOfExtension(const std::string& extension);

// The type the first bytes reveal; TGA, which has no signature, comes last.
FileType TypeOfContents(const uint8_t* data, size_t size);

// Decode a whole file held in memory; out is untouched unless the result is ok.
DecodeStatus DecodeImage(const uint8_t* data, size_t size, const std::string& fileName,
                         bool keepDxtc, DecodedImage& out);

}  // namespace imagelib
