// Reference limit for glyphstorm2d: a DirectDraw 7 full screen of 800 x 600 x 16 and, per frame,
// a black fill, GDI text outputs of the phrase (200 unless given) and the rate on the back
// buffer, then a flip.
//   ddraw_reference.exe [seconds] [phrases] [exchange] [calls]
// Runs until Esc or the given number of seconds; needs a Wine virtual desktop under Wine. Reports
// its flips on the debugger output like every reference program ("frames=N", frame_reporter.h).
// For finding where glyphstorm2d's frame time goes, "exchange" adds its per-frame device-context
// exchange (GetDC, ReleaseDC, Lock, Unlock, GetDC) and "calls" its GDI calls around each text.
#include <windows.h>
#include <ddraw.h>

#include <cstdio>

#include "frame_reporter.h"
#include "reference_window.h"

namespace {

const char* const kWords[] = {"exchange", "calls"};
const uint32_t kExchange = 1u << 0;
const uint32_t kCalls = 1u << 1;

bool quit = false;
bool exchange = false;
bool extraCalls = false;
int32_t phrases = kDefaultPhrases2d;

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
  for (int32_t i = 0; i < phrases; ++i) {
    PhrasePlacement p = NextPlacement();
    int red = p.red, green = p.green, blue = p.blue, x = p.x, y = p.y;
    if (extraCalls) {
      POINT after;
      SelectObject(dc, font);
      SetTextColor(dc, RGB(red, green, blue));
      COLORREF old = SetBkColor(dc, 0);
      MoveToEx(dc, x, y, nullptr);
      TextOutA(dc, 0, 0, kPhrase2d, kPhraseLength2d);
      SetBkColor(dc, old);
      SetTextColor(dc, 0);
      MoveToEx(dc, 0, 0, &after);
      continue;
    }
    SetTextColor(dc, RGB(red, green, blue));
    TextOutA(dc, x, y, kPhrase2d, kPhraseLength2d);
  }
  char rate[16];
  int length = std::snprintf(rate, sizeof rate, "%d", fps);
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutA(dc, 0, 0, rate, length);
  s.back->ReleaseDC(dc);
}

}  // namespace

int main(int argc, char** argv) {
  ReferenceArgs args;
  if (!ParseReferenceArgs(argc, argv, kWords, 2, args))
    return Usage("ddraw_reference [seconds] [phrases] [exchange] [calls]");
  DWORD limit = args.seconds * 1000u;
  phrases = args.phrases;
  exchange = (args.words & kExchange) != 0;
  extraCalls = (args.words & kCalls) != 0;
  Screen s;
  if (!OpenScreen(s)) {
    std::fprintf(stderr,
                 "ddraw_reference: no DirectDraw full screen (a virtual desktop is needed)\n");
    return 1;
  }
  HFONT font = CreateTextFont();
  StartPlacements();
  DWORD start = GetTickCount(), lastMark = start;
  int fps = 0, frames = 0;
  FrameReporter reporter = StartFrameReporter(start, kDefaultReportPeriod);
  MSG msg;
  while (!quit && (limit == 0 || GetTickCount() - start < limit)) {
    DrawFrame(s, font, fps);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    HRESULT flipped = s.primary->Flip(nullptr, DDFLIP_WAIT | DDFLIP_NOVSYNC);
    if (flipped == DDERR_SURFACELOST) s.primary->Restore();
    CountReportedFrame(reporter, GetTickCount(), flipped == DD_OK);
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
