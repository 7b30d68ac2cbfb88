// GDI text drawing on the device context that a DrawTarget hands over.
#pragma once

#include <windows.h>

#include <cstdint>

struct DrawTarget {
  int32_t kind;  // 7 full-screen back buffer, 1 window
  HWND window;
  HDC dc;
  void (*releaseHook)();
  void* memory;
  int32_t pitch;
  int32_t width, height;
  int32_t depth;
  int32_t pixelFormat;
  HDC (*reacquireHook)();
  void* (*directHook)();
};

struct DrawingState {
  HDC dc;  // null when no drawing is open
  COLORREF frontColor;
  uint32_t mode;
  int32_t access;  // 1 device context, -1 direct memory access
  COLORREF backColor;
  HBRUSH brush;
  HPEN pen;
  HFONT font;
  HBRUSH defaultBrush;
  HPEN defaultPen;
  HGDIOBJ savedBrush, savedPen;
  DrawTarget target;  // what BeginDrawing was handed (surface fields only for kind 7)
};

extern DrawingState drawingState;

// Zeroes the drawing state and makes the default black brush and pen.
void StartDrawingState();

// Opens a drawing on the target (closing any open one); the device context or null.
HDC BeginDrawing(const DrawTarget* target);
// Bit 0 transparent text background, bit 1 inverting raster operation, bit 2 no fill.
void SetDrawMode(uint32_t mode);
// Selects font (-1: the system font; 0 keeps the current one).
void SelectDrawFont(HFONT font);
// Draws text with its top-left corner at (x, y); the x position after the text.
int32_t DrawTextAt(int32_t x, int32_t y, const char* text, COLORREF front, COLORREF back);
void EndDrawing();
