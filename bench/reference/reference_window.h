// The plain window, font size, wide phrase and frame loop that the 2D reference programs share.
#pragma once

#include <windows.h>

#include <cstdint>

#include "workload2d.h"

// Draws and presents one frame showing `rate` at (0, 0); false when nothing was presented.
using DrawFrameFunction = bool (*)(void* context, int32_t rate);

// An 800 x 600 popup at the screen's top-left, shown and in the foreground; Esc or closing it
// ends RunFrames. Null on failure.
HWND OpenReferenceWindow(const char* title);

// Seeds glyphstorm2d's generator from the tick count, as glyphstorm2d does.
void StartPlacements();

// glyphstorm2d's text height: the em height of 8-point text on this display, in pixels.
int32_t TextPixelHeight();

// glyphstorm2d's GDI font: 8-point Tahoma for the display's resolution, default charset.
HFONT CreateTextFont();

// The phrase as UTF-16 (from Windows-1251 whatever the process's code page), terminated.
void WidePhrase(wchar_t (&text)[kPhraseLength2d + 1]);

// The shown rate as UTF-16 decimal text; its length.
int WideRate(int32_t rate, wchar_t (&text)[12]);

// Draws frames until Esc, the close button or the given seconds, and writes each report
// period's presented frames on the debugger output ("frames=N\n").
void RunFrames(const ReferenceArgs& args, DrawFrameFunction draw, void* context);

// The usage line on stderr; the exit code for bad arguments.
int Usage(const char* text);
