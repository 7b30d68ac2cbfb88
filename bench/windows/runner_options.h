// The runner's command line and the plan it makes of it. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "run_record.h"

struct RunnerOptions {
  bool quick = false;
  int32_t rounds = 0;              // 0: the default for the run's kind
  std::vector<std::string> paths;  // empty: every path a Windows desktop has
  std::string out;                 // empty: report\ beside the runner
  bool help = false;
};

// How long things take; what a plain run and a --quick run differ in.
struct RunTimes {
  int32_t rounds;
  double sliceSeconds;   // counted running time of a path per round
  double warmupSeconds;  // left out at the start of each slice
  double settleSeconds;  // running time after the first frame before the rounds start
  int32_t processes;     // processes per windowed path, one after another
};

enum class OptionsResult { Run, Help, Bad };

// --quick, --rounds N (1 to 1000), --paths key,key, --out DIR, --help. Bad: `error` says why.
OptionsResult ParseRunnerOptions(int argc, const char* const* argv, RunnerOptions& options,
                                 std::string& error);
// The plain run's rounds and processes are the table's plan.
RunTimes TimesFor(const RunnerOptions& options, const DefaultPlan& plan);
// The usage text.
std::string RunnerUsage();

// The order of the paths in a round: forward in even rounds, backward in odd ones, so that each
// product's slice sits next to its reference's.
std::vector<int32_t> RoundOrder(int32_t paths, int32_t round);
// Which of a path's processes runs the round: rounds split evenly, earlier processes first.
int32_t ProcessOfRound(int32_t round, int32_t rounds, int32_t processes);
