// The screen layer's start and end, and the heaps it shares with the program.
#pragma once

#include <windows.h>

#include "table.h"

struct ScreenLayer {
  HINSTANCE instance;  // the program's module, for the window class, the window and DirectInput
  HANDLE mainHeap;     // the program's heap: numbered tables and the keyboard data format
  HANDLE objectHeap;   // the layer's own list nodes
  HANDLE textHeap;     // temporary texts of the layer (IntToText needs only its own 12 bytes)
};

extern ScreenLayer screenLayer;

// Starts the drawing state, the font table, common controls and the layer's heaps, in that order.
void StartScreenLayer(HINSTANCE instance, HANDLE mainHeap);

// Closes the screen, releases DirectDraw and the keyboard, deletes the fonts, drops the object
// heap.
void ShutdownScreenLayer();

// Allocator over the program's main heap (the process heap when the layer was given none).
TableAllocator MainHeapAllocator();
