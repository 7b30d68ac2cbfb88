// Reference limit for glyphstorm2d: a DirectDraw 7 full screen of 800 x 600 x 16 and, per frame,
// a black fill, 200 GDI text outputs of the phrase and the rate on the back buffer, then a flip.
//   ddraw_reference.exe [seconds] [phrases] [exchange] [calls]
// Runs until Esc or the given number of seconds (0: no limit); draws 200 phrases per frame, or
// the given number (1 to 10000); needs a Wine virtual desktop under Wine.
// For finding where glyphstorm2d's frame time goes, "exchange" adds its per-frame device-context
// exchange (GetDC, ReleaseDC, Lock, Unlock, GetDC) and "calls" its GDI calls around each text.
#include <windows.h>
#include <ddraw.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "phrase_count.h"

namespace {

const char kPhrase[] = "саббакка баббка аф-аф-аф %!%^^^#$";
const int kDefaultPhrases = 200;

bool quit = false;
bool exchange = false;
bool extraCalls = false;
int phrases = kDefaultPhrases;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
    quit = true;
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcA(window, message, wParam, lParam);
}

struct Screen {
  IDirectDraw7* directDraw = nullptr;
  IDirectDrawSurface7* primary = nullptr;
  IDirectDrawSurface7* back = nullptr;
};

bool OpenScreen(Screen& s) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "GlyphReference2D";
  if (!RegisterClassExA(&windowClass)) return false;
  HWND window = CreateWindowExA(0, "GlyphReference2D", "glyphstorm2d reference", WS_POPUP, 0, 0,
                                800, 600, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!window) return false;
  ShowWindow(window, SW_SHOWMAXIMIZED);
  SetForegroundWindow(window);
  if (DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&s.directDraw), IID_IDirectDraw7,
                         nullptr) != DD_OK)
    return false;
  if (s.directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK)
    return false;
  if (s.directDraw->SetDisplayMode(800, 600, 16, 0, 0) != DD_OK) return false;
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  if (s.directDraw->CreateSurface(&desc, &s.primary, nullptr) != DD_OK) return false;
  DDSCAPS2 caps = {};
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  return s.primary->GetAttachedSurface(&caps, &s.back) == DD_OK;
}

HFONT MakeFont() {
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  int height = -MulDiv(8, GetDeviceCaps(display, LOGPIXELSY), 72);
  DeleteDC(display);
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
}

void DrawFrame(Screen& s, HFONT font, int fps) {
  DDBLTFX fill = {};
  fill.dwSize = sizeof fill;
  s.back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill);
  HDC dc = nullptr;
  if (s.back->GetDC(&dc) != DD_OK) return;
  if (exchange) {
    s.back->ReleaseDC(dc);
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    s.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    s.back->Unlock(nullptr);
    if (s.back->GetDC(&dc) != DD_OK) return;
  }
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, font);
  if (extraCalls) SetTextAlign(dc, TA_UPDATECP);
  for (int i = 0; i < phrases; ++i) {
    int blue = std::rand() % 256, green = std::rand() % 256, red = std::rand() % 256;
    int y = std::rand() % 589, x = std::rand() % 636;
    if (extraCalls) {
      POINT after;
      SelectObject(dc, font);
      SetTextColor(dc, RGB(red, green, blue));
      COLORREF old = SetBkColor(dc, 0);
      MoveToEx(dc, x, y, nullptr);
      TextOutA(dc, 0, 0, kPhrase, sizeof kPhrase - 1);
      SetBkColor(dc, old);
      SetTextColor(dc, 0);
      MoveToEx(dc, 0, 0, &after);
      continue;
    }
    SetTextColor(dc, RGB(red, green, blue));
    TextOutA(dc, x, y, kPhrase, sizeof kPhrase - 1);
  }
  char rate[16];
  int length = std::snprintf(rate, sizeof rate, "%d", fps);
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutA(dc, 0, 0, rate, length);
  s.back->ReleaseDC(dc);
}

}  // namespace

int main(int argc, char** argv) {
  DWORD limit = argc > 1 ? DWORD(std::atoi(argv[1])) * 1000u : 0;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "exchange") == 0) exchange = true;
    if (std::strcmp(argv[i], "calls") == 0) extraCalls = true;
    if (argv[i][0] >= '0' && argv[i][0] <= '9' && !reference::ParsePhraseCount(argv[i], phrases)) {
      std::fprintf(stderr, "usage: ddraw_reference [seconds] [phrases] [exchange] [calls]\n");
      return 2;
    }
  }
  Screen s;
  if (!OpenScreen(s)) {
    std::fprintf(stderr,
                 "ddraw_reference: no DirectDraw full screen (a virtual desktop is needed)\n");
    return 1;
  }
  HFONT font = MakeFont();
  std::srand(GetTickCount());
  DWORD start = GetTickCount(), lastMark = start;
  int fps = 0, frames = 0;
  MSG msg;
  while (!quit && (limit == 0 || GetTickCount() - start < limit)) {
    DrawFrame(s, font, fps);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (s.primary->Flip(nullptr, DDFLIP_WAIT | DDFLIP_NOVSYNC) == DDERR_SURFACELOST)
      s.primary->Restore();
    ++frames;
    if (GetTickCount() - lastMark > 1000) {
      fps = frames;
      frames = 0;
      lastMark = GetTickCount();
    }
  }
  s.directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
  s.back->Release();
  s.primary->Release();
  s.directDraw->Release();
  DeleteObject(font);
  return 0;
}
