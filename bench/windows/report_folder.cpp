// The report folder through the method: JudgeRun, ReportFiles, the shared run-folder reading.
#include "report_folder.h"

#include <cstdio>

#include "compare.h"
#include "judge.h"
#include "report_files.h"
#include "run_folder.h"
#include "run_stamp.h"
#include "work_folder.h"

namespace {

void PrintSummary(const Json& results) {
  std::printf("\n%s", SummaryText(results).c_str());
  std::fflush(stdout);
}

bool AnyFailedRow(const Json& results) {
  for (const Json& path : MemberAt(results, "paths")) {
    if (!MemberAt(path, "failed").is_null()) return true;
  }
  return false;
}

}  // namespace

bool WriteJudgedRun(const RawRun& raw, const std::string& folder) {
  Json results;
  std::string judgeError, error;
  bool judged = JudgeRun(raw, results, judgeError);
  if (judged) PrintSummary(results);
  std::string rawPath = folder + "\\raw.json";
  if (!MakeFolders(folder)) error = folder + ": cannot be made";
  else if (!WriteTextFile(rawPath, JsonText(RawRunJson(raw))))
    error = rawPath + ": cannot be written";
  else if (judged) WriteReportFolder(folder, results, error);
  if (!error.empty()) std::fprintf(stderr, "glyphstorm-bench: %s\n", Utf8FromAnsi(error).c_str());
  if (!judged)
    std::fprintf(stderr, "glyphstorm-bench: the run cannot be judged: %s\n", judgeError.c_str());
  if (error.empty()) std::printf("report: %s\n", Utf8FromAnsi(folder).c_str());
  return judged && error.empty();
}

int RejudgeFolderCommand(const std::string& folder) {
  Json results;
  std::string error;
  if (!RejudgeFolder(folder, results, error)) {
    std::fprintf(stderr, "glyphstorm-bench: %s\n", error.c_str());
    return kExitBadUse;
  }
  if (!WriteReportFolder(folder, results, error)) {
    std::fprintf(stderr, "glyphstorm-bench: %s\n", error.c_str());
    return kExitFailed;
  }
  PrintSummary(results);
  std::printf("report: %s\n", Utf8FromAnsi(folder).c_str());
  return AnyFailedRow(results) ? kExitFailed : 0;
}

int CompareCommand(const std::string& oldWhere, const std::string& newWhere) {
  Json oldRun, newRun;
  std::string error;
  if (!ReadRunFolder(oldWhere, oldRun, error) || !ReadRunFolder(newWhere, newRun, error)) {
    std::fprintf(stderr, "glyphstorm-bench: %s\n", error.c_str());
    return kExitBadUse;
  }
  std::fputs(CompareText(oldRun, newRun, CompareRuns(oldRun, newRun)).c_str(), stdout);
  return 0;
}
