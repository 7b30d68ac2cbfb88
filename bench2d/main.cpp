// glyphstorm2d: draws a Cyrillic phrase 200 times per frame with GDI on a DirectDraw full screen
// and shows the frame rate until Esc.
#include <windows.h>

#include "frame_loop.h"
#include "screen/display.h"
#include "screen/fonts.h"
#include "screen/keyboard.h"
#include "screen/layer.h"
#include "screen/message.h"
#include "screen/numbers.h"
#include "screen/random.h"

namespace {

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
  frameReporter = StartFrameReporter(GetTickCount(), 0);
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
