// The plan of a run. A group whose rounds pair two of its paths (a target, an information ratio,
// a share) restarts its programs between equal shares of its rounds: a ratio's interval is over
// processes, so their number narrows it. A group without a pair runs as one process, and its
// intervals say so; restarting it would cost its start-ups and buy no verdict.
#include "plan.h"

#include "judge.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

const int32_t kMaxRounds = 1000;
const int32_t kSweepRounds = 10;

// How long a slice, its warm-up and a program's settling take. The runner resumes a suspended
// program and brings its window to the front, which takes longer to settle than a SIGCONT.
struct Times {
  double slice, warmup, settle;
};
const Times kPlainTimes[] = {{1.0, 0.1, 1.0}, {1.0, 0.2, 1.0}};  // by Harness
const Times kQuickTimes[] = {{0.5, 0.1, 0.5}, {0.5, 0.2, 0.3}};
const int32_t kQuickRounds = 3;

bool ChosenRows(const PathTable& table, const std::vector<std::string>& keys,
                std::vector<const PathRow*>& rows, std::string& error) {
  std::string unknown;
  for (const std::string& key : keys) {
    if (!FindPath(table, key)) unknown += (unknown.empty() ? "" : ", ") + key;
  }
  if (!unknown.empty()) {
    error = "no such path: " + unknown + " (the paths:";
    for (const PathRow& row : table.rows) error += " " + row.key;
    error += ")";
    return false;
  }
  for (const PathRow& row : table.rows) {
    if (keys.empty() || std::find(keys.begin(), keys.end(), row.key) != keys.end())
      rows.push_back(&row);
  }
  return true;
}

bool SweepCounts(const PathTable& table, const PlanRequest& request, RunPlan& plan,
                 std::string& error) {
  plan.sweepPhrases = request.sweepPhrases.empty() ? table.sweepPhrases : request.sweepPhrases;
  std::set<int32_t> distinct(plan.sweepPhrases.begin(), plan.sweepPhrases.end());
  bool inRange =
      !distinct.empty() && *distinct.begin() >= 1 && *distinct.rbegin() <= table.maxPhrases;
  if (distinct.size() >= 2 && inRange) return true;
  error =
      "--phrases needs at least two different counts from 1 to " + std::to_string(table.maxPhrases);
  return false;
}

void Timing(const PathTable& table, const PlanRequest& request, RunPlan& plan) {
  size_t harness = request.harness == Harness::kWindows ? 1 : 0;
  Times times = request.quick ? kQuickTimes[harness] : kPlainTimes[harness];
  plan.sliceSeconds = times.slice;
  plan.warmupSeconds = times.warmup;
  plan.settleSeconds = times.settle;
  bool single = request.quick || request.kind == RunKind::kSweep;
  plan.rounds = request.quick                     ? kQuickRounds
                : request.kind == RunKind::kSweep ? kSweepRounds
                                                  : table.plan.rounds;
  plan.processes = single ? 1 : table.plan.processes;
  if (request.seconds > 0)
    plan.rounds = std::max(2, static_cast<int32_t>(std::ceil(request.seconds / times.slice)));
  if (request.rounds > 0) plan.rounds = request.rounds;
  if (request.processes > 0) plan.processes = request.processes;
}

bool Has(const std::vector<PathRow>& rows, const std::string& key) {
  return std::any_of(rows.begin(), rows.end(), [&](const PathRow& r) { return r.key == key; });
}

bool Pairs(const PathTable& table, const std::vector<PathRow>& rows) {
  for (const PathRow& row : rows) {
    if (!row.reference.empty() && Has(rows, row.reference)) return true;
  }
  for (const InfoRatio& l : table.infoRatios) {
    if (Has(rows, l.numerator) && Has(rows, l.denominator)) return true;
  }
  for (const ShareLine& l : table.shares) {
    if (Has(rows, l.part) && Has(rows, l.whole)) return true;
  }
  return false;
}

PlanGroup Group(const PathTable& table, const RunPlan& plan, std::vector<PathRow> rows) {
  PlanGroup group;
  group.name = rows[0].group;
  group.rows = std::move(rows);
  group.rounds = RoundsFor(table, group.name, plan.rounds);
  // Each process measures at least one round; earlier processes take the odd rounds.
  int32_t processes = Pairs(table, group.rows) ? plan.processes : 1;
  group.processes = std::max(1, std::min(processes, group.rounds));
  for (int32_t r = 0; r < group.rounds; ++r)
    group.processOfRound.push_back(
        static_cast<int32_t>(static_cast<int64_t>(r) * group.processes / group.rounds));
  return group;
}

bool KindRows(const PathTable& table, const PlanRequest& request, const RunPlan& plan,
              const std::vector<const PathRow*>& chosen, std::vector<PathRow>& rows,
              std::string& error) {
  if (request.kind == RunKind::kSweep) {
    rows = SweepRows(chosen, plan.sweepPhrases);
    if (rows.empty()) error = "--sweep needs a swept path among --paths";
  } else if (request.kind == RunKind::kSelfCheck) {
    rows = SelfCheckRows(table, chosen);
    if (rows.empty())
      error = "--self-check needs a path with a target and its reference among --paths";
  } else {
    for (const PathRow* row : chosen) rows.push_back(*row);
    if (rows.empty()) error = "no path to measure";
  }
  return error.empty();
}

}  // namespace

const char* RunKindName(RunKind kind) {
  switch (kind) {
    case RunKind::kSweep: return "sweep";
    case RunKind::kSelfCheck: return "self-check";
    default: return "rounds";
  }
}

bool MakePlan(const PathTable& table, const PlanRequest& request, RunPlan& plan,
              std::string& error) {
  plan = RunPlan();
  plan.kind = request.kind;
  error.clear();
  if (request.rounds < 0 || request.rounds > kMaxRounds || request.processes < 0 ||
      request.processes > kMaxRounds || request.seconds < 0 || request.seconds > kMaxRounds) {
    error = "rounds, processes and seconds must be whole numbers from 1 to " +
            std::to_string(kMaxRounds);
    return false;
  }
  std::vector<const PathRow*> chosen;
  std::vector<PathRow> rows;
  if (!ChosenRows(table, request.paths, chosen, error)) return false;
  if (request.kind == RunKind::kSweep && !SweepCounts(table, request, plan, error)) return false;
  Timing(table, request, plan);
  if (!KindRows(table, request, plan, chosen, rows, error)) return false;
  std::vector<const PathRow*> pointers;
  for (const PathRow& row : rows) pointers.push_back(&row);
  for (const auto& members : PathGroups(pointers)) {
    std::vector<PathRow> groupRows;
    for (const PathRow* row : members) groupRows.push_back(*row);
    plan.groups.push_back(Group(table, plan, groupRows));
  }
  return true;
}

Json PlanJson(const RunPlan& plan) {
  Json groups = Json::array();
  for (const PlanGroup& g : plan.groups) {
    Json rows = Json::array();
    for (const PathRow& row : g.rows) rows.push_back(PathRowJson(row));
    groups.push_back({{"name", g.name},
                      {"rounds", g.rounds},
                      {"processes", g.processes},
                      {"process_of_round", g.processOfRound},
                      {"rows", rows}});
  }
  return Json{{"kind", RunKindName(plan.kind)},     {"rounds", plan.rounds},
              {"processes", plan.processes},        {"slice_s", plan.sliceSeconds},
              {"warmup_s", plan.warmupSeconds},     {"settle_s", plan.settleSeconds},
              {"sweep_phrases", plan.sweepPhrases}, {"groups", groups}};
}

Json PlanDocument(const RunPlan& plan, const Json& table) {
  Json document = PlanJson(plan);
  document["loaded_cores"] = kLoadedCores;
  document["table"] = table;
  return document;
}

std::vector<const PathRow*> PlanRows(const RunPlan& plan) {
  std::vector<const PathRow*> rows;
  for (const PlanGroup& g : plan.groups) {
    for (const PathRow& row : g.rows) rows.push_back(&row);
  }
  return rows;
}
