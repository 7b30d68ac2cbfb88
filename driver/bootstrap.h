// Launcher bootstrap: display settings from the launcher library, then engine start-up.
#pragma once

#include <cstdint>

struct DisplaySettings {
  int32_t width;
  int32_t height;
  int32_t bpp;
  int32_t fullscreen;  // 1 full screen, 2 windowed, -1 cancelled
};

// Returns with the engine started; ends the process on cancel or failed start-up.
void Bootstrap();
