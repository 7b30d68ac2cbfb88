// vtAPI.dll: InitDemo, the display settings from vtAPI.ini beside the DLL or from the dialog.
#include <windows.h>

#include <string>
#include <vector>

#include "settings_dialog.h"
#include "settings_file.h"
#include "vtapi.h"

namespace {

// The record InitDemo returns; the caller may read it at any time after the call.
DisplaySettings answer = {0, 0, 0, -1};

void DebugLine(const std::string& text) { OutputDebugStringA(("vtAPI: " + text + "\n").c_str()); }

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&answer), &module);
  return module;
}

// Full path of vtAPI.ini in the folder this DLL was loaded from; empty when unknown.
std::wstring SettingsPath(HMODULE module) {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return L"";
    if (n < path.size()) break;
    if (path.size() >= 32768) return L"";
    path.resize(path.size() * 2);
  }
  std::wstring folder(path.data());
  const std::size_t slash = folder.find_last_of(L"\\/");
  folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return folder + L"vtAPI.ini";
}

enum class FileRead { Ok, Absent, Failed };

FileRead ReadSmallFile(const std::wstring& path, std::string* content, std::string* reason) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return FileRead::Absent;
    *reason = "vtAPI.ini cannot be opened (error " + std::to_string(error) + ")";
    return FileRead::Failed;
  }
  LARGE_INTEGER size = {};
  FileRead result = FileRead::Ok;
  if (!GetFileSizeEx(file, &size) || size.QuadPart > static_cast<LONGLONG>(kMaxSettingsFileSize)) {
    *reason = "vtAPI.ini is larger than " + std::to_string(kMaxSettingsFileSize) + " bytes";
    result = FileRead::Failed;
  } else {
    content->resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!content->empty() &&
        (!ReadFile(file, &(*content)[0], static_cast<DWORD>(content->size()), &got, nullptr) ||
         got != content->size())) {
      *reason = "vtAPI.ini cannot be read (error " + std::to_string(GetLastError()) + ")";
      result = FileRead::Failed;
    }
  }
  CloseHandle(file);
  return result;
}

// The settings from the file when it is usable; otherwise the reason to ask the user.
bool SettingsFromFile(HMODULE module, DisplaySettings* out, std::string* reason) {
  const std::wstring path = SettingsPath(module);
  std::string content;
  if (path.empty()) {
    *reason = "the folder of vtAPI.dll is unknown; vtAPI.ini not read";
    return false;
  }
  switch (ReadSmallFile(path, &content, reason)) {
    case FileRead::Absent: *reason = ""; return false;
    case FileRead::Failed: return false;
    case FileRead::Ok: break;
  }
  const SettingsFileResult parsed = ParseSettingsFile(content.data(), content.size());
  if (!parsed.valid) {
    *reason = parsed.reason;
    return false;
  }
  *out = parsed.settings;
  return true;
}

}  // namespace

// cdecl: the caller takes no arguments through a plain function pointer, so cdecl and stdcall
// behave alike; cdecl keeps the export name free of stdcall decoration on i686.
extern "C" DisplaySettings* __cdecl InitDemo(void) {
  const HMODULE module = ThisModule();
  DisplaySettings settings = {};
  std::string reason;
  if (SettingsFromFile(module, &settings, &reason)) {
    answer = settings;
    return &answer;
  }
  DebugLine(reason.empty() ? "no vtAPI.ini beside vtAPI.dll; asking the user"
                           : reason + "; asking the user");
  const std::string status =
      reason.empty() ? "" : reason + ". The settings below are the defaults.";
  if (!RunSettingsDialog(module, status, &settings)) {
    // Without the dialog nobody confirmed a mode: cancel rather than guess.
    DebugLine("the settings dialog could not be shown; cancelling");
    settings = {0, 0, 0, -1};
  }
  answer = settings;
  return &answer;
}
