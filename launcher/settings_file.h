// Reads the display settings file vtAPI.ini; portable, no Windows headers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "launcher/display_settings.h"

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
