// The record the launcher library hands out; portable, no Windows headers.
#pragma once
#include <cstdint>

// Four signed 32-bit ints in this order.
struct DisplaySettings {
  int32_t width;
  int32_t height;
  int32_t bpp;
  int32_t fullscreen;  // 1 full screen, 2 windowed, -1 cancelled; others passed on as they are
};
static_assert(sizeof(DisplaySettings) == 16, "four packed 32-bit ints");
