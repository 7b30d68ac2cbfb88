// The display's window, keyboard start-up and a refused full screen, on Wine's real DirectDraw and
// DirectInput. This program runs without a virtual desktop, where a display mode change is refused;
// the opened screen is exercised end to end by the program test.
#include <gtest/gtest.h>

#include <windows.h>

#include "screen/display.h"
#include "screen/keyboard.h"
#include "screen/layer.h"

namespace {

int lostHookRuns;
void CountLostHook() { ++lostHookRuns; }

TEST(Display, WindowKeyboardAndARefusedScreen) {
  StartScreenLayer(GetModuleHandleA(nullptr), HeapCreate(0, 4096, 0));
  ASSERT_NE(0, InitDisplay());
  HWND window = displayState.window;
  ASSERT_NE(nullptr, window);
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  EXPECT_STREQ("ScreenBase Class", name);
  EXPECT_FALSE(IsWindowVisible(window));
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(1, rect.right - rect.left);
  EXPECT_NE(0, InitDisplay());  // the window is made once
  EXPECT_EQ(window, displayState.window);

  // The keyboard started with the display; a second start finds its device.
  EXPECT_EQ(KeyboardNotAcquired, keyboardState.state);
  EXPECT_NE(0, InitKeys());
  EXPECT_EQ(KeyboardNotAcquired, keyboardState.state);
  EXPECT_EQ(0, IsKeyDown(1));  // not acquired yet
  EXPECT_EQ(0, IsKeyDown(-5));

  EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
  EXPECT_TRUE(IsWindow(window));

  // The lost-surface hook runs once per loss of focus, whichever message announces it.
  displayState.lostHook = CountLostHook;
  lostHookRuns = 0;
  SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(displayState.active);
  SendMessageA(window, WM_KEYUP, 'A', 0);
  EXPECT_EQ(0, lostHookRuns);
  SendMessageA(window, WM_KEYUP, VK_TAB, 0);
  SendMessageA(window, WM_SYSKEYUP, VK_MENU, 0);
  SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(1, lostHookRuns);
  EXPECT_FALSE(displayState.active);
  SendMessageA(window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
  EXPECT_TRUE(displayState.active);
  SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(2, lostHookRuns);
  EXPECT_EQ(0, SendMessageA(window, WM_LBUTTONDOWN, 0, 0));
  EXPECT_EQ(1, SendMessageA(window, WM_ERASEBKGND, 0, 0));

  // Sizes are cut to 16 bits before use; the refused mode leaves nothing open.
  EXPECT_EQ(0, OpenFullScreen(65536 + 320, 65536 + 200, 65536 + 16, "refused"));
  EXPECT_EQ(320, displayState.width);
  EXPECT_EQ(200, displayState.height);
  EXPECT_EQ(16, displayState.depth);
  char title[32] = {};
  GetWindowTextA(window, title, sizeof(title));
  EXPECT_STREQ("refused", title);
  EXPECT_EQ(nullptr, displayState.primary);
  EXPECT_EQ(nullptr, displayState.backBuffer);
  EXPECT_EQ(0, displayState.screenWidth);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(displayState.cursorHidden);
  EXPECT_EQ(nullptr, BackBufferTarget());
  EXPECT_NE(DD_OK, FillScreen(0));
  PresentFrame(0);  // nothing to flip, nothing breaks

  ShutdownScreenLayer();
  EXPECT_EQ(nullptr, keyboardState.device);
  // Two start-ups hold DirectInput and DirectDraw; one end leaves them for the process end.
  EXPECT_NE(nullptr, keyboardState.directInput);
  EXPECT_NE(nullptr, displayState.directDraw);
  EXPECT_EQ(1, displayState.ddrawUsers);
}

}  // namespace
