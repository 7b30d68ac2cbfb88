// The measured programs as child processes: started in the runner's job (so none outlives it),
// suspended and resumed between slices, their CPU time, their window and the keys they need.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct Child {
  PROCESS_INFORMATION info{};
  std::string command;
  bool running = false;
};

// A job that ends every process in it when the runner ends, however it ends. Null on failure.
HANDLE CreateKillOnCloseJob();
// Starts `program` with `args` in `folder` (its working directory) with the frame report on
// every `reportPeriodMs`; false with `error` when it cannot start.
bool StartChild(HANDLE job, const std::string& folder, const std::string& program,
                const std::vector<std::string>& args, int reportPeriodMs, Child& child,
                std::string& error);
bool SuspendChild(const Child& child);
bool ResumeChild(const Child& child);
// Still running; `exitCode` set when it has ended.
bool ChildAlive(const Child& child, DWORD& exitCode);
// User + kernel seconds of the process so far; negative when the system does not say.
double ChildCpuSeconds(const Child& child);
// Its first visible top-level window, or null.
HWND ChildWindow(const Child& child);
// Brings its window to the front, so it runs as the foreground program does.
void BringToFront(const Child& child);
// A key as a window message to its window, as a program reading WM_KEYDOWN sees it.
void PostKey(const Child& child, char key);
// Esc as real keyboard input to the foreground program (what DirectInput reads), then a
// WM_CLOSE; ends it by force when it is still there after `waitMs`.
void EndChild(Child& child, DWORD waitMs);
