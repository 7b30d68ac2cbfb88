#include "slice_rate.h"

#include <cmath>

SliceNumbers CountSlice(const RawSlice& slice, double minimumCpuMs) {
  SliceNumbers n;
  bool started = false;
  double first = 0, last = 0, reported = 0;
  for (const RawReport& r : slice.reports) {
    if (r.seconds < slice.begin || r.seconds > slice.end) continue;
    reported += r.frames;
    if (r.seconds < slice.countFrom) continue;
    if (!started) {
      started = true;
      first = last = r.seconds;
      continue;
    }
    n.frames += r.frames;
    last = r.seconds;
  }
  n.seconds = last - first;
  n.fps = n.seconds > 0 ? n.frames / n.seconds : std::nan("");
  bool cpuCounts = slice.cpuMs && *slice.cpuMs >= minimumCpuMs && *slice.cpuMs > 0 && reported > 0;
  n.cpuMsPerFrame = cpuCounts ? *slice.cpuMs / reported : std::nan("");
  return n;
}
