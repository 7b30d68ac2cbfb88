// The layer's modal message box, with the thread's other windows disabled while it is up.
#pragma once

#include <windows.h>

using MessageBoxRoutine = int(WINAPI*)(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);

// Replaces the box itself (MessageBoxA by default; null restores it). For tests.
void SetMessageBoxRoutine(MessageBoxRoutine routine);

// Shows a modal box; its result (the button pressed).
int ShowMessage(const char* caption, const char* text, UINT flags);
