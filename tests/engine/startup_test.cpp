// Engine start-up and shutdown against Wine's GL, our sound and image runtimes.
#include <gtest/gtest.h>

#include <IL/ilut.h>
#include <bass.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/core/extensions.h"
#include "engine/core/gl_recorder.h"
#include "engine/core/startup.h"
#include "engine/core/window.h"
#include "log_capture.h"

namespace {

DWORD WINAPI OtherSoundVersion() { return 0x02040011; }
ILint ILAPIENTRY OldVersion(ILenum) { return 167; }

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Close what InitEngine opened without DeInitEngine, which would close the log for good.
void CloseEngineKeepingTheLog() {
  glDeleteLists(defaultFont->listBase, 224);
  delete defaultFont;
  defaultFont = nullptr;
  CloseWindow();
}

TEST(Startup, SetsTheDefaultStateAndLogsTheCardAndLibraries) {
  LogCapture log;
  keys['Q'] = true;
  ASSERT_TRUE(InitEngine(640, 480, 32, 2));
  EXPECT_FALSE(fullscreen);
  EXPECT_TRUE(active);
  EXPECT_FALSE(keys['Q']);
  EXPECT_EQ(screenWidth, 640);
  EXPECT_EQ(screenHeight, 480);
  EXPECT_EQ(textureFilterLevel, 3);
  EXPECT_EQ(shadersEnabled, 1);  // Mesa offers shader objects

  GLint value = 0;
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));  // left on by the default font
  glGetIntegerv(GL_FRONT_FACE, &value);
  EXPECT_EQ(value, GL_CCW);
  glGetIntegerv(GL_CULL_FACE_MODE, &value);
  EXPECT_EQ(value, GL_BACK);
  glGetIntegerv(GL_DEPTH_FUNC, &value);
  EXPECT_EQ(value, GL_LESS);
  glGetIntegerv(GL_SHADE_MODEL, &value);
  EXPECT_EQ(value, GL_SMOOTH);
  glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
  EXPECT_EQ(value, GL_NICEST);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
  EXPECT_EQ(GLuint(value), defaultFont->whiteTexture);
  auto getSwapInterval = reinterpret_cast<int(WINAPI*)()>(
      reinterpret_cast<void*>(wglGetProcAddress("wglGetSwapIntervalEXT")));
  EXPECT_EQ(getSwapInterval(), 1);

  // The default font: 224 lists from listBase, and a white texel.
  EXPECT_TRUE(glIsList(defaultFont->listBase + 33));
  EXPECT_TRUE(glIsList(defaultFont->listBase + 223));
  uint8_t texel[4] = {};
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  EXPECT_EQ(std::vector<uint8_t>(texel, texel + 4), (std::vector<uint8_t>{255, 255, 255, 255}));

  const std::vector<std::string>& lines = log.Lines();
  auto at = std::find(lines.begin(), lines.end(), "Init succes by params (640,480,32,2)");
  ASSERT_NE(at, lines.end());
  EXPECT_EQ(at[-3].rfind("VENDOR:", 0), 0u);
  EXPECT_EQ(at[-2].rfind("RENDERER:llvmpipe", 0), 0u);
  EXPECT_EQ(at[-1].rfind("VERSION:", 0), 0u);
  EXPECT_EQ(at[1], "");
  EXPECT_EQ(at[2], "VideoCard stats:");
  EXPECT_EQ(at[3], "Max Anistropic Level:16");
  EXPECT_EQ(at[4].rfind("Max Tex units:", 0), 0u);
  EXPECT_EQ(at[5], "Max Bindable Uniform Size:0");  // unknown to Mesa: stays 0
  EXPECT_EQ(at[8], "Bindable Uniform Geometry:0");
  EXPECT_EQ(at[9], "Версия успешно сверена");
  EXPECT_EQ(at[10], "Версия библиотеки:" + std::to_string(0x02030000));
  EXPECT_TRUE(at[11] == "Ошибка инициализации звука" || at[11] == "Звук успешно инициализирован");
  EXPECT_EQ(soundReady, at[11] == "Звук успешно инициализирован");
  EXPECT_EQ(at[12], "DevIL init success");
  EXPECT_EQ(at[13], "Шрифт по умолчанию загружен (Tahoma 10px)");
  EXPECT_EQ(at + 14, lines.end());
  CloseEngineKeepingTheLog();
}

// The state is set on the default texture right after the extensions are fetched, before the
// card is asked anything.
TEST(Startup, SetsTheDefaultGlStateInOrderAfterTheExtensions) {
  StartGlRecording(true);
  ClearRecordedGlCalls();
  bool started = InitEngine(320, 240, 32, 2);
  StopGlRecording();
  ASSERT_TRUE(started);
  const std::vector<std::string>& calls = RecordedGlCalls();
  auto at = std::find(calls.begin(), calls.end(), GlCallText("glFrontFace", GLenum(GL_CCW)));
  ASSERT_NE(at, calls.end());
  ASSERT_NE(at, calls.begin());
  EXPECT_EQ(at[-1].rfind("wglGetProcAddress(", 0), 0u);
  std::vector<std::string> expected = {
      GlCallText("glFrontFace", GLenum(GL_CCW)),
      GlCallText("glCullFace", GLenum(GL_BACK)),
      GlCallText("glEnable", GLenum(GL_CULL_FACE)),
      GlCallText("glShadeModel", GLenum(GL_SMOOTH)),
      "glClearColor(0,0,0,0)",
      "glClearDepth(1)",
      GlCallText("glEnable", GLenum(GL_DEPTH_TEST)),
      GlCallText("glDepthFunc", GLenum(GL_LESS)),
  };
  for (GLenum hint :
       {GL_PERSPECTIVE_CORRECTION_HINT, GL_POINT_SMOOTH_HINT, GL_LINE_SMOOTH_HINT,
        GL_POLYGON_SMOOTH_HINT, GL_FOG_HINT, GL_GENERATE_MIPMAP_HINT, GL_TEXTURE_COMPRESSION_HINT})
    expected.push_back(GlCallText("glHint", hint, GLenum(GL_NICEST)));
  expected.push_back(GlCallText("glTexParameteri", GLenum(GL_TEXTURE_2D),
                                GLenum(GL_TEXTURE_MIN_FILTER), GLint(GL_NEAREST_MIPMAP_NEAREST)));
  expected.push_back(GlCallText("glDisable", GLenum(GL_STENCIL_TEST)));
  expected.push_back(GlCallText("glGetString", GLenum(GL_VENDOR)));
  ASSERT_GE(size_t(calls.end() - at), expected.size());
  EXPECT_EQ(std::vector<std::string>(at, at + expected.size()), expected);
  CloseEngineKeepingTheLog();
}

TEST(Startup, SoundLibraryOfAnotherVersionLogsTheExpectedNumber) {
  LogCapture log;
  soundVersionSource = OtherSoundVersion;
  soundReady = true;
  InitSound();
  soundVersionSource = BASS_GetVersion;
  EXPECT_FALSE(soundReady);
  EXPECT_EQ(log.Lines(),
            (std::vector<std::string>{"Ошибка версии бибилиотеки BASS", "Версия библиотеки:515"}));
}

TEST(Startup, ImageLibraryVersionChecks) {
  {
    LogCapture log;
    ilutVersionSource = OldVersion;  // failing alone still keeps the library down
    ASSERT_TRUE(InitEngine(320, 240, 32, 0));
    ilutVersionSource = ilutGetInteger;
    EXPECT_TRUE(Has(log.Lines(), "(ERROR)ILUT(ilut.dll) Version Incorrect!"));
    EXPECT_TRUE(Has(log.Lines(), "     must be:168"));
    EXPECT_FALSE(Has(log.Lines(), "DevIL init success"));
    EXPECT_FALSE(Has(log.Lines(), "(ERROR)DevIL(devil.dll) Version Incorrect!"));
    CloseEngineKeepingTheLog();
  }
  {
    LogCapture log;
    ilVersionSource = OldVersion;
    iluVersionSource = OldVersion;
    ASSERT_TRUE(InitEngine(320, 240, 32, 3));
    ilVersionSource = ilGetInteger;
    iluVersionSource = iluGetInteger;
    auto at = std::find(log.Lines().begin(), log.Lines().end(),
                        "(ERROR)DevIL(devil.dll) Version Incorrect!");
    ASSERT_NE(at, log.Lines().end());
    EXPECT_EQ(at[1], "     must be:168");
    EXPECT_EQ(at[2], "(ERROR)ILU(ilu.dll) Version Incorrect!");
    EXPECT_EQ(at[3], "     must be:168");
    EXPECT_EQ(at[4], "Шрифт по умолчанию загружен (Tahoma 10px)");
    CloseEngineKeepingTheLog();
  }
}

int fullscreenQuestions;
int WINAPI AnswerYes(HWND, LPCSTR, LPCSTR caption, UINT) {
  if (std::string(caption) == "Vantor") ++fullscreenQuestions;
  return IDYES;
}

// Bare Xvfb refuses every full-screen mode, so each attempt asks the user once (answered Yes).
TEST(Startup, FullscreenSettingOneSetsTheFlagTwoClearsItOthersKeepIt) {
  showMessageBox = AnswerYes;
  const struct {
    bool before;
    int setting;
    int questions;
  } cases[] = {{false, 1, 1}, {true, 2, 0}, {true, -5, 1}, {false, 0, 0}, {false, 3, 0}};
  for (const auto& c : cases) {
    fullscreen = c.before;
    fullscreenQuestions = 0;
    ASSERT_TRUE(InitEngine(320, 240, 32, c.setting));
    EXPECT_EQ(fullscreenQuestions, c.questions) << c.setting;
    EXPECT_FALSE(fullscreen);
    CloseEngineKeepingTheLog();
  }
  showMessageBox = MessageBoxA;
}

// Last: shutdown closes the log for the rest of the process.
TEST(Startup, ShutdownLogsItsLastLinesClosesTheLogAndReportsSuccess) {
  ASSERT_TRUE(InitEngine(320, 240, 32, 2));
  LogCapture log;
  EXPECT_FALSE(DeInitEngine());
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"DeInit", "Logging closed"}));
  EXPECT_FALSE(engineLog.is_open());
  EXPECT_EQ(defaultFont, nullptr);
  EXPECT_EQ(hWnd, nullptr);
}

}  // namespace
