// The engine window against Wine's real user32/gdi32/opengl32 (llvmpipe).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"
#include "engine/core/gl_recorder.h"
#include "engine/core/window.h"
#include "gl_window_fixture.h"
#include "log_capture.h"

namespace {

struct Box {
  std::string text, caption;
  UINT type;
};
std::vector<Box> boxes;
int boxAnswer = IDOK;

int WINAPI AnswerBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  boxes.push_back({text, caption, type});
  return boxAnswer;
}

DWORD tick;
int tickReads;
DWORD WINAPI FakeTicks() {
  ++tickReads;
  return tick;
}
// Each reading is one millisecond later than the one before.
DWORD WINAPI AdvancingTicks() { return tick++; }

void DrainQueue() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes.clear();
    boxAnswer = IDOK;
    showMessageBox = AnswerBox;
    fullscreen = false;
    for (bool& key : keys) key = false;
  }
  void TearDown() override {
    if (hWnd || hRC) CloseWindow();
    showMessageBox = MessageBoxA;
    readTickCount = GetTickCount;
    describePixelFormat = DescribePixelFormat;
  }
};

TEST_F(Window, OpensWindowedWithCurrentContextAndLogsTheRequestedFormat) {
  LogCapture log;
  ASSERT_TRUE(OpenWindow(640, 480, 32));
  RECT client;
  GetClientRect(hWnd, &client);
  EXPECT_EQ(client.right, 640);
  EXPECT_EQ(client.bottom, 480);
  EXPECT_EQ(wglGetCurrentContext(), hRC);
  EXPECT_EQ(wglGetCurrentDC(), hDC);
  EXPECT_TRUE(IsWindowVisible(hWnd));

  char name[32];
  GetClassNameA(hWnd, name, sizeof name);
  EXPECT_STREQ(name, "Vantor");
  GetWindowTextA(hWnd, name, sizeof name);
  EXPECT_STREQ(name, "vantor");
  LONG style = GetWindowLongA(hWnd, GWL_STYLE);
  EXPECT_EQ(style & (WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
            WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  EXPECT_TRUE(GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_WINDOWEDGE);

  // Wine's llvmpipe formats carry neither generic bit: "full hardware support".
  ASSERT_EQ(log.Lines().size(), 7u);
  EXPECT_EQ(log.Lines()[0], "Полная аппаратная поддержка");
  EXPECT_EQ(log.Lines()[1], "Pixel Format:" + std::to_string(GetPixelFormat(hDC)));
  EXPECT_EQ(std::vector<std::string>(log.Lines().begin() + 2, log.Lines().end()),
            (std::vector<std::string>{"bits:32", "accum:0", "depth:24", "stencil:0", "flags:37"}));

  EXPECT_FALSE(CloseWindow());
  EXPECT_EQ(hWnd, nullptr);
  EXPECT_EQ(hRC, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  WNDCLASSA unused;
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "Vantor", &unused));
  EXPECT_TRUE(boxes.empty());
}

// Describes the real chosen format with the generic bits of the case under test.
DWORD genericBits;
int describedFormat;
UINT describedSize;
int WINAPI DescribeWithGenericBits(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* out) {
  describedFormat = format;
  describedSize = size;
  int count = DescribePixelFormat(dc, format, size, out);
  out->dwFlags = (out->dwFlags & ~(PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED)) | genericBits;
  return count;
}

TEST_F(Window, LogsTheAccelerationClassOfTheChosenFormat) {
  const struct {
    DWORD bits;
    const char* line;  // null: no line before the format lines
  } cases[] = {
      {PFD_GENERIC_FORMAT, "Программная эмуляция"},
      {PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED, "MCD Драйвер"},
      {0, "Полная аппаратная поддержка"},
      {PFD_GENERIC_ACCELERATED, nullptr},
  };
  describePixelFormat = DescribeWithGenericBits;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    genericBits = c.bits;
    describedFormat = 0;
    LogCapture log;
    ASSERT_TRUE(OpenWindow(320, 240, 32));
    EXPECT_EQ(describedFormat, GetPixelFormat(hDC));
    EXPECT_EQ(describedSize, 40u);
    const std::vector<std::string>& lines = log.Lines();
    ASSERT_EQ(lines.size(), c.line ? 7u : 6u);
    if (c.line) {
      EXPECT_EQ(lines[0], c.line);
    }
    EXPECT_EQ(lines[c.line ? 1 : 0].rfind("Pixel Format:", 0), 0u);
    EXPECT_FALSE(CloseWindow());
  }
}

TEST_F(Window, KeysFollowKeyMessagesAndIgnoreCodesPastTheTable) {
  ASSERT_TRUE(OpenWindow(320, 240, 32));
  DrainQueue();
  PostMessageW(hWnd, WM_KEYDOWN, '1', 0);
  PostMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(hWnd, WM_KEYDOWN, 300, 0);
  PostMessageW(hWnd, WM_KEYUP, '1', 0);
  PostMessageW(hWnd, WM_SYSKEYDOWN, 'A', 0);

  // One message per pump: the burst is drained over several frames.
  EXPECT_FALSE(PumpMessages());
  EXPECT_TRUE(keys['1']);
  EXPECT_FALSE(keys[VK_ESCAPE]);
  EXPECT_FALSE(PumpMessages());
  EXPECT_TRUE(keys[VK_ESCAPE]);
  EXPECT_FALSE(PumpMessages());
  EXPECT_FALSE(PumpMessages());
  EXPECT_FALSE(keys['1']);
  EXPECT_FALSE(PumpMessages());
  EXPECT_FALSE(keys['A']);
}

TEST_F(Window, CloseButtonPostsQuitThatTheNextPumpReports) {
  ASSERT_TRUE(OpenWindow(320, 240, 32));
  DrainQueue();
  readTickCount = FakeTicks;  // no period closes during the test
  tick = lastFpsTick = 100000;
  int countBefore = frameCount;
  PostMessageW(hWnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(PumpMessages());
  EXPECT_TRUE(IsWindow(hWnd));  // not destroyed by the close message
  EXPECT_TRUE(PumpMessages());
  EXPECT_EQ(frameCount, countBefore + 1);  // the quit message is not counted as a frame
}

TEST_F(Window, ScreenSaverAndMonitorPowerCommandsAreSwallowed) {
  ASSERT_TRUE(OpenWindow(320, 240, 32));
  EXPECT_EQ(WindowProc(hWnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
  EXPECT_EQ(WindowProc(hWnd, WM_SYSCOMMAND, SC_MONITORPOWER, 2), 0);
  EXPECT_EQ(WindowProc(hWnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 0), 0);
  EXPECT_FALSE(active);
  EXPECT_EQ(WindowProc(hWnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0), 0);
  EXPECT_TRUE(active);
}

TEST_F(Window, SizeWithZeroHeightSetsViewportOfHeightOne) {
  ASSERT_TRUE(OpenWindow(320, 240, 32));
  StartGlRecording(true);
  ClearRecordedGlCalls();
  WindowProc(hWnd, WM_SIZE, 0, MAKELPARAM(300, 0));
  StopGlRecording();
  EXPECT_EQ(RecordedGlCalls(),
            (std::vector<std::string>{
                "glViewport(0,0,300,1)", GlCallText("glMatrixMode", GLenum(GL_PROJECTION)),
                "glLoadIdentity()", GlCallText("gluPerspective", 45.0, 300.0, 1.0, 1000.0),
                GlCallText("glMatrixMode", GLenum(GL_MODELVIEW)), "glLoadIdentity()"}));
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[3], 1);
}

TEST(FrameRate, PeriodsCloseAfterMoreThanOneSecondWithUnsignedWrapAndSecondReading) {
  readTickCount = FakeTicks;
  fps = frameCount = 0;
  lastFpsTick = 0;

  // Below 1000 ms of system time the subtraction wraps: every pump closes a period.
  tick = 500;
  PumpMessages();
  EXPECT_EQ(fps, 1);
  EXPECT_EQ(lastFpsTick, 500u);
  PumpMessages();
  EXPECT_EQ(fps, 1);

  lastFpsTick = 5000;
  frameCount = 0;
  fps = 0;
  tick = 6000;  // exactly one second: the period stays open
  PumpMessages();
  PumpMessages();
  EXPECT_EQ(fps, 0);
  EXPECT_EQ(frameCount, 2);
  tick = 6001;
  tickReads = 0;
  PumpMessages();
  EXPECT_EQ(fps, 3);
  EXPECT_EQ(frameCount, 0);
  EXPECT_EQ(tickReads, 2);

  // The new period starts at the second reading, not at the one that passed the test.
  readTickCount = AdvancingTicks;
  lastFpsTick = 0;
  tick = 20000;
  PumpMessages();
  EXPECT_EQ(lastFpsTick, 20001u);
  readTickCount = GetTickCount;
}

TEST_F(Window, RefusedFullScreenAnsweredYesGoesOnWindowed) {
  fullscreen = true;
  boxAnswer = IDYES;
  ASSERT_TRUE(OpenWindow(640, 480, 32));  // bare Xvfb refuses every full-screen mode
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Vantor");
  EXPECT_EQ(boxes[0].text,
            "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode "
            "Instead?");
  EXPECT_EQ(boxes[0].type, UINT(MB_YESNO | MB_ICONEXCLAMATION));
  EXPECT_FALSE(fullscreen);  // so closing does not restore a display mode
  EXPECT_EQ(GetWindowLongA(hWnd, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(CloseWindow());
}

TEST_F(Window, RefusedFullScreenAnsweredNoClosesTheProgram) {
  fullscreen = true;
  boxAnswer = IDNO;
  EXPECT_FALSE(OpenWindow(640, 480, 32));
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "Program Will Now Close.");
  EXPECT_EQ(boxes[1].caption, "ERROR");
  EXPECT_EQ(boxes[1].type, UINT(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(hWnd, nullptr);
  EXPECT_FALSE(OwnWindowExists("Vantor"));
  // The class stays registered after this early failure, as no close step runs; unregister it
  // so the next test can open its window.
  UnregisterClassA("Vantor", GetModuleHandleA(nullptr));
}

TEST_F(Window, ReleaseFailuresAreReportedOneBoxEachAndMakeTheResultTrue) {
  ASSERT_TRUE(OpenWindow(320, 240, 32));
  HWND window = hWnd;
  DestroyWindow(window);  // gone behind the engine's back: releasing its DC and it must fail
  EXPECT_TRUE(CloseWindow());
  std::vector<std::string> texts;
  for (const Box& box : boxes) {
    EXPECT_EQ(box.caption, "SHUTDOWN ERROR");
    EXPECT_EQ(box.type, UINT(MB_OK | MB_ICONINFORMATION));
    texts.push_back(box.text);
  }
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Could Not Release hWnd."), texts.end());
}

}  // namespace
