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
