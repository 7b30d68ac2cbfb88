// One real engine window with a current GL context (Wine, llvmpipe) shared by a test suite.
#pragma once

#include <gtest/gtest.h>

#include "engine/core/engine_state.h"
#include "engine/core/window.h"

class GlWindowSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fullscreen = false;
    ASSERT_TRUE(OpenWindow(640, 480, 32));
  }
  static void TearDownTestSuite() { CloseWindow(); }
};

// Whether this process has a top-level window of the class. Test programs run side by side on
// one display, so another program's engine window must not count.
inline bool OwnWindowExists(const char* className) {
  for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
       window = FindWindowExA(nullptr, window, className, nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return true;
  }
  return false;
}
