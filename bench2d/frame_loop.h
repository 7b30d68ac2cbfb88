// glyphstorm2d's benchmark loop: 200 random phrases and the frame rate per frame, until Esc.
#pragma once

#include <windows.h>

#include <cstdint>

#include "frame_reporter.h"
#include "screen/drawing.h"
#include "screen/random.h"

// The program's eight words, zero at start.
struct ProgramWords {
  HANDLE mainHeap;
  HINSTANCE instance;
  int32_t lastMark;  // tick count at the last rate update
  COLORREF phraseColor;
  int32_t shownRate;   // frames of the last completed period: the number on screen
  int32_t frameCount;  // frames since the last rate update
  COLORREF background;
  int32_t loopIndex;
};

extern ProgramWords program;

// The screen-layer calls a frame makes, and its tick count. The program runs on the layer's own;
// tests put in theirs to see the calls in order and to set the time.
struct FrameCalls {
  HRESULT (*fillScreen)(COLORREF color);
  DrawTarget* (*backBufferTarget)();
  HDC (*beginDrawing)(const DrawTarget* target);
  void (*setDrawMode)(uint32_t mode);
  HFONT (*fontHandle)(int32_t slot);
  void (*selectDrawFont)(HFONT font);
  int32_t (*drawTextAt)(int32_t x, int32_t y, const char* text, COLORREF front, COLORREF back);
  void (*endDrawing)();
  int (*pollKeyboard)();
  void (*presentFrame)(uint32_t mode);
  int (*isKeyDown)(int32_t code);
  TickSource ticks;
};

extern FrameCalls frameCalls;

// The harness's frame report, apart from the program's words; off unless asked for.
extern FrameReporter frameReporter;

// The screen layer's calls and GetTickCount, for restoring frameCalls.
FrameCalls ScreenLayerFrameCalls();
// GetTickCount as a tick source.
uint32_t SystemTicks();

// One pass of the loop: fill, draw, read the keyboard, count, present; true when Esc is down.
bool RunFrame();
// Frames until Esc.
void RunBenchmark();
