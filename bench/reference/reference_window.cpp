// The 2D reference programs' window, message pump, frame loop and frame report.
#include "reference_window.h"

#include <cstdio>

#include "frame_reporter.h"
#include "screen/numbers.h"
#include "screen/random.h"

namespace {

const char kWindowClass[] = "GlyphReference2DWindow";

bool quit = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE || (message == WM_KEYDOWN && wParam == VK_ESCAPE)) {
    quit = true;
    return 0;
  }
  // Every frame covers the whole client area: no erase in between to flicker or cost time.
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcA(window, message, wParam, lParam);
}

uint32_t SystemTicks() { return GetTickCount(); }

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) quit = true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

HWND OpenReferenceWindow(const char* title) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExA(&windowClass)) return nullptr;
  HWND window =
      CreateWindowExA(WS_EX_APPWINDOW, kWindowClass, title, WS_POPUP, 0, 0, kScreenWidth2d,
                      kScreenHeight2d, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!window) return nullptr;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  SetForegroundWindow(window);
  SetFocus(window);
  return window;
}

void StartPlacements() { SetRandomTickSource(SystemTicks); }

int32_t TextPixelHeight() {
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  int dpi = display ? GetDeviceCaps(display, LOGPIXELSY) : 96;
  if (display) DeleteDC(display);
  return MulDiv(kTextPoints2d, dpi, 72);
}

HFONT CreateTextFont() {
  return CreateFontA(-TextPixelHeight(), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, "Tahoma");
}

void WidePhrase(wchar_t (&text)[kPhraseLength2d + 1]) {
  int length = MultiByteToWideChar(1251, 0, kPhrase2d, kPhraseLength2d, text, kPhraseLength2d);
  text[length > 0 ? length : 0] = L'\0';
}

int WideRate(int32_t rate, wchar_t (&text)[12]) {
  const char* digits = IntToText(rate);
  int length = 0;
  while (digits[length] && length < 11) {
    text[length] = wchar_t(digits[length]);
    ++length;
  }
  text[length] = L'\0';
  return length;
}

void RunFrames(const ReferenceArgs& args, DrawFrameFunction draw, void* context) {
  DWORD start = GetTickCount();
  DWORD limit = args.seconds * 1000u;
  // The rate on screen stays per second whatever period the harness asks the report for.
  FrameReport shown;
  StartFrameReport(shown, start);
  FrameReporter reporter = StartFrameReporter(start, kDefaultReportPeriod);
  quit = false;
  while (!quit && (limit == 0 || GetTickCount() - start < limit)) {
    bool presented = draw(context, shown.lastPeriod);
    PumpMessages();
    DWORD now = GetTickCount();
    TickFrameReport(shown, now, presented);
    CountReportedFrame(reporter, now, presented);
  }
}

int Usage(const char* text) {
  std::fprintf(stderr, "usage: %s\n", text);
  return 2;
}
