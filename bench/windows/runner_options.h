// The runner's command line, the plan request it makes, and the order of a round. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plan.h"

enum class RunnerAction { kMeasure, kRejudge, kCompare, kHelp };

struct RunnerOptions {
  RunnerAction action = RunnerAction::kMeasure;
  bool quick = false;
  int32_t rounds = 0;              // 0: the plan's
  int32_t processes = 0;           // 0: the plan's
  std::vector<std::string> paths;  // empty: every path of the table
  std::string out;                 // empty: report\ beside the runner
  std::string rejudge;             // --rejudge DIR
  std::string compareOld, compareNew;
};

enum class OptionsResult { kRun, kBad };

// --quick, --rounds N, --processes N (1 to 1000), --paths key,key, --out DIR, --rejudge DIR,
// --compare A B, --help. Measuring options do not mix with --rejudge or --compare, nor those two
// with each other. Bad: `error` says why.
OptionsResult ParseRunnerOptions(int argc, const char* const* argv, RunnerOptions& options,
                                 std::string& error);
std::string RunnerUsage();
// What the measuring options ask the method's plan for.
PlanRequest RequestFor(const RunnerOptions& options);
// The first of `keys` that is no row of the table; empty when every one is.
std::string UnknownPathKey(const PathTable& table, const std::vector<std::string>& keys);
// The order of the paths in a round: forward in even rounds, backward in odd ones, so that each
// product's slice sits next to its reference's.
std::vector<int32_t> RoundOrder(int32_t paths, int32_t round);
