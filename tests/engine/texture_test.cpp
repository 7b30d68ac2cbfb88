// Tables are handled by name here; GL is called through them explicitly.
#define GS_GL_NO_REDIRECT
// Textures from files the test writes, through the real image runtime DLLs and Wine's GL.
#include <gtest/gtest.h>

#include <IL/il.h>

#include <string>
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"
#include "engine/core/gl_recorder.h"
#include "engine/texture/image.h"
#include "engine/texture/texture.h"
#include "gl_window_fixture.h"
#include "image_files.h"
#include "log_capture.h"

namespace {

class Textures : public GlWindowSuite {
 protected:
  static void SetUpTestSuite() {
    GlWindowSuite::SetUpTestSuite();
    ilInit();
    ilSetInteger(IL_KEEP_DXTC_DATA, 1);
    glExt.glCompressedTexImage2DARB = reinterpret_cast<PFNGLCOMPRESSEDTEXIMAGE2DARBPROC>(
        reinterpret_cast<void*>(wglGetProcAddress("glCompressedTexImage2DARB")));
  }
  void SetUp() override {
    textureFilterLevel = 3;
    maxAnisotropy = 16.0f;
  }
};

std::vector<std::string> LoadLines(const std::string& name, const std::string& loaded, int w, int h,
                                   unsigned type, unsigned format, int comp, int mips, unsigned bpp,
                                   unsigned bytes) {
  return {"filename(char):" + name,
          loaded + name,
          "src->width = " + std::to_string(w),
          "src->height = " + std::to_string(h),
          "src->depth = 1",
          "src->type = " + std::to_string(type),
          "src->format = " + std::to_string(format),
          "src->comp = " + std::to_string(comp),
          "src->numMipmaps = " + std::to_string(mips),
          "src->bpp = " + std::to_string(bpp),
          "bytes = " + std::to_string(bytes)};
}

TEST_F(Textures, TgaBecomesAMipmappedTextureWithItsTexelsAndLogLines) {
  // 2 × 2, top row red and green, bottom row blue and half-transparent white (BGRA bytes).
  std::vector<uint8_t> pixels = {0,   0, 255, 255, 0,   255, 0,   255,
                                 255, 0, 0,   255, 255, 255, 255, 128};
  WriteTga("tex_2x2.tga", 2, 2, pixels);
  LogCapture log;
  Texture texture;
  CreateTexture(&texture, "tex_2x2.tga");

  std::vector<std::string> expected =
      LoadLines("tex_2x2.tga", "file loaded:", 2, 2, GL_UNSIGNED_BYTE, GL_BGRA, 0, 0, 4, 16);
  expected.push_back("saf: internalformat:4");
  EXPECT_EQ(log.Lines(), expected);
  EXPECT_EQ(texture.options, 11);
  EXPECT_EQ(texture.kind, 2);
  EXPECT_EQ(texture.target, GLenum(GL_TEXTURE_2D));
  EXPECT_EQ(texture.envMode, GL_MODULATE);
  EXPECT_EQ(texture.minFilter, GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(texture.magFilter, GL_LINEAR);
  EXPECT_FALSE(texture.sphereMap);
  EXPECT_EQ(texture.anisotropy, 1.0f);

  glBindTexture(GL_TEXTURE_2D, texture.id);
  uint8_t texels[16];
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  // The stored bottom row comes first, as the file holds it: blue, white; then red, green.
  const uint8_t expectedTexels[16] = {0,   0, 255, 255, 255, 255, 255, 128,
                                      255, 0, 0,   255, 0,   255, 0,   255};
  EXPECT_EQ(std::vector<uint8_t>(texels, texels + 16),
            std::vector<uint8_t>(expectedTexels, expectedTexels + 16));
  GLint size = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &size);
  EXPECT_EQ(size, 1);  // the chain goes down to 1 × 1
}

TEST_F(Textures, OtherSizesAreScaledToPowersOfTwo) {
  WriteTga("tex_3x5.tga", 3, 5, std::vector<uint8_t>(3 * 5 * 4, 200));
  LogCapture log;
  Texture texture;
  CreateTexture(&texture, "tex_3x5.tga");
  glBindTexture(GL_TEXTURE_2D, texture.id);
  GLint w = 0, h = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  EXPECT_EQ(w, 4);
  EXPECT_EQ(h, 4);
}

TEST_F(Textures, MissingFileLogsNotLoadedAndUploadsTheLibrarysEmptyImage) {
  LogCapture log;
  Texture texture;
  CreateTexture(&texture, "no_such_file.png");
  std::vector<std::string> expected = LoadLines("no_such_file.png", "file not loaded:", 1, 1,
                                                GL_UNSIGNED_BYTE, GL_LUMINANCE, 0, 0, 1, 1);
  expected.push_back("saf: internalformat:1");
  EXPECT_EQ(log.Lines(), expected);
  EXPECT_NE(texture.id, 0u);
}

TEST_F(Textures, CorruptFilesGiveTheSameDefinedResult) {
  WriteBytes("tex_empty.png", "");
  WriteBytes("tex_text.png", "this is not an image\n");
  WriteBytes("tex_truncated.tga",
             std::string("\0\0\2\0\0\0\0\0\0\0\0\0\xff\xff\xff\xff\x20\x08", 18));
  for (const char* name : {"tex_empty.png", "tex_text.png", "tex_truncated.tga"}) {
    LogCapture log;
    Texture texture;
    CreateTexture(&texture, name);
    ASSERT_EQ(log.Lines().size(), 12u) << name;
    EXPECT_EQ(log.Lines()[1], std::string("file not loaded:") + name);
  }
}

TEST_F(Textures, DxtFileUploadsEveryKeptLevelCompressed) {
  WriteDxt1Dds("tex_dxt1.dds", 64, 7);
  LogCapture log;
  StartGlRecording(true);
  ClearRecordedGlCalls();
  Texture texture;
  CreateTexture(&texture, "tex_dxt1.dds");
  StopGlRecording();
  EXPECT_EQ(log.Lines()[7], "src->comp = 1");
  EXPECT_EQ(log.Lines()[8], "src->numMipmaps = 6");

  std::vector<std::string> uploads;
  for (const std::string& call : RecordedGlCalls())
    if (call.rfind("glCompressedTexImage2DARB", 0) == 0 || call.rfind("gluBuild2DMipmaps", 0) == 0)
      uploads.push_back(call.substr(0, call.rfind(',')));  // without the data pointer
  std::vector<std::string> expected;
  int sizes[] = {2048, 512, 128, 32, 8, 8, 8};
  for (int level = 0, s = 64; level<7; ++level, s = s> 1 ? s / 2 : 1)
    expected.push_back(GlCallText("glCompressedTexImage2DARB", GLenum(GL_TEXTURE_2D), level,
                                  GLenum(0x83F1), s, s, 0, sizes[level]));
  for (std::string& text : expected) text.pop_back();
  EXPECT_EQ(uploads, expected);

  // The texture is complete and red when sampled.
  glBindTexture(GL_TEXTURE_2D, texture.id);
  uint8_t texel[4 * 64 * 64];
  glGetTexImage(GL_TEXTURE_2D, 6, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  EXPECT_EQ(texel[0], 255);
  EXPECT_EQ(texel[1], 0);
}

TEST_F(Textures, WithoutTheCompressedEntryPointMipmapsAreBuiltFromThePixels) {
  WriteDxt1Dds("tex_dxt1b.dds", 16, 5);
  auto saved = glExt.glCompressedTexImage2DARB;
  glExt.glCompressedTexImage2DARB = nullptr;
  StartGlRecording(true);
  ClearRecordedGlCalls();
  LogCapture log;
  Texture texture;
  CreateTexture(&texture, "tex_dxt1b.dds");
  StopGlRecording();
  glExt.glCompressedTexImage2DARB = saved;
  int builds = 0;
  for (const std::string& call : RecordedGlCalls()) {
    EXPECT_NE(call.rfind("glCompressedTexImage2DARB", 0), 0u);
    if (call.rfind("gluBuild2DMipmaps(3553,4,16,16,6408,5121,", 0) == 0) ++builds;
  }
  EXPECT_EQ(builds, 1);
}

TEST(CompressedLevelBytes, FollowsTheBlockSize) {
  EXPECT_EQ(CompressedLevelBytes(64, 64, 0x83F1), 2048);
  EXPECT_EQ(CompressedLevelBytes(2, 1, 0x83F1), 8);
  EXPECT_EQ(CompressedLevelBytes(64, 64, 0x83F3), 4096);
  EXPECT_EQ(CompressedLevelBytes(1, 1, 0x83F2), 16);
  EXPECT_EQ(CompressedLevelBytes(0, 4, 0x83F1), 0);
  EXPECT_EQ(CompressedLevelBytes(0x7FFFFFFF, 0x7FFFFFFF, 0x83F3), 0);  // too large: nothing
}

TEST(ImageBytes, WrapsLikeTheLogAndDetectsIt) {
  Image image{};
  image.width = 65536, image.height = 65536, image.depth = 1, image.bpp = 4;
  EXPECT_EQ(ImageBytes(image), 0u);
  EXPECT_FALSE(ImageDataComplete(image));
  image.width = 256, image.height = 256;
  EXPECT_EQ(ImageBytes(image), 262144u);
  EXPECT_TRUE(ImageDataComplete(image));
}

TEST(ApplyTexture, SendsTheWholeStateInOrder) {
  Texture texture{};
  texture.id = 7, texture.target = GL_TEXTURE_2D, texture.envMode = GL_MODULATE;
  texture.minFilter = GL_LINEAR_MIPMAP_LINEAR, texture.magFilter = GL_LINEAR;
  texture.anisotropy = 1.0f;
  StartGlRecording(false);
  ClearRecordedGlCalls();
  ApplyTexture(&texture);
  texture.sphereMap = true;
  texture.anisotropy = 16.0f;
  ApplyTexture(&texture);
  StopGlRecording();
  const GLenum t = GL_TEXTURE_2D;
  EXPECT_EQ(
      RecordedGlCalls(),
      (std::vector<std::string>{
          GlCallText("glEnable", t), GlCallText("glBindTexture", t, 7u),
          GlCallText("glTexParameteri", t, GLenum(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR),
          GlCallText("glTexParameteri", t, GLenum(GL_TEXTURE_MAG_FILTER), GL_LINEAR),
          GlCallText("glTexEnvi", GLenum(GL_TEXTURE_ENV), GLenum(GL_TEXTURE_ENV_MODE), GL_MODULATE),
          GlCallText("glDisable", GLenum(GL_TEXTURE_GEN_S)),
          GlCallText("glDisable", GLenum(GL_TEXTURE_GEN_T)),
          GlCallText("glTexParameterf", t, GLenum(GL_TEXTURE_MAX_ANISOTROPY_EXT), 1.0f),
          GlCallText("glEnable", t), GlCallText("glBindTexture", t, 7u),
          GlCallText("glTexParameteri", t, GLenum(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR),
          GlCallText("glTexParameteri", t, GLenum(GL_TEXTURE_MAG_FILTER), GL_LINEAR),
          GlCallText("glTexEnvi", GLenum(GL_TEXTURE_ENV), GLenum(GL_TEXTURE_ENV_MODE), GL_MODULATE),
          GlCallText("glEnable", GLenum(GL_TEXTURE_GEN_S)),
          GlCallText("glEnable", GLenum(GL_TEXTURE_GEN_T)),
          GlCallText("glTexGeni", GLenum(GL_S), GLenum(GL_TEXTURE_GEN_MODE), GL_SPHERE_MAP),
          GlCallText("glTexGeni", GLenum(GL_T), GLenum(GL_TEXTURE_GEN_MODE), GL_SPHERE_MAP),
          GlCallText("glTexParameterf", t, GLenum(GL_TEXTURE_MAX_ANISOTROPY_EXT), 16.0f)}));
}

}  // namespace
