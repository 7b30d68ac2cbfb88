#include "gl_reference_shot.h"

#include <cstdio>
#include <cstring>

bool TakeShotOption(int argc, char** argv, std::vector<char*>& rest, std::string& file) {
  rest.clear();
  file.clear();
  bool taken = false;
  for (int i = 0; i < argc; ++i) {
    if (i == 0 || !argv[i] || std::strcmp(argv[i], kShotOption) != 0) {
      rest.push_back(argv[i]);
      continue;
    }
    if (taken || i + 1 >= argc || !argv[i + 1] || !*argv[i + 1]) return false;
    file = argv[++i];
    taken = true;
  }
  return true;
}

bool WriteShot(const std::string& file, int32_t width, int32_t height,
               const std::vector<uint8_t>& bottomUp) {
  if (width <= 0 || height <= 0) return false;
  size_t row = size_t(width) * 3;
  if (bottomUp.size() != row * size_t(height)) return false;
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) return false;
  bool whole = std::fprintf(out, "P6\n%d %d\n255\n", int(width), int(height)) > 0;
  for (int32_t y = height - 1; whole && y >= 0; --y)
    whole = std::fwrite(&bottomUp[size_t(y) * row], 1, row, out) == row;
  return std::fclose(out) == 0 && whole;
}
