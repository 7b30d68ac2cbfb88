// A stand-in for a benchmark program on a desktop that lacks what its path needs: it names what
// is missing on the debug output and ends with the code that means so, before any frame.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  OutputDebugStringA("unavailable on this desktop: GL 9.9 is missing\n");
  return 3;
}
