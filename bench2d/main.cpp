// glyphstorm2d: draws a Cyrillic phrase 200 times per frame with GDI on a DirectDraw full screen
// and shows the frame rate until Esc.
#include <windows.h>

#include <cstdint>

#include "screen/display.h"
#include "screen/drawing.h"
#include "screen/fonts.h"
#include "screen/keyboard.h"
#include "screen/layer.h"
#include "screen/message.h"
#include "screen/numbers.h"
#include "screen/random.h"

namespace {

const char kPhrase[] = "саббакка баббка аф-аф-аф %!%^^^#$";
static_assert(sizeof(kPhrase) == 34, "the phrase is 33 single-byte characters");

const int32_t kPhrasesPerFrame = 200;
const int32_t kEscape = 1;  // DirectInput key code

struct ProgramWords {
  HANDLE mainHeap;
  HINSTANCE instance;
  int32_t lastMark;
  COLORREF phraseColor;
  int32_t shownRate;
  int32_t frameCount;
  COLORREF background;
  int32_t loopIndex;
};

ProgramWords program;

uint32_t SystemTicks() { return GetTickCount(); }

void DrawPhrases() {
  for (program.loopIndex = 1; program.loopIndex <= kPhrasesPerFrame; ++program.loopIndex) {
    SelectDrawFont(FontHandle(1));
    int32_t blue = RandomUpTo(255);
    int32_t green = RandomUpTo(255);
    int32_t red = RandomUpTo(255);
    program.phraseColor = MakeColor(red, green, blue);
    int32_t y = RandomUpTo(588);
    int32_t x = RandomUpTo(635);
    DrawTextAt(x, y, kPhrase, program.phraseColor, 0);
  }
  DrawTextAt(0, 0, IntToText(program.shownRate), 0xFFFFFF, MakeColor(5, 255, 255));
}

// Counts the frame; just over a second after the last mark the count becomes the shown rate.
void CountFrame() {
  program.frameCount += 1;
  auto deadline = static_cast<int32_t>(static_cast<uint32_t>(program.lastMark) + 1000u);
  if (static_cast<int32_t>(GetTickCount()) > deadline) {
    program.shownRate = program.frameCount;
    program.frameCount = 0;
    program.lastMark = static_cast<int32_t>(GetTickCount());
  }
}

void RunBenchmark() {
  for (;;) {
    FillScreen(program.background);
    if (BeginDrawing(BackBufferTarget())) {
      SetDrawMode(1);
      DrawPhrases();
      EndDrawing();
    }
    PollKeyboard();
    CountFrame();
    PresentFrame(0);
    if (IsKeyDown(kEscape)) return;
  }
}

// Start-up up to the open screen; false after a failure was shown.
bool StartUp() {
  program.instance = GetModuleHandleA(nullptr);
  program.mainHeap = HeapCreate(0, 4096, 0);
  SetRandomTickSource(SystemTicks);
  StartScreenLayer(program.instance, program.mainHeap);
  if (!InitDisplay() || !InitKeys()) {
    ShowMessage("Error", "DirectX 7+ is needed.", 0);
    return false;
  }
  if (!OpenFullScreen(800, 600, 16, "glyphstorm")) {
    ShowMessage("Error", "Can't open the screen !", 0);
    return false;
  }
  program.background = MakeColor(0, 0, 0);
  LoadFontSlot(1, "Tahoma", 8, 0);
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  program = ProgramWords{};
  if (StartUp()) RunBenchmark();
  ShutdownScreenLayer();
  HeapDestroy(program.mainHeap);
  ExitProcess(0);
}
