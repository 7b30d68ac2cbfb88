// What the runner records of a run besides its slices: the desktop's facts and raw.json's run
// fields, taken from the method's plan. Portable.
#pragma once

#include <cstdint>
#include <string>

#include "plan.h"
#include "raw_run.h"

extern const char kRunnerHarness[];  // raw.json's run.harness: "windows-runner"
// A process's CPU time advances in clock ticks; this one when the system does not say.
const double kDefaultCpuTickMs = 15.625;

struct DesktopFacts {
  double refreshHz = 0;  // 0: unknown
  std::string glVendor, glRenderer, glVersion;
  std::string adapter;  // the display adapter's name
  std::string windowsVersion;
  std::string cpu;
  int32_t cores = 0;
};

// Where and how the runner was started; all text UTF-8.
struct RunStamp {
  std::string date;  // "YYYYMMDD-HHMMSS", also the report folder's name
  std::string command, version, arch;
  double cpuTickMs = kDefaultCpuTickMs;
};

// raw.json's "facts": desktop, gl and machine.
Json FactsJson(const DesktopFacts& facts);
// The run before its first slice: every path of the plan (each once, in plan order) with its
// key, the plan's times, `table` as it was read.
RawRun NewRawRun(const Json& table, const RunPlan& plan, const DesktopFacts& facts,
                 const RunStamp& stamp);
bool AnyPathFailed(const RawRun& run);
