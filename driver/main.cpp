// glyphstorm program entry.
#include <windows.h>

#include "driver/benchmark.h"
#include "driver/bootstrap.h"
#include "engine/core/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Bootstrap();
  Benchmark benchmark = PrepareBenchmark();
  RunBenchmark(benchmark);
  return DeInitEngine() ? 1 : 0;
}
