#include "raw_record.h"

const char kRunnerHarness[] = "windows-runner";

namespace {

Json DesktopJson(const DesktopFacts& d) {
  Json v = Json::object();
  v["refresh_hz"] = d.refreshHz > 0 ? Json(d.refreshHz) : Json(nullptr);
  v["adapter"] = d.adapter;
  v["windows"] = d.windowsVersion;
  v["cpu"] = d.cpu;
  v["cores"] = d.cores;
  return v;
}

}  // namespace

Json FactsJson(const DesktopFacts& facts) {
  Json v = Json::object();
  v["desktop"] = DesktopJson(facts);
  v["gl"] = {
      {"vendor", facts.glVendor}, {"renderer", facts.glRenderer}, {"version", facts.glVersion}};
  v["machine"] = {{"cores", facts.cores}};
  return v;
}

RawRun NewRawRun(const Json& table, const RunPlan& plan, const DesktopFacts& facts,
                 const RunStamp& stamp) {
  RawRun run;
  run.kind = RunKindName(plan.kind);
  run.table = table;
  run.harness = kRunnerHarness;
  run.date = stamp.date;
  run.command = stamp.command;
  run.version = stamp.version;
  run.arch = stamp.arch;
  run.rounds = plan.rounds;
  run.processes = plan.processes;
  run.sliceSeconds = plan.sliceSeconds;
  run.warmupSeconds = plan.warmupSeconds;
  run.settleSeconds = plan.settleSeconds;
  run.cpuTickMs = stamp.cpuTickMs;
  if (facts.refreshHz > 0) run.refreshHz = facts.refreshHz;
  run.facts = FactsJson(facts);
  for (const PathRow* row : PlanRows(plan)) {
    RawPath path;
    path.key = row->key;
    run.paths.push_back(path);
  }
  return run;
}

bool AnyPathFailed(const RawRun& run) {
  for (const RawPath& path : run.paths) {
    if (!path.failed.empty()) return true;
  }
  return false;
}
