// Start-up with the stand-in glu32.dll beside this program, which lacks an entry of the list:
// a box and a log line name the library and the function, and nothing is opened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"
#include "engine/core/startup.h"
#include "log_capture.h"

namespace {

struct Box {
  std::string text, caption;
  UINT type;
};
std::vector<Box> boxes;

int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  boxes.push_back({text, caption, type});
  return IDOK;
}

TEST(MissingGlExport, StopsStartUpWithABoxBeforeAnyWindow) {
  GlTableGap gap = FindGlTableGap(glTable);
  ASSERT_NE(gap.function, nullptr) << "not the stand-in glu32.dll";
  EXPECT_EQ(std::string(gap.function), "gluBuild2DMipmaps");
  EXPECT_EQ(std::string(gap.library), "glu32.dll");
  EXPECT_TRUE(gap.libraryLoaded);

  LogCapture log;
  showMessageBox = RecordBox;
  EXPECT_FALSE(InitEngine(320, 240, 32, 2));
  showMessageBox = MessageBoxA;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Can't Find gluBuild2DMipmaps In glu32.dll.");
  EXPECT_EQ(boxes[0].caption, "ERROR");
  EXPECT_EQ(boxes[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"(ERROR)glu32.dll gluBuild2DMipmaps not found!"});
  WNDCLASSA unused;
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "Vantor", &unused));
  EXPECT_EQ(hWnd, nullptr);
}

}  // namespace
