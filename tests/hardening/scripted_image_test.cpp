// GL is reached through the tables by name here, not through the redirecting macros.
#define GS_GL_NO_REDIRECT
// Texture uploads from an image library whose sizes disagree with what it holds (the scripted
// DevIL.dll beside this program): a wrapping byte count, more bytes held than promised, sizes
// above the largest texture, and mip levels past the kept data.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"
#include "engine/core/gl_recorder.h"
#include "engine/texture/image.h"
#include "engine/texture/texture.h"
#include "gl_window_fixture.h"
#include "log_capture.h"

namespace {

using ScriptFunction = void (*)(int, int, int, int, unsigned, int, unsigned, unsigned);
const int kDxt1 = 0x0706, kNoDxt = 0x070B;

class ScriptedImages : public GlWindowSuite {
 protected:
  static void SetUpTestSuite() {
    GlWindowSuite::SetUpTestSuite();
    glExt.glCompressedTexImage2DARB = reinterpret_cast<PFNGLCOMPRESSEDTEXIMAGE2DARBPROC>(
        reinterpret_cast<void*>(wglGetProcAddress("glCompressedTexImage2DARB")));
  }
  void SetUp() override {
    textureFilterLevel = 3;
    script = reinterpret_cast<ScriptFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("DevIL.dll"), "ScriptImage")));
    ASSERT_NE(script, nullptr) << "not the scripted DevIL.dll";
  }
  // The upload calls CreateTexture makes, without their data pointers.
  std::vector<std::string> Uploads(std::vector<std::string>* log = nullptr) {
    LogCapture capture;
    StartGlRecording(true);
    ClearRecordedGlCalls();
    Texture texture;
    CreateTexture(&texture, "scripted");
    StopGlRecording();
    if (log) *log = capture.Lines();
    std::vector<std::string> uploads;
    for (const std::string& call : RecordedGlCalls())
      if (call.rfind("glCompressedTexImage2DARB", 0) == 0 ||
          call.rfind("gluBuild2DMipmaps", 0) == 0)
        uploads.push_back(call.substr(0, call.rfind(',')));
    return uploads;
  }
  ScriptFunction script = nullptr;
};

TEST_F(ScriptedImages, AWrappingByteCountUploadsNothing) {
  std::vector<std::string> log;
  script(65536, 65536, 4, 0, 16, kNoDxt, 0, 0);  // 2^34 bytes: 0 in 32 bits
  EXPECT_EQ(Uploads(&log), std::vector<std::string>{});
  EXPECT_EQ(log[10], "bytes = 0");
  script(65537, 65537, 4, 0, 16, kNoDxt, 0, 0);  // wraps to 0x80004 bytes, far fewer than needed
  EXPECT_EQ(Uploads(&log), std::vector<std::string>{});
  EXPECT_EQ(log[10], "bytes = 524292");
  EXPECT_EQ(log[11], "bytes zero-filled = 524276");
}

TEST_F(ScriptedImages, TheCopyTakesOnlyTheBytesTheLibraryHolds) {
  script(65537, 65537, 4, 0, 16, kNoDxt, 0, 0);  // promises 524292 bytes, holds 16 (all 0x80)
  LogCapture capture;
  Image* image = LoadImageFile("scripted");
  std::vector<unsigned char> copy(image->data, image->data + 524292);
  FreeImage(image);
  EXPECT_EQ(std::vector<unsigned char>(copy.begin(), copy.begin() + 16),
            std::vector<unsigned char>(16, 0x80));
  EXPECT_EQ(std::vector<unsigned char>(copy.begin() + 16, copy.end()),
            std::vector<unsigned char>(524292 - 16, 0));
  EXPECT_EQ(capture.Lines().back(), "bytes zero-filled = 524276");
}

TEST_F(ScriptedImages, HeldBytesPastTheSizesAreLeftAlone) {
  // 2 × 2 × 4 = 16 bytes promised, 4 MiB held: a copy of what is held would run far past the
  // 16-byte buffer.
  script(2, 2, 4, 0, 4u << 20, kNoDxt, 0, 0);
  LogCapture capture;
  Image* image = LoadImageFile("scripted");
  EXPECT_EQ(std::vector<unsigned char>(image->data, image->data + 16),
            std::vector<unsigned char>(16, 0x80));
  FreeImage(image);
  EXPECT_EQ(capture.Lines().back(), "bytes = 16");
  HANDLE heaps[64];
  DWORD count = GetProcessHeaps(64, heaps);
  for (DWORD i = 0; i < count && i < 64; ++i) EXPECT_TRUE(HeapValidate(heaps[i], 0, nullptr)) << i;
}

// Above the largest texture the engine can upload the image is refused before any allocation:
// without that bound, sizes of up to 4 GiB reach the allocator.
TEST_F(ScriptedImages, AnImageAboveTheLargestTextureIsRefused) {
  std::vector<std::string> log;
  script(16385, 16384, 4, 0, 16, kNoDxt, 0, 0);  // 1 GiB and 64 KiB, no wrap
  EXPECT_EQ(Uploads(&log), std::vector<std::string>{});
  ASSERT_EQ(log.size(), 12u);  // the last: no texture is made of it
  EXPECT_EQ(log[10], "bytes = 1073807360");
  EXPECT_EQ(log[11], "bytes refused = 1073807360");
  LogCapture capture;
  Image* image = LoadImageFile("scripted");
  EXPECT_EQ(image->data, nullptr);
  FreeImage(image);
}

TEST_F(ScriptedImages, MipLevelsPastTheKeptDataAreNotUploaded) {
  // Seven levels reported, data kept for two: the two are uploaded and nothing past them.
  script(64, 64, 4, 6, 64 * 64 * 4, kDxt1, 2, 2048);
  std::vector<std::string> uploads = Uploads();
  ASSERT_EQ(uploads.size(), 2u);
  EXPECT_EQ(uploads[0].rfind("glCompressedTexImage2DARB(3553,0,33777,64,64,0", 0), 0u)
      << uploads[0];
  EXPECT_EQ(uploads[1].rfind("glCompressedTexImage2DARB(3553,1,33777,32,32,0", 0), 0u)
      << uploads[1];
}

TEST_F(ScriptedImages, KeptDataShorterThanTheBaseFallsBackToThePixels) {
  script(64, 64, 4, 6, 64 * 64 * 4, kDxt1, 7, 100);  // every level short of its 2048 bytes
  std::vector<std::string> uploads = Uploads();
  ASSERT_EQ(uploads.size(), 1u);
  EXPECT_EQ(uploads[0].rfind("gluBuild2DMipmaps(3553,4,64,64,", 0), 0u) << uploads[0];
}

}  // namespace
