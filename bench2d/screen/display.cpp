// Full-screen display: DirectDraw start-up, the exclusive mode with its flip chain, colour fills,
// handing the back buffer to drawing, presenting with the message pump, and closing.
#include "display.h"

#include <mmsystem.h>

#include "keyboard.h"
#include "layer.h"
#include "pixels.h"

DisplayState displayState;
const HDC kLockedDC = reinterpret_cast<HDC>(static_cast<intptr_t>(-1));

namespace {

using DirectDrawCreateExFn = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);

void CreateDirectDraw(DisplayState& d) {
  if (!d.directDraw) {
    d.ddrawModule = LoadLibraryA("DDRAW.DLL");
    if (d.ddrawModule) {
      auto create = reinterpret_cast<DirectDrawCreateExFn>(
          reinterpret_cast<void*>(GetProcAddress(d.ddrawModule, "DirectDrawCreateEx")));
      if (create)
        create(nullptr, reinterpret_cast<void**>(&d.directDraw), IID_IDirectDraw7, nullptr);
      if (!d.directDraw) {
        FreeLibrary(d.ddrawModule);
        d.ddrawModule = nullptr;
      }
    }
  }
  d.ddrawUsers += 1;
}

void PaintBlack(IDirectDrawSurface7* surface, int32_t width, int32_t height) {
  HDC dc = nullptr;
  if (surface->GetDC(&dc) != DD_OK) return;
  RECT all{0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  surface->ReleaseDC(dc);
}

bool CreateFlipChain(DisplayState& d) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  if (d.directDraw->CreateSurface(&desc, &d.primary, nullptr) != DD_OK) {
    d.primary = nullptr;
    return false;
  }
  DDSCAPS2 caps{};
  caps.dwCaps = DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE;
  if (d.primary->GetAttachedSurface(&caps, &d.backBuffer) != DD_OK) {
    d.backBuffer = nullptr;
    return false;
  }
  return true;
}

// Steps that can fail; the caller closes the screen when this returns false.
bool SwitchToFullScreen(DisplayState& d, int16_t width, int16_t height, int16_t depth,
                        const char* title) {
  if (!d.window) return false;
  SetWindowTextA(d.window, title);
  MoveWindow(d.window, 0, 0, width, height, TRUE);
  d.width = d.screenWidth = width;
  d.height = d.screenHeight = height;
  d.depth = depth;
  if (!d.cursorHidden) ShowCursor(FALSE);
  d.cursorHidden = true;
  if (!d.directDraw) return false;
  if (d.directDraw->SetCooperativeLevel(d.window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK)
    return false;
  if (d.directDraw->SetDisplayMode(width, height, depth, d.refreshRate, 0) != DD_OK) return false;
  return CreateFlipChain(d);
}

void WaitForBottomScanLine(DisplayState& d) {
  HANDLE thread = GetCurrentThread();
  int oldPriority = GetThreadPriority(thread);
  SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
  DWORD line = 0;
  while (d.directDraw->GetScanLine(&line) == DD_OK && line < static_cast<DWORD>(d.height - 150))
    Sleep(1);
  SetThreadPriority(thread, oldPriority);
}

// The screen came back from another program: mode, surfaces and image pixels are put back.
void RestoreLostScreen(DisplayState& d) {
  d.directDraw->SetCooperativeLevel(d.window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
  d.directDraw->SetDisplayMode(d.width, d.height, d.depth, d.refreshRate, 0);
  d.directDraw->RestoreAllSurfaces();
  ShowWindow(d.window, SW_SHOWMAXIMIZED);
  RestoreImagePixels();
  if (d.depth == 8) {
    IDirectDrawPalette* palette = nullptr;
    if (d.primary->GetPalette(&palette) == DD_OK && palette) {
      d.primary->SetPalette(palette);
      palette->Release();
    }
  }
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void FlipScreen(uint32_t mode) {
  DisplayState& d = displayState;
  PumpMessages();
  if (!d.active || !d.primary) return;
  DWORD flags = (mode & kPresentVSync) ? DDFLIP_WAIT : DDFLIP_WAIT | DDFLIP_NOVSYNC;
  if (mode & kPresentScanLineWait) WaitForBottomScanLine(d);
  // The frame that found the surfaces lost is not flipped again.
  if (d.primary->Flip(nullptr, flags) == DDERR_SURFACELOST) RestoreLostScreen(d);
}

// Gives back whatever access drawing still holds on the back buffer.
void ReleaseBackBuffer() {
  DisplayState& d = displayState;
  if (d.heldDC == kLockedDC) d.backBuffer->Unlock(nullptr);
  else if (d.heldDC) d.backBuffer->ReleaseDC(d.heldDC);
  d.heldDC = nullptr;
}

HDC ReacquireBackBufferDC() {
  DisplayState& d = displayState;
  d.backBuffer->Unlock(nullptr);
  HDC dc = nullptr;
  d.heldDC = d.backBuffer->GetDC(&dc) == DD_OK ? dc : nullptr;
  return d.heldDC;
}

void* LockBackBuffer() {
  DisplayState& d = displayState;
  d.backBuffer->ReleaseDC(d.heldDC);
  // The lock also waits for a colour fill still in progress.
  HRESULT locked = d.backBuffer->Lock(nullptr, &d.surfaceDesc, DDLOCK_WAIT, nullptr);
  d.heldDC = kLockedDC;
  return locked == DD_OK ? d.surfaceDesc.lpSurface : nullptr;
}

}  // namespace

int InitDisplay() {
  DisplayState& d = displayState;
  d.heldDC = nullptr;
  d.refreshRate = 0;
  d.fillDesc = DDBLTFX{};
  d.fillDesc.dwSize = sizeof(DDBLTFX);
  d.surfaceDesc = DDSURFACEDESC2{};
  d.surfaceDesc.dwSize = sizeof(DDSURFACEDESC2);
  if (!d.imageTable) d.imageTable = CreateImageTable();
  if (!CreateScreenWindow()) return 0;
  if (!InitKeys()) return 0;
  d.initialised = true;
  CreateDirectDraw(d);
  if (!d.directDraw) return 0;
  d.savedWindow = d.window;
  return 1;
}

int OpenFullScreen(int32_t width, int32_t height, int32_t depth, const char* title) {
  DisplayState& d = displayState;
  auto w = static_cast<int16_t>(width);
  auto h = static_cast<int16_t>(height);
  auto bits = static_cast<int16_t>(depth);
  if (d.screenWidth != 0) {
    timeEndPeriod(1);
    CloseScreen();
    d.screenWidth = d.screenHeight = 0;
  }
  d.lostHook = SaveImagePixels;
  if (!SwitchToFullScreen(d, w, h, bits, title)) {
    CloseScreen();
    // Nothing is open, so a later open must not give back a timer period it never took.
    d.screenWidth = d.screenHeight = 0;
    return 0;
  }
  ShowWindow(d.window, SW_SHOWMAXIMIZED);
  PaintBlack(d.backBuffer, d.width, d.height);
  PaintBlack(d.primary, d.width, d.height);
  d.current = d.backBuffer;
  if (d.primary->Lock(nullptr, &d.surfaceDesc, DDLOCK_WAIT, nullptr) == DD_OK) {
    d.primary->Unlock(nullptr);
    d.pixelFormat = PixelFormatCode(d.depth, d.surfaceDesc.ddpfPixelFormat.dwRBitMask,
                                    d.surfaceDesc.ddpfPixelFormat.dwGBitMask);
  }
  d.active = true;
  d.presentRoutine = FlipScreen;
  timeBeginPeriod(1);
  return 1;
}

HRESULT FillScreen(COLORREF color) {
  DisplayState& d = displayState;
  if (!d.current) return DDERR_NOTINITIALIZED;
  d.fillDesc.dwFillColor = FillValue(color, d.depth, d.pixelFormat);
  return d.current->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &d.fillDesc);
}

DrawTarget* BackBufferTarget() {
  DisplayState& d = displayState;
  if (d.heldDC || !d.backBuffer) return nullptr;
  HDC dc = nullptr;
  if (d.backBuffer->GetDC(&dc) != DD_OK) return nullptr;
  d.heldDC = dc;
  LockBackBuffer();
  ReacquireBackBufferDC();
  DrawTarget& t = d.target;
  t.kind = TargetBackBuffer;
  t.dc = d.heldDC;
  t.releaseHook = ReleaseBackBuffer;
  t.memory = d.surfaceDesc.lpSurface;
  t.pitch = d.surfaceDesc.lPitch;
  t.width = static_cast<int32_t>(d.surfaceDesc.dwWidth);
  t.height = static_cast<int32_t>(d.surfaceDesc.dwHeight);
  t.depth = d.depth;
  t.pixelFormat = d.pixelFormat;
  t.reacquireHook = ReacquireBackBufferDC;
  t.directHook = LockBackBuffer;
  return &t;
}

void PresentFrame(uint32_t mode) {
  DisplayState& d = displayState;
  if (d.backBuffer) ReleaseBackBuffer();
  d.current = d.backBuffer;
  d.width = d.screenWidth;
  d.height = d.screenHeight;
  if (d.presentRoutine) d.presentRoutine(mode);
  d.current = d.backBuffer;
}

void CloseScreen() {
  DisplayState& d = displayState;
  FreeTableSlots(d.imageTable);
  if (d.directDraw) d.directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
  if (d.backBuffer) d.backBuffer->Release();
  d.backBuffer = nullptr;
  if (d.primary) d.primary->Release();
  d.primary = nullptr;
  d.current = nullptr;
  d.presentRoutine = nullptr;
  if (d.window && d.cursorHidden) ShowCursor(TRUE);
  d.cursorHidden = false;
  d.window = d.savedWindow;
  ShowWindow(d.window, SW_HIDE);
}

void EndDisplay() {
  DisplayState& d = displayState;
  if (!d.initialised) return;
  CloseScreen();
  if (d.screenWidth != 0) timeEndPeriod(1);
  d.screenWidth = d.screenHeight = 0;
  DropSharedObject(d.ddrawUsers, d.directDraw, d.ddrawModule);
}
