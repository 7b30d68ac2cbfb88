// The image library's entry points: names, binding, loading, failure state, mip levels and the
// kept compressed data. Runs natively and, under Windows, through the DLLs.
#include <IL/il.h>
#include <IL/ilu.h>
#include <IL/ilut.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "test_files.h"

namespace {

using testfiles::Bytes;

const Bytes kDxt1Block = {0x00, 0xF8, 0x1F, 0x00, 0x00, 0x55, 0xAA, 0xFF};

class ImageApi : public ::testing::Test {
 protected:
  void SetUp() override {
    ilInit();
    ilSetInteger(IL_KEEP_DXTC_DATA, 1);
    ilGenImages(1, &name);
    ilBindImage(name);
    while (ilGetError() != IL_NO_ERROR) {
    }
  }
  void TearDown() override {
    ilDeleteImages(1, &name);
    for (const std::string& file : files) std::remove(file.c_str());
  }
  std::string Write(const std::string& file, const Bytes& bytes) {
    files.push_back(testfiles::WriteFile(file, bytes));
    return file;
  }
  // 16 x 8 DXT1 with its full chain of 5 levels.
  std::string WriteDxt1Chain() {
    return Write("imagelib_api_chain.dds",
                 testfiles::Dds(16, 8, "DXT1", 5, testfiles::Dxt1Chain(16, 8, 5, kDxt1Block)));
  }
  void ExpectEmptyImage() {
    EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 1);
    EXPECT_EQ(ilGetInteger(IL_IMAGE_HEIGHT), 1);
    EXPECT_EQ(ilGetInteger(IL_IMAGE_DEPTH), 1);
    EXPECT_EQ(ilGetInteger(IL_IMAGE_FORMAT), IL_LUMINANCE);
    EXPECT_EQ(ilGetInteger(IL_IMAGE_TYPE), IL_UNSIGNED_BYTE);
    EXPECT_EQ(ilGetInteger(IL_IMAGE_BPP), 1);
    EXPECT_EQ(ilGetInteger(IL_NUM_MIPMAPS), 0);
    EXPECT_EQ(ilGetInteger(IL_DXTC_DATA_FORMAT), IL_DXT_NO_COMP);
    EXPECT_NE(ilGetData(), nullptr);
  }
  ILuint name = 0;
  std::vector<std::string> files;
};

TEST_F(ImageApi, VersionsAndStartCalls) {
  EXPECT_EQ(ilGetInteger(IL_VERSION_NUM), 180);
  EXPECT_EQ(iluGetInteger(ILU_VERSION_NUM), 180);
  EXPECT_EQ(ilutGetInteger(ILUT_VERSION_NUM), 180);
  iluInit();
  ilutInit();
  EXPECT_TRUE(ilutRenderer(ILUT_OPENGL));
  EXPECT_TRUE(ilutEnable(ILUT_GL_AUTODETECT_TEXTURE_TARGET));
  EXPECT_TRUE(ilutEnable(ILUT_OPENGL_CONV));
  EXPECT_TRUE(ilutEnable(ILUT_GL_USE_S3TC));
  EXPECT_EQ(ilGetInteger(IL_KEEP_DXTC_DATA), IL_TRUE);
}

TEST_F(ImageApi, FreshImageIsOneLuminancePixel) { ExpectEmptyImage(); }

TEST_F(ImageApi, FailedLoadsLeaveTheImageAndSetAnError) {
  EXPECT_FALSE(ilLoadImage("imagelib_api_missing.png"));
  EXPECT_EQ(ilGetError(), IL_COULD_NOT_OPEN_FILE);
  ExpectEmptyImage();
  EXPECT_FALSE(ilLoadImage(nullptr));
  EXPECT_EQ(ilGetError(), IL_INVALID_PARAM);
  EXPECT_FALSE(ilLoadImage(Write("imagelib_api_empty.tga", {}).c_str()));
  EXPECT_FALSE(ilLoadImage(Write("imagelib_api_text.png", {'h', 'i', '\n'}).c_str()));
  ExpectEmptyImage();

  // A good image stays as it was after a later failure.
  ASSERT_TRUE(ilLoadImage(WriteDxt1Chain().c_str()));
  EXPECT_FALSE(ilLoadImage("imagelib_api_missing.png"));
  EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 16);
  EXPECT_EQ(ilGetInteger(IL_NUM_MIPMAPS), 4);
}

TEST_F(ImageApi, TgaKeepsStoredRowsAsBgr) {
  Bytes pixels = {1, 2, 3, 4, 5, 6};
  ASSERT_TRUE(
      ilLoadImage(Write("imagelib_api_rows.tga", testfiles::Tga24(1, 2, pixels, false)).c_str()));
  EXPECT_EQ(ilGetInteger(IL_IMAGE_FORMAT), IL_BGR);
  EXPECT_EQ(ilGetInteger(IL_IMAGE_BPP), 3);
  EXPECT_EQ(Bytes(ilGetData(), ilGetData() + 6), pixels);
}

TEST_F(ImageApi, MipLevelsAreSelectedRelativeToTheCurrentOne) {
  ASSERT_TRUE(ilLoadImage(WriteDxt1Chain().c_str()));
  EXPECT_EQ(ilGetInteger(IL_DXTC_DATA_FORMAT), IL_DXT1);
  EXPECT_EQ(ilGetInteger(IL_IMAGE_FORMAT), IL_RGBA);
  EXPECT_TRUE(ilActiveMipmap(1));
  EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 8);
  EXPECT_TRUE(ilActiveMipmap(1));
  EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 4);
  EXPECT_EQ(ilGetInteger(IL_IMAGE_HEIGHT), 2);
  EXPECT_EQ(ilGetInteger(IL_NUM_MIPMAPS), 2);
  EXPECT_TRUE(ilActiveMipmap(0));
  EXPECT_FALSE(ilActiveMipmap(3));  // only two levels below
  EXPECT_EQ(ilGetError(), IL_ILLEGAL_OPERATION);
  EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 4);
  ilBindImage(name);
  EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 16);
  EXPECT_TRUE(ilActiveMipmap(4));
  EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 1);
  EXPECT_EQ(ilGetInteger(IL_NUM_MIPMAPS), 0);
}

TEST_F(ImageApi, KeptDxtLevelsComeBackToBack) {
  ASSERT_TRUE(ilLoadImage(WriteDxt1Chain().c_str()));
  Bytes all;
  for (ILuint level = 0; level < 5; ++level) {
    ilBindImage(name);
    ASSERT_TRUE(ilActiveMipmap(level));
    ILuint size = ilGetDXTCData(nullptr, 0, IL_DXT1);
    Bytes buffer(size);
    EXPECT_EQ(ilGetDXTCData(buffer.data(), size, IL_DXT1), size);
    EXPECT_EQ(buffer[4], level);
    all.insert(all.end(), buffer.begin(), buffer.end());
  }
  EXPECT_EQ(all, testfiles::Dxt1Chain(16, 8, 5, kDxt1Block));
  EXPECT_EQ(all.size(), 64u + 16 + 8 + 8 + 8);
}

TEST_F(ImageApi, DxtDataOnlyInTheKindTheFileHeld) {
  ASSERT_TRUE(ilLoadImage(WriteDxt1Chain().c_str()));
  EXPECT_EQ(ilGetDXTCData(nullptr, 0, IL_DXT5), 0u);
  EXPECT_EQ(ilGetError(), IL_FORMAT_NOT_SUPPORTED);
  EXPECT_EQ(ilGetDXTCData(nullptr, 0, IL_RGBA), 0u);
  EXPECT_EQ(ilGetError(), IL_INVALID_ENUM);
  uint8_t small[10] = {};
  EXPECT_EQ(ilGetDXTCData(small, sizeof small, IL_DXT1), 10u);
  EXPECT_EQ(small[1], 0xF8);

  ilSetInteger(IL_KEEP_DXTC_DATA, 0);
  ASSERT_TRUE(ilLoadImage(WriteDxt1Chain().c_str()));
  EXPECT_EQ(ilGetInteger(IL_DXTC_DATA_FORMAT), IL_DXT_NO_COMP);
  EXPECT_EQ(ilGetInteger(IL_NUM_MIPMAPS), 4);
  EXPECT_EQ(ilGetDXTCData(nullptr, 0, IL_DXT1), 0u);
}

TEST_F(ImageApi, NamesBindingAndDeletion) {
  ILuint more[2] = {};
  ilGenImages(2, more);
  EXPECT_NE(more[0], more[1]);
  EXPECT_NE(more[0], name);
  ilBindImage(more[1]);
  ASSERT_TRUE(ilLoadImage(WriteDxt1Chain().c_str()));
  ilBindImage(more[0]);
  ExpectEmptyImage();
  ilBindImage(more[1]);
  EXPECT_EQ(ilGetInteger(IL_CUR_IMAGE), ILint(more[1]));
  ilDeleteImages(2, more);
  // With its image gone the library falls back to image 0.
  EXPECT_EQ(ilGetInteger(IL_CUR_IMAGE), 0);
  ilGetInteger(0x1234);
  EXPECT_EQ(ilGetError(), IL_INVALID_ENUM);
  EXPECT_EQ(ilGetError(), IL_NO_ERROR);
}

}  // namespace
