// Process-wide engine state shared between the engine's parts: plain data, zero at load.
#pragma once

#include <windows.h>

#include "engine/core/log.h"

// The window and its GL context.
extern HWND hWnd;
extern HDC hDC;
extern HGLRC hRC;
extern bool fullscreen;  // the display is switched to a full-screen mode
extern bool active;      // the window is not minimised
extern bool keys[256];   // indexed by virtual-key code

// Frame rate: frames of the last completed period, of the current one, and when it began.
extern int fps;
extern int frameCount;
extern unsigned lastFpsTick;

// Set by start-up.
extern int screenWidth;
extern int screenHeight;
extern int textureFilterLevel;
extern float maxAnisotropy;
extern bool soundReady;
extern int shadersEnabled;

// Replaceable system services. The program always uses the real ones; tests answer message boxes
// and drive time through them.
using MessageBoxFunction = int(WINAPI*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
using TickCountFunction = DWORD(WINAPI*)();
extern MessageBoxFunction showMessageBox;  // MessageBoxA
extern TickCountFunction readTickCount;    // GetTickCount

// The pixel-format steps of opening the window, so tests can make one of them fail or describe
// another kind of format than the machine has.
using GetDcFunction = HDC(WINAPI*)(HWND window);
using ChoosePixelFormatFunction = int(WINAPI*)(HDC dc, const PIXELFORMATDESCRIPTOR* request);
using DescribePixelFormatFunction = int(WINAPI*)(HDC dc, int format, UINT size,
                                                 PIXELFORMATDESCRIPTOR* described);
extern GetDcFunction getWindowDc;                        // GetDC
extern ChoosePixelFormatFunction choosePixelFormat;      // ChoosePixelFormat
extern DescribePixelFormatFunction describePixelFormat;  // DescribePixelFormat
