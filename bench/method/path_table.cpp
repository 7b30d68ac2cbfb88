// paths.json into a PathTable: every field's type checked, absent fields given their defaults,
// then the table checks scripts/bench makes.
#include "json.h"
#include "run_record.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

// Reads the members of one object; what it never asked for is an unknown field ("_" names are
// comments).
struct Fields {
  const JsonValue& object;
  std::string where;
  std::string error;
  std::set<std::string> asked;
};

const JsonValue* Take(Fields& f, const char* name, bool required) {
  f.asked.insert(name);
  const JsonValue* v = JsonMember(f.object, name);
  if (!v && required && f.error.empty()) f.error = f.where + ": no " + name;
  return v;
}

bool Wrong(Fields& f, const char* name, const char* type) {
  if (f.error.empty()) f.error = f.where + ": " + name + " must be " + type;
  return false;
}

bool Text(Fields& f, const char* name, std::string& out, bool required = false,
          bool nullable = false) {
  const JsonValue* v = Take(f, name, required);
  if (!v || (nullable && v->kind == JsonKind::kNull)) return v || !required;
  if (v->kind != JsonKind::kString) return Wrong(f, name, "a string");
  out = v->text;
  return true;
}

bool Flag(Fields& f, const char* name, bool& out) {
  const JsonValue* v = Take(f, name, false);
  if (!v) return true;
  if (v->kind != JsonKind::kBool) return Wrong(f, name, "true or false");
  out = v->boolean;
  return true;
}

bool WholeNumber(const JsonValue& v) {
  return v.kind == JsonKind::kNumber && v.number >= 0 && v.number <= 1e9 &&
         v.number == std::floor(v.number);
}

bool Count(Fields& f, const char* name, int32_t& out, bool required = false, int32_t least = 0) {
  const JsonValue* v = Take(f, name, required);
  if (!v) return !required;
  if (!WholeNumber(*v) || v->number < least) {
    if (f.error.empty())
      f.error =
          f.where + ": " + name + " must be a whole number of at least " + std::to_string(least);
    return false;
  }
  out = static_cast<int32_t>(v->number);
  return true;
}

bool Bar(Fields& f, const char* name, std::optional<double>& out) {
  const JsonValue* v = Take(f, name, false);
  if (!v || v->kind == JsonKind::kNull) return true;
  if (v->kind != JsonKind::kNumber || !(v->number > 0)) return Wrong(f, name, "a number > 0");
  out = v->number;
  return true;
}

bool TextList(Fields& f, const char* name, std::vector<std::string>& out) {
  const JsonValue* v = Take(f, name, false);
  if (!v) return true;
  if (v->kind != JsonKind::kArray) return Wrong(f, name, "a list of strings");
  for (const JsonValue& item : v->items) {
    if (item.kind != JsonKind::kString) return Wrong(f, name, "a list of strings");
    out.push_back(item.text);
  }
  return true;
}

bool NoStrangers(Fields& f) {
  for (const std::string& name : f.object.names) {
    if (!name.empty() && name[0] != '_' && !f.asked.count(name)) {
      f.error = f.where + ": unknown field " + name;
      return false;
    }
  }
  return f.error.empty();
}

bool ReadRow(const JsonValue& v, size_t index, PathRow& row, std::string& error) {
  Fields f{v, "path " + std::to_string(index + 1), {}, {}};
  if (v.kind != JsonKind::kObject) {
    error = f.where + ": not an object";
    return false;
  }
  if (Text(f, "key", row.key, true) && !row.key.empty()) f.where = row.key;
  bool ok = Text(f, "name", row.name, true) && Text(f, "program", row.program, true) &&
            TextList(f, "args", row.args) && Text(f, "launch", row.launch) &&
            Flag(f, "desktop", row.desktop) && Text(f, "source", row.source, true) &&
            Count(f, "phrases", row.phrases, true) && TextList(f, "keys", row.keys) &&
            Text(f, "group", row.group, true) && Text(f, "reference", row.reference, false, true) &&
            Bar(f, "bar", row.bar) && Bar(f, "start_bar", row.startBar) &&
            Flag(f, "soak", row.soak) && Flag(f, "gl_calls", row.glCalls) &&
            Flag(f, "sweep", row.sweep) && Text(f, "on_sweep", row.onSweep, false, true) &&
            Text(f, "shot", row.shot) && NoStrangers(f);
  if (row.shot.empty()) row.shot = row.key;
  error = f.error;
  return ok && f.error.empty();
}

template <typename Line, typename ReadLine>
bool ReadLines(Fields& top, const char* name, std::vector<Line>& out, ReadLine read) {
  const JsonValue* v = Take(top, name, false);
  if (!v) return true;
  if (v->kind != JsonKind::kArray) return Wrong(top, name, "a list");
  for (size_t i = 0; i < v->items.size(); ++i) {
    Fields f{v->items[i], std::string(name) + " " + std::to_string(i + 1), {}, {}};
    Line line;
    if (v->items[i].kind != JsonKind::kObject) f.error = f.where + ": not an object";
    if (!f.error.empty() || !read(f, line) || !NoStrangers(f)) {
      top.error = f.error;
      return false;
    }
    out.push_back(line);
  }
  return true;
}

bool ReadRoundsCap(Fields& top, PathTable& table) {
  const JsonValue* v = Take(top, "rounds_cap", false);
  if (!v) return true;
  if (v->kind != JsonKind::kObject) return Wrong(top, "rounds_cap", "an object");
  for (size_t i = 0; i < v->items.size(); ++i) {
    if (!WholeNumber(v->items[i]) || v->items[i].number < 1)
      return Wrong(top, "rounds_cap", "group: a whole number >= 1");
    table.roundsCaps.push_back({v->names[i], static_cast<int32_t>(v->items[i].number)});
  }
  return true;
}

bool ReadPlan(Fields& top, PathTable& table) {
  const JsonValue* v = Take(top, "plan", true);
  if (!v) return false;
  if (v->kind != JsonKind::kObject) return Wrong(top, "plan", "an object");
  Fields f{*v, "plan", {}, {}};
  bool ok = Count(f, "rounds", table.plan.rounds, true, 1) &&
            Count(f, "processes", table.plan.processes, true, 1) && NoStrangers(f);
  if (!ok) top.error = f.error;
  return ok;
}

bool ReadSweepPhrases(Fields& top, PathTable& table) {
  const JsonValue* v = Take(top, "sweep_phrases", false);
  if (!v) return true;
  if (v->kind != JsonKind::kArray) return Wrong(top, "sweep_phrases", "a list of whole numbers");
  for (const JsonValue& item : v->items) {
    if (!WholeNumber(item) || item.number < 1)
      return Wrong(top, "sweep_phrases", "a list of whole numbers of at least 1");
    table.sweepPhrases.push_back(static_cast<int32_t>(item.number));
  }
  return true;
}

bool ReadTop(const JsonValue& root, PathTable& table, std::string& error) {
  Fields top{root, "paths.json", {}, {}};
  const JsonValue* rows = Take(top, "paths", true);
  bool ok = Count(top, "phrase_glyphs", table.phraseGlyphs, false, 1) && rows &&
            (rows->kind == JsonKind::kArray || Wrong(top, "paths", "a list"));
  for (size_t i = 0; ok && i < rows->items.size(); ++i) {
    table.rows.emplace_back();
    ok = ReadRow(rows->items[i], i, table.rows.back(), top.error);
  }
  ok = ok && ReadPlan(top, table) && ReadRoundsCap(top, table) && ReadSweepPhrases(top, table) &&
       Count(top, "max_phrases", table.maxPhrases, false, 1) &&
       ReadLines(top, "info_ratios", table.infoRatios,
                 [](Fields& f, InfoRatio& l) {
                   return Text(f, "label", l.label, true) &&
                          Text(f, "numerator", l.numerator, true) &&
                          Text(f, "denominator", l.denominator, true) &&
                          Text(f, "note", l.note, false, true);
                 }) &&
       ReadLines(top, "shares", table.shares,
                 [](Fields& f, ShareLine& l) {
                   return Text(f, "label", l.label, true) && Text(f, "part", l.part, true) &&
                          Text(f, "whole", l.whole, true);
                 }) &&
       NoStrangers(top);
  error = top.error;
  return ok && error.empty();
}

}  // namespace

bool LoadPathTable(const std::string& text, PathTable& table, std::string& error) {
  table = PathTable();
  JsonValue root;
  std::string why;
  if (!ParseJson(text, root, why)) {
    error = "paths.json: " + why;
  } else if (root.kind != JsonKind::kObject) {
    error = "paths.json: not an object";
  } else if (ReadTop(root, table, error)) {
    std::vector<std::string> faults = CheckPathTable(table);
    if (faults.empty()) return true;
    error.clear();
    for (const std::string& fault : faults) error += (error.empty() ? "" : "\n") + fault;
  }
  table = PathTable();
  return false;
}
