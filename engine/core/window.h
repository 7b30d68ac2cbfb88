// The engine's one window with its OpenGL context, the message pump and the frame-rate count.
#pragma once

#include <windows.h>

// Open the window with a current GL context; false after the user has been shown why not.
bool OpenWindow(int width, int height, int bpp);
// Release everything OpenWindow made; true when a release step failed.
bool CloseWindow();
// Fit the viewport and a 45-degree perspective to the client size.
void ResizeViewport(int width, int height);
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Take at most one message and count the frame; true when that message was the quit message.
bool PumpMessages();
