// The lines that compare paths: targets with verdicts, information ratios and shares, and the
// run's quality checks, as scripts/benchlib/results.py draws them from the path table.
#include "run_numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const char kCappedVerdict[] = "capped by the display";

std::string Format(const char* pattern, const std::string& a, double value, const std::string& b) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, pattern, a.c_str(), value, b.c_str());
  return buffer;
}

const PathNumbers* Measured(const std::vector<PathNumbers>& paths, const std::string& key) {
  for (const PathNumbers& p : paths) {
    if (p.row->key == key && p.run->failure.empty()) return &p;
  }
  return nullptr;
}

JsonValue Numbers(const std::vector<double>& values) {
  JsonValue list = JsonArray();
  for (double v : values) JsonPush(list, JsonNumber(v));
  return list;
}

JsonValue Integers(const std::vector<int32_t>& values) {
  JsonValue list = JsonArray();
  for (int32_t v : values) JsonPush(list, JsonNumber(v));
  return list;
}

// a / b by FPS; by CPU time per frame b's / a's, so above 1 still means a is the cheaper one.
// Paths of one group are paired round by round.
JsonValue RatioLine(const std::string& label, const PathNumbers& a, const PathNumbers& b,
                    std::optional<double> bar, const std::string& note, bool byCpu) {
  const PathNumbers& top = byCpu ? b : a;
  const PathNumbers& bottom = byCpu ? a : b;
  const std::vector<double>& upper = byCpu ? top.cpu : top.fps;
  const std::vector<double>& lower = byCpu ? bottom.cpu : bottom.fps;
  PairedRatios paired = PairRatios(upper, lower, top.processes);
  bool pairs = a.row->group == b.row->group && !paired.ratios.empty();
  std::optional<StatInterval> interval =
      pairs ? ProcessInterval(paired.ratios, paired.processes)
            : UnpairedRatioInterval(upper, lower, top.processes, bottom.processes);
  JsonValue line = JsonObject();
  JsonAdd(line, "label", JsonText(label));
  JsonAdd(line, "kind", JsonText("ratio"));
  JsonAdd(line, "measure", JsonText(byCpu ? "cpu" : "fps"));
  JsonAdd(line, "path", JsonText(a.row->key));
  JsonAdd(line, "reference", JsonText(b.row->key));
  JsonAdd(line, "bar", NumberOrNull(bar));
  JsonAdd(line, "value", IntervalJson(interval));
  JsonAdd(line, "half_width", NumberOrNull(HalfWidth(interval)));
  JsonAdd(line, "rounds", pairs ? Numbers(paired.ratios) : JsonNull());
  JsonAdd(line, "round_processes", pairs ? Integers(paired.processes) : JsonNull());
  JsonAdd(line, "pairing", JsonText(pairs ? "paired" : "unpaired"));
  // A ratio of a path held at the display's rate measures the display.
  bool capped = a.capped || b.capped;
  JsonAdd(line, "verdict",
          !bar ? JsonNull() : JsonText(capped ? kCappedVerdict : Verdict(interval, *bar)));
  if (capped) JsonAdd(line, "capped", JsonBool(true));
  if (!note.empty()) JsonAdd(line, "note", JsonText(note));
  return line;
}

JsonValue ShareJson(const ::ShareLine& share, const PathNumbers& part, const PathNumbers& whole) {
  JsonValue line = JsonObject();
  JsonAdd(line, "label", JsonText(share.label));
  JsonAdd(line, "kind", JsonText("share"));
  JsonAdd(line, "path", JsonText(share.part));
  JsonAdd(line, "reference", JsonText(share.whole));
  JsonValue value = JsonObject();
  JsonAdd(value, "part_ms", JsonNumber(part.frameMs->median));
  JsonAdd(value, "whole_ms", JsonNumber(whole.frameMs->median));
  JsonAdd(line, "value", value);
  JsonAdd(line, "verdict", JsonNull());
  return line;
}

JsonValue StartLine(const PathRow& row, const PathRun& run) {
  std::string program =
      row.program.size() > 4 ? row.program.substr(0, row.program.size() - 4) : row.program;
  JsonValue line = JsonObject();
  JsonAdd(line, "label",
          JsonText(Format("%s: start to first frame < %.1f s", program, *row.startBar, "")));
  JsonAdd(line, "kind", JsonText("seconds"));
  JsonAdd(line, "path", JsonText(row.key));
  JsonAdd(line, "bar", JsonNumber(*row.startBar));
  JsonAdd(line, "value", NumberOrNull(run.firstFrameSeconds));
  JsonAdd(line, "verdict", JsonText(ValueVerdict(run.firstFrameSeconds, *row.startBar)));
  return line;
}

}  // namespace

void TargetsAndInformation(const PathTable& table, const std::vector<PathNumbers>& paths,
                           JsonValue& targets, JsonValue& information) {
  targets = JsonArray();
  information = JsonArray();
  for (const PathRow& row : table.rows) {
    const PathNumbers* r = Measured(paths, row.key);
    const PathNumbers* ref = row.reference.empty() ? nullptr : Measured(paths, row.reference);
    if (!r || !ref) continue;
    const std::string& refName = ref->row->name;
    if (row.bar) {
      JsonPush(targets, RatioLine(Format("%s ≥ %.2f× %s", row.name, *row.bar, refName), *r, *ref,
                                  row.bar, "", false));
      // CPU time per frame hardly depends on the share of the machine a program gets.
      JsonPush(information,
               RatioLine(row.name + " / " + refName + " by CPU time per frame", *r, *ref, {},
                         "the reference's CPU ms per frame ÷ the path's", true));
    } else {
      JsonPush(information, RatioLine(row.name + " / " + refName, *r, *ref, {}, "", false));
    }
  }
  for (const InfoRatio& info : table.infoRatios) {
    const PathNumbers* a = Measured(paths, info.numerator);
    const PathNumbers* b = Measured(paths, info.denominator);
    if (a && b) JsonPush(information, RatioLine(info.label, *a, *b, {}, info.note, false));
  }
  for (const ::ShareLine& share : table.shares) {
    const PathNumbers* part = Measured(paths, share.part);
    const PathNumbers* whole = Measured(paths, share.whole);
    if (part && whole && part->frameMs && whole->frameMs)
      JsonPush(information, ShareJson(share, *part, *whole));
  }
  for (const PathRow& row : table.rows) {
    const PathNumbers* r = Measured(paths, row.key);
    if (r && row.startBar) JsonPush(targets, StartLine(row, *r->run));
  }
}

namespace {

void WidthChecks(const JsonValue& lines, JsonValue& quality) {
  for (const JsonValue& line : lines.items) {
    const JsonValue* kind = JsonMember(line, "kind");
    const JsonValue* pairing = JsonMember(line, "pairing");
    const JsonValue* half = JsonMember(line, "half_width");
    if (!kind || kind->text != "ratio" || !pairing || pairing->text != "paired" || !half ||
        half->kind != JsonKind::kNumber)
      continue;
    JsonValue check = JsonObject();
    JsonAdd(check, "label",
            JsonText(JsonMember(line, "label")->text + ": interval within ±" +
                     std::to_string(std::lround(kWidthBar * 100)) + " %"));
    JsonAdd(check, "value", JsonNumber(half->number));
    JsonAdd(check, "ok", JsonBool(half->number <= kWidthBar));
    JsonAdd(check, "target", JsonBool(JsonMember(line, "verdict")->kind != JsonKind::kNull));
    JsonPush(quality, check);
  }
}

double UpperMiddle(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

void RunQuality(const std::vector<PathNumbers>& paths, const JsonValue& targets,
                const JsonValue& information, JsonValue& quality, JsonValue& steadiness) {
  quality = JsonArray();
  WidthChecks(targets, quality);
  WidthChecks(information, quality);
  std::vector<double> fpsCv, cpuCv;
  int32_t steadier = 0, counted = 0;
  for (const PathNumbers& p : paths) {
    if (!p.run->failure.empty()) continue;
    ++counted;
    std::optional<double> fps = Variation(p.fps), cpu = Variation(p.cpu);
    if (fps) fpsCv.push_back(*fps);
    if (cpu) cpuCv.push_back(*cpu);
    steadier += fps && cpu && *cpu < *fps;
  }
  steadiness = JsonNull();
  if (fpsCv.empty() || cpuCv.empty()) return;
  double fpsMid = UpperMiddle(fpsCv), cpuMid = UpperMiddle(cpuCv);
  char summary[400];
  std::snprintf(summary, sizeof summary,
                "CPU ms per frame varied over rounds by a median %.1f %% (coefficient of "
                "variation), FPS by %.1f %%: CPU time per frame is %s FPS here (steadier on %d "
                "of %d paths).",
                cpuMid * 100, fpsMid * 100, cpuMid < fpsMid ? "steadier than" : "no steadier than",
                static_cast<int>(steadier), static_cast<int>(counted));
  steadiness = JsonObject();
  JsonAdd(steadiness, "fps_cv_median", JsonNumber(fpsMid));
  JsonAdd(steadiness, "cpu_cv_median", JsonNumber(cpuMid));
  JsonAdd(steadiness, "paths_steadier_in_cpu", JsonNumber(steadier));
  JsonAdd(steadiness, "paths", JsonNumber(counted));
  JsonAdd(steadiness, "summary", JsonText(summary));
}
