// Sprite sets: lazy extents, frustum check and one GL_QUADS batch of eye-facing quads.
#include "engine/scene/sprite_set.h"

#include "engine/core/gl_api.h"
#include "engine/scene/frustum.h"
#include "engine/scene/scene_state.h"
#include "engine/scene/sprite_math.h"

void DrawSpriteSet(SpriteSet* set, float originX, float originY, float originZ) {
  float ex = eyePosition.x - originX, ez = eyePosition.z - originZ;
  if (set->spansDirty) {
    set->spanX = SpriteSetSpanX(set);
    set->spanY = SpriteSetSpanY(set);
    set->spanZ = SpriteSetSpanZ(set);
  }
  set->spansDirty = 0;
  if (!SphereInFrustum(originX, originY, originZ, set->spanX, set->spanZ)) return;

  static const float texCoords[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  glBegin(GL_QUADS);
  glColor4f(1, 1, 1, 1);
  uint32_t count = set->sprites ? set->spriteCount : 0;
  for (uint32_t i = 0; i < count; ++i) {
    Vec3f corners[4];
    SpriteCorners(set->sprites[i], ex, ez, corners);
    for (int k = 0; k < 4; ++k) {
      glTexCoord2f(texCoords[k][0], texCoords[k][1]);
      glVertex3f(corners[k].x, corners[k].y, corners[k].z);
    }
  }
  glEnd();
}
