#include <gtest/gtest.h>

// The tables are handled by name here, so calls are made through them explicitly.
#define GS_GL_NO_REDIRECT

#include "engine/core/gl_api.h"
#include "engine/core/gl_recorder.h"

namespace {
void APIENTRY FakeActiveTexture(GLenum) {}
void APIENTRY FakeUniform(GLint, GLint) {}
}  // namespace

TEST(GlRecorder, LogsCallsWithArgumentsAndRestoresTheDriver) {
  GlTable driver = glTable;
  StartGlRecording(false);
  ClearRecordedGlCalls();
  glTable.glBegin(GL_QUADS);
  glTable.glTexCoord2f(0.0625f, 1.0f);
  glTable.glVertex3f(-16.5f, 0.0f, 1.0f);
  glTable.glEnd();
  glTable.gluPerspective(45.0, 4.0 / 3.0, 1.0, 1000.0);
  glTable.wglGetProcAddress("glActiveTexture");
  StopGlRecording();
  EXPECT_EQ(RecordedGlCalls(),
            (std::vector<std::string>{GlCallText("glBegin", GLenum(GL_QUADS)),
                                      "glTexCoord2f(0.0625,1)", "glVertex3f(-16.5,0,1)", "glEnd()",
                                      GlCallText("gluPerspective", 45.0, 4.0 / 3.0, 1.0, 1000.0),
                                      "wglGetProcAddress(\"glActiveTexture\")"}));
  EXPECT_EQ(RecordedGlCalls()[0], "glBegin(7)");
  EXPECT_EQ(glTable.glBegin, driver.glBegin);
  EXPECT_EQ(glTable.glBegin, DriverGlTable().glBegin);
}

TEST(GlRecorder, WrapsOnlyPresentEntryPointsAndKeepsThoseFetchedMeanwhile) {
  GlExtTable saved = glExt;
  glExt = GlExtTable{};
  glExt.glActiveTexture = FakeActiveTexture;
  StartGlRecording(true);
  ClearRecordedGlCalls();
  EXPECT_EQ(glExt.glBindBufferARB, nullptr);
  EXPECT_NE(glExt.glActiveTexture, FakeActiveTexture);
  glExt.glActiveTexture(GL_TEXTURE0 + 1);
  glExt.glUniform1iARB = FakeUniform;
  StopGlRecording();
  EXPECT_EQ(RecordedGlCalls(), (std::vector<std::string>{"glActiveTexture(33985)"}));
  EXPECT_EQ(glExt.glActiveTexture, FakeActiveTexture);
  EXPECT_NE(glExt.glUniform1iARB, nullptr);
  glExt = saved;
}
