// The frame cycle's GL calls, logged by the recorder: what BeginFrame, Reset2DState and
// ApplyCamera send, and what they leave out.
#define GS_GL_NO_REDIRECT
#include "engine/scene/frame.h"
#include "engine/texture/texture.h"
#include "scene_test_support.h"

namespace {

using namespace scene_test;
using Calls = std::vector<std::string>;

Calls Reset2DCalls(bool units = true) {
  Calls c;
  for (int i = 0; i < 8; ++i) {
    if (units) c.push_back(GlCallText("glActiveTexture", GLenum(GL_TEXTURE0 + i)));
    for (GLenum target : {GL_TEXTURE_1D, GL_TEXTURE_2D, GL_TEXTURE_3D})
      c.push_back(GlCallText("glDisable", target));
  }
  c.push_back(GlCallText("glDisable", GLenum(GL_BLEND)));
  c.push_back(GlCallText("glDepthMask", GLboolean(GL_TRUE)));
  c.push_back(GlCallText("glDisable", GLenum(GL_DEPTH_TEST)));
  if (units) c.push_back(GlCallText("glActiveTexture", GLenum(GL_TEXTURE0)));
  Calls tail = {GlCallText("glEnable", GLenum(GL_TEXTURE_2D)),
                GlCallText("glTexEnvi", GLenum(GL_TEXTURE_ENV), GLenum(GL_TEXTURE_ENV_MODE),
                           GLint(GL_REPLACE)),
                GlCallText("glBindTexture", GLenum(GL_TEXTURE_2D), GLuint(0)),
                GlCallText("glColor4f", 1.0f, 1.0f, 1.0f, 1.0f),
                GlCallText("glMatrixMode", GLenum(GL_PROJECTION)),
                "glLoadIdentity()",
                GlCallText("glOrtho", 0.0, 640.0, 480.0, 0.0, -1.0, 1.0),
                GlCallText("glTranslatef", 0.375f, 0.375f, 0.0f),
                GlCallText("glMatrixMode", GLenum(GL_MODELVIEW)),
                "glLoadIdentity()",
                GlCallText("glDisable", GLenum(GL_LIGHTING))};
  c.insert(c.end(), tail.begin(), tail.end());
  return c;
}

Calls Concat(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

const std::string clear =
    GlCallText("glClear", GLbitfield(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
const std::string depthOn = GlCallText("glEnable", GLenum(GL_DEPTH_TEST));
const std::string fullViewport =
    GlCallText("glViewport", GLint(0), GLint(0), GLsizei(640), GLsizei(480));

int drawCount;
void CountDraw(SceneObject*) { ++drawCount; }

Camera MakeCamera(uint8_t projection, Viewport viewport) {
  Camera c{};
  c.projection = projection;
  c.viewport = viewport;
  c.aspect = 1.5f;
  c.fieldOfView = 60.0f;
  c.nearPlane = 0.5f;
  c.farPlane = 250.0f;
  return c;
}

class FrameCalls : public RecordedScene {};

TEST_F(FrameCalls, AFrameWithoutCamerasIsOnlyTheResetClearAndViewportCheck) {
  frameStats = FrameStats{5, 6, 7, 8};
  Record();
  EXPECT_EQ(BeginFrame(), 1);
  EXPECT_EQ(Taken(), Concat({Reset2DCalls(), {depthOn, clear, fullViewport}, Reset2DCalls()}));
  EXPECT_EQ(frameStats.trianglesDrawn + frameStats.verticesDrawn + frameStats.objectsCulled +
                frameStats.objectsVisible,
            0u);
  // The viewport is now cached: the next frame makes no viewport call at all.
  EXPECT_EQ(BeginFrame(), 1);
  EXPECT_EQ(Taken(), Concat({Reset2DCalls(), {depthOn, clear}, Reset2DCalls()}));
}

TEST_F(FrameCalls, ResetDisablesCachedTargetsEndsTheProgramAndEmptiesTheCaches) {
  Texture cube{};
  cube.target = GL_TEXTURE_CUBE_MAP;
  ShaderProgram program{7, 1};
  textureUnitCache[3] = &cube;
  currentProgram = &program;
  blendModeCache = 2;
  Record();
  Reset2DState();
  Calls calls = Taken();
  Calls expected = Reset2DCalls();
  auto unit3 = std::find(expected.begin(), expected.end(),
                         GlCallText("glActiveTexture", GLenum(GL_TEXTURE0 + 3)));
  expected.insert(unit3 + 1, GlCallText("glDisable", GLenum(GL_TEXTURE_CUBE_MAP)));
  auto blend =
      std::find(expected.begin(), expected.end(), GlCallText("glDisable", GLenum(GL_BLEND)));
  expected.insert(blend, GlCallText("glUseProgramObjectARB", GLhandleARB(0)));
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(textureUnitCache[3], nullptr);
  EXPECT_EQ(currentProgram, nullptr);
  EXPECT_EQ(blendModeCache, 0);

  // Without shader objects the program is forgotten without a call.
  shadersEnabled = 0;
  currentProgram = &program;
  Reset2DState();
  EXPECT_EQ(Count(Taken(), "glUseProgramObjectARB"), 0);
  EXPECT_EQ(currentProgram, nullptr);
}

TEST_F(FrameCalls, WithoutMultitextureEveryStepWorksOnTheOneUnit) {
  glExt.glActiveTexture = nullptr;
  Record();
  Reset2DState();
  EXPECT_EQ(Taken(), Reset2DCalls(false));
}

TEST_F(FrameCalls, ActiveCamerasShareOneViewportCallAndEachDrawsTheWholeList) {
  Camera a = MakeCamera(1, {100, 50, 320, 240});
  Camera off = MakeCamera(0, {1, 2, 3, 4});
  Camera b = MakeCamera(1, {100, 50, 320, 240});
  ASSERT_TRUE(AddCamera(&a) && AddCamera(&off) && AddCamera(&b));
  SceneObject first = MakeObject(ObjectNode), second = MakeObject(ObjectNode);
  first.onBeforeDraw = second.onBeforeDraw = CountDraw;
  ASSERT_TRUE(AddSceneObject(&first) && AddSceneObject(&second));
  drawCount = 0;
  Record();
  EXPECT_EQ(BeginFrame(), 1);
  Calls calls = Taken();
  std::string cameraViewport =
      GlCallText("glViewport", GLint(100), GLint(50), GLsizei(320), GLsizei(240));
  EXPECT_EQ(Count(calls, "glViewport"), 2);
  EXPECT_EQ(Count(calls, cameraViewport), 1);
  EXPECT_EQ(Count(calls, GlCallText("gluPerspective", 60.0, 1.5, 0.5, 250.0)), 2);
  EXPECT_EQ(Count(calls, "glGetFloatv(" + std::to_string(GL_PROJECTION_MATRIX)),
            2);  // one frustum per camera
  EXPECT_EQ(drawCount, 4);
  EXPECT_EQ(calls.back(), GlCallText("glDisable", GLenum(GL_LIGHTING)));
  EXPECT_EQ(*(std::find(calls.begin(), calls.end(), fullViewport) + 1),
            GlCallText("glActiveTexture", GLenum(GL_TEXTURE0)));  // the closing reset follows

  // The frame ended on the full window, so the next one sets the camera's viewport again.
  BeginFrame();
  calls = Taken();
  EXPECT_EQ(Count(calls, cameraViewport), 1);
  EXPECT_EQ(Count(calls, fullViewport), 1);
}

TEST_F(FrameCalls, ACameraOnTheFullWindowCostsOneViewportCallInTheFirstFrameOnly) {
  Camera full = MakeCamera(2, {0, 0, 640, 480});
  AddCamera(&full);
  Record();
  BeginFrame();
  EXPECT_EQ(Count(Taken(), "glViewport"), 1);
  BeginFrame();
  EXPECT_EQ(Count(Taken(), "glViewport"), 0);
}

TEST_F(FrameCalls, ApplyCameraLoadsProjectionThenTheInverseView) {
  Camera ortho = MakeCamera(2, {});
  ortho.position = {1, 2, 3};
  ortho.rotation = {10, 20, 30};
  Record();
  ApplyCamera(&ortho);
  EXPECT_EQ(Taken(), (Calls{GlCallText("glMatrixMode", GLenum(GL_PROJECTION)), "glLoadIdentity()",
                            GlCallText("glOrtho", -100.0, 100.0, -100.0, 100.0, 0.5, 250.0),
                            GlCallText("glMatrixMode", GLenum(GL_MODELVIEW)), "glLoadIdentity()",
                            GlCallText("glRotatef", -10.0f, 1.0f, 0.0f, 0.0f),
                            GlCallText("glRotatef", -20.0f, 0.0f, 1.0f, 0.0f),
                            GlCallText("glRotatef", -30.0f, 0.0f, 0.0f, 1.0f),
                            GlCallText("glTranslatef", -1.0f, -2.0f, -3.0f)}));
  EXPECT_EQ(eyePosition.z, 3.0f);

  // Any other active kind keeps the identity projection and is drawn like the others.
  Camera identity = MakeCamera(3, {0, 0, 10, 10});
  SceneObject node = MakeObject(ObjectNode);
  node.onBeforeDraw = CountDraw;
  AddCamera(&identity);
  AddSceneObject(&node);
  drawCount = 0;
  BeginFrame();
  Calls calls = Taken();
  auto projection =
      std::find(calls.begin(), calls.end(),
                GlCallText("glViewport", GLint(0), GLint(0), GLsizei(10), GLsizei(10)));
  ASSERT_NE(projection, calls.end());
  EXPECT_EQ(Calls(projection + 1, projection + 6),
            (Calls{GlCallText("glMatrixMode", GLenum(GL_PROJECTION)), "glLoadIdentity()",
                   GlCallText("glMatrixMode", GLenum(GL_MODELVIEW)), "glLoadIdentity()",
                   GlCallText("glRotatef", -0.0f, 1.0f, 0.0f, 0.0f)}));
  EXPECT_EQ(drawCount, 1);
}

TEST_F(FrameCalls, AFollowingCameraTakesItsTargetsFrameAndKeepsIt) {
  SceneObject target = MakeObject(ObjectMesh);
  target.position = {4, 5, 6};
  target.rotation = {0, 90, 0};
  Camera follower = MakeCamera(1, {});
  follower.followTarget = &target;
  Record();
  ApplyCamera(&follower);
  Calls calls = Taken();
  EXPECT_EQ(Calls(calls.end() - 4, calls.end()),
            (Calls{GlCallText("glRotatef", -0.0f, 1.0f, 0.0f, 0.0f),
                   GlCallText("glRotatef", -90.0f, 0.0f, 1.0f, 0.0f),
                   GlCallText("glRotatef", -0.0f, 0.0f, 0.0f, 1.0f),
                   GlCallText("glTranslatef", -4.0f, -5.0f, -6.0f)}));
  EXPECT_EQ(follower.position.y, 5.0f);
  EXPECT_EQ(follower.rotation.y, 90.0f);
  EXPECT_EQ(eyePosition.x, 4.0f);
  EXPECT_EQ(eyePosition.z, 6.0f);
}

TEST(SceneLists, AddRefusesNullAndDuplicatesAndRemoveFreesNothing) {
  Camera camera{};
  SceneObject a{}, b{};
  EXPECT_FALSE(AddCamera(nullptr));
  EXPECT_TRUE(AddCamera(&camera));
  EXPECT_FALSE(AddCamera(&camera));
  EXPECT_EQ(cameras.size(), 1u);
  EXPECT_TRUE(RemoveCamera(&camera));
  EXPECT_FALSE(RemoveCamera(&camera));
  EXPECT_TRUE(AddSceneObject(&b));
  EXPECT_TRUE(AddSceneObject(&a));
  EXPECT_FALSE(AddSceneObject(&b));
  EXPECT_EQ(sceneObjects, (std::list<SceneObject*>{&b, &a}));  // drawn in the order added
  EXPECT_TRUE(RemoveSceneObject(&b));
  EXPECT_FALSE(RemoveSceneObject(nullptr));
  EXPECT_EQ(sceneObjects, (std::list<SceneObject*>{&a}));
  sceneObjects.clear();
  EXPECT_TRUE(cameras.empty());
}

}  // namespace
