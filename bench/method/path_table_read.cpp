// paths.json into a PathTable: every field's type checked, absent fields given their defaults,
// every fault collected (a user fixing the table sees all of them at once), then the checks
// among rows.
#include <cmath>
#include <set>

#include "path_table.h"

namespace {

// Reads the members of one object; a member it never asked for is an unknown field ("_" names
// are comments).
struct Fields {
  const Json& object;
  std::string where;
  std::vector<std::string>& faults;
  std::set<std::string> asked = {};
};

const Json* Take(Fields& f, const char* name, bool required) {
  f.asked.insert(name);
  auto found = f.object.find(name);
  if (found != f.object.end()) return &*found;
  if (required) f.faults.push_back(f.where + ": " + name + " is missing");
  return nullptr;
}

void Wrong(Fields& f, const char* name, const char* what) {
  f.faults.push_back(f.where + ": " + name + " must be " + what);
}

void Text(Fields& f, const char* name, std::string& out, bool required = false,
          bool nullable = false) {
  const Json* v = Take(f, name, required);
  if (!v || (nullable && v->is_null())) return;
  if (!v->is_string()) return Wrong(f, name, "text");
  out = v->get<std::string>();
}

void Flag(Fields& f, const char* name, bool& out) {
  const Json* v = Take(f, name, false);
  if (!v) return;
  if (!v->is_boolean()) return Wrong(f, name, "true or false");
  out = v->get<bool>();
}

bool WholeNumber(const Json& v, int32_t least) {
  if (!v.is_number()) return false;
  double n = v.get<double>();
  return n >= least && n <= 1e9 && n == std::floor(n);
}

void Count(Fields& f, const char* name, int32_t& out, bool required, int32_t least) {
  const Json* v = Take(f, name, required);
  if (!v) return;
  if (!WholeNumber(*v, least)) {
    f.faults.push_back(f.where + ": " + name + " must be a whole number of at least " +
                       std::to_string(least));
    return;
  }
  out = static_cast<int32_t>(v->get<double>());
}

void Bar(Fields& f, const char* name, std::optional<double>& out) {
  const Json* v = Take(f, name, false);
  if (!v || v->is_null()) return;
  if (!v->is_number() || !(v->get<double>() > 0)) return Wrong(f, name, "a number above 0");
  out = v->get<double>();
}

void TextList(Fields& f, const char* name, std::vector<std::string>& out) {
  const Json* v = Take(f, name, false);
  if (!v) return;
  bool texts = v->is_array();
  for (const Json& item : texts ? *v : Json::array()) texts = texts && item.is_string();
  if (!texts) return Wrong(f, name, "a list of texts");
  for (const Json& item : *v) out.push_back(item.get<std::string>());
}

void NoStrangers(Fields& f) {
  for (const auto& member : f.object.items()) {
    const std::string& name = member.key();
    if (!name.empty() && name[0] != '_' && !f.asked.count(name))
      f.faults.push_back(f.where + ": unknown field " + name);
  }
}

bool IsObject(const Json& v, const std::string& where, std::vector<std::string>& faults) {
  if (!v.is_object()) faults.push_back(where + ": not an object");
  return v.is_object();
}

void ReadRow(const Json& v, size_t index, PathRow& row, std::vector<std::string>& faults) {
  Fields f{v, "paths[" + std::to_string(index) + "]", faults};
  Text(f, "key", row.key, true);
  if (!row.key.empty()) f.where = row.key;
  Text(f, "name", row.name, true);
  Text(f, "program", row.program, true);
  TextList(f, "args", row.args);
  Text(f, "launch", row.launch);
  Flag(f, "desktop", row.desktop);
  Text(f, "source", row.source, true);
  Count(f, "phrases", row.phrases, true, 0);
  TextList(f, "keys", row.keys);
  Text(f, "group", row.group, true);
  Text(f, "reference", row.reference, false, true);
  Bar(f, "bar", row.bar);
  Bar(f, "start_bar", row.startBar);
  Flag(f, "soak", row.soak);
  Flag(f, "gl_calls", row.glCalls);
  Flag(f, "sweep", row.sweep);
  Text(f, "on_sweep", row.onSweep, false, true);
  Text(f, "shot", row.shot);
  NoStrangers(f);
  if (row.shot.empty()) row.shot = row.key;
}

template <typename Line, typename ReadLine>
void ReadLines(Fields& top, const char* name, std::vector<Line>& out, ReadLine read) {
  const Json* v = Take(top, name, false);
  if (!v) return;
  if (!v->is_array()) return Wrong(top, name, "a list");
  for (size_t i = 0; i < v->size(); ++i) {
    std::string where = std::string(name) + "[" + std::to_string(i) + "]";
    if (!IsObject((*v)[i], where, top.faults)) continue;
    Fields f{(*v)[i], where, top.faults};
    Line line;
    read(f, line);
    NoStrangers(f);
    out.push_back(line);
  }
}

void ReadRoundsCap(Fields& top, PathTable& table) {
  const Json* v = Take(top, "rounds_cap", false);
  if (!v) return;
  if (!v->is_object()) return Wrong(top, "rounds_cap", "an object of groups");
  for (const auto& cap : v->items()) {
    if (!WholeNumber(cap.value(), 1))
      top.faults.push_back("rounds_cap: " + cap.key() + " must be a whole number of at least 1");
    else table.roundsCaps.push_back({cap.key(), static_cast<int32_t>(cap.value().get<double>())});
  }
}

void ReadPlan(Fields& top, PathTable& table) {
  const Json* v = Take(top, "plan", true);
  if (!v || !IsObject(*v, "plan", top.faults)) return;
  Fields f{*v, "plan", top.faults};
  Count(f, "rounds", table.plan.rounds, true, 1);
  Count(f, "processes", table.plan.processes, true, 1);
  NoStrangers(f);
}

void ReadSweepPhrases(Fields& top, PathTable& table) {
  const Json* v = Take(top, "sweep_phrases", false);
  if (!v) return;
  bool whole = v->is_array();
  for (const Json& item : whole ? *v : Json::array()) whole = whole && WholeNumber(item, 1);
  if (!whole) return Wrong(top, "sweep_phrases", "a list of whole numbers of at least 1");
  for (const Json& item : *v)
    table.sweepPhrases.push_back(static_cast<int32_t>(item.get<double>()));
}

void ReadRows(Fields& top, PathTable& table) {
  const Json* rows = Take(top, "paths", true);
  if (!rows) return;
  if (!rows->is_array()) return Wrong(top, "paths", "a list");
  for (size_t i = 0; i < rows->size(); ++i) {
    if (!IsObject((*rows)[i], "paths[" + std::to_string(i) + "]", top.faults)) continue;
    table.rows.emplace_back();
    ReadRow((*rows)[i], i, table.rows.back(), top.faults);
  }
}

}  // namespace

bool LoadPathTable(const Json& document, PathTable& table, std::string& faults) {
  table = PathTable();
  std::vector<std::string> found;
  if (IsObject(document, "paths.json", found)) {
    Fields top{document, "paths.json", found};
    Count(top, "phrase_glyphs", table.phraseGlyphs, false, 1);
    ReadRows(top, table);
    ReadPlan(top, table);
    ReadRoundsCap(top, table);
    ReadSweepPhrases(top, table);
    Count(top, "max_phrases", table.maxPhrases, false, 1);
    ReadLines(top, "info_ratios", table.infoRatios, [](Fields& f, InfoRatio& l) {
      Text(f, "label", l.label, true);
      Text(f, "numerator", l.numerator, true);
      Text(f, "denominator", l.denominator, true);
      Text(f, "note", l.note, false, true);
    });
    ReadLines(top, "shares", table.shares, [](Fields& f, ShareLine& l) {
      Text(f, "label", l.label, true);
      Text(f, "part", l.part, true);
      Text(f, "whole", l.whole, true);
    });
    NoStrangers(top);
    if (found.empty()) found = CheckPathTable(table);
  }
  faults.clear();
  for (const std::string& fault : found) faults += (faults.empty() ? "" : "\n") + fault;
  if (found.empty()) return true;
  table = PathTable();
  return false;
}

bool LoadPathTableText(const std::string& text, PathTable& table, std::string& faults) {
  Json document;
  if (!ParseJsonText(text, document, faults)) {
    table = PathTable();
    return false;
  }
  return LoadPathTable(document, table, faults);
}
