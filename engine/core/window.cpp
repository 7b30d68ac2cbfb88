// Win32 side of the engine: window class "Vantor", the window, its pixel format and GL context,
// the window procedure with the key state, and the per-frame pump that counts frames.
#include "engine/core/window.h"

#include <string>

#include "engine/core/engine_state.h"
#include "engine/core/gl_api.h"

namespace {

const char kClassName[] = "Vantor";
MSG msg;

PIXELFORMATDESCRIPTOR requestedFormat;
bool requestedFormatBuilt;

// The request is fixed by the first window of the process.
const PIXELFORMATDESCRIPTOR& RequestedFormat(int bpp) {
  if (!requestedFormatBuilt) {
    requestedFormat = PIXELFORMATDESCRIPTOR{};
    requestedFormat.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    requestedFormat.nVersion = 1;
    requestedFormat.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    requestedFormat.iPixelType = PFD_TYPE_RGBA;
    requestedFormat.cColorBits = static_cast<BYTE>(bpp);
    requestedFormat.cDepthBits = 24;
    requestedFormat.iLayerType = PFD_MAIN_PLANE;
    requestedFormatBuilt = true;
  }
  return requestedFormat;
}

void StartupError(const char* text) {
  showMessageBox(nullptr, text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
}

bool ShutdownError(const char* text) {
  showMessageBox(nullptr, text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
  return true;
}

// Close what was made so far and tell the user why the window could not be opened.
bool FailOpen(const char* text) {
  CloseWindow();
  StartupError(text);
  return false;
}

// Checked before anything is opened: a call through a missing entry would fault, and a library
// the program imported would have stopped it at load with a message instead.
bool GlLibrariesComplete() {
  GlTableGap gap = FindGlTableGap(glTable);
  if (!gap.function) return true;
  engineLog << "(ERROR)" << gap.library << (gap.libraryLoaded ? "" : " not loaded,") << " "
            << gap.function << " not found!" << std::endl;
  StartupError((std::string("Can't Find ") + gap.function + " In " + gap.library + ".").c_str());
  return false;
}

bool RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIcon(nullptr, IDI_WINLOGO);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  return RegisterClassA(&windowClass) != 0;
}

// Switch the display; on refusal the user may go on windowed. False when the program must end.
bool EnterFullscreen(int width, int height, int bpp) {
  DEVMODEW mode = {};
  mode.dmSize = sizeof(DEVMODEW);
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = height;
  mode.dmBitsPerPel = bpp;
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  if (ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL) return true;
  if (showMessageBox(nullptr,
                     "The Requested Fullscreen Mode Is Not Supported By\n"
                     "Your Video Card. Use Windowed Mode Instead?",
                     "Vantor", MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
    fullscreen = false;
    return true;
  }
  showMessageBox(nullptr, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
  return false;
}

void LogAccelerationClass(const PIXELFORMATDESCRIPTOR& request) {
  PIXELFORMATDESCRIPTOR described = {};
  int index = choosePixelFormat(hDC, &request);
  describePixelFormat(hDC, index, sizeof(PIXELFORMATDESCRIPTOR), &described);
  bool generic = (described.dwFlags & PFD_GENERIC_FORMAT) != 0;
  bool accelerated = (described.dwFlags & PFD_GENERIC_ACCELERATED) != 0;
  if (generic && !accelerated) engineLog << "Программная эмуляция" << std::endl;
  if (generic && accelerated) engineLog << "MCD Драйвер" << std::endl;
  if (!generic && !accelerated) engineLog << "Полная аппаратная поддержка" << std::endl;
}

void LogRequestedFormat(int pixelFormat, const PIXELFORMATDESCRIPTOR& request) {
  engineLog << "Pixel Format:" << pixelFormat << std::endl;
  engineLog << "bits:" << int(request.cColorBits) << std::endl;
  engineLog << "accum:" << int(request.cAccumBits) << std::endl;
  engineLog << "depth:" << int(request.cDepthBits) << std::endl;
  engineLog << "stencil:" << int(request.cStencilBits) << std::endl;
  engineLog << "flags:" << request.dwFlags << std::endl;
}

}  // namespace

bool OpenWindow(int width, int height, int bpp) {
  RECT rect = {0, 0, width, height};
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!GlLibrariesComplete()) return false;
  if (!RegisterWindowClass(instance)) {
    StartupError("Failed To Register The Window Class.");
    return false;
  }
  if (fullscreen && !EnterFullscreen(width, height, bpp)) return false;

  DWORD exStyle = fullscreen ? WS_EX_APPWINDOW : WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  DWORD style = fullscreen ? WS_POPUP : WS_OVERLAPPEDWINDOW;
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  hWnd = CreateWindowExA(
      exStyle, "vantor", "vantor", style | WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
      rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
  if (!hWnd) return FailOpen("Window Creation Error.");
  hDC = getWindowDc(hWnd);
  if (!hDC) return FailOpen("Can't Create A GL Device Context.");

  const PIXELFORMATDESCRIPTOR& request = RequestedFormat(bpp);
  int pixelFormat = choosePixelFormat(hDC, &request);
  if (!pixelFormat) return FailOpen("Can't Find A Suitable PixelFormat.");
  LogAccelerationClass(request);
  LogRequestedFormat(pixelFormat, request);
  if (!SetPixelFormat(hDC, pixelFormat, &request)) return FailOpen("Can't Set The PixelFormat.");
  hRC = wglCreateContext(hDC);
  if (!hRC) return FailOpen("Can't Create A GL Rendering Context.");
  if (!wglMakeCurrent(hDC, hRC)) return FailOpen("Can't Activate The GL Rendering Context.");

  ShowWindow(hWnd, SW_SHOW);
  SetForegroundWindow(hWnd);
  SetFocus(hWnd);
  ResizeViewport(width, height);
  return true;
}

bool CloseWindow() {
  bool failed = false;
  if (fullscreen) ChangeDisplaySettingsW(nullptr, 0);
  if (hRC) {
    if (!wglMakeCurrent(nullptr, nullptr)) failed = ShutdownError("Release Of DC And RC Failed.");
    if (!wglDeleteContext(hRC)) failed = ShutdownError("Release Rendering Context Failed.");
    hRC = nullptr;
  }
  // Handles are cleared once released (or found unreleasable) so a second close cannot touch
  // them again.
  if (hDC) {
    if (!ReleaseDC(hWnd, hDC)) failed = ShutdownError("Release Device Context Failed.");
    hDC = nullptr;
  }
  if (hWnd) {
    if (!DestroyWindow(hWnd)) failed = ShutdownError("Could Not Release hWnd.");
    hWnd = nullptr;
  }
  if (!UnregisterClassA(kClassName, GetModuleHandleA(nullptr)))
    failed = ShutdownError("Could Not Unregister Class.");
  return failed;
}

void ResizeViewport(int width, int height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, GLfloat(width) / GLfloat(height), 1.0, 1000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE: active = HIWORD(wParam) == 0; return 0;
    case WM_SYSCOMMAND:
      if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
      break;
    case WM_CLOSE: PostQuitMessage(0); return 0;
    // Any program can post a key message; codes past the table are dropped, not written.
    case WM_KEYDOWN:
      if (wParam < 256) keys[wParam] = true;
      return 0;
    case WM_KEYUP:
      if (wParam < 256) keys[wParam] = false;
      return 0;
    case WM_SIZE: ResizeViewport(LOWORD(lParam), HIWORD(lParam)); return 0;
  }
  // The class is registered with the ANSI call, so its messages carry ANSI text: defaulting them
  // with the wide-character function would read "vantor" and "Zumbrel" as UTF-16 and garble the
  // title. Default processing therefore uses the function of the window's own character set.
  return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                 : DefWindowProcA(window, message, wParam, lParam);
}

bool PumpMessages() {
  if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  frameCount += 1;
  // Unsigned on purpose: below a tick count of 1000 the subtraction wraps and every pump closes
  // a period, as does the very first pump later on.
  if (lastFpsTick < readTickCount() - 1000u) {
    fps = frameCount;
    frameCount = 0;
    lastFpsTick = readTickCount();
  }
  return false;
}
