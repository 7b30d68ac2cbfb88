// Fuzz target: the frustum and sprite maths on arbitrary floats (NaN, infinities, zero matrices).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/scene/frustum_math.h"
#include "engine/scene/sprite_math.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Two matrices and a sphere, then sprites of six floats each from the rest.
  const size_t head = (16 + 16 + 4 + 2) * sizeof(float);
  if (size < head) return 0;
  float f[38];
  std::memcpy(f, data, head);
  float q[16];
  Plane planes[PlaneCount];
  ClipMatrix(f, f + 16, q);
  PlanesFromClip(q, planes);
  volatile bool inside = SphereInsidePlanes(planes, f[32], f[33], f[34], f[35]);
  (void)inside;

  std::vector<Sprite> sprites((size - head) / sizeof(Sprite));
  if (!sprites.empty()) std::memcpy(sprites.data(), data + head, sprites.size() * sizeof(Sprite));
  SpriteSet set{sprites.empty() ? nullptr : sprites.data(), uint32_t(sprites.size()), 0, 0, 0, 1};
  volatile float spans = SpriteSetSpanX(&set) + SpriteSetSpanY(&set) + SpriteSetSpanZ(&set);
  (void)spans;
  Vec3f corners[4];
  for (const Sprite& p : sprites) SpriteCorners(p, f[36], f[37], corners);
  return 0;
}
