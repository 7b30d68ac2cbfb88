// Child processes of the runner: CreateProcess in a job, NtSuspendProcess / NtResumeProcess,
// GetProcessTimes, their windows and input.
#include "child_process.h"

#include <cstdio>

namespace {

using ProcessCall = LONG(NTAPI*)(HANDLE);

ProcessCall NtCall(const char* name) {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll ? reinterpret_cast<ProcessCall>(reinterpret_cast<void*>(GetProcAddress(ntdll, name)))
               : nullptr;
}

// Quoted as the C runtime's argument parser reads it back.
std::string Quoted(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos) return word;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

void SendKeyInput(WORD key) {
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = WORD(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &inputs[0], sizeof(INPUT));
  // Held across a frame or two: the program reads the key state once per frame.
  Sleep(150);
  SendInput(1, &inputs[1], sizeof(INPUT));
}

}  // namespace

HANDLE CreateKillOnCloseJob() {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (!job) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  return job;
}

bool StartChild(HANDLE job, const std::string& folder, const std::string& program,
                const std::vector<std::string>& args, int reportPeriodMs, Child& child,
                std::string& error) {
  std::string path = folder + "\\" + program;
  child = Child{};
  child.command = Quoted(path);
  for (const std::string& arg : args) child.command += " " + Quoted(arg);
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    error = "missing program " + path;
    return false;
  }
  char period[16];
  std::snprintf(period, sizeof period, "%d", reportPeriodMs);
  SetEnvironmentVariableA("GLYPHSTORM_FRAME_REPORT", period);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::string line = child.command;
  BOOL started = CreateProcessA(path.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                nullptr, folder.c_str(), &startup, &child.info);
  SetEnvironmentVariableA("GLYPHSTORM_FRAME_REPORT", nullptr);
  if (!started) {
    char code[48];
    std::snprintf(code, sizeof code, "does not start (error %lu)", GetLastError());
    error = code;
    return false;
  }
  // In the job before its first instruction, so nothing it starts escapes either.
  if (job) AssignProcessToJobObject(job, child.info.hProcess);
  ResumeThread(child.info.hThread);
  child.running = true;
  return true;
}

bool SuspendChild(const Child& child) {
  static ProcessCall suspend = NtCall("NtSuspendProcess");
  return suspend && child.running && suspend(child.info.hProcess) == 0;
}

bool ResumeChild(const Child& child) {
  static ProcessCall resume = NtCall("NtResumeProcess");
  return resume && child.running && resume(child.info.hProcess) == 0;
}

bool ChildAlive(const Child& child, DWORD& exitCode) {
  if (!child.running) return false;
  if (WaitForSingleObject(child.info.hProcess, 0) == WAIT_TIMEOUT) return true;
  GetExitCodeProcess(child.info.hProcess, &exitCode);
  return false;
}

double ChildCpuSeconds(const Child& child) {
  FILETIME created, ended, kernel, user;
  if (!child.running || !GetProcessTimes(child.info.hProcess, &created, &ended, &kernel, &user))
    return -1;
  auto seconds = [](const FILETIME& t) {
    return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

HWND ChildWindow(const Child& child) {
  WindowSearch search{child.info.dwProcessId, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void BringToFront(const Child& child) {
  HWND window = ChildWindow(child);
  if (window) SetForegroundWindow(window);
}

void PostKey(const Child& child, char key) {
  HWND window = ChildWindow(child);
  if (!window) return;
  UINT scan = MapVirtualKeyA(UINT(key), MAPVK_VK_TO_VSC);
  PostMessageA(window, WM_KEYDOWN, WPARAM(key), LPARAM(1 | (scan << 16)));
  Sleep(100);
  PostMessageA(window, WM_KEYUP, WPARAM(key), LPARAM(1 | (scan << 16) | (3u << 30)));
}

void EndChild(Child& child, DWORD waitMs) {
  if (!child.running) return;
  if (WaitForSingleObject(child.info.hProcess, 0) == WAIT_TIMEOUT) {
    ResumeChild(child);
    BringToFront(child);
    // Real input goes to whatever is in front: never Esc to another (held) path's window.
    HWND window = ChildWindow(child);
    DWORD front = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &front);
    if (front == child.info.dwProcessId) SendKeyInput(VK_ESCAPE);
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(child.info.hProcess, waitMs) != WAIT_OBJECT_0)
      TerminateProcess(child.info.hProcess, 1);
  }
  WaitForSingleObject(child.info.hProcess, 2000);
  CloseHandle(child.info.hThread);
  CloseHandle(child.info.hProcess);
  child.running = false;
}
