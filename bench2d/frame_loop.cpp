// glyphstorm2d's frame: the 200 phrases and the rate through GDI on the back buffer, the frame
// count, the present, the harness's frame report and the Esc test.
#include "frame_loop.h"

#include "screen/display.h"
#include "screen/fonts.h"
#include "screen/keyboard.h"
#include "screen/numbers.h"

ProgramWords program;

namespace {

const char kPhrase[] = "саббакка баббка аф-аф-аф %!%^^^#$";
static_assert(sizeof(kPhrase) == 34, "the phrase is 33 single-byte characters");

const int32_t kPhrasesPerFrame = 200;
const int32_t kFontSlot = 1;
const int32_t kEscape = 1;         // DirectInput key code
const int32_t kRatePeriod = 1000;  // milliseconds; the rate changes only after more than this
const uint32_t kPresentNoWait = 0;

void DrawPhrases() {
  const FrameCalls& screen = frameCalls;
  for (program.loopIndex = 1; program.loopIndex <= kPhrasesPerFrame; ++program.loopIndex) {
    screen.selectDrawFont(screen.fontHandle(kFontSlot));
    int32_t blue = RandomUpTo(255);
    int32_t green = RandomUpTo(255);
    int32_t red = RandomUpTo(255);
    program.phraseColor = MakeColor(red, green, blue);
    int32_t y = RandomUpTo(588);
    int32_t x = RandomUpTo(635);
    screen.drawTextAt(x, y, kPhrase, program.phraseColor, 0);
  }
  screen.drawTextAt(0, 0, IntToText(program.shownRate), 0xFFFFFF, MakeColor(5, 255, 255));
}

// Counts the frame; just over a second after the last mark the count becomes the shown rate.
void CountFrame() {
  program.frameCount += 1;
  auto deadline = static_cast<int32_t>(static_cast<uint32_t>(program.lastMark) + kRatePeriod);
  if (static_cast<int32_t>(frameCalls.ticks()) > deadline) {
    program.shownRate = program.frameCount;
    program.frameCount = 0;
    program.lastMark = static_cast<int32_t>(frameCalls.ticks());
  }
}

}  // namespace

FrameCalls frameCalls = ScreenLayerFrameCalls();
FrameReporter frameReporter{};

FrameCalls ScreenLayerFrameCalls() {
  return FrameCalls{FillScreen,   BackBufferTarget, BeginDrawing, SetDrawMode,
                    FontHandle,   SelectDrawFont,   DrawTextAt,   EndDrawing,
                    PollKeyboard, PresentFrame,     IsKeyDown,    SystemTicks};
}

uint32_t SystemTicks() { return GetTickCount(); }

bool RunFrame() {
  const FrameCalls& screen = frameCalls;
  screen.fillScreen(program.background);
  if (screen.beginDrawing(screen.backBufferTarget())) {
    screen.setDrawMode(DrawTransparent);
    DrawPhrases();
    screen.endDrawing();
  }
  screen.pollKeyboard();
  CountFrame();
  screen.presentFrame(kPresentNoWait);
  if (frameReporter.on) CountReportedFrame(frameReporter, screen.ticks(), true);
  return screen.isKeyDown(kEscape) != 0;
}

void RunBenchmark() {
  while (!RunFrame()) {
  }
}
