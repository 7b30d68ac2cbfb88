// The printed summary and the cells it shares with report.md: the path table's columns and
// rows, the coverage notes, verdict texts, notes by harness, self-check lines, a failed run.
#include <gtest/gtest.h>

#include "report_files.h"
#include "report_format.h"
#include "report_test_util.h"
#include "text_table.h"

using namespace report;

namespace {

std::vector<std::string> RowOf(const Json& results, const std::string& name) {
  for (const auto& row : PathRows(results)) {
    if (!row.empty() && row[0] == name) return row;
  }
  ADD_FAILURE() << "no row " << name;
  return std::vector<std::string>(kPathHeader.size());
}

// A printed table's line split at its column gaps (two spaces or more).
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  size_t at = 0;
  while (at < line.size()) {
    size_t gap = line.find("  ", at);
    fields.push_back(line.substr(at, gap == std::string::npos ? gap : gap - at));
    if (gap == std::string::npos) break;
    at = line.find_first_not_of(' ', gap);
  }
  return fields;
}

Json Interval(double coverage, int processes, bool logSe) {
  Json d = {{"median", 1.0},
            {"low", 0.9},
            {"high", 1.1},
            {"coverage", coverage},
            {"processes", processes}};
  d["log_se"] = logSe ? Json(0.01) : Json(nullptr);
  return d;
}

}  // namespace

TEST(PathTable, NineColumnsForEveryRowAndTheirCells) {
  Json results = LoadDocument("rounds.json");
  EXPECT_EQ(kPathHeader,
            (std::vector<std::string>{"path", "rounds (processes)", "frames",
                                      "FPS median [95 % interval]", "±", "CPU ms/frame [95 %]",
                                      "glyphs/s", "GL calls/frame", "ratio to reference [95 %]"}));
  auto rows = PathRows(results);
  ASSERT_EQ(rows.size(), 8u);  // seven paths, one the stack could not run
  for (const auto& row : rows) EXPECT_EQ(row.size(), 9u) << row[0];
  EXPECT_EQ(RowOf(results, "glyphstorm mode 2"),
            (std::vector<std::string>{"glyphstorm mode 2", "6 (2)", "1836", "305.7 [251.4–371.6]",
                                      "±19.7 %", "2.6 [2.2–3.2]", "2017382", "14",
                                      "1.010× [0.929–1.098] reference phrase quads"}));
  auto once = RowOf(results, "glyphstorm2d");
  EXPECT_EQ(once[1], "6 (1)");
  EXPECT_EQ(once[3], "41.4 [40.8–41.9] (1 process, 96.8 %)");
  EXPECT_EQ(once[8], "1.029× [1.023–1.032] (1 process, 96.8 %) reference GDI text, same calls");
  auto capped = RowOf(results, "glyphstorm mode 1");
  EXPECT_EQ(capped[3],
            "59.9 [59.9–59.9] capped by the display: this number says nothing about text");
  EXPECT_EQ(capped[6], "—");
  auto failed = RowOf(results, "GDI+ DrawString");
  EXPECT_EQ(failed[3], "failed: exits early (code 3)");
  EXPECT_EQ(failed[8], "—");
  auto gone = RowOf(results, "Direct2D DrawText");
  EXPECT_EQ(gone[3], "unavailable with this stack: no Direct2D in this Wine");
}

TEST(PathTable, TheHalfWidthIsTheJudgesNotRecomputed) {
  Json results = LoadDocument("rounds.json");
  results["paths"][0]["fps_half_width"] = 0.5;
  EXPECT_EQ(RowOf(results, "glyphstorm mode 2")[4], "±50.0 %");
  results["paths"][0].erase("fps_half_width");
  EXPECT_EQ(RowOf(results, "glyphstorm mode 2")[4], "—");
}

TEST(PathTable, ThePrintedTableAndReportMdHaveTheSameColumns) {
  Json results = LoadDocument("rounds.json");
  auto rows = PathRows(results);
  std::vector<std::string> lines = LinesOf(SummaryText(results));
  ASSERT_GT(lines.size(), 2 + rows.size());
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(Fields(lines[1]), kPathHeader);
  EXPECT_EQ(lines[2].find_first_not_of('-'), std::string::npos);
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(Fields(lines[3 + i]), rows[i]);
  EXPECT_EQ(lines[3 + rows.size()], "");
  std::string md = FileNamed(ReportFiles(results), "report.md");
  size_t at = md.find("| path | rounds (processes) |");
  ASSERT_NE(at, std::string::npos);
  std::vector<std::string> table = LinesOf(md.substr(at));
  EXPECT_EQ(table[1], "|---|---|---|---|---|---|---|---|---|");
  for (size_t i = 0; i < rows.size(); ++i) {
    std::string expected = "|";
    for (const std::string& cell : rows[i]) expected += " " + cell + " |";
    EXPECT_EQ(table[2 + i], expected);
  }
  EXPECT_EQ(table[2 + rows.size()], "");
}

TEST(CoverageNote, OneNoteForEveryInterval) {
  EXPECT_EQ(CoverageNote(Interval(0.95, 4, true)), "");
  EXPECT_EQ(CoverageNote(Interval(0.9, 4, true)), " (90 %)");
  EXPECT_EQ(CoverageNote(Interval(0.9499, 1, false)), " (1 process, 94.9 %)");
  EXPECT_EQ(CoverageNote(Interval(0.96875, 1, false)), " (1 process, 96.8 %)");
  EXPECT_EQ(CoverageNote(Interval(0.95, 2, false)), " (1 process, 95 %)");  // no log_se
  EXPECT_EQ(CoverageNote(Json{{"median", 1.0}}), " (1 process)");
  EXPECT_EQ(IntervalText(Json{{"median", 0.833}, {"low", 0.826}, {"high", 0.84}}, 3),
            "0.833 [0.826–0.840] (1 process)");
  EXPECT_EQ(IntervalText(nullptr), "—");
  EXPECT_EQ(IntervalText(Json{{"median", nullptr}}), "—");
}

TEST(Verdicts, UnderLoadCappedAndTooFew) {
  Json line = {{"verdict", "met"}, {"under_load", {{"rounds", 9}, {"of", 9}}}};
  EXPECT_EQ(VerdictText(line, false), "met, under load (9 of 9 rounds loaded)");
  EXPECT_EQ(VerdictText(line, true), "met, **under load** (9 of 9 rounds loaded)");
  line["verdict"] = "missed";
  EXPECT_EQ(VerdictText(line, true), "**missed**, **under load** (9 of 9 rounds loaded)");
  EXPECT_EQ(VerdictText(Json{{"verdict", nullptr}}, false), "—");
  std::string text = SummaryText(LoadDocument("rounds.json"));
  EXPECT_NE(text.find("±8.4 %       UNDECIDED, UNDER LOAD (3 OF 6 ROUNDS LOADED)\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("±12.1 %      capped by the display\n"), std::string::npos);
  EXPECT_NE(text.find("(1 process, 96.8 %)  ±0.5 % too few processes to judge\n"),
            std::string::npos);
  EXPECT_NE(text.find("\nFailed\n  GDI+ DrawString: failed: exits early (code 3); command: "
                      "gdiplus_reference.exe drawstring 60\n"),
            std::string::npos);
}

TEST(Notes, ScriptsBenchsFacts) {
  std::string notes;
  for (const std::string& note : RunNotes(LoadDocument("rounds.json"))) notes += note + "\n";
  EXPECT_NE(notes.find("Run: 20261210-090000; glyphstorm 1.0.0, x86_64 build under wine-8.0; 4 CPU "
                       "cores; load average 0.52 0.40 0.31 before, 1.10 0.70 0.45 after.\n"),
            std::string::npos)
      << notes;
  EXPECT_NE(notes.find("Stack: GL driver Mesa's default (renderer \"llvmpipe (LLVM 15.0.6, 256 "
                       "bits)\", version \"4.5 (Compatibility Profile) Mesa 22.3.6\", vendor "
                       "\"Mesa\"); Wine's DirectDraw renderer Wine's default (gl); X displays "
                       ":150, :151.\n"),
            std::string::npos);
  EXPECT_NE(notes.find("every path runs as 2 processes"), std::string::npos);
  EXPECT_NE(notes.find("Intervals: per process the median"), std::string::npos);
  EXPECT_NE(notes.find("Machine load: load average (1 min) 0.50–1.10 over the rounds; 3 of 12 "
                       "rounds were taken while other processes kept ≥ 0.5 cores busy"),
            std::string::npos);
  EXPECT_NE(notes.find("Durations: build 12 s, measuring 96 s, total 110 s.\n"), std::string::npos);
  EXPECT_NE(notes.find("CPU ms per frame varied"), std::string::npos);
  EXPECT_EQ(notes.find("Partial"), std::string::npos);
}

TEST(Notes, TheRunnersFactsAndAPartialRun) {
  std::string notes;
  for (const std::string& note : RunNotes(LoadDocument("windows.json"))) notes += note + "\n";
  EXPECT_NE(notes.find("Run: 20261210-210000; glyphstorm 1.0.0, i686 build on Windows 10 "
                       "(10.0.19045); CPU Test CPU @ 2.0GHz, 2 cores.\n"),
            std::string::npos)
      << notes;
  EXPECT_NE(notes.find("Desktop: display adapter Wine Display </script> adapter, refresh rate 60 "
                       "Hz; GL renderer \"llvmpipe"),
            std::string::npos);
  EXPECT_NE(notes.find("the others are suspended"), std::string::npos);
  EXPECT_NE(notes.find("Partial: the run was stopped before its end"), std::string::npos);
  EXPECT_EQ(notes.find("Machine load"), std::string::npos);  // no round loads
  EXPECT_EQ(notes.find("Durations"), std::string::npos);     // none recorded
}

TEST(Notes, WhatARunLacksIsAQuestionMark) {
  std::string notes;
  for (const std::string& note : RunNotes(Json{{"run", {{"harness", "windows-runner"}}}}))
    notes += note + "\n";
  EXPECT_NE(notes.find("Run: ?; ? build on ?; CPU ?, ? cores."), std::string::npos) << notes;
  EXPECT_NE(notes.find("refresh rate unknown"), std::string::npos);
  notes.clear();
  for (const std::string& note : RunNotes(Json::object())) notes += note + "\n";
  EXPECT_NE(notes.find("Run: ?; ? build under ?; ? CPU cores; load average ? before, ? after."),
            std::string::npos)
      << notes;
  EXPECT_NE(notes.find("Rounds: ?; each path runs ? s per round"), std::string::npos);
}

TEST(SelfCheck, OneLinePerPairAtTheEnd) {
  Json results = LoadDocument("self-check.json");
  std::vector<std::string> lines = LinesOf(SummaryText(results));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "");
  EXPECT_EQ(lines[lines.size() - 2].rfind("self-check: reference phrase quads / itself: ", 0), 0u);
  EXPECT_EQ(lines[lines.size() - 2].substr(lines[lines.size() - 2].size() - 11), " holds 1.00");
  EXPECT_EQ(lines.back().rfind("self-check: reference GDI text / itself: ", 0), 0u);
  EXPECT_EQ(lines.back().substr(lines.back().size() - 19), " DOES NOT HOLD 1.00");
  EXPECT_FALSE(SelfCheckHolds(results));
  results["self_check"][1]["holds_one"] = true;
  EXPECT_TRUE(SelfCheckHolds(results));
  results["self_check"] = Json::array();
  EXPECT_FALSE(SelfCheckHolds(results));
  EXPECT_FALSE(SelfCheckHolds(LoadDocument("rounds.json")));
  EXPECT_EQ(SummaryText(LoadDocument("rounds.json")).find("self-check:"), std::string::npos);
}

TEST(FailedRun, OneLineAndThreeFiles) {
  Json results = LoadDocument("failed.json");
  EXPECT_EQ(SummaryText(results),
            "The run failed: reference phrase quads (gl_reference.exe phrase 60 199) exits early "
            "(code 3).\n");
  std::vector<ReportFile> files = ReportFiles(results);
  std::vector<std::string> names;
  for (const ReportFile& f : files) names.push_back(f.name);
  EXPECT_EQ(names, (std::vector<std::string>{"results.json", "report.md", "report.html"}));
  EXPECT_EQ(FileNamed(files, "report.md"),
            "# glyphstorm benchmark\n\nThe run failed: **reference phrase quads** "
            "(`gl_reference.exe phrase 60 199`) exits early (code 3).\n");
  EXPECT_FALSE(SelfCheckHolds(results));
}
