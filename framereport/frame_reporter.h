// The frame report on the debugger output (OutputDebugStringA), for the products and the
// reference programs.
#pragma once

#include "frame_report.h"

struct FrameReporter {
  bool on;
  FrameReport report;
};

// On when GLYPHSTORM_FRAME_REPORT is set (its value the period); when it is unset, on with
// `unsetPeriod` unless that is 0 (the products: off, so a normal start is unchanged).
FrameReporter StartFrameReporter(uint32_t now, uint32_t unsetPeriod);
// Counts a frame and writes the line of each period it closes; nothing when off.
void CountReportedFrame(FrameReporter& reporter, uint32_t now, bool presented);
