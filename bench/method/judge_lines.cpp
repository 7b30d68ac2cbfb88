// The lines that compare paths: targets with verdicts, information ratios and shares, start-up
// and memory lines, load marks, and the self-check's A/A lines.
#include <cmath>
#include <cstdio>
#include <map>

#include "judge_parts.h"

namespace {

const char kCappedVerdict[] = "capped by the display";

std::string Format(const char* pattern, const std::string& a, double value, const std::string& b) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, pattern, a.c_str(), value, b.c_str());
  return buffer;
}

const PathNumbers* Find(const std::vector<PathNumbers>& paths, const std::string& key) {
  for (const PathNumbers& p : paths) {
    if (p.row->key == key && p.Measured()) return &p;
  }
  return nullptr;
}

// Values of `from` by round, in the rounds of `to`: slices of one group pair by their round,
// whichever of them a stopped or failed run lacks.
std::vector<double> ByRound(const PathNumbers& from, const std::vector<double>& values,
                            const PathNumbers& to) {
  std::map<int32_t, double> byRound;
  for (size_t i = 0; i < from.rounds.size(); ++i) byRound[from.rounds[i]] = values[i];
  std::vector<double> aligned;
  for (int32_t round : to.rounds)
    aligned.push_back(byRound.count(round) ? byRound[round] : std::nan(""));
  return aligned;
}

Json Figures(const std::vector<double>& values) {
  Json list = Json::array();
  for (double v : values) list.push_back(Figure(v));
  return list;
}

// a / b by FPS; by CPU time per frame b's / a's, so above 1 still means a is the cheaper one.
Json RatioLine(const std::string& label, const PathNumbers& a, const PathNumbers& b,
               std::optional<double> bar, const std::string& note, bool byCpu) {
  const PathNumbers& top = byCpu ? b : a;
  const PathNumbers& bottom = byCpu ? a : b;
  const std::vector<double>& upper = byCpu ? top.cpu : top.fps;
  const std::vector<double>& lower = byCpu ? bottom.cpu : bottom.fps;
  bool sameGroup = a.row->group == b.row->group;
  PairedRatios paired;
  if (sameGroup) paired = PairRatios(upper, ByRound(bottom, lower, top), top.processes);
  bool pairs = sameGroup && !paired.ratios.empty();
  std::optional<StatInterval> interval =
      pairs ? ProcessInterval(paired.ratios, paired.processes)
            : UnpairedRatioInterval(upper, lower, top.processes, bottom.processes);
  bool capped = a.capped || b.capped;  // a ratio of a path held at the display's rate
  Json line = {
      {"label", label},
      {"kind", "ratio"},
      {"measure", byCpu ? "cpu" : "fps"},
      {"path", a.row->key},
      {"reference", b.row->key},
      {"bar", Figure(bar)},
      {"value", IntervalJson(interval)},
      {"half_width", Figure(HalfWidth(interval))},
      {"pairing", pairs ? "paired" : "unpaired"},
      {"rounds", pairs ? Figures(paired.ratios) : Json(nullptr)},
      {"round_processes", pairs ? Json(paired.processes) : Json(nullptr)},
      {"verdict", !bar ? Json(nullptr) : Json(capped ? kCappedVerdict : Verdict(interval, *bar))}};
  if (capped) line["capped"] = true;
  if (!note.empty()) line["note"] = note;
  return line;
}

Json StartLine(const PathRow& row, const RawPath& raw) {
  std::string program =
      row.program.size() > 4 && row.program.substr(row.program.size() - 4) == ".exe"
          ? row.program.substr(0, row.program.size() - 4)
          : row.program;
  return Json{{"label", Format("%s: start to first frame < %.1f s", program, *row.startBar, "")},
              {"kind", "seconds"},
              {"path", row.key},
              {"bar", Figure(row.startBar)},
              {"value", Figure(raw.firstFrameSeconds)},
              {"verdict", ValueVerdict(raw.firstFrameSeconds, *row.startBar)}};
}

Json MibLine(const std::string& label, const std::string& key, double mib,
             std::optional<double> bar = {}) {
  Json line = {{"label", label}, {"kind", "mib"}, {"path", key}, {"value", Figure(mib)}};
  if (bar) line["bar"] = Figure(*bar);
  line["verdict"] = bar ? Json(std::string(mib <= *bar ? kMet : kMissed)) : Json(nullptr);
  return line;
}

std::optional<double> ResidentAt(const std::vector<MemorySample>& samples, double seconds) {
  for (const MemorySample& s : samples) {
    if (s.seconds >= seconds) return s.kib;
  }
  return std::nullopt;
}

void RatioLines(const PathTable& table, const std::vector<PathNumbers>& paths, Json& targets,
                Json& information) {
  for (const PathRow& row : table.rows) {
    const PathNumbers* r = Find(paths, row.key);
    const PathNumbers* ref = row.reference.empty() ? nullptr : Find(paths, row.reference);
    if (!r || !ref) continue;
    const std::string& refName = ref->row->name;
    if (!row.bar) {
      information.push_back(RatioLine(row.name + " / " + refName, *r, *ref, {}, "", false));
      continue;
    }
    targets.push_back(RatioLine(Format("%s ≥ %.2f× %s", row.name, *row.bar, refName), *r, *ref,
                                row.bar, "", false));
    // CPU time per frame hardly depends on the share of the machine a program gets.
    information.push_back(RatioLine(row.name + " / " + refName + " by CPU time per frame", *r, *ref,
                                    {}, "the reference's CPU ms per frame ÷ the path's", true));
  }
  for (const InfoRatio& info : table.infoRatios) {
    const PathNumbers* a = Find(paths, info.numerator);
    const PathNumbers* b = Find(paths, info.denominator);
    if (a && b) information.push_back(RatioLine(info.label, *a, *b, {}, info.note, false));
  }
  for (const ShareLine& share : table.shares) {
    const PathNumbers* part = Find(paths, share.part);
    const PathNumbers* whole = Find(paths, share.whole);
    if (!part || !whole || !part->frameMs || !whole->frameMs) continue;
    information.push_back({{"label", share.label},
                           {"kind", "share"},
                           {"path", share.part},
                           {"reference", share.whole},
                           {"value",
                            {{"part_ms", Figure(part->frameMs->median)},
                             {"whole_ms", Figure(whole->frameMs->median)}}},
                           {"verdict", nullptr}});
  }
}

void StartAndMemoryLines(const PathTable& table, const std::vector<PathNumbers>& paths,
                         const RawRun& run, Json& targets, Json& information) {
  for (const PathRow& row : table.rows) {
    const PathNumbers* r = Find(paths, row.key);
    if (r && row.startBar) targets.push_back(StartLine(row, *r->raw));
  }
  if (run.soakMinutes) return;
  for (const PathRow& row : table.rows) {
    const PathNumbers* r = Find(paths, row.key);
    if (!r || !row.bar) continue;
    std::optional<double> at10 = ResidentAt(r->raw->memory, 10.0);
    if (at10 && !r->raw->memory.empty())
      information.push_back(
          MibLine(row.name + ": memory growth after 10 s of running (no soak run)", row.key,
                  (r->raw->memory.back().kib - *at10) / 1024.0));
  }
}

void SoakLines(const PathTable& table, const RawRun& run, Json& targets, Json& information) {
  if (!run.soakMinutes) return;
  double allowed = *run.soakMinutes / 10.0;
  for (const SoakRecord& soak : run.soak) {
    const PathRow* row = FindPath(table, soak.key);
    std::optional<double> at10 = ResidentAt(soak.samples, 10.0);
    if (!row || !at10) continue;
    double end = soak.samples.back().kib;
    if (row->bar) {
      targets.push_back(
          MibLine(Format("%s: memory growth ≤ %.2f MiB over the soak", row->name, allowed, ""),
                  row->key, (end - *at10) / 1024.0, allowed));
    } else {
      information.push_back(MibLine(row->name + ": memory growth over the same time", row->key,
                                    (end - *at10) / 1024.0));
    }
    // The driver's own heap settles during a path's first minute; what comes later is growth.
    std::optional<double> later = ResidentAt(soak.samples, 60.0);
    if (later)
      information.push_back(
          MibLine(row->name + " from 60 s to the end", row->key, (end - *later) / 1024.0));
  }
}

// Rounds flagged loaded count in a verdict: a target judged on them says how many.
void MarkLoad(const std::vector<PathNumbers>& paths, const RawRun& run, Json& lines) {
  for (Json& line : lines) {
    if (line["kind"] != "ratio" || line["verdict"].is_null()) continue;
    const PathNumbers* p = Find(paths, line["path"].get<std::string>());
    int32_t loaded = 0, rounds = 0;
    for (const RoundLoad& load : run.roundLoads) {
      if (!p || load.group != p->row->group) continue;
      ++rounds;
      loaded += load.othersCores >= kLoadedCores;
    }
    if (loaded) line["under_load"] = {{"rounds", loaded}, {"of", rounds}};
  }
}

}  // namespace

void JudgeLines(const PathTable& table, const std::vector<PathNumbers>& paths, const RawRun& run,
                Json& targets, Json& information) {
  targets = Json::array();
  information = Json::array();
  if (run.kind == "rounds") {
    RatioLines(table, paths, targets, information);
    StartAndMemoryLines(table, paths, run, targets, information);
  }
  SoakLines(table, run, targets, information);
  MarkLoad(paths, run, targets);
}

Json SelfCheckLines(const std::vector<PathNumbers>& paths) {
  Json lines = Json::array();
  for (const PathNumbers& copy : paths) {
    if (!copy.Measured() || copy.row->reference.empty() ||
        copy.row->key != copy.row->reference + "-copy")
      continue;
    const PathNumbers* original = Find(paths, copy.row->reference);
    if (!original) continue;
    Json line = RatioLine(original->row->name + " / itself", copy, *original, {}, "", false);
    const Json& value = line["value"];
    std::optional<double> low = NumberAt(value, "low"), high = NumberAt(value, "high");
    line["holds_one"] = low && high && *low <= 1.0 && 1.0 <= *high;
    lines.push_back(line);
  }
  return lines;
}
