// Fuzz target: the benchmark method's readers (raw.json, an embedded paths.json, a results.json
// for --compare) and everything made from what they accept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "compare.h"
#include "judge.h"
#include "report_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  Json document;
  std::string error;
  if (!ParseJsonText(text, document, error)) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  RawRun raw;
  if (!ReadRawRun(document, raw, error)) {
    if (error.empty()) std::abort();
    // The same bytes as a results.json given to --compare: whatever it holds, no crash.
    CompareText(document, document, CompareRuns(document, document));
    return 0;
  }
  // What was read is written back and reads again as itself.
  RawRun again;
  if (!ReadRawRun(RawRunJson(raw), again, error) || !(RawRunJson(again) == RawRunJson(raw)))
    std::abort();
  Json results;
  if (!JudgeRun(raw, results, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  for (const ReportFile& file : ReportFiles(results)) {
    if (file.name.empty()) std::abort();
  }
  SummaryText(results);
  return 0;
}
