// DrawObject: callbacks, culling, the object transform and render state through the caches.
#include "engine/scene/scene_object.h"

#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"
#include "engine/scene/frustum.h"
#include "engine/scene/scene_state.h"
#include "engine/scene/sprite_set.h"
#include "engine/texture/texture.h"

namespace {

bool IsUnitScale(const Vec3f& s) { return s.x == 1.0f && s.y == 1.0f && s.z == 1.0f; }

// Translate, rotate about z, y, x and scale. An unevenly scaled parent's scale is undone around
// the rotation so that a rotated child is stretched along its own axes, not sheared.
void ApplyTransform(const SceneObject* object) {
  bool compensate = object->parent && !IsUnitScale(object->parent->scale);
  const Vec3f& p = object->position;
  glTranslatef(p.x, p.y, p.z);
  if (compensate) {
    const Vec3f& s = object->parent->scale;
    glScalef(1.0f / s.x, 1.0f / s.y, 1.0f / s.z);
  }
  glRotatef(object->rotation.z, 0, 0, 1);
  glRotatef(object->rotation.y, 0, 1, 0);
  glRotatef(object->rotation.x, 1, 0, 0);
  if (compensate) {
    const Vec3f& s = object->parent->scale;
    glScalef(s.x, s.y, s.z);
  }
  if (!IsUnitScale(object->scale)) glScalef(object->scale.x, object->scale.y, object->scale.z);
}

// The program is made current for every object, without comparing with currentProgram.
void ApplyProgram(SceneObject* object) {
  ShaderProgram* program = object->program;
  if (!program) {
    UseProgram(0);
    currentProgram = nullptr;
    return;
  }
  if (program->ready) UseProgram(program->handle);
  currentProgram = program;
  if (object->onApplyProgram) object->onApplyProgram(object);
}

void ApplyTextures(const SceneObject* object) {
  for (int i = 0; i < 8; ++i) {
    Texture* texture = object->textures[i];
    Texture*& cached = textureUnitCache[i];
    if (texture == cached) continue;
    SelectTextureUnit(i);
    if (cached) glDisable(cached->target);
    if (texture) ApplyTexture(texture);
    cached = texture;
  }
}

void ApplyBlend(uint8_t mode) {
  if (mode == blendModeCache) return;
  if (mode == BlendNone) {
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
  } else {
    glEnable(GL_BLEND);
    if (mode == BlendAlpha) {
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else if (mode == BlendMultiply) {
      glBlendFunc(GL_DST_COLOR, GL_ZERO);
      glDepthMask(GL_FALSE);
      glDisable(GL_DEPTH_TEST);
    } else if (mode == BlendAdd) {
      glBlendFunc(GL_ONE, GL_ONE);
      glDisable(GL_DEPTH_TEST);
      glDepthMask(GL_FALSE);
    }
  }
  blendModeCache = mode;
}

void ApplyAlphaTest(float alphaRef) {
  if (alphaRef == 0.0f) {
    glDisable(GL_ALPHA_TEST);
    return;
  }
  glAlphaFunc(GL_GREATER, alphaRef);
  glEnable(GL_ALPHA_TEST);
}

void DrawPayload(SceneObject* object) {
  if (!object->payload) return;
  switch (object->kind) {
    case ObjectMesh: DrawMesh(static_cast<Mesh*>(object->payload)); break;
    case ObjectLight: ApplyLight(static_cast<Light*>(object->payload)); break;
    case ObjectHeightGrid: DrawHeightGrid(static_cast<HeightGrid*>(object->payload)); break;
    case ObjectSpriteSet: {
      const Vec3f& p = object->position;
      DrawSpriteSet(static_cast<SpriteSet*>(object->payload), p.x, p.y, p.z);
      break;
    }
    default: break;
  }
}

}  // namespace

void SelectTextureUnit(int unit) {
  if (glActiveTexture) glActiveTexture(GL_TEXTURE0 + unit);
}

void UseProgram(uint32_t handle) {
  if (shadersEnabled > 0 && glUseProgramObjectARB) glUseProgramObjectARB(handle);
}

int DrawObject(SceneObject* object) {
  if (object->onBeforeDraw) object->onBeforeDraw(object);
  if (!object->visible) return 1;
  if (!object->cullTest || ObjectInFrustum(object)) {
    bool pushed = object->kind != ObjectNode;
    if (pushed) {
      glPushMatrix();
      ApplyTransform(object);
      if (object->kind != ObjectLight) {
        ApplyProgram(object);
        ApplyTextures(object);
        ApplyBlend(object->blendMode);
      }
    }
    ApplyAlphaTest(object->alphaRef);
    DrawPayload(object);
    if (object->children) {
      for (SceneObject* child : *object->children) DrawObject(child);
    }
    if (pushed) glPopMatrix();
  }
  if (object->onAfterDraw) object->onAfterDraw(object);
  return 1;
}
