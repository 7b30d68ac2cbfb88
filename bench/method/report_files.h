// What a judged run becomes, from results.json's document alone: the printed summary and the
// files of the report folder. Portable.
#pragma once

#include <string>
#include <vector>

#include "json_doc.h"

struct ReportFile {
  std::string name;   // in the report folder
  std::string bytes;  // UTF-8 text
};

// results.json, benchmark.json, report.md, report.html, memory.csv and the charts (glyphs.svg,
// sweep.svg where the run has them), in that order.
std::vector<ReportFile> ReportFiles(const Json& results);
// The table, targets, information, sweep, quality and notes as both harnesses print them
// (UTF-8: a Windows console needs SetConsoleOutputCP(CP_UTF8)); a self-check's lines at the end.
std::string SummaryText(const Json& results);
// A self-check run whose every A/A interval holds 1.00.
bool SelfCheckHolds(const Json& results);
