// Sprite-set extents, eye-facing corners and the lazy extent refresh of DrawSpriteSet.
#define GS_GL_NO_REDIRECT
#include <cmath>

#include "engine/scene/sprite_math.h"
#include "engine/scene/sprite_set.h"
#include "scene_test_support.h"

namespace {

using namespace scene_test;
using Calls = std::vector<std::string>;

TEST(SpriteSpans, UseTheFullWidthOrHeightAsHalfSize) {
  Sprite one[] = {{0, 0, 0, 2, 4, 0}};
  SpriteSet set{one, 1, 0, 0, 0, 1};
  EXPECT_EQ(SpriteSetSpanX(&set), 4.0f);
  EXPECT_EQ(SpriteSetSpanY(&set), 8.0f);
  EXPECT_EQ(SpriteSetSpanZ(&set), 4.0f);

  Sprite two[] = {{-3, 1, 5, 1, 2, 0}, {4, -1, 5, 2, 1, 0}};  // x: -4..6, y: -2..3, z: 3..7
  set = SpriteSet{two, 2, 0, 0, 0, 1};
  EXPECT_EQ(SpriteSetSpanX(&set), 10.0f);
  EXPECT_EQ(SpriteSetSpanY(&set), 5.0f);
  EXPECT_EQ(SpriteSetSpanZ(&set), 4.0f);

  set.spriteCount = 0;
  EXPECT_EQ(SpriteSetSpanX(&set), 0.0f);
  set = SpriteSet{nullptr, 3, 0, 0, 0, 1};
  EXPECT_EQ(SpriteSetSpanY(&set), 0.0f);
}

TEST(SpriteCorners, FaceTheEyeCounterClockwiseFromTheTopLeft) {
  Vec3f c[4];
  SpriteCorners(Sprite{0, 0, 0, 2, 2, 0}, 0, 10, c);
  float expected[4][3] = {{-1, 1, 0}, {-1, -1, 0}, {1, -1, 0}, {1, 1, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(c[i].x, expected[i][0]) << i;
    EXPECT_FLOAT_EQ(c[i].y, expected[i][1]) << i;
    EXPECT_FLOAT_EQ(c[i].z, expected[i][2]) << i;
  }
  // Seen from +x the quad turns into the y-z plane, still width 2 and left-to-right for the eye.
  SpriteCorners(Sprite{5, 0, 0, 2, 2, 0}, 15, 0, c);
  EXPECT_FLOAT_EQ(c[0].x, 5.0f);
  EXPECT_FLOAT_EQ(c[0].z, 1.0f);
  EXPECT_FLOAT_EQ(c[3].z, -1.0f);
}

TEST(SpriteCorners, ASpriteStraightBelowTheEyeFacesPlusZAtFullSize) {
  Vec3f below[4], front[4];
  SpriteCorners(Sprite{3, 0, -2, 2, 6, 0}, 3, -2, below);
  SpriteCorners(Sprite{3, 0, -2, 2, 6, 0}, 3, 8, front);
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(std::isfinite(below[i].x) && std::isfinite(below[i].y) &&
                std::isfinite(below[i].z));
    EXPECT_FLOAT_EQ(below[i].x, front[i].x);
    EXPECT_FLOAT_EQ(below[i].y, front[i].y);
    EXPECT_FLOAT_EQ(below[i].z, front[i].z);
  }
  // A horizontal distance too small to divide the width by takes the same way out.
  SpriteCorners(Sprite{0, 0, 0, 2, 2, 0}, 0, 1e-45f, below);
  EXPECT_TRUE(std::isfinite(below[0].x));
  EXPECT_FLOAT_EQ(below[0].x, -1.0f);
}

class SpriteSetDrawing : public RecordedScene {};

TEST_F(SpriteSetDrawing, RefreshesDirtySpansEvenWhenCulledAndKeepsCleanOnes) {
  Sprite sprites[] = {{0, 0, 0, 2, 4, 0}};
  SpriteSet set{sprites, 1, 0, 0, 0, 1};
  frustumPlanes[PlaneNear] = Plane{0, 0, -1, -1};  // everything at z > -1 + radius is outside
  Record();
  DrawSpriteSet(&set, 0, 0, 50);
  EXPECT_EQ(Taken(), Calls{});
  EXPECT_EQ(set.spanX, 4.0f);
  EXPECT_EQ(set.spanY, 8.0f);
  EXPECT_EQ(set.spansDirty, 0);
  EXPECT_EQ(frameStats.objectsCulled, 0u);

  sprites[0].width = 100;  // moved without marking: the old extents stay
  DrawSpriteSet(&set, 0, 0, -10);
  EXPECT_EQ(set.spanX, 4.0f);
  EXPECT_EQ(Count(Taken(), "glVertex3f"), 4);

  // The radius is the larger of spanX and spanZ: 6 along z reaches back over the near plane.
  set.spanX = 1;
  set.spanZ = 6;
  DrawSpriteSet(&set, 0, 0, 4.5f);
  EXPECT_EQ(Count(Taken(), "glBegin"), 1);
}

TEST_F(SpriteSetDrawing, AnEmptyVisibleSetDrawsAnEmptyBatch) {
  SpriteSet set{nullptr, 0, 0, 0, 0, 1};
  for (Plane& p : frustumPlanes) p = Plane{0, 0, 0, 1};
  Record();
  DrawSpriteSet(&set, 0, 0, 0);
  EXPECT_EQ(Taken(), (Calls{GlCallText("glBegin", GLenum(GL_QUADS)),
                            GlCallText("glColor4f", 1.0f, 1.0f, 1.0f, 1.0f), "glEnd()"}));
}

}  // namespace
