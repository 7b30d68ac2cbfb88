// A stand-in for a benchmark program that starts and then never reports a frame: the runner
// must name it as failed and go on. Ends by itself after two minutes at the latest.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Sleep(120000);
  return 0;
}
