// The summary scripts/bench prints (benchlib/report.py's print_summary), made from the run's own
// results.json so the printed table and the file cannot disagree.
#include "stats.h"
#include "json.h"
#include "run_numbers.h"
#include "run_record.h"
#include "text_table.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace {

const char kNone[] = "—";

std::optional<double> Number(const JsonValue* object, const char* name) {
  const JsonValue* v = object ? JsonMember(*object, name) : nullptr;
  if (!v || v->kind != JsonKind::kNumber) return std::nullopt;
  return v->number;
}

std::string Text(const JsonValue* object, const char* name) {
  const JsonValue* v = object ? JsonMember(*object, name) : nullptr;
  return v && v->kind == JsonKind::kString ? v->text : std::string();
}

std::string Fixed(std::optional<double> value, int digits) {
  if (!value) return kNone;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", digits, *value);
  return buffer;
}

std::string Percent(std::optional<double> half) {
  return half ? "±" + Fixed(*half * 100, 1) + " %" : kNone;
}

// Floored to a tenth, so a coverage under 95 % never prints as 95 %.
std::string Coverage(double c) {
  std::string text = Fixed(std::floor(c * 1000 + 1e-9) / 10.0, 1);
  if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
  return text + " %";
}

std::string CoverageNote(const JsonValue& d) {
  std::optional<double> coverage = Number(&d, "coverage");
  if (Number(&d, "processes").value_or(1) >= 2 && Number(&d, "log_se")) {
    return coverage == kLevel || !coverage ? "" : " (" + Coverage(*coverage) + ")";
  }
  if (!coverage) return " (rounds of 1 process)";
  return " (rounds of 1 process, " + Coverage(*coverage) + ")";
}

std::string Interval(const JsonValue* d, int digits = 1) {
  if (!d || d->kind != JsonKind::kObject) return kNone;
  return Fixed(Number(d, "median"), digits) + " [" + Fixed(Number(d, "low"), digits) + "–" +
         Fixed(Number(d, "high"), digits) + "]" + CoverageNote(*d);
}

std::string LineValue(const JsonValue& line, bool withWidth = true) {
  std::string kind = Text(&line, "kind");
  const JsonValue* value = JsonMember(line, "value");
  if (kind == "ratio") {
    std::string text = Interval(value, 3);
    size_t at = text.find(" [");
    if (at != std::string::npos) text.replace(at, 2, "× [");
    std::optional<double> half = Number(&line, "half_width");
    return text + (half && withWidth ? "  " + Percent(half) : "");
  }
  if (kind == "share")
    return Fixed(Number(value, "part_ms"), 1) + " of " + Fixed(Number(value, "whole_ms"), 1) +
           " ms";
  if (kind == "seconds") return Fixed(Number(&line, "value"), 2) + " s";
  if (kind == "mib") {
    std::optional<double> mib = Number(&line, "value");
    return mib ? (*mib >= 0 ? "+" : "") + Fixed(mib, 2) + " MiB" : kNone;
  }
  return kNone;
}

const JsonValue* FpsLine(const JsonValue& data, const std::string& key, const std::string& ref) {
  for (const char* part : {"targets", "information"}) {
    for (const JsonValue& l : JsonMember(data, part)->items) {
      std::string measure = Text(&l, "measure");
      if (Text(&l, "kind") == "ratio" && (measure.empty() || measure == "fps") &&
          Text(&l, "path") == key && Text(&l, "reference") == ref)
        return &l;
    }
  }
  return nullptr;
}

std::string NameOf(const JsonValue& data, const std::string& key) {
  for (const JsonValue& p : JsonMember(data, "paths")->items) {
    if (Text(&p, "key") == key) return Text(&p, "name");
  }
  return key;
}

std::vector<std::string> PathCells(const JsonValue& data, const JsonValue& p) {
  std::string failed = Text(&p, "failed");
  std::string rounds =
      Fixed(Number(&p, "rounds"), 0) + " (" + Fixed(Number(&p, "processes"), 0) + ")";
  if (!failed.empty()) return {Text(&p, "name"), rounds, kNone, "failed: " + failed};
  const JsonValue* fps = JsonMember(p, "fps");
  bool capped = JsonMember(p, "capped") && JsonMember(p, "capped")->boolean;
  std::optional<StatInterval> interval;
  if (fps && fps->kind == JsonKind::kObject) {
    interval = StatInterval();
    interval->median = Number(fps, "median").value_or(0);
    interval->low = Number(fps, "low").value_or(0);
    interval->high = Number(fps, "high").value_or(0);
  }
  std::string reference = Text(&p, "reference");
  const JsonValue* ratio = reference.empty() ? nullptr : FpsLine(data, Text(&p, "key"), reference);
  std::optional<double> glyphs = Number(&p, "glyphs_per_second");
  return {Text(&p, "name"),
          rounds,
          Fixed(Number(&p, "frames"), 0),
          Interval(fps) + (capped ? " " + Text(&p, "capped_note") : ""),
          Percent(HalfWidth(interval)),
          Interval(JsonMember(p, "cpu_ms_per_frame")),
          glyphs && *glyphs && !capped ? Fixed(glyphs, 0) : kNone,
          Number(&p, "gl_calls_per_frame") ? Fixed(Number(&p, "gl_calls_per_frame"), 0) : kNone,
          ratio ? LineValue(*ratio, false) + " " + NameOf(data, reference) : kNone};
}

std::string Lines(const char* title, const JsonValue& lines) {
  if (lines.items.empty()) return "";
  std::string out = std::string("\n") + title + "\n";
  for (const JsonValue& line : lines.items) {
    std::string verdict = Text(&line, "verdict");
    if (verdict == kMissed || verdict == kUndecided) {
      for (char& c : verdict) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    out += "  " + PadRight(Text(&line, "label"), 76) + " " + PadRight(LineValue(line), 34) + " " +
           verdict + "\n";
  }
  return out;
}

std::vector<std::string> Notes(const JsonValue& data) {
  const JsonValue* run = JsonMember(data, "run");
  const JsonValue* desktop = JsonMember(*run, "desktop");
  const JsonValue* gl = JsonMember(*run, "gl");
  std::optional<double> refresh = Number(desktop, "refresh_hz");
  std::vector<std::string> notes = {
      "Run: " + Text(run, "date") + "; glyphstorm " + Text(run, "version") + ", " +
          Text(run, "arch") + " build on " + Text(desktop, "windows") + "; CPU " +
          Text(desktop, "cpu") + ", " + Fixed(Number(desktop, "cores"), 0) + " cores.",
      "Desktop: display adapter " + Text(desktop, "adapter") + ", refresh rate " +
          (refresh ? Fixed(refresh, 0) + " Hz" : "unknown") + "; GL renderer \"" +
          Text(gl, "renderer") + "\", version \"" + Text(gl, "version") + "\", vendor \"" +
          Text(gl, "vendor") + "\".",
      "Rounds: " + Fixed(Number(run, "rounds"), 0) + "; each path runs " +
          Fixed(Number(run, "slice_s").value_or(0) + Number(run, "warmup_s").value_or(0), 2) +
          " s per round, the first " + Fixed(Number(run, "warmup_s"), 2) +
          " s of it not counted (warm-up); only one program runs at a time.",
      "Intervals: " + Text(run, "interval_method") +
          ". Ratios of paths measured in the same rounds are medians of the per-round ratios.",
  };
  const JsonValue* steadiness = JsonMember(data, "steadiness");
  if (steadiness && steadiness->kind == JsonKind::kObject)
    notes.push_back(Text(steadiness, "summary"));
  const JsonValue* partial = JsonMember(*run, "partial");
  if (partial && partial->boolean)
    notes.push_back(
        "Partial: the run was stopped before its end; this is what it measured until then.");
  return notes;
}

const std::vector<std::string> kHeader = {"path",
                                          "rounds (processes)",
                                          "frames",
                                          "FPS median [95 % interval]",
                                          "±",
                                          "CPU ms/frame [95 %]",
                                          "glyphs/s",
                                          "GL calls/frame",
                                          "ratio to reference [95 %]"};

}  // namespace

std::string SummaryText(const PathTable& table, const RunRecord& run) {
  JsonValue data;
  std::string error;
  ParseJson(ResultsJson(table, run), data, error);
  std::vector<std::vector<std::string>> rows;
  std::string failures;
  for (const JsonValue& p : JsonMember(data, "paths")->items) {
    rows.push_back(PathCells(data, p));
    if (!Text(&p, "failed").empty())
      failures += "  " + Text(&p, "name") + ": failed: " + Text(&p, "failed") +
                  "; command: " + Text(&p, "command") + "\n";
  }
  std::string out = "\n" + TextTable(kHeader, rows);
  if (!failures.empty()) out += "\nFailed\n" + failures;
  out += Lines("Targets", *JsonMember(data, "targets"));
  out += Lines("Information", *JsonMember(data, "information"));
  const JsonValue& quality = *JsonMember(data, "quality");
  if (!quality.items.empty()) {
    out += "\nRun quality\n";
    for (const JsonValue& check : quality.items) {
      bool ok = JsonMember(check, "ok")->boolean;
      out += "  " + PadRight(Text(&check, "label"), 92) + " " +
             PadRight(Percent(Number(&check, "value")), 9) + " " + (ok ? "ok" : "TOO WIDE") + "\n";
    }
  }
  out += "\n";
  for (const std::string& note : Notes(data)) out += WrapText(note, 110, "  ");
  return out;
}
