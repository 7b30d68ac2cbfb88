// View-frustum maths on plain arrays: clip matrix, plane extraction and the sphere test. Portable.
#pragma once

#include "engine/scene/scene_state.h"

// q = projection × modelview, all three 16 floats in OpenGL's column-major order.
void ClipMatrix(const float projection[16], const float modelview[16], float q[16]);
// The six normalised planes (right, left, bottom, top, near, far) of clip matrix q.
void PlanesFromClip(const float q[16], Plane planes[PlaneCount]);
// False when the sphere lies wholly outside one of the planes (distance ≤ −radius). A distance
// that is not a number rejects nothing.
bool SphereInsidePlanes(const Plane planes[PlaneCount], float x, float y, float z, float radius);
