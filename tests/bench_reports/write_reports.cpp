// bench_reports_write RESULTS_JSON OUT_DIR: the report folder the method makes of a results.json
// (every file of ReportFiles) and the printed summary as summary.txt, for the tests that read
// them with Google Benchmark's compare.py and render the page in a browser.
// bench_reports_write --compare OLD NEW: the comparison as printed.
#include "compare.h"
#include "report_files.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

bool Read(const char* file, Json& value) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::string error;
  if (in && ParseJsonText(text.str(), value, error)) return true;
  std::fprintf(stderr, "bench_reports_write: %s: %s\n", file, in ? error.c_str() : "cannot read");
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--compare") {
    Json oldRun, newRun;
    if (!Read(argv[2], oldRun) || !Read(argv[3], newRun)) return 1;
    std::cout << CompareText(oldRun, newRun, CompareRuns(oldRun, newRun));
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: bench_reports_write RESULTS_JSON OUT_DIR\n"
                 "       bench_reports_write --compare OLD NEW\n");
    return 2;
  }
  Json results;
  if (!Read(argv[1], results)) return 1;
  std::string dir = argv[2];
  for (const ReportFile& file : ReportFiles(results)) {
    std::ofstream(dir + "/" + file.name, std::ios::binary) << file.bytes;
  }
  std::ofstream(dir + "/summary.txt", std::ios::binary) << SummaryText(results);
  return 0;
}
