// The desktop's facts from EnumDisplaySettings, EnumDisplayDevices, a hidden GL window of the
// runner's own, RtlGetVersion, the registry and GetSystemInfo.
#include "desktop_facts.h"

#include <windows.h>
#include <GL/gl.h>

#include <cstdio>

#include "run_stamp.h"

namespace {

const char kGlWindowClass[] = "GlyphstormBenchGlProbe";

std::string GlString(GLenum name) {
  const GLubyte* text = glGetString(name);
  return text ? reinterpret_cast<const char*>(text) : "";
}

// The GL strings of a default pixel format on a hidden window: what the GL programs get.
void ReadGlStrings(DesktopFacts& facts) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kGlWindowClass;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA(kGlWindowClass, "", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  if (!window) return;
  HDC dc = GetDC(window);
  PIXELFORMATDESCRIPTOR format = {};
  format.nSize = sizeof format;
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 32;
  format.cDepthBits = 24;
  int chosen = ChoosePixelFormat(dc, &format);
  HGLRC context = chosen && SetPixelFormat(dc, chosen, &format) ? wglCreateContext(dc) : nullptr;
  if (context && wglMakeCurrent(dc, context)) {
    facts.glVendor = GlString(GL_VENDOR);
    facts.glRenderer = GlString(GL_RENDERER);
    facts.glVersion = GlString(GL_VERSION);
    wglMakeCurrent(nullptr, nullptr);
  }
  if (context) wglDeleteContext(context);
  ReleaseDC(window, dc);
  DestroyWindow(window);
}

std::string WindowsVersion() {
  using VersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  auto call = ntdll ? reinterpret_cast<VersionCall>(
                          reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                    : nullptr;
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!call || call(&info) != 0) return "";
  char text[64];
  std::snprintf(text, sizeof text, "Windows %lu.%lu build %lu", info.dwMajorVersion,
                info.dwMinorVersion, info.dwBuildNumber);
  return text;
}

std::string CpuName() {
  char name[256] = {};
  DWORD size = sizeof name - 1;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return "";
  DWORD type = 0;
  LONG read = RegQueryValueExA(key, "ProcessorNameString", nullptr, &type,
                               reinterpret_cast<BYTE*>(name), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ) return "";
  std::string text(name);
  // The registry pads the name with spaces on some processors.
  size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
  return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

std::string AdapterName() {
  DISPLAY_DEVICEA device = {};
  device.cb = sizeof device;
  for (DWORD i = 0; EnumDisplayDevicesA(nullptr, i, &device, 0); ++i) {
    if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) return device.DeviceString;
  }
  device.cb = sizeof device;
  return EnumDisplayDevicesA(nullptr, 0, &device, 0) ? device.DeviceString : "";
}

}  // namespace

DesktopFacts CollectDesktopFacts() {
  DesktopFacts facts;
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  // 0 and 1 both mean "the hardware's default": no rate is known then.
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1)
    facts.refreshHz = mode.dmDisplayFrequency;
  facts.adapter = Utf8FromAnsi(AdapterName());
  ReadGlStrings(facts);
  facts.windowsVersion = WindowsVersion();
  facts.cpu = Utf8FromAnsi(CpuName());
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  facts.cores = int32_t(system.dwNumberOfProcessors);
  return facts;
}
