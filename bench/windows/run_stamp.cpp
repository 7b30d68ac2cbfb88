// The run's stamp: the local date, the command line as UTF-8, the clock tick; code page to UTF-8.
#include "run_stamp.h"

#include <windows.h>

#include <ctime>

namespace {

std::string DateStamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

std::string Utf8FromWide(const wchar_t* text, int length) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string utf8(size_t(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, &utf8[0], bytes, nullptr, nullptr);
  return utf8;
}

// The increment of the system clock, which is also the step of a process's CPU times.
double ClockTickMs() {
  DWORD adjustment = 0, increment = 0;
  BOOL disabled = FALSE;
  if (!GetSystemTimeAdjustment(&adjustment, &increment, &disabled) || increment == 0)
    return kDefaultCpuTickMs;
  return increment / 1e4;  // hundreds of nanoseconds
}

}  // namespace

RunStamp CurrentRunStamp() {
  RunStamp stamp;
  stamp.date = DateStamp();
  const wchar_t* line = GetCommandLineW();
  stamp.command = Utf8FromWide(line, lstrlenW(line));
  stamp.version = GLYPHSTORM_VERSION;
  stamp.arch = sizeof(void*) == 4 ? "i686" : "x86_64";
  stamp.cpuTickMs = ClockTickMs();
  return stamp;
}

std::string Utf8FromAnsi(const std::string& text) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(size_t(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0], length);
  return Utf8FromWide(wide.data(), length);
}
