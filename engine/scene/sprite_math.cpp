// Sprite-set extents and eye-facing sprite corners.
#include "engine/scene/sprite_math.h"

#include <cmath>

namespace {

float Span(const SpriteSet* set, float Sprite::*coordinate, float Sprite::*size) {
  if (!set->sprites || set->spriteCount == 0) return 0.0f;
  const Sprite& first = set->sprites[0];
  float low = first.*coordinate - first.*size, high = first.*coordinate + first.*size;
  for (uint32_t i = 1; i < set->spriteCount; ++i) {
    const Sprite& p = set->sprites[i];
    if (p.*coordinate - p.*size < low) low = p.*coordinate - p.*size;
    if (p.*coordinate + p.*size > high) high = p.*coordinate + p.*size;
  }
  return high - low;
}

}  // namespace

float SpriteSetSpanX(const SpriteSet* set) { return Span(set, &Sprite::x, &Sprite::width); }
float SpriteSetSpanY(const SpriteSet* set) { return Span(set, &Sprite::y, &Sprite::height); }
float SpriteSetSpanZ(const SpriteSet* set) { return Span(set, &Sprite::z, &Sprite::width); }

void SpriteCorners(const Sprite& p, float ex, float ez, Vec3f corners[4]) {
  float dx = p.x - ex, dz = p.z - ez;
  float dist = std::sqrt(dx * dx + dz * dz);
  float k = (p.width * 0.5f) / dist;
  // A sprite straight below or above the eye (no horizontal distance, or one too small to divide
  // by) has no facing direction: it is drawn as if seen from +z, in the x-y plane, so it keeps
  // its size and no infinity or NaN reaches GL.
  if (!(dist > 0.0f) || !std::isfinite(k)) {
    dx = 0.0f;
    dz = -1.0f;
    k = p.width * 0.5f;
  }
  float rx = k * dz, rz = k * dx, hy = p.height * 0.5f;
  corners[0] = Vec3f{p.x + rx, p.y + hy, p.z - rz};
  corners[1] = Vec3f{p.x + rx, p.y - hy, p.z - rz};
  corners[2] = Vec3f{p.x - rx, p.y - hy, p.z + rz};
  corners[3] = Vec3f{p.x - rx, p.y + hy, p.z + rz};
}
