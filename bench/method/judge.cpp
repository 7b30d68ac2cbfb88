// The method's entry: a raw run into results.json's document.
#include "judge.h"

#include "judge_parts.h"
#include "plan.h"

namespace {

RunKind KindOf(const std::string& kind) {
  if (kind == "sweep") return RunKind::kSweep;
  if (kind == "self-check") return RunKind::kSelfCheck;
  return RunKind::kRounds;
}

Json RoundLoads(const RawRun& run) {
  Json loads = Json::array();
  for (const RoundLoad& l : run.roundLoads)
    loads.push_back({{"group", l.group},
                     {"round", l.round},
                     {"load1_before", Figure(l.load1Before)},
                     {"load1_after", Figure(l.load1After)},
                     {"others_cores", Figure(l.othersCores)},
                     {"loaded", l.othersCores >= kLoadedCores}});
  return loads;
}

// The run as measured and judged: the harness's own facts beside the plan and the method.
Json RunObject(const RawRun& run) {
  Json object = {{"harness", run.harness},
                 {"date", run.date},
                 {"command", run.command},
                 {"version", run.version},
                 {"arch", run.arch}};
  for (const auto& fact : run.facts.items()) {
    if (!object.contains(fact.key())) object[fact.key()] = fact.value();
  }
  Json rest = {{"durations", run.durations},
               {"rounds", run.rounds},
               {"slice_s", Figure(run.sliceSeconds)},
               {"warmup_s", Figure(run.warmupSeconds)},
               {"settle_s", Figure(run.settleSeconds)},
               {"processes", run.processes},
               {"interval_method", std::string(kIntervalMethod)},
               {"loaded_cores", kLoadedCores},
               {"round_loads", RoundLoads(run)},
               {"soak_minutes", Figure(run.soakMinutes)},
               {"cpu_tick_ms", Figure(run.cpuTickMs)},
               {"refresh_hz", Figure(run.refreshHz)},
               {"partial", run.partial}};
  for (const auto& field : rest.items()) object[field.key()] = field.value();
  return object;
}

Json FailedResults(const RawRun& run) {
  const PathNote& f = *run.failure;
  return Json{{"format", kResultsFormat},
              {"kind", "failed"},
              {"run", RunObject(run)},
              {"failure",
               {{"path", f.key}, {"name", f.name}, {"command", f.command}, {"reason", f.reason}}}};
}

bool CountPaths(const PathTable& table, const RunPlan& plan, const RawRun& raw,
                std::vector<PathNumbers>& paths, std::string& error) {
  std::vector<const PathRow*> rows = PlanRows(plan);
  for (size_t i = 0; i < raw.paths.size(); ++i) {
    const RawPath& path = raw.paths[i];
    const PathRow* row = nullptr;
    for (const PathRow* r : rows) row = r->key == path.key ? r : row;
    if (!row) {
      error = "paths[" + std::to_string(i) + "].key: " + path.key + " is no row of the run's table";
      return false;
    }
    paths.push_back(CountPath(table, *row, path, raw));
  }
  return true;
}

Json Notes(const std::vector<PathNote>& notes) {
  Json list = Json::array();
  for (const PathNote& n : notes)
    list.push_back(
        {{"key", n.key}, {"name", n.name}, {"command", n.command}, {"reason", n.reason}});
  return list;
}

Json SoakSamples(const PathTable& table, const RawRun& raw) {
  Json list = Json::array();
  for (const SoakRecord& s : raw.soak) {
    const PathRow* row = FindPath(table, s.key);
    Json samples = Json::array();
    for (const MemorySample& m : s.samples) samples.push_back({Figure(m.seconds), Figure(m.kib)});
    list.push_back({{"key", s.key}, {"name", row ? row->name : s.key}, {"samples", samples}});
  }
  return list;
}

}  // namespace

bool JudgeRun(const RawRun& raw, Json& results, std::string& error) {
  PathTable table;
  if (!LoadPathTable(raw.table, table, error)) {
    error = "table: " + error;
    return false;
  }
  if (raw.kind == "failed") {
    results = FailedResults(raw);
    return true;
  }
  PlanRequest request;
  request.kind = KindOf(raw.kind);
  request.sweepPhrases = raw.sweepPhrases;
  RunPlan plan;
  std::vector<PathNumbers> paths;
  if (!MakePlan(table, request, plan, error)) {
    error = "run: " + error;
    return false;
  }
  if (!CountPaths(table, plan, raw, paths, error)) return false;
  Json entries = Json::array(), targets, information;
  for (const PathNumbers& p : paths) entries.push_back(PathEntry(table, p));
  JudgeLines(table, paths, raw, targets, information);
  results = {{"format", kResultsFormat},
             {"kind", raw.kind},
             {"run", RunObject(raw)},
             {"paths", entries},
             {"unavailable", Notes(raw.unavailable)},
             {"targets", targets},
             {"information", information},
             {"quality", QualityChecks(targets, information)},
             {"steadiness", Steadiness(paths)},
             {"sweep", raw.kind == "sweep" ? SweepFits(paths, table.phraseGlyphs) : Json::array()},
             {"self_check", raw.kind == "self-check" ? SelfCheckLines(paths) : Json::array()},
             {"soak", SoakSamples(table, raw)}};
  return true;
}
