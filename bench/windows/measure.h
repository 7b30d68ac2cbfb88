// The rounds of one group of the plan: starting the programs, the slices, the failures.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "child_process.h"
#include "debug_output.h"
#include "plan.h"
#include "raw_run.h"

// What every group's measurement shares: the plan's times, the job, the debug output, the
// folders, the stop flag.
struct MeasureContext {
  const RunPlan* plan;
  HANDLE job;
  DebugOutput* output;
  std::string binFolder;         // the runner's folder: every program but glyphstorm runs here
  std::string glyphstormFolder;  // empty until a glyphstorm path needs it
  int32_t reportPeriodMs;
  volatile LONG* stop;                     // set by Ctrl+C or the console's close
  std::vector<PathNote> unavailable = {};  // paths whose programs said the desktop lacks them
};

// Measures the rows of one group into `paths` (one per row, same order): their commands, first
// frames, slices, and the reason of a failed one. Progress lines on stdout.
void MeasureGroup(MeasureContext& context, const PlanGroup& group, std::vector<RawPath*>& paths);
