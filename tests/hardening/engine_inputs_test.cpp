// Regression tests for inputs that once could write or read out of bounds in the engine: extreme
// advance widths in the phrase cache, and image files the runtime refuses for their sizes.
#include <gtest/gtest.h>

#include <IL/il.h>

#include <climits>
#include <string>
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"
#include "engine/text/phrase_texels.h"
#include "engine/text/texture_font.h"
#include "engine/texture/texture.h"
#include "gl_window_fixture.h"
#include "image_files.h"
#include "log_capture.h"

namespace {

class EngineInputs : public GlWindowSuite {
 protected:
  static void SetUpTestSuite() {
    GlWindowSuite::SetUpTestSuite();
    ilInit();
    ilSetInteger(IL_KEEP_DXTC_DATA, 1);
    GetCurrentDirectoryA(MAX_PATH, home);
    std::string folder = std::string(home) + "\\hardening_inputs";
    CreateDirectoryA(folder.c_str(), nullptr);
    SetCurrentDirectoryA(folder.c_str());
  }
  static void TearDownTestSuite() {
    SetCurrentDirectoryA(home);
    GlWindowSuite::TearDownTestSuite();
  }
  void SetUp() override {
    textureFilterLevel = 3;
    screenWidth = 640, screenHeight = 480;
  }
  static char home[MAX_PATH];
};
char EngineInputs::home[MAX_PATH];

std::string LineStartingWith(const std::vector<std::string>& lines, const std::string& label) {
  for (const std::string& line : lines)
    if (line.rfind(label, 0) == 0) return line.substr(label.size());
  return "<none>";
}

TEST_F(EngineInputs, ExtremeAdvanceWidthsKeepThePhraseTextureWithinItsBuffers) {
  WriteTga("sheet.tga", 16, 16, std::vector<uint8_t>(16 * 16 * 4, 255));
  WriteBytes("Tahoma.txt", "texture = sheet.tga\n");
  // Each sum wraps or lands far past the widest phrase texture, in both directions.
  const int cases[] = {INT_MAX, INT_MIN, -1, 200, 0};
  for (int width : cases) {
    SCOPED_TRACE(width);
    TextureFont* font = LoadTextureFont(new TextureFont{});
    ASSERT_NE(font->glyphTexture, nullptr);
    for (int& w : font->widths) w = width;
    LogCapture log;
    BeginStaticPhrase(font);
    for (int i = 0; i < 3; ++i) font->DrawStaticPhrase(i * 50, i * 40);
    glDisable(GL_TEXTURE_2D);
    font->phraseBatchActive = 0;
    DrawGlyphText(font, TestPhrase, 10, 10);

    uint32_t measured = MeasurePhrase(font);
    EXPECT_EQ(LineStartingWith(log.Lines(), "w="), std::to_string(measured));
    uint32_t fw = PhraseTextureWidth(measured);
    EXPECT_LE(fw, 4096u);
    EXPECT_EQ(LineStartingWith(log.Lines(), "fw="), std::to_string(fw));
    GLint textureWidth = 0;
    glBindTexture(GL_TEXTURE_2D, GLuint((*font->phraseTextures)[TestPhrase]));
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &textureWidth);
    EXPECT_EQ(textureWidth, GLint(fw));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  }
}

TEST_F(EngineInputs, ImagesRefusedForTheirSizesBecomeTheLibrarysEmptyImage) {
  std::string wrapping(18, '\0');
  wrapping[2] = 2;
  wrapping[12] = wrapping[13] = wrapping[14] = wrapping[15] = '\xff';  // 65535 x 65535
  wrapping[16] = 32;
  WriteBytes("wrapping.tga", wrapping + std::string(64, '\0'));
  // Seven levels declared, only the base present.
  WriteDxt1Dds("short_chain.dds", 64, 1);
  {
    FILE* file = std::fopen("short_chain.dds", "r+b");
    uint8_t levels[4] = {7, 0, 0, 0};
    std::fseek(file, 28, SEEK_SET);
    std::fwrite(levels, 1, 4, file);
    std::fclose(file);
  }
  for (const char* name : {"wrapping.tga", "short_chain.dds"}) {
    SCOPED_TRACE(name);
    LogCapture log;
    Texture texture;
    CreateTexture(&texture, name);
    ASSERT_GE(log.Lines().size(), 11u);
    EXPECT_EQ(log.Lines()[1], std::string("file not loaded:") + name);
    EXPECT_EQ(log.Lines()[10], "bytes = 1");
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1);
  }
}

}  // namespace
