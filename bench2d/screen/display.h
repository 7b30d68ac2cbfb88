// The exclusive full screen on DirectDraw 7 (DDRAW.DLL loaded at run time) with one back buffer.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "drawing.h"
#include "table.h"

struct DisplayState {
  IDirectDraw7* directDraw;
  HMODULE ddrawModule;
  int32_t ddrawUsers;
  bool initialised;
  IDirectDrawSurface7* primary;
  IDirectDrawSurface7* backBuffer;
  IDirectDrawSurface7* current;  // what FillScreen fills
  HWND window, savedWindow;
  int32_t width, height;
  int32_t screenWidth, screenHeight;  // screenWidth != 0: a screen is open
  int32_t depth;
  DWORD refreshRate;
  bool cursorHidden;     // keeps ShowCursor balanced across failed opens and repeated closes
  volatile bool active;  // the full screen has the focus; only then PresentFrame flips
  void (*presentRoutine)(uint32_t mode);
  void (*lostHook)();
  bool lostHookFired;
  HDC heldDC;  // back buffer handed to drawing: null none, kLockedDC locked, else its device
               // context
  DDSURFACEDESC2 surfaceDesc;
  DDBLTFX fillDesc;
  int32_t pixelFormat;
  NumberedTable* imageTable;
  DrawTarget target;
};

extern DisplayState displayState;
extern const HDC kLockedDC;

// PresentFrame mode bits.
enum : uint32_t { kPresentVSync = 1, kPresentScanLineWait = 2 };

// Creates the window, starts the keyboard and DirectDraw; non-zero on success.
int InitDisplay();
// Switches to an exclusive full screen of that size and depth with a flip chain; 1 on success.
int OpenFullScreen(int32_t width, int32_t height, int32_t depth, const char* title);
// Fills the whole current buffer with a colour; the DirectDraw result.
HRESULT FillScreen(COLORREF color);
// The back buffer as a drawing target, or null while it is handed out or unavailable.
DrawTarget* BackBufferTarget();
// Handles the queued window messages, then flips unless the screen lost the focus.
void PresentFrame(uint32_t mode);
// Gives the desktop its mode back and releases the surfaces; the window is hidden.
void CloseScreen();
// The display's share of ShutdownScreenLayer: close the screen and drop DirectDraw.
void EndDisplay();

// The hidden 1x1 window of the layer (screen_window.cpp); true once it exists.
bool CreateScreenWindow();
LRESULT CALLBACK ScreenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Off-screen images (images.cpp): their table, and saving/restoring their pixels across a loss.
NumberedTable* CreateImageTable();
void SaveImagePixels();
void RestoreImagePixels();
