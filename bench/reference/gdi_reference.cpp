// glyphstorm2d's work with GDI on a plain window, no DirectDraw: per frame a black fill, the
// phrases and the rate with TextOutA on a DIB section, then one BitBlt to the window.
//   gdi_reference.exe [seconds] [phrases]
// Runs until Esc, the close button or the given seconds; text bytes follow the ANSI code page
// (under Wine: LC_ALL=ru_RU.UTF-8 for Cyrillic, as for glyphstorm2d).
#include <windows.h>

#include <cstdio>

#include "reference_window.h"
#include "screen/numbers.h"

namespace {

struct GdiFrame {
  HDC windowDc = nullptr;
  HDC backDc = nullptr;
  HBITMAP back = nullptr;
  HFONT font = nullptr;
  int32_t phrases = kDefaultPhrases2d;
};

bool OpenBackBuffer(GdiFrame& f, HWND window) {
  f.windowDc = GetDC(window);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kScreenWidth2d;
  info.bmiHeader.biHeight = -kScreenHeight2d;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  f.back = CreateDIBSection(f.windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  f.backDc = CreateCompatibleDC(f.windowDc);
  if (!f.windowDc || !f.back || !f.backDc) return false;
  SelectObject(f.backDc, f.back);
  f.font = CreateTextFont();
  if (!f.font) return false;
  SelectObject(f.backDc, f.font);
  SetBkMode(f.backDc, TRANSPARENT);
  return true;
}

bool DrawFrame(void* context, int32_t rate) {
  GdiFrame& f = *static_cast<GdiFrame*>(context);
  PatBlt(f.backDc, 0, 0, kScreenWidth2d, kScreenHeight2d, BLACKNESS);
  for (int32_t i = 0; i < f.phrases; ++i) {
    PhrasePlacement p = NextPlacement();
    SetTextColor(f.backDc, RGB(p.red, p.green, p.blue));
    TextOutA(f.backDc, p.x, p.y, kPhrase2d, kPhraseLength2d);
  }
  const char* shown = IntToText(rate);
  SetTextColor(f.backDc, RGB(255, 255, 255));
  TextOutA(f.backDc, 0, 0, shown, lstrlenA(shown));
  return BitBlt(f.windowDc, 0, 0, kScreenWidth2d, kScreenHeight2d, f.backDc, 0, 0, SRCCOPY) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  ReferenceArgs args;
  if (!ParseReferenceArgs(argc, argv, nullptr, 0, args))
    return Usage("gdi_reference [seconds] [phrases]");
  HWND window = OpenReferenceWindow("gdi reference");
  GdiFrame f;
  f.phrases = args.phrases;
  if (!window || !OpenBackBuffer(f, window)) {
    std::fprintf(stderr, "gdi_reference: no window or back buffer\n");
    return 1;
  }
  StartPlacements();
  RunFrames(args, DrawFrame, &f);
  DeleteDC(f.backDc);
  DeleteObject(f.back);
  DeleteObject(f.font);
  return 0;
}
