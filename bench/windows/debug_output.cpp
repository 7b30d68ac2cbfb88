// The DBWIN_BUFFER reader: its events, its shared page and the thread that empties it.
#include "debug_output.h"

namespace {

const DWORD kBufferBytes = 4096;
const DWORD kPollMilliseconds = 100;  // how soon the thread sees a stop

struct SharedPage {
  DWORD processId;
  char text[kBufferBytes - sizeof(DWORD)];
};

}  // namespace

struct DebugOutput {
  HANDLE bufferReady = nullptr, dataReady = nullptr, mapping = nullptr, thread = nullptr;
  HANDLE writers = nullptr;  // DBWinMutex
  SharedPage* page = nullptr;
  volatile LONG stop = 0;
  CRITICAL_SECTION lock;
  std::vector<DebugLine> lines;
};

namespace {

DWORD WINAPI ReadLines(void* parameter) {
  DebugOutput* output = static_cast<DebugOutput*>(parameter);
  SetEvent(output->bufferReady);
  while (!output->stop) {
    if (WaitForSingleObject(output->dataReady, kPollMilliseconds) != WAIT_OBJECT_0) continue;
    DebugLine line{output->page->processId, RunnerSeconds(), {}};
    const char* text = output->page->text;
    size_t length = 0;
    while (length < sizeof output->page->text && text[length]) ++length;
    line.text.assign(text, length);
    SetEvent(output->bufferReady);
    EnterCriticalSection(&output->lock);
    output->lines.push_back(std::move(line));
    LeaveCriticalSection(&output->lock);
  }
  return 0;
}

void CloseHandles(DebugOutput* output) {
  if (output->page) UnmapViewOfFile(output->page);
  for (HANDLE h : {output->mapping, output->dataReady, output->bufferReady, output->writers}) {
    if (h) CloseHandle(h);
  }
}

}  // namespace

DebugOutput* StartDebugOutput(std::string& error) {
  RunnerSeconds();  // the clock starts here, before the reader thread reads it
  DebugOutput* output = new DebugOutput;
  InitializeCriticalSection(&output->lock);
  output->bufferReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
  bool taken = GetLastError() == ERROR_ALREADY_EXISTS;
  output->dataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
  output->mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       kBufferBytes, "DBWIN_BUFFER");
  if (output->mapping)
    output->page = static_cast<SharedPage*>(MapViewOfFile(output->mapping, FILE_MAP_READ, 0, 0, 0));
  if (taken || !output->dataReady || !output->page) {
    error = taken ? "another debug-output viewer is running; close it and start again"
                  : "the debug-output buffer cannot be opened";
    CloseHandles(output);
    DeleteCriticalSection(&output->lock);
    delete output;
    return nullptr;
  }
  // Writers open it for SYNCHRONIZE only; the first of them may not have made it yet.
  output->writers = OpenMutexA(SYNCHRONIZE, FALSE, "DBWinMutex");
  if (!output->writers) output->writers = CreateMutexA(nullptr, FALSE, "DBWinMutex");
  output->thread = CreateThread(nullptr, 0, ReadLines, output, 0, nullptr);
  return output;
}

std::vector<DebugLine> TakeDebugLines(DebugOutput* output) {
  std::vector<DebugLine> lines;
  if (!output) return lines;
  EnterCriticalSection(&output->lock);
  lines.swap(output->lines);
  LeaveCriticalSection(&output->lock);
  return lines;
}

void StopDebugOutput(DebugOutput* output) {
  if (!output) return;
  InterlockedExchange(&output->stop, 1);
  if (output->thread) {
    WaitForSingleObject(output->thread, INFINITE);
    CloseHandle(output->thread);
  }
  CloseHandles(output);
  DeleteCriticalSection(&output->lock);
  delete output;
}

bool HoldDebugWriters(DebugOutput* output, DWORD waitMs) {
  if (!output || !output->writers) return false;
  // Abandoned: its writer ended inside; the mutex is the runner's all the same.
  DWORD waited = WaitForSingleObject(output->writers, waitMs);
  return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

void ReleaseDebugWriters(DebugOutput* output) {
  if (output && output->writers) ReleaseMutex(output->writers);
}

double RunnerSeconds() {
  static LARGE_INTEGER frequency, start;
  if (frequency.QuadPart == 0) {
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
  }
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}
