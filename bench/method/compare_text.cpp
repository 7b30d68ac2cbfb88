// --compare as printed: the two runs' stacks, the ratios with their change, the paths' FPS.
#include "compare.h"

#include "report_format.h"
#include "text_table.h"

using namespace report;

namespace {

std::string Fact(const std::string& text) { return text.empty() ? "?" : text; }

// Where a run was measured: a Wine stack (scripts/bench) or a Windows desktop (the runner).
std::string Stack(const Json& results) {
  const Json& run = MemberAt(results, "run");
  std::string renderer = Fact(TextAt(MemberAt(run, "gl"), "renderer"));
  std::string head = Fact(TextAt(run, "date")) + ", " + Fact(TextAt(run, "arch")) + " build, ";
  if (WindowsRun(results)) {
    const Json& desktop = MemberAt(run, "desktop");
    return head + Fact(TextAt(run, "harness")) + " on " + Fact(TextAt(desktop, "windows")) +
           ", GL " + renderer + ", display adapter " + Fact(TextAt(desktop, "adapter"));
  }
  const Json& stack = MemberAt(run, "stack");
  return head + "GL " + Fact(TextAt(stack, "gl_driver")) + " (" + renderer +
         "), DirectDraw renderer " + Fact(TextAt(stack, "ddraw_renderer"));
}

std::string ChangeText(const Json& d) {
  std::optional<double> median = NumberAt(d, "median"), low = NumberAt(d, "low"),
                        high = NumberAt(d, "high");
  if (!median || !low || !high) return kNone;
  return Signed((*median - 1) * 100, 1) + " % [" + Signed((*low - 1) * 100, 1) + "–" +
         Signed((*high - 1) * 100, 1) + "]";
}

std::string PercentChange(std::optional<double> ratio) {
  return ratio ? Signed((*ratio - 1) * 100, 1) + " %" : kNone;
}

std::string Verdicts(const Json& row) {
  if (!IsTrue(row, "target")) return "(information)";
  std::string out;
  for (const Json& v : Items(row, "verdicts")) {
    out += (out.empty() ? "" : " → ") + (v.is_string() ? v.get<std::string>() : kNone);
  }
  return out;
}

}  // namespace

std::string CompareText(const Json& oldRun, const Json& newRun, const Json& comparison) {
  std::string out = "old: " + Stack(oldRun) + "\nnew: " + Stack(newRun) + "\n";
  const Json& ratios = Items(comparison, "ratios");
  if (!ratios.empty()) {
    std::vector<std::vector<std::string>> rows;
    for (const Json& r : ratios) {
      rows.push_back({TextAt(r, "label"), IntervalText(MemberAt(r, "old"), 3),
                      IntervalText(MemberAt(r, "new"), 3), ChangeText(MemberAt(r, "change")),
                      TextAt(r, "agreement"), Verdicts(r)});
    }
    out +=
        "\n" +
        TextTable({"ratio", "old [95 %]", "new [95 %]", "change [95 %]", "runs", "verdicts"}, rows);
  }
  std::vector<std::vector<std::string>> rows;
  for (const Json& p : Items(comparison, "paths")) {
    rows.push_back({TextAt(p, "name"), IntervalText(MemberAt(p, "old")),
                    IntervalText(MemberAt(p, "new")), PercentChange(NumberAt(p, "ratio")),
                    PercentChange(NumberAt(p, "vs_reference"))});
  }
  out += "\n" + TextTable({"path", "old FPS [95 %]", "new FPS [95 %]", "FPS change",
                           "relative to its reference"},
                          rows);
  for (const char* part : {"only_old", "only_new"}) {
    std::string names;
    for (const Json& name : Items(comparison, part)) {
      if (name.is_string()) names += (names.empty() ? "" : ", ") + name.get<std::string>();
    }
    if (!names.empty()) {
      out += std::string(part == std::string("only_old") ? "only in the old run: "
                                                         : "only in the new run: ") +
             names + "\n";
    }
  }
  return out + "\n" +
         WrapText(std::string("Two runs agree on a ratio when the 95 % interval of its change "
                              "(new ÷ old, from the per-process values of both runs, Welch's t) "
                              "holds no change, and differ otherwise; with one process on either "
                              "side: ") +
                      kTooFew +
                      ". FPS changes move with the machine's speed: information, not findings; "
                      "'relative to its reference' divides out the reference's change in the "
                      "same runs.",
                  110, "");
}
