// The notes under the printed summary and at the top of report.md: what ran where (by harness),
// how it was measured and judged, the machine's load, the durations and the run's steadiness.
// A fact the run did not record prints as "?".
#include "report_format.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {

std::string Fact(const std::string& text) { return text.empty() ? "?" : text; }

std::string Loads(const Json& values) {
  std::string out;
  for (double v : Numbers(values)) out += (out.empty() ? "" : " ") + Fixed(v, 2, "?");
  return Fact(out);
}

std::string Build(const Json& run) {
  std::string version = TextAt(run, "version");
  return (version.empty() ? "" : "glyphstorm " + version + ", ") + Fact(TextAt(run, "arch")) +
         " build";
}

std::string GlStrings(const Json& gl) {
  return "renderer \"" + Fact(TextAt(gl, "renderer")) + "\", version \"" +
         Fact(TextAt(gl, "version")) + "\", vendor \"" + Fact(TextAt(gl, "vendor")) + "\"";
}

std::vector<std::string> WineFacts(const Json& run) {
  const Json& machine = MemberAt(run, "machine");
  const Json& stack = MemberAt(run, "stack");
  std::string displays;
  for (const Json& d : Items(run, "displays")) {
    if (d.is_string()) displays += (displays.empty() ? "" : ", ") + d.get<std::string>();
  }
  return {"Run: " + Fact(TextAt(run, "date")) + "; " + Build(run) + " under " +
              Fact(TextAt(run, "wine")) + "; " + Fixed(NumberAt(machine, "cores"), 0, "?") +
              " CPU cores; load average " + Loads(MemberAt(machine, "load_before")) + " before, " +
              Loads(MemberAt(machine, "load_after")) + " after.",
          "Stack: GL driver " + Fact(TextAt(stack, "gl_driver")) + " (" +
              GlStrings(MemberAt(run, "gl")) + "); Wine's DirectDraw renderer " +
              Fact(TextAt(stack, "ddraw_renderer")) +
              (displays.empty() ? "" : "; X displays " + displays) + "."};
}

std::vector<std::string> DesktopFacts(const Json& run) {
  const Json& desktop = MemberAt(run, "desktop");
  std::optional<double> cores = NumberAt(desktop, "cores");
  if (!cores) cores = NumberAt(MemberAt(run, "machine"), "cores");
  std::optional<double> refresh = NumberAt(desktop, "refresh_hz");
  if (!refresh) refresh = NumberAt(run, "refresh_hz");
  return {"Run: " + Fact(TextAt(run, "date")) + "; " + Build(run) + " on " +
              Fact(TextAt(desktop, "windows")) + "; CPU " + Fact(TextAt(desktop, "cpu")) + ", " +
              Fixed(cores, 0, "?") + " cores.",
          "Desktop: display adapter " + Fact(TextAt(desktop, "adapter")) + ", refresh rate " +
              (refresh && *refresh > 0 ? Fixed(refresh, 0) + " Hz" : "unknown") + "; GL " +
              GlStrings(MemberAt(run, "gl")) + "."};
}

std::string Rounds(const Json& run, bool windows) {
  std::optional<double> slice = NumberAt(run, "slice_s"), warmup = NumberAt(run, "warmup_s");
  std::optional<double> processes = NumberAt(run, "processes");
  std::string text = "Rounds: " + Fixed(NumberAt(run, "rounds"), 0, "?") + "; each path runs " +
                     (slice ? Fixed(*slice + warmup.value_or(0), 2) : "?") +
                     " s per round, the first " + Fixed(warmup, 2, "?") +
                     " s of it not counted (warm-up); only one program runs at a time";
  text += windows ? ", the others are suspended"
                  : ", the others are stopped (SIGSTOP/SIGCONT), and the order of a round "
                    "alternates forward and backward";
  if (processes && *processes > 1) {
    text += "; in " +
            std::string(windows ? "the groups the runner splits"
                                : "groups with a product/reference pair") +
            " every path runs as " + Fixed(processes, 0) +
            " processes one after another, each for an equal share of the rounds";
  }
  return text + ".";
}

std::string MachineLoad(const Json& run) {
  const Json& loads = Items(run, "round_loads");
  double low = HUGE_VAL, high = -HUGE_VAL;
  int loaded = 0;
  for (const Json& l : loads) {
    for (const char* name : {"load1_before", "load1_after"}) {
      if (std::optional<double> v = NumberAt(l, name)) {
        low = std::min(low, *v);
        high = std::max(high, *v);
      }
    }
    loaded += IsTrue(l, "loaded");
  }
  std::string range = low <= high ? Fixed(low, 2) + "–" + Fixed(high, 2) : "?";
  return "Machine load: load average (1 min) " + range + " over the rounds; " +
         std::to_string(loaded) + " of " + std::to_string(loads.size()) +
         " rounds were taken while other processes kept ≥ " +
         Fixed(NumberAt(run, "loaded_cores"), 1, "?") + " cores busy (flagged \"loaded\").";
}

std::string Durations(const Json& durations) {
  std::string out;
  for (auto item = durations.begin(); item != durations.end(); ++item) {
    if (!item->is_number()) continue;
    std::string name = item.key();
    if (name.size() > 2 && name.compare(name.size() - 2, 2, "_s") == 0)
      name.resize(name.size() - 2);
    std::replace(name.begin(), name.end(), '_', ' ');
    out += (out.empty() ? "" : ", ") + name + " " + Fixed(item->get<double>(), 0) + " s";
  }
  return out;
}

}  // namespace

std::vector<std::string> RunNotes(const Json& results) {
  const Json& run = MemberAt(results, "run");
  bool windows = WindowsRun(results);
  std::vector<std::string> notes = windows ? DesktopFacts(run) : WineFacts(run);
  notes.push_back(Rounds(run, windows));
  notes.push_back("Intervals: " + Fact(TextAt(run, "interval_method")) +
                  ". Paths measured in the same rounds are paired: per process the median of the "
                  "per-round ratios. " +
                  kOneProcess + ".");
  if (!Items(run, "round_loads").empty()) notes.push_back(MachineLoad(run));
  std::string durations = Durations(ObjectAt(run, "durations"));
  if (!durations.empty()) notes.push_back("Durations: " + durations + ".");
  std::string steadiness = TextAt(ObjectAt(results, "steadiness"), "summary");
  if (!steadiness.empty()) notes.push_back(steadiness);
  if (IsTrue(run, "partial")) {
    notes.push_back(
        "Partial: the run was stopped before its end; this is what it measured until then.");
  }
  return notes;
}

}  // namespace report
