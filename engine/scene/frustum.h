// The view frustum of the camera applied last, and the culling tests against it.
#pragma once

#include "engine/scene/scene_types.h"

// Derive frustumPlanes from the current GL projection and modelview matrices.
void ExtractFrustum();
// Whether a sphere about (x, y, z) with the larger extent as radius may be visible.
bool SphereInFrustum(float x, float y, float z, float extentA, float extentB);
// Whether the object's bounding sphere (about its own position) may be visible; counts the
// answer in frameStats.
bool ObjectInFrustum(const SceneObject* object);
