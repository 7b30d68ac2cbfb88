#include "file_read.h"

#include <cstdio>

#include "decoded_image.h"

namespace imagelib {

ReadStatus ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return ReadStatus::cannotOpen;
  bytes.clear();
  ReadStatus status = ReadStatus::ok;
  uint8_t chunk[65536];
  // Chunked reads: no reliance on seeking, and a directory or device fails like a bad file.
  for (;;) {
    size_t got = std::fread(chunk, 1, sizeof chunk, file);
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (bytes.size() > kMaxPixelBytes) {
      status = ReadStatus::tooLarge;
      break;
    }
    if (got < sizeof chunk) {
      if (std::ferror(file)) status = ReadStatus::readError;
      break;
    }
  }
  std::fclose(file);
  return status;
}

}  // namespace imagelib
