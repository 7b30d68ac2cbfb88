// Read a whole file into memory, refusing files beyond the library's size limit.
#pragma once

#include <cstdint>
#include <vector>

namespace imagelib {

enum class ReadStatus { ok, cannotOpen, readError, tooLarge };

ReadStatus ReadWholeFile(const char* path, std::vector<uint8_t>& bytes);

}  // namespace imagelib
