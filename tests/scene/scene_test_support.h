// Shared set-up for the scene tests: a clean frame and render state, and call-recording with
// stand-in extension entry points. Include after defining GS_GL_NO_REDIRECT.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"
#include "engine/core/gl_recorder.h"
#include "engine/scene/scene_lists.h"
#include "engine/scene/scene_state.h"

namespace scene_test {

inline void APIENTRY NoActiveTexture(GLenum) {}
inline void APIENTRY NoUseProgram(GLhandleARB) {}
inline void APIENTRY NoBindBuffer(GLenum, GLuint) {}
inline void APIENTRY NoDrawRange(GLenum, GLuint, GLuint, GLsizei, GLenum, const void*) {}

// Forget every cache, list and counter the scene keeps.
inline void ResetSceneState() {
  cameras.clear();
  sceneObjects.clear();
  viewportCache = Viewport{};
  eyePosition = Vec3f{};
  frameStats = FrameStats{};
  for (Plane& p : frustumPlanes) p = Plane{};
  for (Texture*& t : textureUnitCache) t = nullptr;
  currentProgram = nullptr;
  blendModeCache = 0;
  boundArrayBuffer = 0;
  boundElementBuffer = 0;
}

inline SceneObject MakeObject(uint32_t kind, void* payload = nullptr) {
  SceneObject o{};
  o.visible = 1;
  o.scale = Vec3f{1, 1, 1};
  o.kind = kind;
  o.payload = payload;
  return o;
}

inline int Count(const std::vector<std::string>& calls, const std::string& prefix) {
  int n = 0;
  for (const std::string& c : calls) n += c.compare(0, prefix.size(), prefix) == 0;
  return n;
}

// Calls are only logged (nothing reaches a driver); the extension entry points the scene uses are
// present unless a test removes them.
class RecordedScene : public ::testing::Test {
 protected:
  void SetUp() override {
    savedExt = glExt;
    savedShaders = shadersEnabled;
    glExt = GlExtTable{};
    glExt.glActiveTexture = NoActiveTexture;
    glExt.glUseProgramObjectARB = NoUseProgram;
    glExt.glBindBufferARB = NoBindBuffer;
    glExt.glDrawRangeElements = NoDrawRange;
    screenWidth = 640;
    screenHeight = 480;
    shadersEnabled = 1;
    ResetSceneState();
  }
  void TearDown() override {
    StopGlRecording();
    glExt = savedExt;
    shadersEnabled = savedShaders;
    ResetSceneState();
  }
  // Start logging afresh (after any StopGlRecording that changed the entry points).
  void Record() {
    StartGlRecording(false);
    ClearRecordedGlCalls();
  }
  std::vector<std::string> Taken() {
    std::vector<std::string> calls = RecordedGlCalls();
    ClearRecordedGlCalls();
    return calls;
  }
  GlExtTable savedExt;
  int savedShaders = 0;
};

}  // namespace scene_test
