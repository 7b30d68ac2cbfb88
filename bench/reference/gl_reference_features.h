// What a desktop's OpenGL offers, read from its version and extension strings, and what the GL
// reference program's buffer paths need of it. Portable.
#pragma once

#include <cstdint>
#include <string>

struct GlOffer {
  int32_t major = 0, minor = 0;
  std::string version;     // as the driver gives it
  std::string extensions;  // space-separated names
};

// Null strings read as no version and no extensions.
GlOffer ReadGlOffer(const char* version, const char* extensions);

bool OffersVersion(const GlOffer& offer, int32_t major, int32_t minor);
bool OffersExtension(const GlOffer& offer, const char* name);

// Empty when the desktop has what the path needs; otherwise what it lacks, in words for the row
// that says the path is unavailable there.
std::string MissingForVertexBuffer(const GlOffer& offer);
std::string MissingForInstancing(const GlOffer& offer);
