// A launcher library that loads but has no "InitDemo": the bad-input matrix copies it into a
// private folder as vtAPI.dll.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI InitSomethingElse() { return 0; }
