// benchrunner_sample OUT_DIR: the sample run's results.json, report.html and summary.txt, for
// the tests that read them with scripts/bench's Python and render them in a browser.
#include "sample_run.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: benchrunner_sample OUT_DIR\n");
    return 2;
  }
  PathTable table = SampleTable();
  RunRecord run = SampleRun(table);
  std::string json = ResultsJson(table, run);
  std::string dir = argv[1];
  std::ofstream(dir + "/results.json", std::ios::binary) << json;
  std::ofstream(dir + "/report.html", std::ios::binary) << ReportHtml(json);
  std::ofstream(dir + "/summary.txt", std::ios::binary) << SummaryText(table, run);
  return table.rows.empty() ? 1 : 0;
}
