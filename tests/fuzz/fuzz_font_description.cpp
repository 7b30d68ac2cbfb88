// Fuzz target: the font description reader over arbitrary bytes, applied as the loader does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "engine/text/font_description.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  int widths[256] = {};
  std::string line, texture;
  bool tooLong = false;
  size_t lines = 0;
  while (NextFontLine(in, line, tooLong)) {
    // Every call consumes at least one byte, so the loop ends within `size` lines.
    if (++lines > size) std::abort();
    if (line.size() > kMaxFontLineBytes || (tooLong && !line.empty())) std::abort();
    if (line.find('\0') != std::string::npos) std::abort();
    FontLine parsed = ParseFontLine(line);
    switch (parsed.kind) {
      case FontLineKind::Width:
        if (parsed.code < 0 || parsed.code > 255 || !parsed.value.empty()) std::abort();
        widths[parsed.code] = parsed.width;
        break;
      case FontLineKind::Texture: texture = parsed.value; break;
      case FontLineKind::Empty:
        if (!line.empty()) std::abort();
        break;
      default: break;
    }
    if (parsed.value.size() > line.size()) std::abort();
  }
  // The phrase width the program computes from these widths wraps but never traps.
  volatile uint32_t sum = 0;
  for (int w : widths) sum = sum + uint32_t(w);
  ReadDecimal(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
