// Safe reads of results.json's document and the cells every report writer prints alike.
#include "report_format.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace report {

const char kNone[] = "—";
const char kOneProcess[] =
    "(1 process, N %): an interval over the rounds of one process, holding the median of that "
    "process's rounds N % of the time; it leaves out the process's own effect, so no verdict is "
    "drawn from it";

const Json& Items(const Json& object, const char* name) {
  static const Json kEmpty = Json::array();
  const Json& member = MemberAt(object, name);
  return member.is_array() ? member : kEmpty;
}

const Json& ObjectAt(const Json& object, const char* name) {
  static const Json kNull;
  const Json& member = MemberAt(object, name);
  return member.is_object() ? member : kNull;
}

bool IsTrue(const Json& object, const char* name) {
  const Json& member = MemberAt(object, name);
  return member.is_boolean() && member.get<bool>();
}

std::vector<double> Numbers(const Json& array) {
  std::vector<double> values;
  if (!array.is_array()) return values;
  for (const Json& v : array) {
    values.push_back(v.is_number() ? v.get<double>() : std::numeric_limits<double>::quiet_NaN());
  }
  return values;
}

std::vector<int32_t> Processes(const Json& array) {
  std::vector<int32_t> values;
  if (!array.is_array()) return values;
  for (const Json& v : array) {
    double d = v.is_number() ? v.get<double>() : 0;
    values.push_back(std::isfinite(d) && std::fabs(d) < 1e9 ? static_cast<int32_t>(d) : 0);
  }
  return values;
}

std::optional<StatInterval> IntervalFrom(const Json& d) {
  std::optional<double> median = NumberAt(d, "median");
  if (!median) return std::nullopt;
  StatInterval interval;
  interval.median = *median;
  interval.low = NumberAt(d, "low").value_or(*median);
  interval.high = NumberAt(d, "high").value_or(*median);
  interval.coverage = NumberAt(d, "coverage").value_or(0);
  double processes = NumberAt(d, "processes").value_or(1);
  double rounds = NumberAt(d, "rounds").value_or(0);
  interval.processes = processes >= 0 && processes < 1e9 ? static_cast<int32_t>(processes) : 1;
  interval.rounds = rounds >= 0 && rounds < 1e9 ? static_cast<int32_t>(rounds) : 0;
  interval.logSe = NumberAt(d, "log_se");
  interval.df = NumberAt(d, "df");
  return interval;
}

Json IntervalJson(const std::optional<StatInterval>& interval) {
  if (!interval) return nullptr;
  Json d = Json::object();
  d["median"] = Figure(interval->median);
  d["low"] = Figure(interval->low);
  d["high"] = Figure(interval->high);
  d["coverage"] = Figure(interval->coverage);
  d["processes"] = interval->processes;
  d["rounds"] = interval->rounds;
  d["log_se"] = Figure(interval->logSe);
  d["df"] = Figure(interval->df);
  return d;
}

std::string NameOf(const Json& results, const std::string& key) {
  for (const Json& p : Items(results, "paths")) {
    if (TextAt(p, "key") == key && !TextAt(p, "name").empty()) return TextAt(p, "name");
  }
  return key;
}

std::string FailureOf(const Json& path) {
  const Json& failed = MemberAt(path, "failed");
  if (failed.is_null() || (failed.is_boolean() && !failed.get<bool>())) return "";
  if (failed.is_string())
    return failed.get<std::string>().empty() ? "?" : failed.get<std::string>();
  return "?";
}

bool WindowsRun(const Json& results) {
  const Json& run = MemberAt(results, "run");
  std::string harness = TextAt(run, "harness");
  if (!harness.empty()) return harness == "windows-runner";
  return !MemberAt(run, "desktop").is_null() && MemberAt(run, "stack").is_null();
}

std::string Fixed(std::optional<double> value, int digits, const char* none) {
  if (!value || !std::isfinite(*value)) return none;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", digits, *value);
  return text;
}

std::string Signed(double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%+.*f", digits, value);
  return text;
}

std::string Percent(std::optional<double> half) {
  return half && std::isfinite(*half) ? "±" + Fixed(*half * 100, 1) + " %" : kNone;
}

namespace {

// Floored to a tenth, so a coverage under 95 % never prints as 95 %.
std::string Coverage(double c) {
  std::string text = Fixed(std::floor(c * 1000 + 1e-9) / 10.0, 1);
  if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
  return text + " %";
}

}  // namespace

std::string CoverageNote(const Json& d) {
  std::optional<double> coverage = NumberAt(d, "coverage");
  if (NumberAt(d, "processes").value_or(1) >= 2 && NumberAt(d, "log_se")) {
    return !coverage || *coverage == kLevel ? "" : " (" + Coverage(*coverage) + ")";
  }
  if (!coverage) return " (1 process)";
  return " (1 process, " + Coverage(*coverage) + ")";
}

std::string IntervalText(const Json& d, int digits) {
  std::optional<double> median = NumberAt(d, "median");
  if (!median) return kNone;
  return Fixed(median, digits) + " [" + Fixed(NumberAt(d, "low"), digits) + "–" +
         Fixed(NumberAt(d, "high"), digits) + "]" + CoverageNote(d);
}

std::string LineValue(const Json& line, bool withWidth) {
  std::string kind = TextAt(line, "kind");
  const Json& value = MemberAt(line, "value");
  if (kind == "ratio") {
    std::string text = IntervalText(value, 3);
    size_t at = text.find(" [");
    if (at != std::string::npos) text.replace(at, 2, "× [");
    std::optional<double> half = NumberAt(line, "half_width");
    return text + (half && withWidth ? "  " + Percent(half) : "");
  }
  if (kind == "share") {
    return Fixed(NumberAt(value, "part_ms"), 1) + " of " + Fixed(NumberAt(value, "whole_ms"), 1) +
           " ms";
  }
  if (kind == "seconds") return Fixed(NumberAt(line, "value"), 2) + " s";
  if (kind == "mib") {
    std::optional<double> mib = NumberAt(line, "value");
    return mib ? Signed(*mib, 2) + " MiB" : kNone;
  }
  if (value.is_string()) return value.get<std::string>();
  return value.is_number() ? Fixed(value.get<double>(), 2) : kNone;
}

std::string VerdictText(const Json& line, bool markdown) {
  std::string verdict = TextAt(line, "verdict");
  if (verdict.empty()) return kNone;
  const char* bold = markdown ? "**" : "";
  std::string text = verdict == kMet ? verdict : bold + verdict + bold;
  const Json& load = ObjectAt(line, "under_load");
  if (!load.is_null()) {
    text += std::string(", ") + bold + "under load" + bold + " (" +
            Fixed(NumberAt(load, "rounds"), 0, "?") + " of " + Fixed(NumberAt(load, "of"), 0, "?") +
            " rounds loaded)";
  }
  return text;
}

std::string MiB(std::optional<double> kib) {
  return kib && *kib ? Fixed(*kib / 1024.0, 1) + " MiB" : kNone;
}

std::string MarkdownTable(const std::vector<std::string>& header,
                          const std::vector<std::vector<std::string>>& rows) {
  auto row = [&](const std::vector<std::string>& cells) {
    std::string out = "|";
    for (size_t i = 0; i < header.size(); ++i) {
      std::string cell = i < cells.size() ? cells[i] : "";
      for (size_t at = cell.find('|'); at != std::string::npos; at = cell.find('|', at + 2)) {
        cell.replace(at, 1, "\\|");
      }
      out += " " + cell + " |";
    }
    return out + "\n";
  };
  std::string out = row(header) + "|";
  for (size_t i = 0; i < header.size(); ++i) out += "---|";
  out += "\n";
  for (const auto& cells : rows) out += row(cells);
  return out;
}

std::string FailureSentence(const Json& results, bool markdown) {
  const Json& failure = ObjectAt(results, "failure");
  std::string name = TextAt(failure, "name");
  if (name.empty()) name = TextAt(failure, "path");
  if (name.empty()) name = TextAt(failure, "key");
  if (name.empty()) name = "?";
  std::string command = TextAt(failure, "command");
  std::string reason = TextAt(failure, "reason");
  std::string text = "The run failed: " + (markdown ? "**" + name + "**" : name);
  if (!command.empty()) text += markdown ? " (`" + command + "`)" : " (" + command + ")";
  return text + " " + (reason.empty() ? "for a reason not recorded" : reason) + ".";
}

}  // namespace report
