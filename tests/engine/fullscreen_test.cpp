// The engine window in full screen. Runs inside an 800 x 600 Wine virtual desktop, which accepts
// display mode changes (a bare X server refuses them).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/core/window.h"

namespace {

std::vector<std::string> boxes;
int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR, UINT) {
  boxes.push_back(text);
  return IDNO;
}

DEVMODEW CurrentMode() {
  DEVMODEW mode = {};
  mode.dmSize = sizeof mode;
  EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode);
  return mode;
}

TEST(FullScreen, SwitchesTheModeOpensAPopupAndRestoresTheDesktopAtClose) {
  DEVMODEW desktop = CurrentMode();
  ASSERT_EQ(desktop.dmPelsWidth, 800u) << "not inside the 800 x 600 virtual desktop";
  ASSERT_EQ(desktop.dmPelsHeight, 600u);
  showMessageBox = RecordBox;
  fullscreen = true;

  ASSERT_TRUE(OpenWindow(640, 480, 16));
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(fullscreen);
  DEVMODEW mode = CurrentMode();
  EXPECT_EQ(mode.dmPelsWidth, 640u);
  EXPECT_EQ(mode.dmPelsHeight, 480u);
  EXPECT_EQ(mode.dmBitsPerPel, 16u);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);

  // A bare popup over the whole screen: no frame, so window and client are the mode's size.
  DWORD style = GetWindowLongA(hWnd, GWL_STYLE);
  DWORD popup = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  EXPECT_EQ(style & popup, popup);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0u);
  EXPECT_TRUE(GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  RECT rect;
  GetWindowRect(hWnd, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 640);
  EXPECT_EQ(rect.bottom, 480);
  EXPECT_EQ(wglGetCurrentContext(), hRC);

  EXPECT_FALSE(CloseWindow());
  mode = CurrentMode();
  EXPECT_EQ(mode.dmPelsWidth, desktop.dmPelsWidth);
  EXPECT_EQ(mode.dmPelsHeight, desktop.dmPelsHeight);
  EXPECT_EQ(mode.dmBitsPerPel, desktop.dmBitsPerPel);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_TRUE(boxes.empty());
  showMessageBox = MessageBoxA;
}

}  // namespace
