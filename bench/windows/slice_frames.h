// A slice's frame rate from the program's own "frames=N" reports, stamped on receipt. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct StampedReport {
  double seconds;  // receipt time on the runner's clock
  int32_t frames;  // frames presented since the program's previous report
};

struct SliceCount {
  double frames = 0;     // frames between the first and the last counted report
  double seconds = 0;    // time between them
  double allFrames = 0;  // every frame reported in the slice but its first report (CPU share)
  int32_t reports = 0;   // counted reports
};

// Reports of the slice from `begin` (the end of its warm-up) on. The first report there marks
// the start (its frames were presented before it); FPS = frames of the later ones / the time
// between the first and the last.
SliceCount CountSlice(const std::vector<StampedReport>& reports, double begin);
double SliceFps(const SliceCount& count);

// The N of a "frames=N" line (a trailing newline allowed); false for any other text.
bool ParseFramesLine(const std::string& text, int32_t& frames);
