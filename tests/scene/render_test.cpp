// Whole frames rendered by Wine's GL (llvmpipe) and read back: meshes from real buffer objects,
// height grids, eye-facing sprites, culling, the unsheared child transform and light placement.
#define GS_GL_NO_REDIRECT
#include <cmath>

#include "../engine/gl_window_fixture.h"
#include "../engine/log_capture.h"
#include "engine/core/extensions.h"
#include "engine/scene/frame.h"
#include "engine/scene/scene_object.h"
#include "engine/texture/texture.h"
#include "scene_test_support.h"

namespace {

using namespace scene_test;

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << "," << c.g << "," << c.b << ")";
}
const Rgb black{0, 0, 0}, white{255, 255, 255}, red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};

// x, y in window pixels from the bottom-left corner, as glReadPixels takes them.
Rgb Pixel(int x, int y) {
  unsigned char p[4] = {};
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return Rgb{p[0], p[1], p[2]};
}

MeshVertex ColouredVertex(float x, float y, float z, float r, float g, float b) {
  return MeshVertex{0, 0, r, g, b, 1, 0, 0, 1, x, y, z};
}

// At 90° over 480 rows, one unit at distance d spans 240 / d pixels. Centre (320, 240).
class Rendered : public GlWindowSuite {
 protected:
  static void SetUpTestSuite() {
    GlWindowSuite::SetUpTestSuite();
    LogCapture quiet;
    LoadExtensions();
    shadersEnabled = capabilities["shaders"];
  }
  void SetUp() override {
    ResetSceneState();
    screenWidth = 640;
    screenHeight = 480;
    glClearColor(0, 0, 0, 1);
    camera = Camera{};
    camera.projection = 1;
    camera.viewport = {0, 0, 640, 480};
    camera.fieldOfView = 90;
    camera.aspect = 640.0f / 480.0f;
    camera.nearPlane = 1;
    camera.farPlane = 100;
    AddCamera(&camera);
  }
  void TearDown() override { ResetSceneState(); }
  Camera camera;
};

TEST_F(Rendered, AMeshFromBufferObjectsIsDrawnWithItsVertexColours) {
  ASSERT_TRUE(glExt.glGenBuffersARB && glExt.glBufferDataARB && glExt.glBindBufferARB &&
              glExt.glDrawRangeElements);
  // Left half red, right half blue: a 2 × 2 square of two triangles per colour.
  MeshVertex vertices[] = {ColouredVertex(-1, -1, 0, 1, 0, 0), ColouredVertex(0, -1, 0, 1, 0, 0),
                           ColouredVertex(0, 1, 0, 1, 0, 0),   ColouredVertex(-1, 1, 0, 1, 0, 0),
                           ColouredVertex(0, -1, 0, 0, 0, 1),  ColouredVertex(1, -1, 0, 0, 0, 1),
                           ColouredVertex(1, 1, 0, 0, 0, 1),   ColouredVertex(0, 1, 0, 0, 0, 1)};
  uint32_t indices[] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
  GLuint buffers[2];
  glExt.glGenBuffersARB(2, buffers);
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffers[0]);
  glExt.glBufferDataARB(GL_ARRAY_BUFFER_ARB, sizeof vertices, vertices, GL_STATIC_DRAW_ARB);
  glExt.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, buffers[1]);
  glExt.glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, sizeof indices, indices, GL_STATIC_DRAW_ARB);
  Mesh mesh{8, 4, nullptr, nullptr, buffers[0], buffers[1], 0};
  SceneObject object = MakeObject(ObjectMesh, &mesh);
  object.position = {0, 0, -5};
  AddSceneObject(&object);

  BeginFrame();
  EXPECT_EQ(Pixel(320 - 24, 240), red);
  EXPECT_EQ(Pixel(320 + 24, 240), blue);
  EXPECT_EQ(Pixel(320 + 60, 240), black);
  EXPECT_EQ(Pixel(320, 240 + 60), black);
  EXPECT_EQ(frameStats.trianglesDrawn, 4u);
  EXPECT_EQ(frameStats.verticesDrawn, 8u);

  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
  glExt.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glExt.glDeleteBuffersARB(2, buffers);
}

TEST_F(Rendered, AHeightGridSeenFromAboveCoversItsCells) {
  // 3 × 3 samples, scaled by 2 along x: x from -2 to 2, z from -1 to 1, seen from 5 units up.
  float heights[9] = {};
  HeightGrid grid{3, 3, heights, 1, 0, 0, 0, 0};
  SceneObject object = MakeObject(ObjectHeightGrid, &grid);
  object.position = {-2, 0, -1};
  object.scale = {2, 1, 1};
  AddSceneObject(&object);
  camera.position = {0, 5, 0};
  camera.rotation = {-90, 0, 0};

  BeginFrame();
  EXPECT_EQ(Pixel(320, 240), white);
  EXPECT_EQ(Pixel(320 + 90, 240 + 40), white);
  EXPECT_EQ(Pixel(320 - 90, 240 - 40), white);
  EXPECT_EQ(Pixel(320 + 100, 240), black);
  EXPECT_EQ(Pixel(320, 240 + 56), black);
}

TEST_F(Rendered, ASpriteTurnsToFaceTheEyeWithTheTextureUpright) {
  // Texture rows: t = 0 red | green, t = 1 blue | blue.
  const unsigned char texels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255};
  Texture texture{};
  glGenTextures(1, &texture.id);
  glBindTexture(GL_TEXTURE_2D, texture.id);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  texture.kind = 2;
  texture.target = GL_TEXTURE_2D;
  texture.envMode = GL_REPLACE;
  texture.minFilter = texture.magFilter = GL_NEAREST;
  texture.anisotropy = 1;

  Sprite sprites[] = {{0, 0, 0, 4, 4, 0}};
  SpriteSet set{sprites, 1, 0, 0, 0, 1};
  SceneObject object = MakeObject(ObjectSpriteSet, &set);
  object.textures[0] = &texture;
  AddSceneObject(&object);

  // From +z looking down -z, then from +x looking down -x: the same picture both times.
  Vec3f eyes[] = {{0, 0, 10}, {10, 0, 0}};
  float turns[] = {0, 90};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    camera.position = eyes[i];
    camera.rotation = {0, turns[i], 0};
    BeginFrame();
    EXPECT_EQ(Pixel(320 - 24, 240 + 24), red);
    EXPECT_EQ(Pixel(320 + 24, 240 + 24), green);
    EXPECT_EQ(Pixel(320 - 24, 240 - 24), blue);
    EXPECT_EQ(Pixel(320 + 60, 240), black);
  }
  EXPECT_EQ(set.spanX, 8.0f);
  glDeleteTextures(1, &texture.id);
}

TEST_F(Rendered, CulledObjectsDrawNothingAndAreCounted) {
  // Both squares would land on screen; the second's bounding sphere sits behind the eye.
  MeshVertex vertices[] = {ColouredVertex(-1, -1, 0, 0, 1, 0), ColouredVertex(1, -1, 0, 0, 1, 0),
                           ColouredVertex(1, 1, 0, 0, 1, 0)};
  MeshVertex farLeft[] = {ColouredVertex(-3, -1, -10, 1, 0, 0),
                          ColouredVertex(-2, -1, -10, 1, 0, 0),
                          ColouredVertex(-2, 1, -10, 1, 0, 0)};
  uint32_t indices[] = {0, 1, 2};
  Mesh visibleMesh{3, 1, vertices, indices, 0, 0, 1}, culledMesh{3, 1, farLeft, indices, 0, 0, 1};
  SceneObject visible = MakeObject(ObjectMesh, &visibleMesh);
  visible.position = {0, 0, -5};
  SceneObject culled = MakeObject(ObjectMesh, &culledMesh);
  culled.position = {0, 0, 5};
  visible.cullTest = culled.cullTest = 1;
  visible.boundingRadius = culled.boundingRadius = 1.5f;
  AddSceneObject(&culled);
  AddSceneObject(&visible);

  BeginFrame();
  EXPECT_EQ(Pixel(320 + 24, 240 - 24), green);
  EXPECT_EQ(Pixel(320 - 120, 240 - 10), black);
  EXPECT_EQ(frameStats.objectsCulled, 1u);
  EXPECT_EQ(frameStats.objectsVisible, 1u);
  EXPECT_EQ(frameStats.trianglesDrawn, 1u);

  culled.cullTest = 0;
  BeginFrame();
  EXPECT_EQ(Pixel(320 - 120, 240 - 10), red);
}

float rotatedChildMatrix[16];
void ReadModelview(SceneObject*) { glGetFloatv(GL_MODELVIEW_MATRIX, rotatedChildMatrix); }

TEST_F(Rendered, AChildTurnedUnderAnUnevenlyScaledParentKeepsRightAngles) {
  SceneObject parent = MakeObject(3), child = MakeObject(3), probe = MakeObject(ObjectNode);
  parent.scale = {2, 1, 1};
  child.parent = &parent;
  child.rotation = {0, 0, 45};
  child.position = {1, 1, 0};
  probe.onBeforeDraw = ReadModelview;
  std::list<SceneObject*> parentChildren = {&child}, childChildren = {&probe};
  parent.children = &parentChildren;
  child.children = &childChildren;
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  DrawObject(&parent);
  const float* m = rotatedChildMatrix;
  float dot = m[0] * m[4] + m[1] * m[5] + m[2] * m[6];
  EXPECT_NEAR(dot, 0.0f, 1e-5f);
  EXPECT_NEAR(std::hypot(m[0], m[1]), 2.0f, 1e-5f);  // stretched along its own x axis
  EXPECT_NEAR(std::hypot(m[4], m[5]), 1.0f, 1e-5f);
  EXPECT_NEAR(m[0], std::sqrt(2.0f), 1e-5f);
  EXPECT_NEAR(m[12], 2.0f, 1e-5f);  // the parent's scale still moves the child
  EXPECT_NEAR(m[13], 1.0f, 1e-5f);
  Reset2DState();
}

TEST_F(Rendered, ALightSitsAtItsObjectsOriginInEyeCoordinates) {
  Light light{{0.1f, 0.2f, 0.3f, 1}, {0, 0, 0, 1}, {1, 1, 1, 1}, 3};
  SceneObject lamp = MakeObject(ObjectLight, &light);
  lamp.position = {1, 2, 3};
  camera.position = {0, 0, 10};
  AddSceneObject(&lamp);
  BeginFrame();
  float position[4], specular[4];
  glGetLightfv(GL_LIGHT3, GL_POSITION, position);
  glGetLightfv(GL_LIGHT3, GL_SPECULAR, specular);
  EXPECT_FLOAT_EQ(position[0], 1);
  EXPECT_FLOAT_EQ(position[1], 2);
  EXPECT_FLOAT_EQ(position[2], -7);
  EXPECT_FLOAT_EQ(position[3], 1);
  EXPECT_FLOAT_EQ(specular[2], 0.3f);
}

}  // namespace
