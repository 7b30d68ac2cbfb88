// GDI text drawing on the device context that a DrawTarget hands over.
#pragma once

#include <windows.h>

#include <cstdint>

// DrawTargetKind: who made the device context, and how EndDrawing gives it back.
enum : int32_t {
  TargetWindow = 1,    // GetDC of the window; given back with ReleaseDC
  TargetForeignA = 2,  // kinds of providers outside this program; given back through releaseHook
  TargetForeignB = 5,
  TargetBackBuffer = 7,  // the full-screen back buffer; given back through releaseHook
};

// DrawAccess: how a drawing reaches its target.
enum : int32_t { AccessDeviceContext = 1, AccessDirectMemory = -1 };

// SetDrawMode bits.
enum : uint32_t { DrawTransparent = 1, DrawInvert = 2, DrawNoFill = 4 };

struct DrawTarget {
  int32_t kind;  // DrawTargetKind
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
  int32_t access;  // DrawAccess
  COLORREF backColor;
  HBRUSH brush;
  HPEN pen;
  HFONT font;
  HBRUSH defaultBrush;
  HPEN defaultPen;
  HGDIOBJ savedBrush, savedPen;
  DrawTarget target;  // what BeginDrawing was handed (surface fields only for the back buffer)
};

extern DrawingState drawingState;

// Zeroes the drawing state and makes the default black brush and pen.
void StartDrawingState();

// Opens a drawing on the target (closing any open one); the device context or null.
HDC BeginDrawing(const DrawTarget* target);
// DrawTransparent: no text background; DrawInvert: inverting raster operation; DrawNoFill: no
// brush.
void SetDrawMode(uint32_t mode);
// Selects font (-1: the system font; 0 keeps the current one).
void SelectDrawFont(HFONT font);
// Draws text with its top-left corner at (x, y); the x position after the text.
int32_t DrawTextAt(int32_t x, int32_t y, const char* text, COLORREF front, COLORREF back);
void EndDrawing();
