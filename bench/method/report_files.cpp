// The report folder of a judged run, every file made from results.json's document.
#include "report_files.h"

#include "report_format.h"
#include "report_parts.h"

std::vector<ReportFile> ReportFiles(const Json& results) {
  std::vector<ReportFile> files = {{"results.json", JsonText(results)}};
  if (TextAt(results, "kind") == "failed") {
    // No measurements: the short page and the page's failure banner.
    files.push_back({"report.md", report::ReportMarkdown(results, false, false)});
    files.push_back({"report.html", report::ReportHtml(results, "")});
    return files;
  }
  // A sweep's paths are its points at other phrase counts: its chart is the sweep's.
  std::string glyphs = TextAt(results, "kind") == "sweep" ? "" : report::GlyphChartSvg(results);
  std::string sweep = report::SweepChartSvg(results);
  files.push_back({"benchmark.json", JsonText(report::BenchmarkJson(results))});
  files.push_back({"report.md", report::ReportMarkdown(results, !glyphs.empty(), !sweep.empty())});
  files.push_back({"report.html", report::ReportHtml(results, glyphs + sweep)});
  files.push_back({"memory.csv", report::MemoryCsv(results)});
  if (!glyphs.empty()) files.push_back({"glyphs.svg", glyphs});
  if (!sweep.empty()) files.push_back({"sweep.svg", sweep});
  return files;
}
