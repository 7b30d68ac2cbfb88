// The benchmark loop's frame, recorded while it draws for real under Wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "driver/benchmark.h"
#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"
#include "engine/core/gl_recorder.h"
#include "engine/core/startup.h"

namespace {

class Loop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(InitEngine(640, 480, 32, 2));
    benchmark = PrepareBenchmark();
  }
  void SetUp() override {
    for (bool& key : keys) key = false;
    benchmark.textMode = 2;
  }
  static std::vector<std::string> RecordFrame() {
    StartGlRecording(true);
    ClearRecordedGlCalls();
    RunFrame(benchmark);
    StopGlRecording();
    return RecordedGlCalls();
  }
  static Benchmark benchmark;
};
Benchmark Loop::benchmark;

TEST_F(Loop, PreparationSetsTitleSwapIntervalFontAndRanges) {
  char title[32];
  GetWindowTextA(hWnd, title, sizeof title);
  EXPECT_STREQ(title, "Zumbrel");
  EXPECT_EQ(wglGetSwapIntervalEXT(), 0);
  ASSERT_NE(benchmark.font->glyphTexture, nullptr);
  EXPECT_EQ(benchmark.textMode, 2);
  EXPECT_EQ(benchmark.xRange, 640 - int(MeasurePhrase(benchmark.font)) + 1);
  EXPECT_EQ(benchmark.yRange, 480 - 15);
}

std::vector<std::string> Matching(const std::vector<std::string>& calls,
                                  const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& call : calls)
    if (call.rfind(prefix, 0) == 0) found.push_back(call);
  return found;
}

// Space reseeds with 535 before the phrases: blue, green, red, then x and y from rand().
TEST_F(Loop, SpaceFramesRepeatTheSeed535SequenceInBlueGreenRedXYOrder) {
  keys[VK_SPACE] = true;
  std::vector<std::string> calls = RecordFrame();
  std::vector<std::string> colours = Matching(calls, "glColor4f(");
  std::vector<std::string> corners = Matching(calls, "glVertex3f(");
  std::srand(535);
  std::vector<std::string> expectedColours, expectedCorners;
  for (int i = 0; i < 199; ++i) {
    int b = std::rand() % 256, g = std::rand() % 256, r = std::rand() % 256;
    expectedColours.push_back(
        GlCallText("glColor4f", float(r / 255.0), float(g / 255.0), float(b / 255.0), 1.0f));
    int x = std::rand() % benchmark.xRange, y = std::rand() % benchmark.yRange;
    expectedCorners.push_back(GlCallText("glVertex3f", float(x), float(y), 1.0f));
  }
  // The phrase batch makes the texture in the first mode-2 frame (its own white colour first).
  ASSERT_GE(colours.size(), 199u);
  std::vector<std::string> phraseColours(colours.end() - 200, colours.end() - 1);
  EXPECT_EQ(phraseColours, expectedColours);
  EXPECT_EQ(colours.back(), "glColor4f(1,1,1,1)");  // the rate text
  // Each phrase quad starts at its (x, y) with z = 1.
  std::vector<std::string> quadStarts;
  for (const std::string& corner : corners)
    if (corner.size() > 2 && corner.substr(corner.size() - 3) == ",1)")
      quadStarts.push_back(corner);
  ASSERT_GE(quadStarts.size(), 199u * 4);
  for (size_t i = 0; i < 199; ++i) EXPECT_EQ(quadStarts[i * 4], expectedCorners[i]) << i;

  std::vector<std::string> again = Matching(RecordFrame(), "glColor4f(");
  ASSERT_GE(again.size(), 200u);
  EXPECT_EQ(std::vector<std::string>(again.end() - 200, again.end()),
            std::vector<std::string>(colours.end() - 200, colours.end()));
}

TEST_F(Loop, KeyOneSwitchesToGlyphDrawingAndBothKeysMeanModeTwo) {
  keys['1'] = true;
  std::vector<std::string> calls = RecordFrame();
  EXPECT_EQ(benchmark.textMode, 1);
  // 199 phrases of 33 glyphs plus the rate digits, in one batch state.
  EXPECT_GE(Matching(calls, "glTexCoord2f(").size(), 199u * 33 * 4);
  EXPECT_EQ(Matching(calls, GlCallText("glAlphaFunc", GLenum(GL_GREATER), 0.1f)).size(), 2u);
  EXPECT_EQ(benchmark.font->glyphBatchActive, 0);
  keys['2'] = true;
  RecordFrame();
  EXPECT_EQ(benchmark.textMode, 2);
  EXPECT_EQ(benchmark.font->phraseBatchActive, 0);
}

TEST_F(Loop, EscapeHeldBeforeTheFirstFrameDrawsNothing) {
  keys[VK_ESCAPE] = true;
  StartGlRecording(false);
  ClearRecordedGlCalls();
  RunBenchmark(benchmark);
  StopGlRecording();
  EXPECT_TRUE(RecordedGlCalls().empty());
}

TEST(RandomPosition, AZeroRangePlacesAtZeroAndStillDrawsANumber) {
  std::srand(7);
  std::rand();
  int second = std::rand();
  int third = std::rand();
  std::srand(7);
  EXPECT_EQ(RandomPosition(0), 0);
  EXPECT_EQ(RandomPosition(1000000), second % 1000000);
  EXPECT_EQ(RandomPosition(-5), third % -5);  // truncating remainder: never negative
  EXPECT_GE(third % -5, 0);
}

}  // namespace
