// The screen layer's start and end, the heaps it shares with the program, and the release of the
// DirectX objects its parts share.
#pragma once

#include <windows.h>

#include <cstdint>

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

// Drops one user of a COM object made from a DLL loaded at run time (DirectDraw, DirectInput); the
// last user releases the object and unloads the DLL.
template <typename Object>
void DropSharedObject(int32_t& users, Object*& object, HMODULE& module) {
  users -= 1;
  if (users > 0 || !object) return;
  object->Release();
  FreeLibrary(module);
  object = nullptr;
  module = nullptr;
}

// Allocator over the program's main heap (the process heap when the layer was given none).
TableAllocator MainHeapAllocator();
