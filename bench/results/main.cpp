// glyphstorm-results: the method for scripts/bench. --plan gives the plan of a run as JSON,
// --rejudge judges a report folder's raw.json and writes its report files, --compare sets two
// runs side by side.
#include <cstdio>

#include "compare.h"
#include "judge.h"
#include "report_files.h"
#include "results_options.h"
#include "run_folder.h"

namespace {

const int kExitFailed = 1;
const int kExitBadInput = 2;

int Fail(const std::string& message) {
  std::fprintf(stderr, "glyphstorm-results: %s\n", message.c_str());
  return kExitBadInput;
}

int Plan(const ResultsOptions& options) {
  std::string text, error;
  Json document;
  PathTable table;
  if (!ReadTextFile(options.table, text)) return Fail(options.table + ": cannot be read");
  if (!ParseJsonText(text, document, error) || !LoadPathTable(document, table, error))
    return Fail(options.table + ": " + error);
  RunPlan plan;
  if (!MakePlan(table, options.request, plan, error)) return Fail(error);
  std::fputs(JsonText(PlanDocument(plan, document)).c_str(), stdout);
  return 0;
}

bool AnyPathFailed(const Json& results) {
  for (const Json& p : MemberAt(results, "paths")) {
    if (!MemberAt(p, "failed").is_null()) return true;
  }
  return TextAt(results, "kind") == "failed";
}

int Rejudge(const std::string& folder) {
  Json results;
  std::string error;
  if (!RejudgeFolder(folder, results, error)) return Fail(error);
  if (!WriteReportFolder(folder, results, error)) return Fail(error);
  std::fputs(SummaryText(results).c_str(), stdout);
  bool held = TextAt(results, "kind") != "self-check" || SelfCheckHolds(results);
  return AnyPathFailed(results) || !held ? kExitFailed : 0;
}

int Compare(const std::string& oldWhere, const std::string& newWhere) {
  Json oldRun, newRun;
  std::string error;
  if (!ReadRunFolder(oldWhere, oldRun, error) || !ReadRunFolder(newWhere, newRun, error))
    return Fail(error);
  std::fputs(CompareText(oldRun, newRun, CompareRuns(oldRun, newRun)).c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  ResultsOptions options;
  std::string error;
  if (!ParseResultsOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fputs(kResultsUsage, stderr);
    return Fail(error);
  }
  switch (options.command) {
    case ResultsCommand::kPlan: return Plan(options);
    case ResultsCommand::kRejudge: return Rejudge(options.folders[0]);
    case ResultsCommand::kCompare: return Compare(options.folders[0], options.folders[1]);
    default: std::fputs(kResultsUsage, stdout); return 0;
  }
}
