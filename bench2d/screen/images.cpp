// Off-screen images of the layer: a numbered table of surfaces whose pixels are copied to memory
// when the focus is lost and put back after the surfaces are restored.
#include "display.h"
#include "layer.h"

#include <cstring>

namespace {

// One image: its surface and, after a loss, a copy of its rows.
struct ImageEntry {
  IDirectDrawSurface7* surface;
  unsigned char* savedPixels;
  int32_t rowBytes;
  int32_t rows;
};

HANDLE ImageHeap() { return screenLayer.mainHeap ? screenLayer.mainHeap : GetProcessHeap(); }

void FreeImage(NumberedTable* table, int32_t number) {
  auto* image = static_cast<ImageEntry*>(TableSlot(table, number));
  if (!image) return;
  if (image->surface) image->surface->Release();
  if (image->savedPixels) HeapFree(ImageHeap(), 0, image->savedPixels);
  *image = ImageEntry{};
}

// Copies between a locked surface and the saved rows, in the direction asked.
void CopyImage(ImageEntry& image, bool save) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  if (image.surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return;
  int32_t rowBytes = static_cast<int32_t>(desc.dwWidth * (desc.ddpfPixelFormat.dwRGBBitCount / 8));
  int32_t rows = static_cast<int32_t>(desc.dwHeight);
  if (save && !image.savedPixels) {
    image.savedPixels = static_cast<unsigned char*>(
        HeapAlloc(ImageHeap(), 0, static_cast<size_t>(rowBytes) * rows));
    image.rowBytes = rowBytes;
    image.rows = rows;
  }
  if (image.savedPixels && image.rowBytes == rowBytes && image.rows == rows) {
    for (int32_t y = 0; y < rows; ++y) {
      unsigned char* line =
          static_cast<unsigned char*>(desc.lpSurface) + static_cast<size_t>(y) * desc.lPitch;
      unsigned char* copy = image.savedPixels + static_cast<size_t>(y) * rowBytes;
      if (save) std::memcpy(copy, line, rowBytes);
      else std::memcpy(line, copy, rowBytes);
    }
  }
  image.surface->Unlock(nullptr);
}

void CopyAllImages(bool save) {
  NumberedTable* table = displayState.imageTable;
  if (!table) return;
  for (int32_t n = 0; n < table->capacity; ++n) {
    auto* image = static_cast<ImageEntry*>(LookupTableSlot(table, n));
    if (image) CopyImage(*image, save);
  }
}

}  // namespace

NumberedTable* CreateImageTable() {
  return CreateTable(MainHeapAllocator(), sizeof(ImageEntry), 64, FreeImage);
}

void SaveImagePixels() { CopyAllImages(true); }

void RestoreImagePixels() { CopyAllImages(false); }
