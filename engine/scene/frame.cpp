// BeginFrame with its camera loop and viewport cache, the 2D state reset, and camera application.
#include "engine/scene/frame.h"

#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"
#include "engine/scene/frustum.h"
#include "engine/scene/scene_lists.h"
#include "engine/scene/scene_object.h"
#include "engine/scene/scene_state.h"
#include "engine/texture/texture.h"

namespace {

// Set the viewport unless BeginFrame already set exactly this one.
void SetViewport(const Viewport& v) {
  if (v.x == viewportCache.x && v.y == viewportCache.y && v.width == viewportCache.width &&
      v.height == viewportCache.height) {
    return;
  }
  glViewport(v.x, v.y, v.width, v.height);
  viewportCache = v;
}

}  // namespace

void Reset2DState() {
  for (int i = 0; i < 8; ++i) {
    SelectTextureUnit(i);
    if (textureUnitCache[i]) {
      glDisable(textureUnitCache[i]->target);
      textureUnitCache[i] = nullptr;
    }
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_3D);
  }
  if (currentProgram) {
    UseProgram(0);
    currentProgram = nullptr;
  }
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  blendModeCache = 0;
  glDisable(GL_DEPTH_TEST);

  SelectTextureUnit(0);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBindTexture(GL_TEXTURE_2D, 0);
  glColor4f(1, 1, 1, 1);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, screenWidth, screenHeight, 0, -1, 1);
  glTranslatef(0.375f, 0.375f, 0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
}

void ApplyCamera(Camera* camera) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (camera->projection == ProjectionPerspective) {
    gluPerspective(camera->fieldOfView, camera->aspect, camera->nearPlane, camera->farPlane);
  } else if (camera->projection == ProjectionOrthographic) {
    glOrtho(-100, 100, -100, 100, camera->nearPlane, camera->farPlane);
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (camera->followTarget) {
    camera->rotation = camera->followTarget->rotation;
    camera->position = camera->followTarget->position;
  }
  glRotatef(-camera->rotation.x, 1, 0, 0);
  glRotatef(-camera->rotation.y, 0, 1, 0);
  glRotatef(-camera->rotation.z, 0, 0, 1);
  glTranslatef(-camera->position.x, -camera->position.y, -camera->position.z);
  eyePosition = camera->position;
}

int BeginFrame() {
  Reset2DState();
  glEnable(GL_DEPTH_TEST);
  frameStats = FrameStats{};
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  for (Camera* camera : cameras) {
    if (camera->projection == ProjectionInactive) continue;
    SetViewport(camera->viewport);
    ApplyCamera(camera);
    ExtractFrustum();
    for (SceneObject* object : sceneObjects) DrawObject(object);
  }
  SetViewport(Viewport{0, 0, screenWidth, screenHeight});
  Reset2DState();
  return 1;
}
