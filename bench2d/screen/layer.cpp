// Start and end of the screen layer; the main-heap allocator for numbered tables.
#include "layer.h"

#include <commctrl.h>

#include "display.h"
#include "drawing.h"
#include "fonts.h"
#include "keyboard.h"

ScreenLayer screenLayer;

namespace {

HANDLE HeapOf(void* context) { return context ? static_cast<HANDLE>(context) : GetProcessHeap(); }

void* HeapAllocate(void* context, size_t bytes) {
  return HeapAlloc(HeapOf(context), HEAP_ZERO_MEMORY, bytes);
}

void HeapRelease(void* context, void* block) {
  if (block) HeapFree(HeapOf(context), 0, block);
}

}  // namespace

TableAllocator MainHeapAllocator() {
  return TableAllocator{HeapAllocate, HeapRelease, screenLayer.mainHeap};
}

void StartScreenLayer(HINSTANCE instance, HANDLE mainHeap) {
  screenLayer.instance = instance;
  screenLayer.mainHeap = mainHeap;
  screenLayer.objectHeap = HeapCreate(0, 1024, 0);
  StartDrawingState();
  CreateFontTable();
  InitCommonControls();
  screenLayer.textHeap = HeapCreate(HEAP_NO_SERIALIZE, 4096, 0);
}

void ShutdownScreenLayer() {
  EndDisplay();
  EndKeys();
  DeleteAllFonts();
  if (screenLayer.objectHeap) HeapDestroy(screenLayer.objectHeap);
  screenLayer.objectHeap = nullptr;
}
