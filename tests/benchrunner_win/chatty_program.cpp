// A stand-in for a benchmark program caught inside OutputDebugString: every writer holds the
// system's DBWinMutex while it writes, this one for most of its time, so a runner that holds it
// still without waiting for the mutex keeps every other program's reports out. Ends by itself
// after two minutes at the latest.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HANDLE writers = CreateMutexA(nullptr, FALSE, "DBWinMutex");
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 120000) {
    WaitForSingleObject(writers, INFINITE);
    OutputDebugStringA("frames=1\n");
    Sleep(50);
    ReleaseMutex(writers);
    Sleep(1);
  }
  return 0;
}
