// Two judged runs side by side: per ratio line of both the interval of its change and whether
// the runs agree on it (the finding); per path its FPS change (information, since the
// machine's speed moves it too).
#include "compare.h"

#include "report_format.h"

using namespace report;

namespace {

// The estimate a comparison judges, and what it shows of it: the interval made again from the
// rounds the file keeps, else the file's own interval as written (its coverage unknown or not).
struct Estimate {
  std::optional<StatInterval> interval;
  Json shown;
};

Estimate FromRounds(const Json& rounds, const Json& processes, const Json& written) {
  if (rounds.is_array() && !rounds.empty()) {
    std::optional<StatInterval> made = ProcessInterval(Numbers(rounds), Processes(processes));
    if (made || written.is_null()) return {made, IntervalJson(made)};
  }
  std::optional<StatInterval> read = IntervalFrom(written);
  return {read, read ? written : Json(nullptr)};
}

Estimate LineEstimate(const Json& line) {
  return FromRounds(MemberAt(line, "rounds"), MemberAt(line, "round_processes"),
                    ObjectAt(line, "value"));
}

Estimate PathEstimate(const Json& path) {
  return FromRounds(MemberAt(path, "fps_rounds"), MemberAt(path, "round_processes"),
                    ObjectAt(path, "fps"));
}

std::string LineKey(const Json& line) {
  std::string measure = TextAt(line, "measure");
  return TextAt(line, "path") + '\n' + TextAt(line, "reference") + '\n' +
         (measure.empty() ? "fps" : measure);
}

const Json* OldLine(const Json& oldRun, const std::string& key) {
  const Json* found = nullptr;  // the last of equal keys, as a map of them would keep
  for (const char* part : {"targets", "information"}) {
    for (const Json& line : Items(oldRun, part)) {
      if (TextAt(line, "kind") == "ratio" && LineKey(line) == key) found = &line;
    }
  }
  return found;
}

Json RatioChanges(const Json& oldRun, const Json& newRun) {
  Json ratios = Json::array();
  for (const char* part : {"targets", "information"}) {
    for (const Json& line : Items(newRun, part)) {
      if (TextAt(line, "kind") != "ratio" || ObjectAt(line, "value").is_null()) continue;
      const Json* before = OldLine(oldRun, LineKey(line));
      if (!before || ObjectAt(*before, "value").is_null()) continue;
      Estimate was = LineEstimate(*before), now = LineEstimate(line);
      Change changed = RunChange(was.interval, now.interval);
      Json row = Json::object();
      row["label"] = TextAt(line, "label");
      row["old"] = was.shown;
      row["new"] = now.shown;
      row["change"] = IntervalJson(changed.ratio);
      row["agreement"] = changed.agreement;
      row["target"] = MemberAt(line, "verdict").is_string();
      row["verdicts"] = Json::array({MemberAt(*before, "verdict"), MemberAt(line, "verdict")});
      ratios.push_back(row);
    }
  }
  return ratios;
}

struct Moved {
  const Json* path;
  Estimate was, now;
  double ratio;
};

Json PathChanges(const Json& oldRun, const Json& newRun) {
  std::vector<Moved> moved;
  for (const Json& p : Items(newRun, "paths")) {
    const Json* before = nullptr;
    for (const Json& q : Items(oldRun, "paths")) {
      if (TextAt(q, "key") == TextAt(p, "key")) before = &q;
    }
    if (!before) continue;
    Estimate was = PathEstimate(*before), now = PathEstimate(p);
    if (was.interval && now.interval && was.interval->median > 0)
      moved.push_back({&p, was, now, now.interval->median / was.interval->median});
  }
  Json rows = Json::array();
  for (const Moved& m : moved) {
    std::string reference = TextAt(*m.path, "reference");
    const Moved* ref = nullptr;
    for (const Moved& r : moved) {
      if (!reference.empty() && TextAt(*r.path, "key") == reference) ref = &r;
    }
    Json row = Json::object();
    row["key"] = TextAt(*m.path, "key");
    row["name"] = NameOf(newRun, TextAt(*m.path, "key"));
    row["old"] = m.was.shown;
    row["new"] = m.now.shown;
    row["ratio"] = Figure(m.ratio);
    row["vs_reference"] = ref && ref->ratio ? Figure(m.ratio / ref->ratio) : Json(nullptr);
    rows.push_back(row);
  }
  return rows;
}

Json OnlyIn(const Json& run, const Json& other) {
  Json names = Json::array();
  for (const Json& p : Items(run, "paths")) {
    bool found = false;
    for (const Json& q : Items(other, "paths"))
      found = found || TextAt(q, "key") == TextAt(p, "key");
    if (!found) names.push_back(NameOf(run, TextAt(p, "key")));
  }
  return names;
}

}  // namespace

Json CompareRuns(const Json& oldRun, const Json& newRun) {
  Json comparison = Json::object();
  comparison["ratios"] = RatioChanges(oldRun, newRun);
  comparison["paths"] = PathChanges(oldRun, newRun);
  comparison["only_old"] = OnlyIn(oldRun, newRun);
  comparison["only_new"] = OnlyIn(newRun, oldRun);
  return comparison;
}
