// The GL reference program's portable parts: the glyph widths it accepts, what a desktop's GL
// strings make unavailable, and the shot.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gl_reference_features.h"
#include "gl_reference_shot.h"
#include "gl_reference_workload.h"

namespace {

// Every phrase character `advance` wide (the phrase's bytes are all below 256).
std::string UniformWidths(int advance) {
  std::string text = "internalname = Tahoma\n";
  for (int code = 0; code < 256; ++code)
    text += std::to_string(code) + " = " + std::to_string(advance) + "\n";
  return text;
}

TEST(GlyphWidths, ThePhraseMustFitTheWindow) {
  GlyphWidths widths;
  std::istringstream six(UniformWidths(6));
  ASSERT_TRUE(ReadGlyphWidths(six, widths));
  EXPECT_EQ(6 * kGlPhraseGlyphs, widths.phraseWidth);
  // Wider than the window would leave a phrase no place; none at all, nothing to draw.
  for (int advance : {25, 0, -3}) {
    std::istringstream text(UniformWidths(advance));
    EXPECT_FALSE(ReadGlyphWidths(text, widths)) << advance;
  }
  std::istringstream garbage("32 = \n= 5\n999 = 4\nx\n");
  EXPECT_FALSE(ReadGlyphWidths(garbage, widths));
}

TEST(GlOffer, WhatEachBufferPathLacks) {
  const char kMesa[] = "GL_ARB_multitexture GL_ARB_instanced_arrays_x GL_ARB_draw_instanced";
  GlOffer old = ReadGlOffer("2.1 Mesa 22.3.6", kMesa);
  EXPECT_EQ(2, old.major);
  EXPECT_EQ(1, old.minor);
  EXPECT_TRUE(OffersExtension(old, "GL_ARB_draw_instanced"));
  EXPECT_FALSE(OffersExtension(old, "GL_ARB_instanced_arrays"));  // only a longer name
  EXPECT_FALSE(OffersExtension(old, "GL_ARB"));
  EXPECT_EQ("", MissingForVertexBuffer(old));
  EXPECT_EQ(
      "needs OpenGL 3.3, or 2.0 with GL_ARB_instanced_arrays and GL_ARB_draw_instanced; this "
      "desktop has OpenGL 2.1 Mesa 22.3.6, without GL_ARB_instanced_arrays",
      MissingForInstancing(old));

  GlOffer withBoth = ReadGlOffer("2.0", "GL_ARB_draw_instanced GL_ARB_instanced_arrays");
  EXPECT_EQ("", MissingForInstancing(withBoth));
  EXPECT_EQ("", MissingForInstancing(ReadGlOffer("3.3.0 NVIDIA", nullptr)));
  EXPECT_EQ("", MissingForInstancing(ReadGlOffer("10.0", nullptr)));

  std::string none = MissingForInstancing(ReadGlOffer(nullptr, nullptr));
  EXPECT_NE(std::string::npos, none.find("this desktop has no OpenGL version, without shaders"));
  EXPECT_EQ(
      "needs OpenGL 1.5 or GL_ARB_vertex_buffer_object; this desktop has OpenGL 1.4, without "
      "GL_ARB_vertex_buffer_object",
      MissingForVertexBuffer(ReadGlOffer("1.4", "GL_EXT_bgra")));
  EXPECT_NE("", MissingForVertexBuffer(ReadGlOffer("OpenGL ES 3.2", nullptr)));
}

bool Take(std::vector<const char*> args, std::vector<std::string>& rest, std::string& file) {
  std::vector<char*> argv;
  for (const char* a : args) argv.push_back(const_cast<char*>(a));
  std::vector<char*> kept;
  bool taken = TakeShotOption(int(argv.size()), argv.data(), kept, file);
  rest.assign(kept.begin(), kept.end());
  return taken;
}

TEST(ShotOption, TakenAnywhereOnceWithItsFile) {
  std::vector<std::string> rest;
  std::string file;
  ASSERT_TRUE(Take({"gl.exe", "vbo", "--shot", "a.ppm", "0", "12"}, rest, file));
  EXPECT_EQ((std::vector<std::string>{"gl.exe", "vbo", "0", "12"}), rest);
  EXPECT_EQ("a.ppm", file);
  ASSERT_TRUE(Take({"gl.exe", "glyphs"}, rest, file));
  EXPECT_EQ("", file);
  EXPECT_FALSE(Take({"gl.exe", "glyphs", "--shot"}, rest, file));
  EXPECT_FALSE(Take({"gl.exe", "--shot", ""}, rest, file));
  EXPECT_FALSE(Take({"gl.exe", "--shot", "a", "--shot", "b"}, rest, file));
}

TEST(ShotFile, TopRowFirstAndOnlyWhole) {
  std::string file = testing::TempDir() + "gl_reference_shot.ppm";
  // Two rows of one pixel, the bottom one (red) first, as GL reads them back.
  ASSERT_TRUE(WriteShot(file, 1, 2, {255, 0, 0, 0, 0, 255}));
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(std::string("P6\n1 2\n255\n\0\0\xff\xff\0\0", 17), bytes);
  in.close();
  std::remove(file.c_str());
  EXPECT_FALSE(WriteShot(file, 2, 2, {1, 2, 3}));
  EXPECT_FALSE(WriteShot(file, 0, 0, {}));
  EXPECT_FALSE(WriteShot(testing::TempDir() + "no-such-folder/x.ppm", 1, 1, {1, 2, 3}));
}

}  // namespace
