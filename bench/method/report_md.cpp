// report.md: the run's notes, tables and charts as Markdown.
#include "judge.h"
#include "report_format.h"
#include "report_parts.h"

namespace report {

namespace {

const char kLinuxFps[] =
    "FPS: frames per second of each round, counted from the program's own frame reports "
    "(frames=N on its debugger output, timestamped by Wine); per process the median of its "
    "rounds, over the processes their geometric mean with its 95 % interval; ± is half that "
    "interval's width relative to the median. CPU ms/frame: user + system time of the program's "
    "Unix process (the driver's threads included, from /proc) per frame. Glyphs/s = FPS × glyphs "
    "per frame. GL calls/frame: opengl32 calls per frame in a run with every call traced.";
const char kWindowsFps[] =
    "FPS: frames per second of each round, counted from the program's own frame reports "
    "(frames=N on its debug output, timestamped by the runner); per process the median of its "
    "rounds, over the processes their geometric mean with its 95 % interval; ± is half that "
    "interval's width relative to the median. CPU ms/frame: user + kernel time of the program's "
    "process per frame. Glyphs/s = FPS × glyphs per frame. A path held at the display's refresh "
    "rate is capped by the display: its number says nothing about text.";

std::string Lines(const char* title, const Json& lines) {
  if (lines.empty()) return "";
  std::vector<std::vector<std::string>> rows;
  for (const Json& line : lines) {
    std::string note = TextAt(line, "note");
    rows.push_back({TextAt(line, "label") + (note.empty() ? "" : " (" + note + ")"),
                    LineValue(line), VerdictText(line, true)});
  }
  return std::string("\n## ") + title + "\n\n" +
         MarkdownTable({"line", "measured", "verdict"}, rows);
}

std::string SelfCheck(const Json& lines) {
  if (lines.empty()) return "";
  std::vector<std::vector<std::string>> rows;
  for (const Json& line : lines) {
    rows.push_back(
        {TextAt(line, "label"), LineValue(line), IsTrue(line, "holds_one") ? "yes" : "**no**"});
  }
  return "\n## Self-check\n\n" +
         MarkdownTable(
             {"each reference against an identical copy of itself", "measured", "holds 1.00"},
             rows);
}

std::string Quality(const Json& checks) {
  if (checks.empty()) return "";
  std::vector<std::vector<std::string>> rows;
  for (const Json& check : checks) {
    rows.push_back({TextAt(check, "label") + (IsTrue(check, "target") ? "" : " (information)"),
                    Percent(NumberAt(check, "value")),
                    IsTrue(check, "ok") ? "ok" : "**too wide**"});
  }
  return "\n## Run quality\n\n" + MarkdownTable({"check", "measured", ""}, rows) +
         "\nTwo runs agree on a ratio when the 95 % interval of its change between them holds no "
         "change: `--compare OLD NEW` says so per ratio.\n";
}

std::string Sweep(const Json& fits) {
  if (fits.empty()) return "";
  std::vector<std::vector<std::string>> rows, points;
  for (const Json& fit : fits) {
    rows.push_back({TextAt(fit, "name"), Fixed(NumberAt(fit, "fixed_ms"), 2),
                    Fixed(NumberAt(fit, "ns_per_glyph"), 1), Fixed(NumberAt(fit, "r2"), 4),
                    IsTrue(fit, "r2_ok") ? "ok" : "**below " + Fixed(kR2Bar, 2) + "**"});
    for (const Json& point : Items(fit, "points")) {
      points.push_back({TextAt(fit, "name"), Fixed(NumberAt(point, "phrases"), 0),
                        Fixed(NumberAt(point, "glyphs_per_frame"), 0),
                        IntervalText(MemberAt(point, "frame_ms"), 2)});
    }
    for (const Json& product : Items(fit, "products")) {
      points.push_back({TextAt(product, "name") + " (product)", kNone,
                        Fixed(NumberAt(product, "glyphs_per_frame"), 0),
                        IntervalText(MemberAt(product, "frame_ms"), 2)});
    }
  }
  return "\n## Sweep: frame time against glyphs per frame\n\n" +
         MarkdownTable(
             {"path", "fixed ms per frame", "ns per glyph", "R²", "R² ≥ " + Fixed(kR2Bar, 2)},
             rows) +
         "\nLeast-squares fit of the median frame time (1000 / FPS per round) at each phrase "
         "count.\n\n" +
         MarkdownTable({"path", "phrases", "glyphs per frame", "frame ms [95 %]"}, points);
}

std::string Rounds(const Json& run) {
  const Json& loads = Items(run, "round_loads");
  if (loads.empty()) return "";
  std::vector<std::vector<std::string>> rows;
  for (const Json& l : loads) {
    rows.push_back({TextAt(l, "group"), Fixed(NumberAt(l, "round"), 0),
                    Fixed(NumberAt(l, "load1_before"), 2), Fixed(NumberAt(l, "load1_after"), 2),
                    Fixed(NumberAt(l, "others_cores"), 2), IsTrue(l, "loaded") ? "loaded" : ""});
  }
  return "\n## Rounds and machine load\n\n" +
         MarkdownTable(
             {"group", "round", "load average before", "after", "other processes (cores)", "flag"},
             rows) +
         "\nOther processes: the machine's busy CPU time during the round less that of this run's "
         "own programs and of the harness itself.\n";
}

// Only where the harness measured any of it.
std::string Memory(const Json& paths) {
  std::vector<std::vector<std::string>> rows;
  bool measured = false;
  for (const Json& p : paths) {
    const Json& memory = ObjectAt(p, "memory");
    std::optional<double> first = NumberAt(p, "first_frame_s");
    std::optional<double> at10 = NumberAt(memory, "rss_10s_kib"),
                          end = NumberAt(memory, "rss_end_kib");
    measured = measured || first || at10 || end;
    rows.push_back(
        {TextAt(p, "name"), first ? Fixed(first, 2) + " s" : kNone, MiB(at10), MiB(end)});
  }
  if (!measured) return "";
  return "\n## Start-up and memory\n\n" +
         MarkdownTable({"path", "start to first frame", "resident after 10 s of running",
                        "resident at the end"},
                       rows) +
         "\nA path's own running time counts (stopped time does not); start to first frame is "
         "taken while the other programs of its group are stopped. memory.csv holds every "
         "sample.\n";
}

std::string Screenshots(const Json& paths) {
  std::string out;
  for (const Json& p : paths) {
    std::string shot = TextAt(p, "screenshot");
    if (shot.empty()) continue;
    std::string name = TextAt(p, "name");
    out += "### " + name + "\n\n![" + name + "](" + shot + ")\n\n";
  }
  return out.empty() ? "" : "\n## Screenshots\n\n" + out;
}

}  // namespace

std::string ReportMarkdown(const Json& results, bool glyphChart, bool sweepChart) {
  std::string out = "# glyphstorm benchmark\n\n";
  if (TextAt(results, "kind") == "failed") return out + FailureSentence(results, true) + "\n";
  for (const std::string& note : RunNotes(results)) out += "- " + note + "\n";
  out += "\n## Frames per second\n\n" + MarkdownTable(kPathHeader, PathRows(results)) + "\n" +
         (WindowsRun(results) ? kWindowsFps : kLinuxFps) + "\n";
  std::vector<std::string> failed = FailedPaths(results);
  if (!failed.empty()) {
    out += "\n## Failed\n\n";
    for (const std::string& line : failed) out += "- " + line + "\n";
  }
  const Json& targets = Items(results, "targets");
  out += Lines("Targets", targets);
  out += Lines("Information", Items(results, "information"));
  out += SelfCheck(Items(results, "self_check"));
  if (!targets.empty()) {
    out += std::string(
               "\nA ratio target is met when its whole interval is at or above the bar, "
               "missed when it is below, undecided when it straddles the bar; ") +
           kTooFew + " when the interval is not over two processes or more.\n";
  }
  out += Quality(Items(results, "quality"));
  out += Sweep(Items(results, "sweep"));
  out += Rounds(MemberAt(results, "run"));
  out += Memory(Items(results, "paths"));
  if (glyphChart) {
    out +=
        "\n## Glyphs per second, every text path\n\n![glyphs per second per path](glyphs.svg)\n"
        "\nThe 2D paths (GDI on DirectDraw and on a window, GDI+, Direct2D) and the GL paths on "
        "one logarithmic axis; bars to the median, whiskers the 95 % interval; grey: capped by "
        "the display.\n";
  }
  if (sweepChart) {
    out += "\n## Sweep chart\n\n![frame time against glyphs per frame](sweep.svg)\n";
  }
  return out + Screenshots(Items(results, "paths"));
}

}  // namespace report
