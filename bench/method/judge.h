// The method: a raw run (raw.json) into results.json's document: per path its rates and
// intervals, the targets with verdicts, the information and self-check lines, the sweep fits,
// memory growth, load marks and the run's quality. Portable.
#pragma once

#include <string>

#include "json_doc.h"
#include "raw_run.h"

const int32_t kResultsFormat = 2;
// A round in which the rest of the machine kept this many cores busy is flagged "loaded".
const double kLoadedCores = 0.5;
// A ratio's 95 % interval should be at most this wide, each side, relative to its value.
const double kWidthBar = 0.03;
// A sweep's fit should explain at least this share of the variance.
const double kR2Bar = 0.98;
// A median FPS this close to the display's refresh rate is the display's pace, not the text's.
const double kCappedBelow = 0.97;
const double kCappedAbove = 1.02;
// CPU times under this many clock ticks are too coarse to count.
const double kCpuTicks = 10;

// results.json of the run; false when its embedded table is broken (error: the faults).
bool JudgeRun(const RawRun& raw, Json& results, std::string& error);
