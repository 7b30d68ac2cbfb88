// The rounds of one group of paths: starting the programs, the slices, the failures.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "child_process.h"
#include "debug_output.h"
#include "run_record.h"
#include "runner_options.h"

// What every group's measurement shares: the job, the debug output, the folders, the stop flag.
struct MeasureContext {
  const PathTable* table;
  HANDLE job;
  DebugOutput* output;
  std::string binFolder;         // the runner's folder: every program but glyphstorm runs here
  std::string glyphstormFolder;  // empty until a glyphstorm path needs it
  RunTimes times;
  int32_t reportPeriodMs;
  volatile LONG* stop;  // set by Ctrl+C or the console's close
};

// Measures the rows of one group (table order) into `runs` (one per row, same order); the
// failed ones get their reason. Progress lines on stdout.
void MeasureGroup(MeasureContext& context, const std::vector<const PathRow*>& rows,
                  std::vector<PathRun*>& runs);
