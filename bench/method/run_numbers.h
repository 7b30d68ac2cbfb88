// What results.json is made of, inside the core: each path's numbers and the lines that compare
// paths (targets, information, run quality), as scripts/benchlib/results.py computes them.
#pragma once

#include "stats.h"
#include "json.h"
#include "run_record.h"

// A median FPS this close to the display's refresh rate is the display's pace, not the text's:
// vsync holds a faster path at the rate, a little under it when an occasional frame misses
// its interval, and Windows reports fractional rates rounded (59 for 59.94 Hz).
const double kCappedBelow = 0.97;
const double kCappedAbove = 1.02;
extern const char kCappedNote[];

struct PathNumbers {
  const PathRow* row = nullptr;
  const PathRun* run = nullptr;
  std::vector<double> fps, cpu;  // per slice; NaN where not measured
  std::vector<int32_t> processes;
  std::optional<StatInterval> fpsInterval, frameMs, cpuMs;
  bool capped = false;
};

bool CappedByDisplay(const std::optional<StatInterval>& fps, double refreshHz);

// One entry per run path that names a row of the table, in the run's order; failed paths
// have no intervals.
std::vector<PathNumbers> MeasurePaths(const PathTable& table, const RunRecord& run);

JsonValue IntervalJson(const std::optional<StatInterval>& interval);
JsonValue NumberOrNull(std::optional<double> value);

// The targets (with verdicts) and information lines the table drives, over measured paths.
void TargetsAndInformation(const PathTable& table, const std::vector<PathNumbers>& paths,
                           JsonValue& targets, JsonValue& information);
// Each paired ratio's interval width against the bar, and whether CPU time per frame is
// steadier than FPS (null when it cannot be said).
void RunQuality(const std::vector<PathNumbers>& paths, const JsonValue& targets,
                const JsonValue& information, JsonValue& quality, JsonValue& steadiness);

const double kWidthBar = 0.03;  // a ratio's interval should be at most ±3 % wide
