// The layer's only window: hidden and 1x1 until the full screen opens; it ignores closing and
// tracks the focus for the display.
#include "display.h"
#include "layer.h"

namespace {

const char kClassName[] = "ScreenBase Class";

// Images are saved once per loss of the focus, however it was announced.
void RunLostHook() {
  DisplayState& d = displayState;
  if (d.lostHook && !d.lostHookFired) {
    d.lostHook();
    d.lostHookFired = true;
  }
}

}  // namespace

LRESULT CALLBACK ScreenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (wParam == VK_TAB || wParam == VK_MENU) RunLostHook();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != 0) {
        displayState.active = true;
        displayState.lostHookFired = false;
      } else {
        RunLostHook();
        displayState.active = false;
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 1;
    }
    case WM_CLOSE: return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool CreateScreenWindow() {
  if (displayState.window) return true;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = ScreenWindowProc;
  windowClass.hInstance = screenLayer.instance;
  windowClass.hIcon = LoadIconA(screenLayer.instance, MAKEINTRESOURCEA(1));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExA(&windowClass)) return false;
  displayState.window = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                        screenLayer.instance, nullptr);
  return displayState.window != nullptr;
}
