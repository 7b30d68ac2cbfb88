// The system's debug-output buffer read as debug-output viewers read it (no debugger attached):
// one reader thread, each line stamped on receipt and kept by the writer's process id.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct DebugLine {
  DWORD processId;
  double seconds;  // RunnerSeconds() at receipt
  std::string text;
};

struct DebugOutput;

// Null when the buffer is taken (another viewer runs) or cannot be made; `error` says which.
DebugOutput* StartDebugOutput(std::string& error);
// The lines received since the last call, in order of receipt.
std::vector<DebugLine> TakeDebugLines(DebugOutput* output);
void StopDebugOutput(DebugOutput* output);
// Writers hold the system's DBWinMutex from taking the buffer until they have filled it: a
// program suspended there would keep every other program's reports out until it runs again.
// While the runner holds it, no program is inside OutputDebugString. False when it was not
// had within `waitMs` (or cannot be opened).
bool HoldDebugWriters(DebugOutput* output, DWORD waitMs);
void ReleaseDebugWriters(DebugOutput* output);

// Seconds on the high-resolution counter since the first call.
double RunnerSeconds();
