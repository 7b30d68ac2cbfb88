// Folders of the runner: its own folder, glyphstorm's temporary folder, report folders.
#include "work_folder.h"

#include <windows.h>

#include <cstdio>

#include "run_folder.h"

namespace {

const char kRunnerSettings[] = "[display]\r\nwidth=800\r\nheight=600\r\nbpp=32\r\nfullscreen=2\r\n";

bool IsSettingsFile(const char* name) { return lstrcmpiA(name, "vtAPI.ini") == 0; }

}  // namespace

std::string ProgramFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? "." : folder.substr(0, slash);
}

std::string MakeGlyphstormFolder(const std::string& from) {
  char temp[MAX_PATH];
  DWORD length = GetTempPathA(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) return {};
  char name[64];
  std::snprintf(name, sizeof name, "glyphstorm-bench-run-%lu", GetCurrentProcessId());
  std::string folder = std::string(temp) + name;
  if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return {};
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsSettingsFile(found.cFileName))
        continue;
      CopyFileA((from + "\\" + found.cFileName).c_str(), (folder + "\\" + found.cFileName).c_str(),
                FALSE);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  if (!WriteTextFile(folder + "\\vtAPI.ini", kRunnerSettings)) {
    RemoveWorkFolder(folder);
    return {};
  }
  return folder;
}

void RemoveWorkFolder(const std::string& folder) {
  if (folder.empty()) return;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

bool MakeFolders(const std::string& folder) {
  for (size_t i = 0; i < folder.size(); ++i) {
    // Each parent in turn; a drive ("C:") or a share's root refuses harmlessly.
    if ((folder[i] == '\\' || folder[i] == '/') && i > 0)
      CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
  }
  CreateDirectoryA(folder.c_str(), nullptr);
  DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
