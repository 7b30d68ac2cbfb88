// Texture font and phrase cache against Wine's GL, with description files the test writes.
#include <gtest/gtest.h>

#include <IL/il.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/core/extensions.h"
#include "engine/core/gl_api.h"
#include "engine/core/gl_recorder.h"
#include "engine/text/texture_font.h"
#include "gl_window_fixture.h"
#include "image_files.h"
#include "log_capture.h"

namespace {

// Each test works in a folder of its own, holding the "Tahoma.txt" it needs.
class TextureFonts : public GlWindowSuite {
 protected:
  static void SetUpTestSuite() {
    GlWindowSuite::SetUpTestSuite();
    ilInit();
    GetCurrentDirectoryA(MAX_PATH, home);
  }
  void SetUp() override {
    std::string folder = std::string(home) + "\\text_test_" +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder.c_str(), nullptr);
    SetCurrentDirectoryA(folder.c_str());
    DeleteFileA("Tahoma.txt");
    textureFilterLevel = 3;
    screenWidth = 640, screenHeight = 480;
  }
  void TearDown() override { SetCurrentDirectoryA(home); }
  static char home[MAX_PATH];
};
char TextureFonts::home[MAX_PATH];

TextureFont* Load() { return LoadTextureFont(new TextureFont{}); }

TEST_F(TextureFonts, MissingFileLeavesADefinedEmptyFont) {
  LogCapture log;
  TextureFont* font = Load();
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"гружу текстурный шрифт:Tahoma.txt",
                                                   "Нет такого шрифта:Tahoma.txt"}));
  EXPECT_EQ(font->glyphTexture, nullptr);
  EXPECT_EQ(MeasurePhrase(font), 0u);
  ASSERT_NE(font->phraseTextures, nullptr);
  EXPECT_TRUE(font->phraseTextures->empty());
  StartGlRecording(false);
  ClearRecordedGlCalls();
  DrawGlyphText(font, "12", 20, 20);  // no sheet: nothing drawn, nothing crashes
  StopGlRecording();
  EXPECT_TRUE(RecordedGlCalls().empty());
}

TEST_F(TextureFonts, LinesApplyInOrderAndLaterOnesOverride) {
  WriteTga("sheet.tga", 16, 16, std::vector<uint8_t>(16 * 16 * 4, 255));
  WriteTga("second.tga", 32, 32, std::vector<uint8_t>(32 * 32 * 4, 255));
  WriteBytes("Tahoma.txt",
             "internalname = First\r\n65 = 7\r\n65 = 9\n\n66  -2\nINTERNALNAME = x\n"
             "300 = 5\n" +
                 std::string(300, 'q') +
                 "\n32 = 3\ntexture = sheet.tga\n"
                 "internalname = Tahoma Bold\ntexture = second.tga");
  LogCapture log;
  TextureFont* font = Load();
  EXPECT_EQ(font->widths[65], 9);
  EXPECT_EQ(font->widths[66], -2);
  EXPECT_EQ(font->widths[32], 3);
  EXPECT_EQ(font->widths[67], 0);
  EXPECT_STREQ(font->internalName, "Tahoma Bold");
  EXPECT_STREQ(font->textureFile, "second.tga");
  ASSERT_NE(font->glyphTexture, nullptr);
  glBindTexture(GL_TEXTURE_2D, font->glyphTexture->id);
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 32);  // the second texture line made the texture in use
  EXPECT_EQ(font->glyphBatchActive, 0);
  EXPECT_EQ(font->phraseBatchActive, 0);
  EXPECT_EQ(log.Lines().front(), "гружу текстурный шрифт:Tahoma.txt");
  EXPECT_EQ(log.Lines().back(), "загрузка текстурного шрифта закончилась успехом:Tahoma.txt");
  int loads = 0, skipped = 0;
  for (const std::string& line : log.Lines()) {
    if (line.rfind("filename(char):", 0) == 0) ++loads;
    if (line == "Tahoma.txt: line 8 is over 254 bytes and was skipped") ++skipped;
  }
  EXPECT_EQ(loads, 2);
  EXPECT_EQ(skipped, 1);
}

TEST_F(TextureFonts, GlyphQuadsCutCellsAndThePenMovesByTheWidths) {
  WriteTga("sheet.tga", 16, 16, std::vector<uint8_t>(16 * 16 * 4, 255));
  WriteBytes("Tahoma.txt", "texture = sheet.tga\n48 = 6\n255 = -4\n");
  TextureFont* font = Load();
  StartGlRecording(false);
  ClearRecordedGlCalls();
  DrawGlyphText(font, "0\xff", 20, 30);
  StopGlRecording();
  const std::vector<std::string>& calls = RecordedGlCalls();
  auto at = std::find(calls.begin(), calls.end(), GlCallText("glBegin", GLenum(GL_QUADS)));
  ASSERT_NE(at, calls.end());
  // The state calls come before; after glEnd the alpha test and the sheet's target go off.
  EXPECT_EQ(calls.front(), GlCallText("glEnable", GLenum(GL_TEXTURE_2D)));
  EXPECT_EQ(std::vector<std::string>(at - 4, at),
            (std::vector<std::string>{
                "glEnable(3042)",
                GlCallText("glBlendFunc", GLenum(GL_SRC_ALPHA), GLenum(GL_ONE_MINUS_SRC_ALPHA)),
                GlCallText("glAlphaFunc", GLenum(GL_GREATER), 0.1f), "glEnable(3008)"}));
  std::vector<std::string> expected = {
      // '0' (48): row 3, column 0.
      "glTexCoord2f(0,0.1875)", "glVertex3f(20,30,0)", "glTexCoord2f(0,0.25)",
      "glVertex3f(20,46,0)", "glTexCoord2f(0.0625,0.25)", "glVertex3f(36,46,0)",
      "glTexCoord2f(0.0625,0.1875)", "glVertex3f(36,30,0)",
      // 255: row 15, column 15, six pixels further.
      "glTexCoord2f(0.9375,0.9375)", "glVertex3f(26,30,0)", "glTexCoord2f(0.9375,1)",
      "glVertex3f(26,46,0)", "glTexCoord2f(1,1)", "glVertex3f(42,46,0)", "glTexCoord2f(1,0.9375)",
      "glVertex3f(42,30,0)", "glEnd()", "glDisable(3008)", "glDisable(3553)"};
  EXPECT_EQ(std::vector<std::string>(at + 1, calls.end()), expected);

  // In a batch the caller owns the state; an empty text still issues its pair.
  font->glyphBatchActive = 1;
  StartGlRecording(false);
  ClearRecordedGlCalls();
  DrawGlyphText(font, "", 0, 0);
  StopGlRecording();
  EXPECT_EQ(RecordedGlCalls(), (std::vector<std::string>{"glBegin(7)", "glEnd()"}));
}

// The 2D projection the frame cycle leaves: window pixels, origin top-left.
void Set2DProjection() {
  glViewport(0, 0, 640, 480);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 640, 480, 0, -1, 1);
  glTranslatef(0.375f, 0.375f, 0.0f);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
}

TEST_F(TextureFonts, PhraseCacheRendersReadsBackAndKeepsThePhraseTexture) {
  // The shipped font, from the output folder.
  CopyFileA((std::string(home) + "\\Tahoma.txt").c_str(), "Tahoma.txt", FALSE);
  CopyFileA((std::string(home) + "\\Tahoma.png").c_str(), "Tahoma.png", FALSE);
  TextureFont* font = Load();
  ASSERT_NE(font->glyphTexture, nullptr);
  uint32_t a = MeasurePhrase(font);
  ASSERT_GT(a, 128u);
  ASSERT_LE(a, 256u);
  Set2DProjection();

  LogCapture log;
  BeginStaticPhrase(font);
  EXPECT_EQ(log.Lines(),
            (std::vector<std::string>{"w=" + std::to_string(a), "h=16", "fw=256", "fh=16",
                                      std::string("static draw add frase:") + TestPhrase}));
  int name = (*font->phraseTextures)[TestPhrase];
  ASSERT_NE(name, 0);
  EXPECT_EQ(font->phraseBatchActive, 1);
  EXPECT_FLOAT_EQ(font->phraseU, float(a) / 256.0f);
  EXPECT_EQ(font->phraseQuadWidth, float(a));

  std::vector<uint8_t> texels(256 * 16 * 4);
  glBindTexture(GL_TEXTURE_2D, GLuint(name));
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  int inked = 0;
  for (uint32_t row = 0; row < 16; ++row)
    for (uint32_t column = 0; column < 256; ++column) {
      const uint8_t* t = &texels[(row * 256 + column) * 4];
      if (column >= a) {
        EXPECT_EQ(t[0] | t[1] | t[2] | t[3], 0) << row << "," << column;
      } else {
        EXPECT_EQ(t[0] & t[1] & t[2], 255);
        if (t[3]) ++inked;
      }
    }
  EXPECT_GT(inked, 200);  // the phrase's glyphs are in the alpha

  // A second entry in the same batch changes nothing; the batch quad is the cached one.
  log.Lines().clear();
  StartGlRecording(false);
  ClearRecordedGlCalls();
  BeginStaticPhrase(font);
  font->DrawStaticPhrase(10, 20);
  StopGlRecording();
  EXPECT_TRUE(log.Lines().empty());
  float w = float(a);
  EXPECT_EQ(RecordedGlCalls(),
            (std::vector<std::string>{
                "glBegin(7)", "glTexCoord2f(0,1)", "glVertex3f(10,20,1)", "glTexCoord2f(0,0)",
                "glVertex3f(10,36,1)", GlCallText("glTexCoord2f", font->phraseU, 0.0f),
                GlCallText("glVertex3f", 10.0f + w, 36.0f, 1.0f),
                GlCallText("glTexCoord2f", font->phraseU, 1.0f),
                GlCallText("glVertex3f", 10.0f + w, 20.0f, 1.0f), "glEnd()"}));
  font->phraseBatchActive = 0;
}

// Calls with a buffer argument lose it: its address differs from run to run.
std::vector<std::string> WithoutBuffers(std::vector<std::string> calls) {
  for (std::string& call : calls)
    if (call.rfind("glReadPixels", 0) == 0 || call.rfind("glGenTextures", 0) == 0 ||
        call.rfind("gluBuild2DMipmaps", 0) == 0)
      call = call.substr(0, call.rfind(',')) + ",buffer)";
  return calls;
}

TEST_F(TextureFonts, PhraseTextureIsReadFromItsRectangleWithItsFilterStateAndDrawnAlone) {
  CopyFileA((std::string(home) + "\\Tahoma.txt").c_str(), "Tahoma.txt", FALSE);
  CopyFileA((std::string(home) + "\\Tahoma.png").c_str(), "Tahoma.png", FALSE);
  TextureFont* font = Load();
  uint32_t a = MeasurePhrase(font);
  ASSERT_GT(a, 128u);
  ASSERT_LE(a, 256u);
  Set2DProjection();
  StartGlRecording(true);
  ClearRecordedGlCalls();
  BeginStaticPhrase(font);
  StopGlRecording();
  GLuint name = GLuint((*font->phraseTextures)[TestPhrase]);
  ASSERT_NE(name, 0u);
  std::vector<std::string> calls = WithoutBuffers(RecordedGlCalls());
  auto read = std::find_if(calls.begin(), calls.end(),
                           [](const std::string& c) { return c.rfind("glReadPixels", 0) == 0; });
  ASSERT_NE(read, calls.end());
  const std::string texture2D = std::to_string(GL_TEXTURE_2D);
  EXPECT_EQ(
      std::vector<std::string>(read, calls.end()),
      (std::vector<std::string>{
          "glReadPixels(20,60," + std::to_string(a) + ",16,6408,5121,buffer)",
          "glGenTextures(1,buffer)", GlCallText("glBindTexture", GLenum(GL_TEXTURE_2D), name),
          GlCallText("glTexParameteri", GLenum(GL_TEXTURE_2D), GLenum(GL_TEXTURE_MIN_FILTER),
                     GLint(GL_NEAREST_MIPMAP_NEAREST)),
          GlCallText("glTexParameteri", GLenum(GL_TEXTURE_2D), GLenum(GL_TEXTURE_MAG_FILTER),
                     GLint(GL_NEAREST)),
          GlCallText("glTexParameterf", GLenum(GL_TEXTURE_2D),
                     GLenum(GL_TEXTURE_MAX_ANISOTROPY_EXT), 16.0f),
          "gluBuild2DMipmaps(" + texture2D + ",6408,256,16,6408,5121,buffer)",
          "glTexEnvi(8960,8704,8448)",
          // The batch state, with the level-of-detail bias.
          "glEnable(" + texture2D + ")", GlCallText("glBindTexture", GLenum(GL_TEXTURE_2D), name),
          "glEnable(3042)", "glBlendFunc(770,771)", "glTexEnvi(8960,8704,8448)",
          GlCallText("glTexEnvf", GLenum(GL_TEXTURE_FILTER_CONTROL), GLenum(GL_TEXTURE_LOD_BIAS),
                     -2.0f)}));
  // The driver took them.
  GLint minFilter = 0;
  GLfloat anisotropy = 0, maxAnisotropy = 0, bias = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
  glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maxAnisotropy);
  glGetTexEnvfv(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, &bias);
  EXPECT_EQ(minFilter, GL_NEAREST_MIPMAP_NEAREST);
  EXPECT_EQ(bias, -2.0f);

  // Outside the batch, the made texture is drawn on its own: the phrase width and 16 rows (not
  // the batch quad's size), texturing off afterwards, blending left on.
  font->phraseBatchActive = 0;
  font->phraseQuadWidth = 1.0f;
  font->phraseQuadHeight = 2.0f;
  StartGlRecording(false);
  ClearRecordedGlCalls();
  font->DrawStaticPhrase(10, 20);
  StopGlRecording();
  float w = float(a), u = font->phraseU;
  EXPECT_EQ(
      RecordedGlCalls(),
      (std::vector<std::string>{
          "glEnable(" + texture2D + ")", GlCallText("glBindTexture", GLenum(GL_TEXTURE_2D), name),
          "glEnable(3042)", "glBlendFunc(770,771)", "glTexEnvi(8960,8704,8448)", "glBegin(7)",
          "glTexCoord2f(0,1)", "glVertex3f(10,20,1)", "glTexCoord2f(0,0)", "glVertex3f(10,36,1)",
          GlCallText("glTexCoord2f", u, 0.0f), GlCallText("glVertex3f", 10.0f + w, 36.0f, 1.0f),
          GlCallText("glTexCoord2f", u, 1.0f), GlCallText("glVertex3f", 10.0f + w, 20.0f, 1.0f),
          "glEnd()", "glDisable(" + texture2D + ")"}));

  // Last, as it may skip: a driver without the extension leaves both queries at 0, and the
  // comparison could not fail.
  if (!HasExtension("GL_EXT_texture_filter_anisotropic"))
    GTEST_SKIP() << "no GL_EXT_texture_filter_anisotropic: the anisotropy the driver took is "
                    "not checked";
  EXPECT_GE(maxAnisotropy, 2.0f);  // the least the extension offers
  EXPECT_EQ(anisotropy, std::min(16.0f, maxAnisotropy));
}

TEST_F(TextureFonts, SinglePhraseDrawWithoutASheetLogsEachTime) {
  TextureFont* font = Load();
  LogCapture log;
  font->DrawStaticPhrase(0, 0);
  font->DrawStaticPhrase(0, 0);
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"texserrore", "texserrore"}));
}

TEST(TestPhrase, IsTheBenchmarksThirtyThreeBytes) {
  const unsigned char expected[] = {0xf1, 0xe0, 0xe1, 0xe1, 0xe0, 0xea, 0xea, 0xe0, 0x20,
                                    0xe1, 0xe0, 0xe1, 0xe1, 0xea, 0xe0, 0x20, 0xe0, 0xf4,
                                    0x2d, 0xf4, 0xe0, 0x2d, 0xe0, 0xf4, 0x20, 0x25, 0x21,
                                    0x25, 0x5e, 0x5e, 0x5e, 0x23, 0x24, 0};
  EXPECT_EQ(std::vector<unsigned char>(TestPhrase, TestPhrase + 34),
            std::vector<unsigned char>(expected, expected + 34));
}

}  // namespace
