// glyphstorm-bench.exe: measures every path of paths.json (each program reports its own frames),
// prints the table and writes results.json and report.html into report\<date-time>\ beside itself.
#include <windows.h>

#include <cstdio>
#include <ctime>

#include "debug_output.h"
#include "desktop_facts.h"
#include "measure.h"
#include "run_record.h"
#include "runner_options.h"
#include "work_folder.h"

namespace {

const int32_t kReportPeriodMs = 100;
const int kExitBadUse = 2;
const int kExitFailed = 1;
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

std::string DateStamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

// The rows to measure, in table order; false (keys listed) when --paths names an unknown one.
bool SelectRows(const PathTable& table, const std::vector<std::string>& keys,
                std::vector<const PathRow*>& rows) {
  for (const std::string& key : keys) {
    if (FindPath(table, key)) continue;
    std::fprintf(stderr, "glyphstorm-bench: no path '%s'; the paths are:\n", key.c_str());
    for (const PathRow& r : table.rows)
      std::fprintf(stderr, "  %-30s %s\n", r.key.c_str(), r.name.c_str());
    return false;
  }
  for (const PathRow& row : table.rows) {
    bool chosen = keys.empty();
    for (const std::string& key : keys) chosen = chosen || key == row.key;
    if (chosen) rows.push_back(&row);
  }
  return true;
}

RunRecord NewRecord(const RunTimes& times, const std::vector<const PathRow*>& rows) {
  RunRecord record;
  record.date = DateStamp();
  record.command = GetCommandLineA();
  record.version = GLYPHSTORM_VERSION;
  record.arch = sizeof(void*) == 4 ? "i686" : "x86_64";
  record.rounds = times.rounds;
  record.processes = times.processes;
  record.sliceSeconds = times.sliceSeconds;
  record.warmupSeconds = times.warmupSeconds;
  record.desktop = CollectDesktopFacts();
  for (const PathRow* row : rows) record.paths.push_back(PathRun{row->key, {}, {}, {}, {}});
  return record;
}

void MeasureAll(MeasureContext& context, const std::vector<const PathRow*>& rows,
                RunRecord& record) {
  for (const std::vector<const PathRow*>& group : PathGroups(*context.table)) {
    std::vector<const PathRow*> chosen;
    std::vector<PathRun*> runs;
    for (const PathRow* row : group) {
      for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] != row) continue;
        chosen.push_back(row);
        runs.push_back(&record.paths[i]);
      }
    }
    if (!chosen.empty() && !stopRequested) MeasureGroup(context, chosen, runs);
  }
}

// results.json and report.html into <out>\<date>; false when they cannot be written.
bool WriteReport(const PathTable& table, const RunRecord& record, const std::string& out) {
  std::string folder = out + "\\" + record.date;
  std::string results = ResultsJson(table, record);
  bool written = MakeFolders(folder) && WriteWholeFile(folder + "\\results.json", results) &&
                 WriteWholeFile(folder + "\\report.html", ReportHtml(results));
  std::printf("%s%s\n", written ? "report: " : "glyphstorm-bench: cannot write ", folder.c_str());
  return written;
}

int Run(const RunnerOptions& options, const PathTable& table) {
  std::vector<const PathRow*> rows;
  if (!SelectRows(table, options.paths, rows)) return kExitBadUse;
  std::string error;
  DebugOutput* output = StartDebugOutput(error);
  if (!output) {
    std::fprintf(stderr, "glyphstorm-bench: %s\n", error.c_str());
    return kExitFailed;
  }
  RunTimes times = TimesFor(options, table.plan);
  RunRecord record = NewRecord(times, rows);
  MeasureContext context{&table, runnerJob, output,          ProgramFolder(),
                         {},     times,     kReportPeriodMs, &stopRequested};
  MeasureAll(context, rows, record);
  ChangeDisplaySettingsA(nullptr, 0);
  RemoveWorkFolder(context.glyphstormFolder);
  StopDebugOutput(output);
  record.partial = stopRequested != 0;
  std::printf("\n%s", SummaryText(table, record).c_str());
  bool written =
      WriteReport(table, record, options.out.empty() ? ProgramFolder() + "\\report" : options.out);
  bool failed = false;
  for (const PathRun& run : record.paths) failed = failed || !run.failure.empty();
  if (record.partial) return kExitStopped;
  return failed || !written ? kExitFailed : 0;
}

}  // namespace

int main(int argc, char** argv) {
  RunnerOptions options;
  std::string error;
  OptionsResult parsed = ParseRunnerOptions(argc, argv, options, error);
  if (parsed != OptionsResult::Run) {
    if (parsed == OptionsResult::Bad) std::fprintf(stderr, "glyphstorm-bench: %s\n", error.c_str());
    std::fputs(RunnerUsage().c_str(), parsed == OptionsResult::Bad ? stderr : stdout);
    return parsed == OptionsResult::Bad ? kExitBadUse : 0;
  }
  std::string text;
  PathTable table;
  std::string tablePath = ProgramFolder() + "\\paths.json";
  if (!ReadWholeFile(tablePath, text) || !LoadPathTable(text, table, error)) {
    std::fprintf(stderr, "glyphstorm-bench: %s: %s\n", tablePath.c_str(),
                 error.empty() ? "cannot be read" : error.c_str());
    return kExitFailed;
  }
  runnerJob = CreateKillOnCloseJob();
  writtenEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  // The table is UTF-8 ("±", "×", "≥"); the console's own code page is given back at the end.
  UINT codePage = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  int code = Run(options, table);
  if (codePage) SetConsoleOutputCP(codePage);
  SetEvent(writtenEvent);
  return code;
}
