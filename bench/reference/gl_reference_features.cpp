#include "gl_reference_features.h"

#include <cstdio>
#include <cstring>

namespace {

const char kVertexBuffers[] = "GL_ARB_vertex_buffer_object";
const char kDivisors[] = "GL_ARB_instanced_arrays";
const char kInstancedDraws[] = "GL_ARB_draw_instanced";

std::string Lacking(const GlOffer& offer, const std::string& needs, const std::string& missing) {
  std::string has = offer.version.empty() ? "no OpenGL version" : "OpenGL " + offer.version;
  return needs + "; this desktop has " + has + missing;
}

}  // namespace

GlOffer ReadGlOffer(const char* version, const char* extensions) {
  GlOffer offer;
  if (version) {
    offer.version = version;
    int major = 0, minor = 0;
    // "major.minor" leads the string on every profile but OpenGL ES ("OpenGL ES 3.2 ..."),
    // which then reads as no version.
    if (std::sscanf(version, "%d.%d", &major, &minor) == 2 && major >= 0 && minor >= 0) {
      offer.major = major;
      offer.minor = minor;
    }
  }
  if (extensions) offer.extensions = extensions;
  return offer;
}

bool OffersVersion(const GlOffer& offer, int32_t major, int32_t minor) {
  return offer.major > major || (offer.major == major && offer.minor >= minor);
}

bool OffersExtension(const GlOffer& offer, const char* name) {
  size_t length = std::strlen(name);
  if (length == 0) return false;
  const std::string& list = offer.extensions;
  for (size_t at = list.find(name); at != std::string::npos; at = list.find(name, at + 1)) {
    bool starts = at == 0 || list[at - 1] == ' ';
    bool ends = at + length == list.size() || list[at + length] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

std::string MissingForVertexBuffer(const GlOffer& offer) {
  if (OffersVersion(offer, 1, 5) || OffersExtension(offer, kVertexBuffers)) return "";
  return Lacking(offer, std::string("needs OpenGL 1.5 or ") + kVertexBuffers,
                 std::string(", without ") + kVertexBuffers);
}

std::string MissingForInstancing(const GlOffer& offer) {
  if (OffersVersion(offer, 3, 3)) return "";
  std::string missing;
  if (!OffersVersion(offer, 2, 0)) missing += ", without shaders (OpenGL 2.0)";
  if (!OffersExtension(offer, kDivisors)) missing += std::string(", without ") + kDivisors;
  if (!OffersVersion(offer, 3, 1) && !OffersExtension(offer, kInstancedDraws))
    missing += std::string(", without ") + kInstancedDraws;
  if (missing.empty()) return "";
  return Lacking(
      offer, std::string("needs OpenGL 3.3, or 2.0 with ") + kDivisors + " and " + kInstancedDraws,
      missing);
}
