// Test helper: loads vtAPI.dll as the benchmark does, calls InitDemo, prints the four values.
#include <windows.h>

#include <cstdio>

#include "launcher/vtapi.h"

int main() {
  HMODULE launcher = LoadLibraryA("vtAPI.dll");
  if (!launcher) {
    std::printf("no vtAPI.dll\n");
    return 2;
  }
  auto initDemo = reinterpret_cast<InitDemoFunction>(
      reinterpret_cast<void*>(GetProcAddress(launcher, "InitDemo")));
  if (!initDemo) {
    std::printf("no InitDemo\n");
    return 3;
  }
  const DisplaySettings* s = initDemo();
  std::printf("%d %d %d %d\n", static_cast<int>(s->width), static_cast<int>(s->height),
              static_cast<int>(s->bpp), static_cast<int>(s->fullscreen));
  return 0;
}
