// glyphstorm-bench.exe: measures every path of the method's plan (each program reports its own
// frames) into raw.json, and has the method judge it into the report folder; --rejudge and
// --compare hand report folders to the method.
#include <windows.h>

#include <cmath>
#include <algorithm>
#include <cstdio>

#include "debug_output.h"
#include "desktop_facts.h"
#include "measure.h"
#include "raw_record.h"
#include "report_folder.h"
#include "run_folder.h"
#include "run_stamp.h"
#include "runner_options.h"
#include "work_folder.h"

namespace {

const int32_t kReportPeriodMs = 100;
const int kExitStopped = 3;
const DWORD kCloseGraceMs = 4000;  // the system ends the process soon after a close event

// What the console's control handler must reach from its own thread.
volatile LONG stopRequested = 0;
HANDLE runnerJob = nullptr;
HANDLE writtenEvent = nullptr;

// Ctrl+C only raises the flag: the main thread sees it within milliseconds and ends the programs,
// gives the display mode back and writes the report (doing that here as well raced it, and once
// left the runner hanging after its programs had gone).
BOOL WINAPI OnConsoleControl(DWORD event) {
  InterlockedExchange(&stopRequested, 1);
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  // Closing the console ends the runner soon after this returns: no time to end each program
  // gently; the job ends them at once, the main thread writes what it has.
  if (runnerJob) TerminateJobObject(runnerJob, 1);
  if (writtenEvent) WaitForSingleObject(writtenEvent, kCloseGraceMs);
  return TRUE;
}

// paths.json beside the runner, as a table and as the document raw.json keeps.
bool LoadTable(Json& document, PathTable& table) {
  std::string path = ProgramFolder() + "\\paths.json", text, error;
  if (!ReadTextFile(path, text)) error = "cannot be read";
  else if (LoadPathTableText(text, table, error)) return ParseJsonText(text, document, error);
  std::fprintf(stderr, "glyphstorm-bench: %s: %s\n", Utf8FromAnsi(path).c_str(), error.c_str());
  return false;
}

// The plan of the options; false (the reason printed, or the keys listed) when there is none.
bool PlanFor(const RunnerOptions& options, const PathTable& table, RunPlan& plan) {
  std::string unknown = UnknownPathKey(table, options.paths), error;
  if (!unknown.empty()) {
    std::fprintf(stderr, "glyphstorm-bench: no path '%s'; the paths are:\n", unknown.c_str());
    for (const PathRow& r : table.rows)
      std::fprintf(stderr, "  %-30s %s\n", r.key.c_str(), r.name.c_str());
    return false;
  }
  if (MakePlan(table, RequestFor(options), plan, error)) return true;
  std::fprintf(stderr, "glyphstorm-bench: %s\n", error.c_str());
  return false;
}

RawPath* PathOf(RawRun& raw, const std::string& key) {
  for (RawPath& path : raw.paths) {
    if (path.key == key) return &path;
  }
  return nullptr;
}

void MeasureAll(MeasureContext& context, RawRun& raw) {
  for (const PlanGroup& group : context.plan->groups) {
    if (stopRequested) return;
    std::vector<RawPath*> paths;
    for (const PathRow& row : group.rows) paths.push_back(PathOf(raw, row.key));
    MeasureGroup(context, group, paths);
  }
}

// Paths the desktop lacks are rows of their own, not measured paths.
void SetUnavailable(RawRun& raw, const std::vector<PathNote>& notes) {
  for (const PathNote& note : notes) {
    raw.unavailable.push_back(note);
    auto same = [&](const RawPath& path) { return path.key == note.key; };
    raw.paths.erase(std::remove_if(raw.paths.begin(), raw.paths.end(), same), raw.paths.end());
  }
}

double Seconds(double from) { return std::round((RunnerSeconds() - from) * 1000) / 1000; }

int Measure(const RunnerOptions& options) {
  double started = RunnerSeconds();
  runnerJob = CreateKillOnCloseJob();
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  Json document;
  PathTable table;
  RunPlan plan;
  if (!LoadTable(document, table) || !PlanFor(options, table, plan)) return kExitBadUse;
  std::string error;
  DebugOutput* output = StartDebugOutput(error);
  if (!output) {
    std::fprintf(stderr, "glyphstorm-bench: %s\n", error.c_str());
    return kExitFailed;
  }
  RawRun raw = NewRawRun(document, plan, CollectDesktopFacts(), CurrentRunStamp());
  MeasureContext context{&plan, runnerJob,       output,        ProgramFolder(),
                         {},    kReportPeriodMs, &stopRequested};
  double measuring = RunnerSeconds();
  MeasureAll(context, raw);
  SetUnavailable(raw, context.unavailable);
  raw.durations["measuring_s"] = Seconds(measuring);
  ChangeDisplaySettingsA(nullptr, 0);
  RemoveWorkFolder(context.glyphstormFolder);
  StopDebugOutput(output);
  raw.partial = stopRequested != 0;
  raw.durations["total_s"] = Seconds(started);
  std::string out = options.out.empty() ? ProgramFolder() + "\\report" : options.out;
  bool written = WriteJudgedRun(raw, out + "\\" + raw.date);
  if (raw.partial) return kExitStopped;
  return AnyPathFailed(raw) || !written ? kExitFailed : 0;
}

int Act(const RunnerOptions& options) {
  switch (options.action) {
    case RunnerAction::kRejudge: return RejudgeFolderCommand(options.rejudge);
    case RunnerAction::kCompare: return CompareCommand(options.compareOld, options.compareNew);
    case RunnerAction::kHelp: std::fputs(RunnerUsage().c_str(), stdout); return 0;
    case RunnerAction::kMeasure: break;
  }
  return Measure(options);
}

}  // namespace

int main(int argc, char** argv) {
  RunnerOptions options;
  std::string error;
  if (ParseRunnerOptions(argc, argv, options, error) == OptionsResult::kBad) {
    std::fprintf(stderr, "glyphstorm-bench: %s\n", error.c_str());
    std::fputs(RunnerUsage().c_str(), stderr);
    return kExitBadUse;
  }
  writtenEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  // The reports are UTF-8 ("±", "×", "≥"); the console's own code page is given back at the end.
  UINT codePage = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  int code = Act(options);
  std::fflush(stdout);
  if (codePage) SetConsoleOutputCP(codePage);
  SetEvent(writtenEvent);
  return code;
}
