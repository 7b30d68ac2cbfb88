// Tables are handled by name here; GL is called through them explicitly.
#define GS_GL_NO_REDIRECT
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/extension_match.h"
#include "engine/core/extensions.h"
#include "engine/core/gl_api.h"
#include "engine/core/gl_recorder.h"
#include "gl_window_fixture.h"
#include "log_capture.h"

namespace {

TEST(ExtensionListHas, MatchesWholeWordsOnly) {
  const char* list = "GL_ARB_shadow_ambient GL_EXT_a GL_EXT_ab";
  EXPECT_FALSE(ExtensionListHas(list, "GL_ARB_shadow"));  // followed by "_", not a space
  EXPECT_TRUE(ExtensionListHas(list, "GL_ARB_shadow_ambient"));
  EXPECT_TRUE(ExtensionListHas(list, "GL_EXT_a"));
  EXPECT_TRUE(ExtensionListHas(list, "GL_EXT_ab"));  // at the very end
  EXPECT_FALSE(ExtensionListHas(list, "EXT_a"));     // inside a word
  EXPECT_FALSE(ExtensionListHas(list, "GL_EXT_a GL_EXT_ab"));
  EXPECT_FALSE(ExtensionListHas(list, ""));
  EXPECT_FALSE(ExtensionListHas(nullptr, "GL_EXT_a"));
  EXPECT_FALSE(ExtensionListHas("", "GL_EXT_a"));
}

TEST(ExtensionListHas, AnOccurrenceRightAfterThePreviousOneStartsAWord) {
  // The search goes on right after a failed occurrence, so "abab" finds "ab" at its end.
  EXPECT_TRUE(ExtensionListHas("abab", "ab"));
  EXPECT_TRUE(ExtensionListHas("xab ab", "ab"));
  EXPECT_FALSE(ExtensionListHas("xab abx", "ab"));
}

int extensionStringReads;
const char* fakeExtensions;
const GLubyte* APIENTRY FakeGetString(GLenum name) {
  if (name == GL_EXTENSIONS) ++extensionStringReads;
  return reinterpret_cast<const GLubyte*>(fakeExtensions);
}
PROC APIENTRY NoEntryPoints(LPCSTR) { return nullptr; }

class Extensions : public GlWindowSuite {
 protected:
  void SetUp() override {
    savedTable = glTable;
    savedExt = glExt;
    capabilities.clear();
  }
  void TearDown() override {
    glTable = savedTable;
    glExt = savedExt;
  }
  GlTable savedTable;
  GlExtTable savedExt;
};

TEST_F(Extensions, NamesWithSpacesOrEmptyAreAbsentWithoutReadingTheString) {
  glTable.glGetString = FakeGetString;
  fakeExtensions = "GL_A GL_B";
  extensionStringReads = 0;
  EXPECT_FALSE(HasExtension("GL_A GL_B"));
  EXPECT_FALSE(HasExtension(""));
  EXPECT_EQ(extensionStringReads, 0);
  EXPECT_TRUE(HasExtension("GL_B"));
  fakeExtensions = nullptr;  // a driver without an extension string
  EXPECT_FALSE(HasExtension("GL_B"));
}

std::vector<std::string> ExpectedBlock(const std::vector<std::string>& probeLines,
                                       const std::vector<std::string>& entryLines,
                                       const std::vector<std::string>& swapLines) {
  std::vector<std::string> block = {" ", "Init extensions", ""};
  block.insert(block.end(), probeLines.begin(), probeLines.end());
  block.push_back("");
  block.insert(block.end(), entryLines.begin(), entryLines.end());
  block.push_back("");
  block.insert(block.end(), swapLines.begin(), swapLines.end());
  block.insert(block.end(), {"", "Init extensions success", " "});
  return block;
}

const char* const kLoggedNames[] = {"glGenBuffersARB",          "glBindBufferARB",
                                    "glBufferDataARB",          "glDeleteBuffersARB",
                                    "glDrawRangeElements",      "glCompressedTexImage2D",
                                    "glDrawArraysInstancedEXT", "glDrawElementsInstancedEXT",
                                    "glActiveTexture",          "glCreateShaderObjectARB",
                                    "glCreateProgramObjectARB", "glAttachObjectARB",
                                    "glDetachObjectARB",        "glDeleteObjectARB",
                                    "glShaderSourceARB",        "glCompileShaderARB",
                                    "glLinkProgramARB",         "glValidateProgramARB",
                                    "glUseProgramObjectARB",    "glGetObjectParameterivARB",
                                    "glGetInfoLogARB",          "glUniform1fARB",
                                    "glUniform1iARB",           "glGetUniformLocationARB"};

TEST_F(Extensions, DriverWithoutAnythingLogsEveryMissingLineAndSetsNoCapability) {
  glTable.glGetString = FakeGetString;
  glTable.wglGetProcAddress = NoEntryPoints;
  fakeExtensions = "GL_ARB_shadow_ambient GL_EXT_gpu_shader4";
  glExt = GlExtTable{};
  LogCapture log;
  LoadExtensions();
  std::vector<std::string> entries;
  for (const char* name : kLoggedNames) entries.push_back(std::string(name) + " not init");
  EXPECT_EQ(
      log.Lines(),
      ExpectedBlock({"GL_ARB_shadow not exists", "GL_ARB_shadow_ambient exists",
                     "GL_ARB_vertex_shader not exists", "GL_ARB_fragment_shader not exists",
                     "GL_ARB_shader_objects not exists", "GL_ARB_shading_language_100 not exists",
                     "GL_EXT_gpu_shader4 exists"},
                    entries, {"wglSwapIntervalEXTnot init", "wglGetSwapIntervalEXT not init"}));
  EXPECT_TRUE(capabilities.empty());
  EXPECT_EQ(capabilities["shaders"], 0);  // reading an absent name inserts 0
  EXPECT_EQ(capabilities.size(), 1u);
}

// Hands out a distinct fake address per fetch and remembers which name got which.
std::vector<std::string> fetchedNames;
char fakeEntryPoints[64];
PROC APIENTRY DistinctEntryPoints(LPCSTR name) {
  fetchedNames.push_back(name);
  return reinterpret_cast<PROC>(reinterpret_cast<void*>(&fakeEntryPoints[fetchedNames.size()]));
}

TEST_F(Extensions, EveryListedEntryPointIsFetchedOnceInListOrderIntoItsOwnMember) {
  glTable.glGetString = FakeGetString;
  glTable.wglGetProcAddress = DistinctEntryPoints;
  fakeExtensions = "";
  fetchedNames.clear();
  glExt = GlExtTable{};
  LogCapture log;
  LoadExtensions();
  std::vector<std::string> listed;
  std::vector<std::string> misplaced;
#define GS_CHECK_ENTRY(ret, name, params, args, group, found, missing, capability) \
  listed.push_back(#name); \
  if (reinterpret_cast<void*>(glExt.name) != &fakeEntryPoints[listed.size()]) \
    misplaced.push_back(#name);
  GS_GL_EXT_FUNCS(GS_CHECK_ENTRY)
#undef GS_CHECK_ENTRY
  EXPECT_EQ(fetchedNames, listed);
  EXPECT_EQ(misplaced, std::vector<std::string>{});
  EXPECT_EQ(listed.size(), 27u);
}

TEST_F(Extensions, RealDriverFetchesInOrderAndLogsWhatItFound) {
  glExt = GlExtTable{};
  LogCapture log;
  StartGlRecording(true);
  ClearRecordedGlCalls();
  LoadExtensions();
  StopGlRecording();

  std::vector<std::string> fetches;
  for (const std::string& call : RecordedGlCalls())
    if (call.rfind("wglGetProcAddress", 0) == 0) fetches.push_back(call);
  ASSERT_EQ(fetches.size(), 27u);
  EXPECT_EQ(fetches.front(), "wglGetProcAddress(\"glTexImage3D\")");
  EXPECT_EQ(fetches[6], "wglGetProcAddress(\"glCompressedTexImage2DARB\")");
  EXPECT_EQ(fetches.back(), "wglGetProcAddress(\"wglGetSwapIntervalEXT\")");

  // Mesa's compatibility profile under Wine offers all of them.
  std::vector<std::string> entries;
  for (const char* name : kLoggedNames) entries.push_back(std::string(name) + " init");
  std::vector<std::string> probes;
  for (const char* name :
       {"GL_ARB_shadow", "GL_ARB_shadow_ambient", "GL_ARB_vertex_shader", "GL_ARB_fragment_shader",
        "GL_ARB_shader_objects", "GL_ARB_shading_language_100", "GL_EXT_gpu_shader4"})
    probes.push_back(std::string(name) + (HasExtension(name) ? " exists" : " not exists"));
  EXPECT_EQ(log.Lines(), ExpectedBlock(probes, entries,
                                       {"wglSwapIntervalEXT init", "wglGetSwapIntervalEXT init"}));
  EXPECT_EQ(probes[0], "GL_ARB_shadow exists");
  EXPECT_NE(glExt.glActiveTexture, nullptr);
  EXPECT_NE(glExt.wglSwapIntervalEXT, nullptr);
  EXPECT_EQ(capabilities, (std::map<std::string, int>{
                              {"instansing", 1}, {"shaders", 1}, {"texture_compressing", 1}}));
}

}  // namespace
