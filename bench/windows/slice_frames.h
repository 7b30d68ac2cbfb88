// What the slice loop needs of a program's "frames=N" reports to know when a slice may end: the
// line's N and how much was counted after the warm-up. The rates come from the method. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raw_run.h"

struct FramesSince {
  double frames = 0;    // of the counted reports after the first one (that one marks the start)
  int32_t reports = 0;  // counted reports
};

// The reports at or after `countFrom`, as the method will count them.
FramesSince CountFramesSince(const std::vector<RawReport>& reports, double countFrom);

// The N of a "frames=N" line (a trailing newline allowed); false for any other text.
bool ParseFramesLine(const std::string& text, int32_t& frames);
