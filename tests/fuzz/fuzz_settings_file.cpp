// Fuzz target: the launcher's vtAPI.ini parser over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SettingsFileResult result = ParseSettingsFile(reinterpret_cast<const char*>(data), size);
  if (result.valid) {
    const DisplaySettings& s = result.settings;
    // A usable file never hands the program a mode outside the documented ranges.
    if (s.width < 1 || s.width > kMaxScreenSide || s.height < 1 || s.height > kMaxScreenSide ||
        s.bpp < 1 || s.bpp > kMaxBpp || !result.reason.empty())
      std::abort();
  } else if (result.reason.empty()) {
    std::abort();
  }
  return 0;
}
