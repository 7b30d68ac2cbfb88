// Test helper: loads vtAPI.dll as the benchmark does, calls InitDemo, prints the four values.
#include <windows.h>

#include <cstdint>
#include <cstdio>

int main() {
  HMODULE launcher = LoadLibraryA("vtAPI.dll");
  if (!launcher) {
    std::printf("no vtAPI.dll\n");
    return 2;
  }
  using InitDemoFn = const int32_t* (*)();
  auto initDemo =
      reinterpret_cast<InitDemoFn>(reinterpret_cast<void*>(GetProcAddress(launcher, "InitDemo")));
  if (!initDemo) {
    std::printf("no InitDemo\n");
    return 3;
  }
  const int32_t* s = initDemo();
  std::printf("%d %d %d %d\n", static_cast<int>(s[0]), static_cast<int>(s[1]),
              static_cast<int>(s[2]), static_cast<int>(s[3]));
  return 0;
}
