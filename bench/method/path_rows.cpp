// The path table the printed summary and report.md show: one row per path, failed and capped
// paths saying so, then the paths the stack could not run.
#include "report_format.h"

namespace report {

const std::vector<std::string> kPathHeader = {"path",
                                              "rounds (processes)",
                                              "frames",
                                              "FPS median [95 % interval]",
                                              "±",
                                              "CPU ms/frame [95 %]",
                                              "glyphs/s",
                                              "GL calls/frame",
                                              "ratio to reference [95 %]"};

namespace {

// The path's ratio to its reference by FPS, from the targets or the information.
const Json* FpsLine(const Json& results, const std::string& key, const std::string& reference) {
  for (const char* part : {"targets", "information"}) {
    for (const Json& line : Items(results, part)) {
      std::string measure = TextAt(line, "measure");
      if (TextAt(line, "kind") == "ratio" && (measure.empty() || measure == "fps") &&
          TextAt(line, "path") == key && TextAt(line, "reference") == reference)
        return &line;
    }
  }
  return nullptr;
}

std::string PathName(const Json& path) {
  std::string name = TextAt(path, "name");
  return name.empty() ? TextAt(path, "key") : name;
}

std::vector<std::string> Row(const Json& results, const Json& p) {
  std::string rounds =
      Fixed(NumberAt(p, "rounds"), 0) + " (" + Fixed(NumberAt(p, "processes").value_or(1), 0) + ")";
  // A round without a rate is left out of every number; the row says how many were.
  double lost = NumberAt(p, "lost_rounds").value_or(0);
  if (lost > 0) rounds += ", " + Fixed(lost, 0) + " lost";
  std::string failed = FailureOf(p);
  if (!failed.empty()) {
    return {PathName(p), rounds, kNone, "failed: " + failed, kNone, kNone, kNone, kNone, kNone};
  }
  bool capped = IsTrue(p, "capped");
  std::string fps = IntervalText(MemberAt(p, "fps"));
  if (capped) {
    std::string note = TextAt(p, "capped_note");
    fps += " " + (note.empty() ? std::string("capped by the display") : note);
  }
  std::optional<double> glyphs = NumberAt(p, "glyphs_per_second");
  std::string reference = TextAt(p, "reference");
  const Json* ratio = reference.empty() ? nullptr : FpsLine(results, TextAt(p, "key"), reference);
  return {PathName(p),
          rounds,
          Fixed(NumberAt(p, "frames"), 0),
          fps,
          Percent(NumberAt(p, "fps_half_width")),
          IntervalText(MemberAt(p, "cpu_ms_per_frame")),
          glyphs && *glyphs && !capped ? Fixed(glyphs, 0) : kNone,
          Fixed(NumberAt(p, "gl_calls_per_frame"), 0),
          ratio ? LineValue(*ratio, false) + " " + NameOf(results, reference) : kNone};
}

}  // namespace

namespace {

std::string UnavailableText(const Json& results) {
  // Under Wine the stack was chosen; on Windows the desktop is what it is.
  bool windows = TextAt(MemberAt(results, "run"), "harness") == "windows-runner";
  return windows ? "unavailable on this desktop: " : "unavailable with this stack: ";
}

}  // namespace

std::vector<std::vector<std::string>> PathRows(const Json& results) {
  std::vector<std::vector<std::string>> rows;
  for (const Json& p : Items(results, "paths")) rows.push_back(Row(results, p));
  for (const Json& gone : Items(results, "unavailable")) {
    std::vector<std::string> row(kPathHeader.size(), kNone);
    row[0] = PathName(gone);
    row[3] = UnavailableText(results) + TextAt(gone, "reason");
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> FailedPaths(const Json& results) {
  std::vector<std::string> lines;
  for (const Json& p : Items(results, "paths")) {
    std::string failed = FailureOf(p);
    if (failed.empty()) continue;
    std::string command = TextAt(p, "command");
    lines.push_back(PathName(p) + ": failed: " + failed +
                    "; command: " + (command.empty() ? "?" : command));
  }
  return lines;
}

}  // namespace report
