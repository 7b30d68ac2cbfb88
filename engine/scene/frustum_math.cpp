// View-frustum maths on plain arrays.
#include "engine/scene/frustum_math.h"

#include <cmath>

namespace {

// One plane from row 3 of q plus sign times row axis, normalised.
Plane PlaneFromClip(const float q[16], float sign, int axis) {
  Plane p{q[3] + sign * q[axis], q[7] + sign * q[4 + axis], q[11] + sign * q[8 + axis],
          q[15] + sign * q[12 + axis]};
  float t = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
  return Plane{p.a / t, p.b / t, p.c / t, p.d / t};
}

}  // namespace

void ClipMatrix(const float p[16], const float m[16], float q[16]) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      q[4 * i + j] = m[4 * i] * p[j] + m[4 * i + 1] * p[4 + j] + m[4 * i + 2] * p[8 + j] +
                     m[4 * i + 3] * p[12 + j];
    }
  }
}

void PlanesFromClip(const float q[16], Plane planes[PlaneCount]) {
  planes[PlaneRight] = PlaneFromClip(q, -1.0f, 0);
  planes[PlaneLeft] = PlaneFromClip(q, 1.0f, 0);
  planes[PlaneBottom] = PlaneFromClip(q, 1.0f, 1);
  planes[PlaneTop] = PlaneFromClip(q, -1.0f, 1);
  planes[PlaneNear] = PlaneFromClip(q, 1.0f, 2);
  planes[PlaneFar] = PlaneFromClip(q, -1.0f, 2);
}

bool SphereInsidePlanes(const Plane planes[PlaneCount], float x, float y, float z, float radius) {
  for (int i = 0; i < PlaneCount; ++i) {
    const Plane& p = planes[i];
    float dist = p.a * x + p.b * y + p.c * z + p.d;
    if (dist <= -radius) return false;
  }
  return true;
}
