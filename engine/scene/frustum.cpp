// Frustum extraction from the GL matrices and the sphere tests against it.
#include "engine/scene/frustum.h"

#include "engine/core/gl_api.h"
#include "engine/scene/frustum_math.h"
#include "engine/scene/scene_state.h"

void ExtractFrustum() {
  float projection[16] = {}, modelview[16] = {}, clip[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  ClipMatrix(projection, modelview, clip);
  PlanesFromClip(clip, frustumPlanes);
}

bool SphereInFrustum(float x, float y, float z, float extentA, float extentB) {
  float radius = extentA > extentB ? extentA : extentB;
  return SphereInsidePlanes(frustumPlanes, x, y, z, radius);
}

bool ObjectInFrustum(const SceneObject* object) {
  const Vec3f& c = object->position;
  bool inside = SphereInsidePlanes(frustumPlanes, c.x, c.y, c.z, object->boundingRadius);
  ++(inside ? frameStats.objectsVisible : frameStats.objectsCulled);
  return inside;
}
