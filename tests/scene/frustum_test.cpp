// Frustum planes from real GL matrices (Wine, llvmpipe) and the sphere tests against them.
#define GS_GL_NO_REDIRECT
#include "engine/scene/frustum.h"

#include <cmath>
#include <limits>

#include "../engine/gl_window_fixture.h"
#include "engine/scene/frame.h"
#include "engine/scene/frustum_math.h"
#include "scene_test_support.h"

namespace {

using namespace scene_test;

void ExpectPlane(const Plane& p, float a, float b, float c, float d) {
  EXPECT_NEAR(p.a, a, 1e-3f);
  EXPECT_NEAR(p.b, b, 1e-3f);
  EXPECT_NEAR(p.c, c, 1e-3f);
  EXPECT_NEAR(p.d, d, 1e-3f);
}

float Distance(const Plane& p, float x, float y, float z) {
  return p.a * x + p.b * y + p.c * z + p.d;
}

class Frustum : public GlWindowSuite {
 protected:
  void SetUp() override { ResetSceneState(); }
  static Camera Perspective90() {
    Camera c{};
    c.projection = 1;
    c.fieldOfView = 90;
    c.aspect = 1;
    c.nearPlane = 1;
    c.farPlane = 100;
    return c;
  }
};

TEST_F(Frustum, NinetyDegreeCameraAtTheOriginGivesTheNormalisedPlanes) {
  Camera camera = Perspective90();
  ApplyCamera(&camera);
  ExtractFrustum();
  const float h = std::sqrt(0.5f);
  ExpectPlane(frustumPlanes[PlaneRight], -h, 0, -h, 0);
  ExpectPlane(frustumPlanes[PlaneLeft], h, 0, -h, 0);
  ExpectPlane(frustumPlanes[PlaneBottom], 0, h, -h, 0);
  ExpectPlane(frustumPlanes[PlaneTop], 0, -h, -h, 0);
  ExpectPlane(frustumPlanes[PlaneNear], 0, 0, -1, -1);
  ExpectPlane(frustumPlanes[PlaneFar], 0, 0, 1, 100);
  EXPECT_TRUE(SphereInFrustum(0, 0, -50, 1, 1));
  EXPECT_FALSE(SphereInFrustum(0, 0, -102, 1, 1));
  EXPECT_FALSE(SphereInFrustum(60, 0, -50, 1, 1));
  EXPECT_LE(Distance(frustumPlanes[PlaneRight], 60, 0, -50), -1.0f);  // rejected by the right plane
  for (int i = 1; i < PlaneCount; ++i)
    EXPECT_GT(Distance(frustumPlanes[i], 60, 0, -50), -1.0f) << i;
}

TEST_F(Frustum, PlanesAreInWorldCoordinatesForAMovedAndTurnedCamera) {
  Camera camera = Perspective90();
  camera.position = {10, 0, 0};
  camera.rotation = {0, 90, 0};  // looking down -x
  ApplyCamera(&camera);
  ExtractFrustum();
  ExpectPlane(frustumPlanes[PlaneNear], -1, 0, 0, 9);
  EXPECT_TRUE(SphereInFrustum(-40, 0, 0, 1, 1));
  EXPECT_FALSE(SphereInFrustum(10, 0, -50, 1, 1));
  EXPECT_FALSE(SphereInFrustum(20, 0, 0, 1, 1));
}

TEST(SphereTest, TouchingFromOutsideIsOutsideAndNaNRejectsNothing) {
  Plane planes[PlaneCount] = {};
  planes[PlaneLeft] = Plane{1, 0, 0, 0};  // the others have distance 0 everywhere
  for (int i = 0; i < PlaneCount; ++i) {
    if (i != PlaneLeft) planes[i].d = 1000;
  }
  EXPECT_FALSE(SphereInsidePlanes(planes, -2, 0, 0, 2));
  EXPECT_TRUE(SphereInsidePlanes(planes, -1.999f, 0, 0, 2));
  EXPECT_FALSE(SphereInsidePlanes(planes, 0, 5, 5, 0));  // a point on the plane is outside
  EXPECT_TRUE(SphereInsidePlanes(planes, 0.001f, 5, 5, 0));
  EXPECT_TRUE(SphereInsidePlanes(planes, std::numeric_limits<float>::quiet_NaN(), 0, 0, 1));

  // A projection that collapses a plane's normal leaves not-a-number planes: nothing is culled.
  float zero[16] = {}, q[16];
  ClipMatrix(zero, zero, q);
  PlanesFromClip(q, planes);
  EXPECT_TRUE(std::isnan(planes[PlaneNear].a));
  EXPECT_TRUE(SphereInsidePlanes(planes, 1e30f, -1e30f, 0, 0));
}

TEST(SphereTest, TheLargerExtentIsTheRadiusAndObjectsCountTheirAnswer) {
  ResetSceneState();
  for (Plane& p : frustumPlanes) p = Plane{0, 0, 0, 1000};
  frustumPlanes[PlaneLeft] = Plane{1, 0, 0, 0};
  EXPECT_TRUE(SphereInFrustum(-4.5f, 0, 0, 2, 5));
  EXPECT_TRUE(SphereInFrustum(-4.5f, 0, 0, 5, 2));
  EXPECT_FALSE(SphereInFrustum(-4.5f, 0, 0, 2, 2));
  EXPECT_EQ(frameStats.objectsCulled + frameStats.objectsVisible, 0u);

  // A child is tested at its own position as if it were in world coordinates.
  SceneObject object = MakeObject(ObjectMesh);
  object.position = {-3, 0, 0};
  object.boundingRadius = 2;
  EXPECT_FALSE(ObjectInFrustum(&object));
  EXPECT_EQ(frameStats.objectsCulled, 1u);
  EXPECT_EQ(frameStats.objectsVisible, 0u);
  object.boundingRadius = 4;
  EXPECT_TRUE(ObjectInFrustum(&object));
  EXPECT_EQ(frameStats.objectsCulled, 1u);
  EXPECT_EQ(frameStats.objectsVisible, 1u);
}

}  // namespace
