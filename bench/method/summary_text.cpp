// The summary both harnesses print, made from results.json's document alone, so the printed
// table and the files cannot disagree.
#include "judge.h"
#include "report_files.h"
#include "report_format.h"
#include "text_table.h"

#include <algorithm>
#include <cctype>

using namespace report;

namespace {

// The widest label of the lines, at least `least`: every value then starts in one column.
size_t LabelWidth(const Json& lines, size_t least) {
  size_t width = least;
  for (const Json& line : lines) width = std::max(width, TextWidth(TextAt(line, "label")));
  return width;
}

std::string Lines(const char* title, const Json& lines) {
  if (lines.empty()) return "";
  std::string out = std::string("\n") + title + "\n";
  size_t width = LabelWidth(lines, 76);
  for (const Json& line : lines) {
    std::string verdict = TextAt(line, "verdict");
    std::string text = verdict.empty() ? "" : VerdictText(line, false);
    if (verdict == kMissed || verdict == kUndecided) {
      for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    std::string row = "  " + PadRight(TextAt(line, "label"), width) + " " +
                      PadRight(LineValue(line), 34) + " " + text;
    out += row.erase(row.find_last_not_of(' ') + 1) + "\n";
  }
  return out;
}

std::string Sweep(const Json& fits) {
  if (fits.empty()) return "";
  std::string out = "\nSweep: frame time = fixed cost + cost per glyph × glyphs per frame\n";
  for (const Json& fit : fits) {
    out += "  " + PadRight(TextAt(fit, "name"), 36) + " " +
           PadLeft(Fixed(NumberAt(fit, "fixed_ms"), 2), 8) + " ms fixed  " +
           PadLeft(Fixed(NumberAt(fit, "ns_per_glyph"), 1), 8) + " ns per glyph  R² " +
           Fixed(NumberAt(fit, "r2"), 4) + "  " +
           (IsTrue(fit, "r2_ok") ? "ok" : "BELOW " + Fixed(kR2Bar, 2)) + "\n";
  }
  return out;
}

std::string Quality(const Json& checks) {
  if (checks.empty()) return "";
  std::string out = "\nRun quality\n";
  size_t width = LabelWidth(checks, 92);
  for (const Json& check : checks) {
    out += "  " + PadRight(TextAt(check, "label"), width) + " " +
           PadRight(Percent(NumberAt(check, "value")), 9) + " " +
           (IsTrue(check, "ok") ? "ok" : "TOO WIDE") + "\n";
  }
  return out;
}

std::string SelfCheck(const Json& lines) {
  if (lines.empty()) return "";
  std::string out = "\n";
  for (const Json& line : lines) {
    out += "self-check: " + TextAt(line, "label") + ": " + LineValue(line) + " " +
           (IsTrue(line, "holds_one") ? "holds 1.00" : "DOES NOT HOLD 1.00") + "\n";
  }
  return out;
}

}  // namespace

std::string SummaryText(const Json& results) {
  if (TextAt(results, "kind") == "failed") return FailureSentence(results, false) + "\n";
  std::string out = "\n" + TextTable(kPathHeader, PathRows(results));
  std::vector<std::string> failed = FailedPaths(results);
  if (!failed.empty()) {
    out += "\nFailed\n";
    for (const std::string& line : failed) out += "  " + line + "\n";
  }
  out += Lines("Targets", Items(results, "targets"));
  out += Lines("Information", Items(results, "information"));
  out += Sweep(Items(results, "sweep"));
  out += Quality(Items(results, "quality"));
  out += "\n";
  for (const std::string& note : RunNotes(results)) out += WrapText(note, 110, "  ");
  return out + SelfCheck(Items(results, "self_check"));
}

bool SelfCheckHolds(const Json& results) {
  const Json& lines = Items(results, "self_check");
  if (lines.empty()) return false;
  for (const Json& line : lines) {
    if (!IsTrue(line, "holds_one")) return false;
  }
  return true;
}
