// Reads the display settings file vtAPI.ini; portable, no Windows headers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The record InitDemo hands out: four signed 32-bit ints in this order.
struct DisplaySettings {
  int32_t width;
  int32_t height;
  int32_t bpp;
  int32_t fullscreen;  // 1 full screen, 2 windowed, -1 cancelled; others passed on as they are
};
static_assert(sizeof(DisplaySettings) == 16, "four packed 32-bit ints");

struct SettingsFileResult {
  bool valid;
  DisplaySettings settings;  // meaningful only when valid
  std::string reason;        // why the file cannot be used, when not valid
};

// Bigger files are refused before parsing: a settings file is a few lines.
constexpr std::size_t kMaxSettingsFileSize = 64 * 1024;

constexpr int32_t kMaxScreenSide = 16384;
constexpr int32_t kMaxBpp = 64;

// Parses the bytes of a settings file: section [display] with keys width, height, bpp, fullscreen.
SettingsFileResult ParseSettingsFile(const char* data, std::size_t size);
