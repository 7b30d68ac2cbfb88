// Scene-object drawing as GL calls, logged by the recorder: transforms, the render-state caches,
// callbacks and the payloads' calls.
#define GS_GL_NO_REDIRECT
#include "engine/scene/scene_object.h"
#include "engine/texture/texture.h"
#include "scene_test_support.h"

namespace {

using namespace scene_test;
using Calls = std::vector<std::string>;

std::string Gl(const char* name, GLenum a) { return GlCallText(name, a); }
const Calls rotations = {GlCallText("glRotatef", 0.0f, 0.0f, 0.0f, 1.0f),
                         GlCallText("glRotatef", 0.0f, 0.0f, 1.0f, 0.0f),
                         GlCallText("glRotatef", 0.0f, 1.0f, 0.0f, 0.0f)};

Calls Transform(float x, float y, float z) {
  Calls c = {"glPushMatrix()", GlCallText("glTranslatef", x, y, z)};
  c.insert(c.end(), rotations.begin(), rotations.end());
  return c;
}

Texture MakeTexture(GLuint id, GLenum target = GL_TEXTURE_2D) {
  Texture t{};
  t.id = id;
  t.target = target;
  t.envMode = GL_MODULATE;
  t.minFilter = GL_LINEAR;
  t.magFilter = GL_LINEAR;
  t.anisotropy = 1.0f;
  return t;
}

std::vector<std::string> events;
void Before(SceneObject* o) { events.push_back("before " + std::to_string(o->kind)); }
void After(SceneObject* o) { events.push_back("after " + std::to_string(o->kind)); }
void Program(SceneObject* o) { events.push_back("program " + std::to_string(o->kind)); }

class ObjectCalls : public RecordedScene {
 protected:
  void SetUp() override {
    RecordedScene::SetUp();
    events.clear();
  }
};

TEST_F(ObjectCalls, CallbacksRunAroundTheSubtreeAndHiddenOrCulledObjectsDrawNothing) {
  SceneObject child = MakeObject(7);
  child.onBeforeDraw = Before;
  SceneObject parent = MakeObject(3);
  ShaderProgram program{9, 1};
  parent.program = &program;
  parent.onBeforeDraw = Before;
  parent.onAfterDraw = After;
  parent.onApplyProgram = Program;
  std::list<SceneObject*> children = {&child};
  parent.children = &children;
  Record();
  EXPECT_EQ(DrawObject(&parent), 1);
  EXPECT_EQ(events, (Calls{"before 3", "program 3", "before 7", "after 3"}));
  EXPECT_EQ(Count(Taken(), "glPopMatrix"), 2);

  events.clear();
  parent.visible = 0;
  EXPECT_EQ(DrawObject(&parent), 1);
  EXPECT_EQ(events, (Calls{"before 3"}));
  EXPECT_EQ(Taken(), Calls{});

  // Only the near plane, facing -z: an object at z = +10 lies behind it.
  events.clear();
  parent.visible = 1;
  parent.cullTest = 1;
  parent.position = {0, 0, 10};
  parent.boundingRadius = 2;
  frustumPlanes[PlaneNear] = Plane{0, 0, -1, -1};
  EXPECT_EQ(DrawObject(&parent), 1);
  EXPECT_EQ(events, (Calls{"before 3", "after 3"}));
  EXPECT_EQ(Taken(), Calls{});
  EXPECT_EQ(frameStats.objectsCulled, 1u);
  EXPECT_EQ(frameStats.objectsVisible, 0u);
}

TEST_F(ObjectCalls, AKindZeroNodePushesNothingAndLeavesItsChildrenInTheParentFrame) {
  SceneObject child = MakeObject(3);
  child.position = {1, 2, 3};
  SceneObject node = MakeObject(ObjectNode);
  node.position = {50, 50, 50};
  node.alphaRef = 0.25f;
  std::list<SceneObject*> children = {&child};
  node.children = &children;
  Record();
  DrawObject(&node);
  Calls expected = {GlCallText("glAlphaFunc", GLenum(GL_GREATER), 0.25f),
                    Gl("glEnable", GL_ALPHA_TEST)};
  Calls childCalls = Transform(1, 2, 3);
  childCalls.insert(childCalls.end(), {GlCallText("glUseProgramObjectARB", GLhandleARB(0)),
                                       Gl("glDisable", GL_ALPHA_TEST), "glPopMatrix()"});
  expected.insert(expected.end(), childCalls.begin(), childCalls.end());
  EXPECT_EQ(Taken(), expected);
}

TEST_F(ObjectCalls, TheSecondOfTwoAlikeObjectsSendsNoTextureBlendOrBufferCalls) {
  Texture base = MakeTexture(11), detail = MakeTexture(12);
  Mesh mesh{4, 2, nullptr, nullptr, 21, 22, 0};
  SceneObject a = MakeObject(ObjectMesh, &mesh);
  a.textures[0] = &base;
  a.textures[2] = &detail;
  a.blendMode = BlendAlpha;
  SceneObject b = a;
  b.position = {0, 1, 0};
  Record();
  DrawObject(&a);
  Calls first = Taken();
  EXPECT_EQ(Count(first, "glBindTexture"), 2);
  EXPECT_EQ(Count(first, "glActiveTexture"), 2);
  EXPECT_EQ(
      Count(first, GlCallText("glBlendFunc", GLenum(GL_SRC_ALPHA), GLenum(GL_ONE_MINUS_SRC_ALPHA))),
      1);
  EXPECT_EQ(Count(first, "glBindBufferARB"), 2);
  EXPECT_EQ(textureUnitCache[2], &detail);

  DrawObject(&b);
  Calls expected = Transform(0, 1, 0);
  expected.insert(
      expected.end(),
      {GlCallText("glUseProgramObjectARB", GLhandleARB(0)), Gl("glDisable", GL_ALPHA_TEST),
       GlCallText("glDrawRangeElements", GLenum(GL_TRIANGLES), GLuint(0), GLuint(5), GLsizei(6),
                  GLenum(GL_UNSIGNED_INT), static_cast<const void*>(nullptr)),
       "glPopMatrix()"});
  EXPECT_EQ(Taken(), expected);
  EXPECT_EQ(frameStats.trianglesDrawn, 4u);
  EXPECT_EQ(frameStats.verticesDrawn, 8u);
}

TEST_F(ObjectCalls, TextureUnitsChangeOnlyWhereTheTextureDiffers) {
  Texture flat = MakeTexture(1), cube = MakeTexture(2, GL_TEXTURE_CUBE_MAP);
  SceneObject a = MakeObject(3), b = MakeObject(3);
  a.textures[0] = &flat;
  a.textures[1] = &flat;
  b.textures[1] = &cube;
  DrawObject(&a);
  Record();
  DrawObject(&b);
  Calls calls = Taken();
  auto unit0 = std::find(calls.begin(), calls.end(), Gl("glActiveTexture", GL_TEXTURE0));
  ASSERT_NE(unit0, calls.end());
  EXPECT_EQ(Calls(unit0, unit0 + 5),
            (Calls{Gl("glActiveTexture", GL_TEXTURE0), Gl("glDisable", GL_TEXTURE_2D),
                   Gl("glActiveTexture", GL_TEXTURE0 + 1), Gl("glDisable", GL_TEXTURE_2D),
                   Gl("glEnable", GL_TEXTURE_CUBE_MAP)}));
  EXPECT_EQ(Count(calls, "glActiveTexture"), 2);
  EXPECT_EQ(textureUnitCache[0], nullptr);
  EXPECT_EQ(textureUnitCache[1], &cube);
}

TEST_F(ObjectCalls, AdditiveThenNoneOrAlphaLeavesTheDepthStateAsItsModeSays) {
  SceneObject add = MakeObject(3), none = MakeObject(3), alpha = MakeObject(3);
  add.blendMode = BlendAdd;
  alpha.blendMode = BlendAlpha;
  auto blendCalls = [](const Calls& calls) {
    Calls out;
    for (const std::string& c : calls) {
      if (c.rfind("glEnable", 0) == 0 || c.rfind("glDisable", 0) == 0 ||
          c.rfind("glBlendFunc", 0) == 0 || c.rfind("glDepthMask", 0) == 0) {
        if (c != Gl("glDisable", GL_ALPHA_TEST)) out.push_back(c);
      }
    }
    return out;
  };
  Record();
  DrawObject(&add);
  EXPECT_EQ(
      blendCalls(Taken()),
      (Calls{Gl("glEnable", GL_BLEND), GlCallText("glBlendFunc", GLenum(GL_ONE), GLenum(GL_ONE)),
             Gl("glDisable", GL_DEPTH_TEST), GlCallText("glDepthMask", GLboolean(GL_FALSE))}));
  DrawObject(&none);
  EXPECT_EQ(blendCalls(Taken()), (Calls{Gl("glDisable", GL_BLEND), Gl("glEnable", GL_DEPTH_TEST),
                                        GlCallText("glDepthMask", GLboolean(GL_TRUE))}));
  DrawObject(&add);
  Taken();
  DrawObject(&alpha);  // no depth calls: depth test and writes stay off
  EXPECT_EQ(blendCalls(Taken()),
            (Calls{Gl("glEnable", GL_BLEND), GlCallText("glBlendFunc", GLenum(GL_SRC_ALPHA),
                                                        GLenum(GL_ONE_MINUS_SRC_ALPHA))}));
  EXPECT_EQ(blendModeCache, BlendAlpha);
}

TEST_F(ObjectCalls, ALightGetsTheTransformAndAlphaTestButNoOtherState) {
  Texture texture = MakeTexture(5);
  ShaderProgram program{3, 1};
  Light light{{1, 1, 1, 1}, {0.1f, 0.1f, 0.1f, 1}, {0.5f, 0.5f, 0.5f, 1}, 2};
  SceneObject lamp = MakeObject(ObjectLight, &light);
  lamp.textures[0] = &texture;
  lamp.program = &program;
  lamp.blendMode = BlendAdd;
  lamp.alphaRef = 0.5f;
  Record();
  DrawObject(&lamp);
  Calls calls = Taken();
  Calls expected = Transform(0, 0, 0);
  expected.insert(expected.end(), {GlCallText("glAlphaFunc", GLenum(GL_GREATER), 0.5f),
                                   Gl("glEnable", GL_ALPHA_TEST)});
  EXPECT_EQ(Calls(calls.begin(), calls.begin() + 7), expected);
  const char* names[] = {"ambient", "diffuse", "specular", "position"};
  GLenum pnames[] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_POSITION};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(
        calls[7 + i].rfind(
            "glLightfv(" + std::to_string(GL_LIGHT2) + "," + std::to_string(pnames[i]) + ",", 0),
        0u)
        << names[i];
  }
  EXPECT_EQ(calls.size(), 12u);
  EXPECT_EQ(textureUnitCache[0], nullptr);
  EXPECT_EQ(currentProgram, nullptr);
  EXPECT_EQ(blendModeCache, 0);
}

TEST_F(ObjectCalls, ProgramsAreMadeCurrentForEveryObjectWhenShadersExist) {
  ShaderProgram ready{4, 1}, notReady{5, 0};
  SceneObject a = MakeObject(3), b = MakeObject(3);
  a.program = &ready;
  a.onApplyProgram = Program;
  b.program = &notReady;
  b.onApplyProgram = Program;
  Record();
  DrawObject(&a);
  DrawObject(&a);
  DrawObject(&b);
  EXPECT_EQ(Count(Taken(), "glUseProgramObjectARB"), 2);
  EXPECT_EQ(currentProgram, &notReady);
  EXPECT_EQ(events, (Calls{"program 3", "program 3", "program 3"}));
  shadersEnabled = 0;
  DrawObject(&a);
  a.program = nullptr;
  DrawObject(&a);
  EXPECT_EQ(Count(Taken(), "glUseProgramObjectARB"), 0);
  EXPECT_EQ(currentProgram, nullptr);
}

TEST_F(ObjectCalls, AnUnevenlyScaledParentsScaleIsUndoneAroundTheChildsRotation) {
  SceneObject parent = MakeObject(3);
  parent.scale = {2, 1, 4};
  SceneObject child = MakeObject(3);
  child.parent = &parent;
  child.position = {1, 0, 0};
  child.rotation = {10, 20, 45};
  child.scale = {3, 3, 3};
  Record();
  DrawObject(&child);
  Calls calls = Taken();
  EXPECT_EQ(
      Calls(calls.begin(), calls.begin() + 8),
      (Calls{"glPushMatrix()", GlCallText("glTranslatef", 1.0f, 0.0f, 0.0f),
             GlCallText("glScalef", 0.5f, 1.0f, 0.25f),
             GlCallText("glRotatef", 45.0f, 0.0f, 0.0f, 1.0f),
             GlCallText("glRotatef", 20.0f, 0.0f, 1.0f, 0.0f),
             GlCallText("glRotatef", 10.0f, 1.0f, 0.0f, 0.0f),
             GlCallText("glScalef", 2.0f, 1.0f, 4.0f), GlCallText("glScalef", 3.0f, 3.0f, 3.0f)}));
  parent.scale = {1, 1, 1};
  child.scale = {1, 1, 1};
  DrawObject(&child);
  EXPECT_EQ(Count(Taken(), "glScalef"), 0);
}

TEST_F(ObjectCalls, BufferMeshesDrawThreeNIndicesAndBindOnlyOnChange) {
  Mesh mesh{10, 5, nullptr, nullptr, 31, 32, 0};
  Record();
  DrawMesh(&mesh);
  EXPECT_EQ(
      Taken(),
      (Calls{GlCallText("glBindBufferARB", GLenum(GL_ELEMENT_ARRAY_BUFFER_ARB), GLuint(32)),
             GlCallText("glBindBufferARB", GLenum(GL_ARRAY_BUFFER_ARB), GLuint(31)),
             GlCallText("glInterleavedArrays", GLenum(GL_T2F_C4F_N3F_V3F), GLsizei(0),
                        static_cast<const GLvoid*>(nullptr)),
             GlCallText("glDrawRangeElements", GLenum(GL_TRIANGLES), GLuint(0), GLuint(14),
                        GLsizei(15), GLenum(GL_UNSIGNED_INT), static_cast<const void*>(nullptr))}));
  HeightGrid grid{0, 0, nullptr, 0, 31, 33, 1, 3};  // shares the vertex buffer
  DrawHeightGrid(&grid);
  EXPECT_EQ(
      Taken(),
      (Calls{GlCallText("glBindBufferARB", GLenum(GL_ELEMENT_ARRAY_BUFFER_ARB), GLuint(33)),
             GlCallText("glDrawRangeElements", GLenum(GL_TRIANGLES), GLuint(0), GLuint(2),
                        GLsizei(3), GLenum(GL_UNSIGNED_INT), static_cast<const void*>(nullptr))}));
  EXPECT_EQ(frameStats.trianglesDrawn, 6u);
  EXPECT_EQ(frameStats.verticesDrawn, 13u);

  // Without the buffer entry points nothing is bound or drawn, but the counts still grow.
  StopGlRecording();
  glExt.glBindBufferARB = nullptr;
  Record();
  DrawMesh(&mesh);
  EXPECT_EQ(Taken(), Calls{});
  EXPECT_EQ(frameStats.trianglesDrawn, 11u);
}

TEST_F(ObjectCalls, ImmediateMeshesSendColourTexCoordNormalVertexPerCorner) {
  MeshVertex v[3] = {{0, 1, 0.5f, 0.25f, 1, 0.1f, 0, 0, 1, -1, -1, 0},
                     {1, 1, 1, 1, 1, 1, 0, 1, 0, 1, -1, 0},
                     {1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 1, 0}};
  uint32_t indices[] = {0, 1, 2, 2, 1, 3};  // the second triangle reaches past the vertices
  Mesh mesh{3, 2, v, indices, 0, 0, 1};
  Record();
  DrawMesh(&mesh);
  Calls calls = Taken();
  ASSERT_EQ(calls.size(), 14u);
  EXPECT_EQ(
      Calls(calls.begin(), calls.begin() + 5),
      (Calls{Gl("glBegin", GL_TRIANGLES), GlCallText("glColor3f", 0.5f, 0.25f, 1.0f),
             GlCallText("glTexCoord2f", 0.0f, 1.0f), GlCallText("glNormal3f", 0.0f, 0.0f, 1.0f),
             GlCallText("glVertex3f", -1.0f, -1.0f, 0.0f)}));
  EXPECT_EQ(calls.back(), "glEnd()");
  EXPECT_EQ(frameStats.trianglesDrawn, 2u);
}

TEST_F(ObjectCalls, ImmediateGridsMakeTwoTrianglesPerCellOfUnitSize) {
  float heights[] = {1, 2, 3, 4};  // (0,0) (0,1) (1,0) (1,1)
  HeightGrid grid{2, 2, heights, 1, 0, 0, 99, 99};
  Record();
  DrawHeightGrid(&grid);
  Calls expected = {Gl("glBegin", GL_TRIANGLES), GlCallText("glNormal3f", 0.0f, 1.0f, 0.0f)};
  float corners[6][5] = {{0, 0, 0, 1, 0}, {1, 1, 1, 4, 1}, {1, 0, 1, 3, 0},
                         {1, 1, 1, 4, 1}, {0, 0, 0, 1, 0}, {0, 1, 0, 2, 1}};
  for (auto& c : corners) {
    expected.push_back(GlCallText("glTexCoord2f", c[0], c[1]));
    expected.push_back(GlCallText("glVertex3f", c[2], c[3], c[4]));
  }
  expected.push_back("glEnd()");
  EXPECT_EQ(Taken(), expected);
  EXPECT_EQ(frameStats.trianglesDrawn, 0u);  // the immediate path counts nothing

  for (HeightGrid few : {HeightGrid{1, 5, heights, 1}, HeightGrid{4, 1, heights, 1},
                         HeightGrid{0, 0, heights, 1}, HeightGrid{3, 3, nullptr, 1}}) {
    DrawHeightGrid(&few);
    EXPECT_EQ(Taken(), (Calls{Gl("glBegin", GL_TRIANGLES), "glEnd()"}));
  }
}

}  // namespace

namespace {

using namespace scene_test;

class PayloadlessObjects : public RecordedScene {};

TEST_F(PayloadlessObjects, DrawTheirTransformAndStateButNoPayload) {
  for (uint32_t kind : {ObjectMesh, ObjectLight, ObjectHeightGrid, ObjectSpriteSet}) {
    SceneObject object = MakeObject(kind);
    Record();
    EXPECT_EQ(DrawObject(&object), 1);
    std::vector<std::string> calls = Taken();
    EXPECT_EQ(calls.back(), "glPopMatrix()") << kind;
    EXPECT_EQ(Count(calls, "glBegin") + Count(calls, "glLightfv") + Count(calls, "glDraw"), 0);
    StopGlRecording();
  }
}

}  // namespace
