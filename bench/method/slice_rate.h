// A slice's rate and CPU time per frame from the program's own reports. Portable.
#pragma once

#include <optional>

#include "raw_run.h"

struct SliceNumbers {
  double fps = 0;            // NaN: a lost round (fewer than two reports in the window)
  double frames = 0;         // counted: the reports after the window's first one
  double seconds = 0;        // between the window's first and last report
  double cpuMsPerFrame = 0;  // NaN: not measured
};

// The window is [countFrom, end]: the first report in it marks the start (its frames were
// presented before it), the later ones count. CPU time per frame is the slice's CPU time over
// every frame reported while it ran; below `minimumCpuMs` it is too coarse to count.
SliceNumbers CountSlice(const RawSlice& slice, double minimumCpuMs);
