// The plan of a run, for both harnesses: its kind, its rows in groups, the rounds of each group,
// how many processes each path runs as and which process measures which round, and how long a
// slice and its warm-up last. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "json_doc.h"
#include "path_table.h"

// What the two harnesses can do differently: how they stop and resume a program.
enum class Harness { kLinux, kWindows };

enum class RunKind { kRounds, kSweep, kSelfCheck };
const char* RunKindName(RunKind kind);  // "rounds", "sweep", "self-check"

// What the user asked for; 0 or empty: the default.
struct PlanRequest {
  Harness harness = Harness::kLinux;
  RunKind kind = RunKind::kRounds;
  bool quick = false;
  int32_t seconds = 0;  // counted seconds per path, as rounds of one slice
  int32_t rounds = 0;
  int32_t processes = 0;
  std::vector<std::string> paths;     // keys of the table; empty: every row
  std::vector<int32_t> sweepPhrases;  // empty: the table's
};

struct PlanGroup {
  std::string name;
  std::vector<PathRow> rows;            // table order (sweep and self-check rows made here)
  int32_t rounds = 0;                   // after the table's cap
  int32_t processes = 1;                // each path runs as this many processes
  std::vector<int32_t> processOfRound;  // the process (from 0) that measures each round
};

struct RunPlan {
  RunKind kind = RunKind::kRounds;
  int32_t rounds = 0;  // before the groups' caps
  int32_t processes = 1;
  double sliceSeconds = 0;   // counted running time of a path per round
  double warmupSeconds = 0;  // left out at the start of each slice
  double settleSeconds = 0;  // running time after the first frame before the rounds start
  std::vector<int32_t> sweepPhrases;
  std::vector<PlanGroup> groups;
};

// The plan of a request; false with the reason (an unknown key, a sweep without a swept row,
// phrase counts out of range, a table without the rows a kind needs).
bool MakePlan(const PathTable& table, const PlanRequest& request, RunPlan& plan,
              std::string& error);
// The plan as scripts/bench reads it (glyphstorm-results --plan): times, groups, rows in full.
Json PlanJson(const RunPlan& plan);
// The plan as a harness takes it: PlanJson with the table it came from and the load threshold.
Json PlanDocument(const RunPlan& plan, const Json& table);
// The rows of a plan, each once: what a run of it may report on.
std::vector<const PathRow*> PlanRows(const RunPlan& plan);
