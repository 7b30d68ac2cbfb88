// Each way opening the engine window can fail, made to happen one step at a time: real Win32
// refusals where Wine can be brought to refuse, the engine's seams where it cannot.
#include <gtest/gtest.h>

// The call table is changed by name here, so calls are not redirected through it.
#define GS_GL_NO_REDIRECT

#include <string>
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"
#include "engine/core/window.h"
#include "gl_window_fixture.h"

namespace {

// A box as shown, with what was still open at that moment.
struct Box {
  HWND owner;
  std::string text, caption;
  UINT type;
  bool engineHandlesSet, windowExists, classRegistered, contextCurrent;
};
std::vector<Box> boxes;

int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  WNDCLASSA unused;
  boxes.push_back({owner, text, caption, type, hWnd || hDC || hRC, OwnWindowExists("Vantor"),
                   GetClassInfoA(GetModuleHandleA(nullptr), "Vantor", &unused) != 0,
                   wglGetCurrentContext() != nullptr});
  return IDOK;
}

HHOOK hook;

// Creation refused from the computer-based-training hook: CreateWindowExA returns null.
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) return 1;
  return CallNextHookEx(hook, code, wParam, lParam);
}

// Gives the new window a pixel format other than the one the engine will choose, so that the
// engine's SetPixelFormat is refused: a window's pixel format cannot be changed once set.
LRESULT CALLBACK PresetOtherPixelFormat(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  char name[16] = {};
  if (code == HC_ACTION && sent->message == WM_CREATE &&
      GetClassNameA(sent->hwnd, name, sizeof name) && std::string(name) == "Vantor") {
    HDC dc = GetDC(sent->hwnd);
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.cColorBits = 32;
    request.cDepthBits = 24;
    int chosen = ChoosePixelFormat(dc, &request);
    int count = DescribePixelFormat(dc, 1, sizeof request, &request);
    for (int format = 1; format <= count; ++format) {
      if (format != chosen && SetPixelFormat(dc, format, &request)) break;
    }
    ReleaseDC(sent->hwnd, dc);
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

HDC WINAPI NoDc(HWND) { return nullptr; }
int WINAPI NoPixelFormat(HDC, const PIXELFORMATDESCRIPTOR*) { return 0; }
HGLRC APIENTRY NoContext(HDC) { return nullptr; }
// Refuses to make a context current; releasing the current one still works.
BOOL APIENTRY NoActivation(HDC dc, HGLRC rc) {
  return rc ? FALSE : DriverGlTable().wglMakeCurrent(dc, rc);
}
// Makes the context current, yet reports failure: closing must release it before the box.
bool madeCurrent;
BOOL APIENTRY ActivationReportedFailed(HDC dc, HGLRC rc) {
  BOOL done = DriverGlTable().wglMakeCurrent(dc, rc);
  if (rc) madeCurrent = done && wglGetCurrentContext() == rc;
  return rc ? FALSE : done;
}

void RegisterClassFirst() {
  WNDCLASSA taken = {};
  taken.lpfnWndProc = DefWindowProcA;
  taken.hInstance = GetModuleHandleA(nullptr);
  taken.lpszClassName = "Vantor";
  ASSERT_TRUE(RegisterClassA(&taken));
}
void UnregisterThatClass() { UnregisterClassA("Vantor", GetModuleHandleA(nullptr)); }
void HookCreation() {
  hook = SetWindowsHookExA(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
}
void HookWindowMessages() {
  hook = SetWindowsHookExA(WH_CALLWNDPROC, PresetOtherPixelFormat, nullptr, GetCurrentThreadId());
}
void Unhook() { UnhookWindowsHookEx(hook); }
void FailGetDc() { getWindowDc = NoDc; }
void FailChoosePixelFormat() { choosePixelFormat = NoPixelFormat; }
void FailCreateContext() { glTable.wglCreateContext = NoContext; }
void FailMakeCurrent() { glTable.wglMakeCurrent = NoActivation; }
void FailMakeCurrentAfterActivating() { glTable.wglMakeCurrent = ActivationReportedFailed; }
void DropGluEntry() { glTable.gluPerspective = nullptr; }
void RestoreSeams() {
  getWindowDc = GetDC;
  choosePixelFormat = ChoosePixelFormat;
  glTable = DriverGlTable();
}

TEST(WindowOpenFailure, EachStepShowsItsBoxAfterEverythingMadeSoFarIsClosed) {
  const struct {
    const char* text;
    void (*provoke)();
    void (*undo)();
    bool closesFirst;  // the class is registered by then, so closing unregisters it
    // Closing releases the context; when it never became current the driver refuses that, and
    // closing reports it in a box of its own before the start-up box.
    const char* closingBox;
    bool current;  // the context was current before the failure
  } cases[] = {
      {"Can't Find gluPerspective In glu32.dll.", DropGluEntry, RestoreSeams, false, nullptr},
      {"Failed To Register The Window Class.", RegisterClassFirst, UnregisterThatClass, false,
       nullptr},
      {"Window Creation Error.", HookCreation, Unhook, true, nullptr},
      {"Can't Create A GL Device Context.", FailGetDc, RestoreSeams, true, nullptr},
      {"Can't Find A Suitable PixelFormat.", FailChoosePixelFormat, RestoreSeams, true, nullptr},
      {"Can't Set The PixelFormat.", HookWindowMessages, Unhook, true, nullptr},
      {"Can't Create A GL Rendering Context.", FailCreateContext, RestoreSeams, true, nullptr},
      {"Can't Activate The GL Rendering Context.", FailMakeCurrentAfterActivating, RestoreSeams,
       true, nullptr, true},
      {"Can't Activate The GL Rendering Context.", FailMakeCurrent, RestoreSeams, true,
       "Release Of DC And RC Failed."},
  };
  showMessageBox = RecordBox;
  fullscreen = false;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    boxes.clear();
    madeCurrent = false;
    c.provoke();
    EXPECT_FALSE(OpenWindow(320, 240, 32));
    c.undo();
    EXPECT_EQ(madeCurrent, c.current);
    ASSERT_EQ(boxes.size(), c.closingBox ? 2u : 1u);
    if (c.closingBox) {
      EXPECT_EQ(boxes[0].text, c.closingBox);
      EXPECT_EQ(boxes[0].caption, "SHUTDOWN ERROR");
    }
    const Box& box = boxes.back();
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.caption, "ERROR");
    EXPECT_EQ(box.type, UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_FALSE(box.engineHandlesSet);
    EXPECT_FALSE(box.windowExists);
    EXPECT_FALSE(box.contextCurrent);
    if (c.closesFirst) {
      EXPECT_FALSE(box.classRegistered);
    }
    // Nothing is left behind: the next window opens.
    ASSERT_TRUE(OpenWindow(320, 240, 32));
    EXPECT_FALSE(CloseWindow());
  }
  showMessageBox = MessageBoxA;
}

}  // namespace
