// The files of a report folder, each from results.json's document alone; ReportFiles
// (report_files.h) puts them together. Private to the report writers. Portable.
#pragma once

#include <string>

#include "json_doc.h"

namespace report {

// report.md: the notes, the path table, targets, information, self-check, quality, sweep,
// rounds and load, start-up and memory, links to the charts drawn, screenshots; a failed run's
// short page.
std::string ReportMarkdown(const Json& results, bool glyphChart, bool sweepChart);
// report.html: the template with the results (and the charts' SVG) put in place of its markers.
std::string ReportHtml(const Json& results, const std::string& chartsSvg);
// glyphs.svg: glyphs per second per text path on a log axis; "" when no text path was measured.
std::string GlyphChartSvg(const Json& results);
// sweep.svg: frame time against glyphs per frame per swept line; "" without a swept point.
std::string SweepChartSvg(const Json& results);
// benchmark.json in Google Benchmark's format: one benchmark per path, one repetition per round.
Json BenchmarkJson(const Json& results);
// memory.csv: every resident-size sample of the rounds and of the soak.
std::string MemoryCsv(const Json& results);

}  // namespace report
