// glyphstorm2d's frame loop on screen calls that record what the frame does, with a set clock.
#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "frame_loop.h"

namespace {

// The phrase as code page 1251 bytes.
const char kPhrase[] =
    "\xf1\xe0\xe1\xe1\xe0\xea\xea\xe0\x20\xe1\xe0\xe1\xe1\xea\xe0\x20\xe0\xf4\x2d\xe0\xf4\x2d\xe0"
    "\xf4\x20\x25\x21\x25\x5e\x5e\x5e\x23\x24";

std::vector<std::string> calls;
std::deque<uint32_t> clock;  // the tick counts the frame reads, in order
bool drawingFails;
int framesBeforeEscape;
DrawTarget backBuffer;
const HFONT kSlotFont = reinterpret_cast<HFONT>(static_cast<intptr_t>(0x1234));
const HDC kBackBufferDC = reinterpret_cast<HDC>(static_cast<intptr_t>(0x5678));

void Record(const std::string& call) { calls.push_back(call); }
std::string Text(const char* name, long long a) {
  return std::string(name) + "(" + std::to_string(a) + ")";
}
std::string TextCall(int32_t x, int32_t y, const std::string& text, COLORREF front, COLORREF back) {
  return "DrawTextAt(" + std::to_string(x) + "," + std::to_string(y) + "," + text + "," +
         std::to_string(front) + "," + std::to_string(back) + ")";
}

FrameCalls Recording() {
  FrameCalls c{};
  c.fillScreen = [](COLORREF color) -> HRESULT {
    Record(Text("FillScreen", color));
    return S_OK;
  };
  c.backBufferTarget = []() -> DrawTarget* {
    Record("BackBufferTarget");
    return drawingFails ? nullptr : &backBuffer;
  };
  c.beginDrawing = [](const DrawTarget* target) -> HDC {
    Record("BeginDrawing");
    return target ? kBackBufferDC : nullptr;
  };
  c.setDrawMode = [](uint32_t mode) { Record(Text("SetDrawMode", mode)); };
  c.fontHandle = [](int32_t slot) {
    Record(Text("FontHandle", slot));
    return kSlotFont;
  };
  c.selectDrawFont = [](HFONT font) { Record(Text("SelectDrawFont", intptr_t(font))); };
  c.drawTextAt = [](int32_t x, int32_t y, const char* text, COLORREF front, COLORREF back) {
    Record(TextCall(x, y, text, front, back));
    return x;
  };
  c.endDrawing = [] { Record("EndDrawing"); };
  c.pollKeyboard = [] {
    Record("PollKeyboard");
    return 1;
  };
  c.presentFrame = [](uint32_t mode) { Record(Text("PresentFrame", mode)); };
  c.isKeyDown = [](int32_t code) {
    Record(Text("IsKeyDown", code));
    return --framesBeforeEscape <= 0 ? 0x80 : 0;
  };
  c.ticks = [] {
    Record("Ticks");
    uint32_t now = clock.front();
    if (clock.size() > 1) clock.pop_front();
    return now;
  };
  return c;
}

uint32_t FixedSeed() { return 4242; }

class Frames : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    clock = {5000};
    drawingFails = false;
    framesBeforeEscape = 1000;
    program = ProgramWords{};
    randomState = RandomState{};
    SetRandomTickSource(FixedSeed);
    frameCalls = Recording();
  }
  void TearDown() override { frameCalls = ScreenLayerFrameCalls(); }

  // The calls of a drawing frame, its phrases placed and coloured by a generator with the same seed
  // drawn blue, green, red, y, x; then the rate text.
  static std::vector<std::string> DrawingFrame(RandomState& reference, const std::string& rate) {
    RandomState saved = randomState;
    randomState = reference;
    std::vector<std::string> frame = {"FillScreen(0)", "BackBufferTarget", "BeginDrawing",
                                      "SetDrawMode(1)"};
    for (int i = 0; i < 200; ++i) {
      int32_t blue = RandomUpTo(255), green = RandomUpTo(255), red = RandomUpTo(255);
      int32_t y = RandomUpTo(588), x = RandomUpTo(635);
      frame.push_back("FontHandle(1)");
      frame.push_back("SelectDrawFont(4660)");
      frame.push_back(TextCall(x, y, kPhrase, red + green * 256 + blue * 65536, 0));
    }
    reference = randomState;
    randomState = saved;
    frame.push_back(TextCall(0, 0, rate, 0xFFFFFF, 0xFFFF05));
    frame.push_back("EndDrawing");
    frame.push_back("PollKeyboard");
    return frame;
  }
  // The end of every frame after the keyboard read: the clock, the present and the Esc test.
  static std::vector<std::string> FrameEnd(int tickReads) {
    std::vector<std::string> end(tickReads, "Ticks");
    end.insert(end.end(), {"PresentFrame(0)", "IsKeyDown(1)"});
    return end;
  }
  static std::vector<std::string> Concat(std::vector<std::string> a,
                                         const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }
  std::string RateShown() const {
    for (auto at = calls.rbegin(); at != calls.rend(); ++at)
      if (at->rfind("DrawTextAt(0,0,", 0) == 0) return at->substr(15, at->find(',', 15) - 15);
    return "none";
  }
};

TEST_F(Frames, AFrameDrawsTwoHundredPhrasesInGeneratorOrderThenZeroThenCountsAndPresents) {
  RandomState reference{};
  reference.ticks = FixedSeed;
  clock = {5000, 5003};
  EXPECT_FALSE(RunFrame());
  EXPECT_EQ(calls, Concat(DrawingFrame(reference, "0"), FrameEnd(2)));
  // The first frame passes the rate test (the mark starts at 0); the new period starts at the
  // second reading.
  EXPECT_EQ(program.shownRate, 1);
  EXPECT_EQ(program.frameCount, 0);
  EXPECT_EQ(program.lastMark, 5003);

  // The generator runs on across frames: the second frame takes the next 1000 numbers.
  calls.clear();
  clock = {5004};
  EXPECT_FALSE(RunFrame());
  EXPECT_EQ(calls, Concat(DrawingFrame(reference, "1"), FrameEnd(1)));
}

TEST_F(Frames, TheRateChangesOnlyMoreThanASecondAfterTheMarkComparedAsSigned32Bit) {
  RunFrame();  // tick 5000: rate 1, mark 5000
  struct Step {
    std::deque<uint32_t> ticks;
    int reads;
    const char* shown;  // drawn before this frame is counted
    int32_t rate, count, mark;
  };
  const Step steps[] = {
      {{6000}, 1, "1", 1, 1, 5000},        // exactly a second later: not yet
      {{6001, 6050}, 2, "1", 2, 0, 6050},  // one tick more: two frames; the mark is the 2nd read
      {{7050}, 1, "2", 2, 1, 6050},
      {{7051, 7052}, 2, "2", 2, 0, 7052},
  };
  for (const Step& step : steps) {
    calls.clear();
    clock = step.ticks;
    RunFrame();
    EXPECT_EQ(RateShown(), step.shown) << step.ticks.front();
    EXPECT_EQ(std::vector<std::string>(calls.end() - 2 - step.reads, calls.end()),
              FrameEnd(step.reads))
        << step.ticks.front();
    EXPECT_EQ(program.shownRate, step.rate) << step.ticks.front();
    EXPECT_EQ(program.frameCount, step.count) << step.ticks.front();
    EXPECT_EQ(program.lastMark, step.mark) << step.ticks.front();
  }

  // Near the top of the signed range the deadline wraps negative, so any later tick passes.
  program.lastMark = 0x7FFFFF00;
  clock = {0x7FFFFF10, 0x7FFFFF11};
  RunFrame();
  EXPECT_EQ(program.shownRate, 1);
  EXPECT_EQ(program.lastMark, 0x7FFFFF11);
}

TEST_F(Frames, AFrameWithoutTheBackBufferDrawsNothingButIsCountedAndPresented) {
  drawingFails = true;
  clock = {900};  // not past the first second
  RunFrame();
  EXPECT_EQ(calls, Concat({"FillScreen(0)", "BackBufferTarget", "BeginDrawing", "PollKeyboard"},
                          FrameEnd(1)));
  EXPECT_EQ(program.frameCount, 1);
  // No number was drawn: the next drawing frame starts the generator's sequence.
  RandomState reference{};
  reference.ticks = FixedSeed;
  drawingFails = false;
  calls.clear();
  RunFrame();
  std::vector<std::string> expected = DrawingFrame(reference, "0");
  ASSERT_GE(calls.size(), 604u);
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 604),
            std::vector<std::string>(expected.begin(), expected.begin() + 604));
}

TEST_F(Frames, EscIsTestedOnceAfterEachPresentAndEndsTheLoop) {
  framesBeforeEscape = 3;
  clock = {900};
  RunBenchmark();
  std::vector<std::string> presents, tests;
  for (size_t i = 0; i < calls.size(); ++i) {
    // A present as the last call has nothing after it: recorded as such, not read past the end.
    if (calls[i] == "PresentFrame(0)")
      presents.push_back(i + 1 < calls.size() ? calls[i + 1] : "nothing");
    if (calls[i].rfind("IsKeyDown", 0) == 0) tests.push_back(calls[i]);
  }
  EXPECT_EQ(presents, std::vector<std::string>(3, "IsKeyDown(1)"));
  EXPECT_EQ(tests.size(), 3u);
  EXPECT_EQ(calls.back(), "IsKeyDown(1)");
  EXPECT_EQ(program.frameCount, 3);
}

}  // namespace
