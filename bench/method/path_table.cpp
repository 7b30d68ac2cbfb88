// The table's faults among its rows, and what every harness asks of it: groups, arguments, the
// rows a sweep or a self-check is made of.
#include <algorithm>
#include <map>

#include "path_table.h"

namespace {

// What paths.json may name.
const char* const kFrameSources[] = {"debug", "swap", "flip"};
const char* const kLaunches[] = {"bin", "glyphstorm"};

template <size_t n>
bool OneOf(const char* const (&names)[n], const std::string& name) {
  return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

template <typename Field>
void Repeats(const PathTable& table, Field field, const char* what,
             std::vector<std::string>& faults) {
  std::map<std::string, int> seen;
  for (const PathRow& row : table.rows) ++seen[field(row)];
  for (const auto& [value, count] : seen) {
    if (count > 1) faults.push_back(std::string(what) + value + " is used by more than one row");
  }
}

void RowFaults(const PathTable& table, const PathRow& p, std::vector<std::string>& faults) {
  const PathRow* reference = p.reference.empty() ? nullptr : FindPath(table, p.reference);
  const PathRow* line = p.onSweep.empty() ? nullptr : FindPath(table, p.onSweep);
  if (!OneOf(kFrameSources, p.source))
    faults.push_back(p.key + ": unknown frame source '" + p.source + "'");
  if (!OneOf(kLaunches, p.launch)) faults.push_back(p.key + ": unknown launch '" + p.launch + "'");
  if (!p.reference.empty() && !reference)
    faults.push_back(p.key + ": reference " + p.reference + " is no row");
  if (!p.onSweep.empty() && !line)
    faults.push_back(p.key + ": on_sweep " + p.onSweep + " is no row");
  if (reference && reference->group != p.group)
    faults.push_back(p.key + ": its reference " + p.reference + " is measured in another group");
  if (p.bar && p.reference.empty()) faults.push_back(p.key + ": a bar without a reference");
  if (line && !line->sweep) faults.push_back(p.key + ": " + p.onSweep + " is not swept");
  if (p.sweep && std::find(p.args.begin(), p.args.end(), "{phrases}") == p.args.end())
    faults.push_back(p.key + ": swept, but takes no phrase count");
}

void LineFaults(const PathTable& table, const std::string& label,
                std::initializer_list<const std::string*> keys, std::vector<std::string>& faults) {
  for (const std::string* key : keys) {
    if (!FindPath(table, *key)) faults.push_back(label + ": " + *key + " is no row");
  }
}

Json TextOrNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

}  // namespace

std::vector<std::string> CheckPathTable(const PathTable& table) {
  std::vector<std::string> faults;
  Repeats(
      table, [](const PathRow& r) { return r.key; }, "key ", faults);
  Repeats(
      table, [](const PathRow& r) { return "'" + r.name + "'"; }, "name ", faults);
  for (const PathRow& row : table.rows) RowFaults(table, row, faults);
  for (const InfoRatio& l : table.infoRatios)
    LineFaults(table, l.label, {&l.numerator, &l.denominator}, faults);
  for (const ShareLine& l : table.shares) LineFaults(table, l.label, {&l.part, &l.whole}, faults);
  return faults;
}

Json PathRowJson(const PathRow& row) {
  return Json{{"key", row.key},
              {"name", row.name},
              {"program", row.program},
              {"args", row.args},
              {"launch", row.launch},
              {"desktop", row.desktop},
              {"source", row.source},
              {"phrases", row.phrases},
              {"keys", row.keys},
              {"group", row.group},
              {"reference", TextOrNull(row.reference)},
              {"bar", Figure(row.bar)},
              {"start_bar", Figure(row.startBar)},
              {"soak", row.soak},
              {"gl_calls", row.glCalls},
              {"sweep", row.sweep},
              {"on_sweep", TextOrNull(row.onSweep)},
              {"shot", row.shot}};
}

const PathRow* FindPath(const PathTable& table, const std::string& key) {
  for (const PathRow& row : table.rows) {
    if (row.key == key) return &row;
  }
  return nullptr;
}

std::vector<std::vector<const PathRow*>> PathGroups(const std::vector<const PathRow*>& rows) {
  std::vector<std::vector<const PathRow*>> groups;
  for (const PathRow* row : rows) {
    auto same = [&](const std::vector<const PathRow*>& g) { return g[0]->group == row->group; };
    auto found = std::find_if(groups.begin(), groups.end(), same);
    if (found == groups.end()) {
      groups.push_back({row});
    } else {
      found->push_back(row);
    }
  }
  return groups;
}

int32_t RoundsFor(const PathTable& table, const std::string& group, int32_t rounds) {
  for (const RoundsCap& cap : table.roundsCaps) {
    if (cap.group == group) return std::min(rounds, cap.rounds);
  }
  return rounds;
}

std::vector<std::string> PathArguments(const PathRow& row, int32_t seconds, int32_t phrases) {
  std::vector<std::string> args;
  for (const std::string& a : row.args) {
    if (a == "{seconds}") {
      args.push_back(std::to_string(seconds));
    } else if (a == "{phrases}") {
      args.push_back(std::to_string(phrases < 0 ? row.phrases : phrases));
    } else {
      args.push_back(a);
    }
  }
  return args;
}

int64_t GlyphsPerFrame(const PathTable& table, const PathRow& row) {
  return static_cast<int64_t>(row.phrases) * table.phraseGlyphs;
}

namespace {

// A row measured for itself alone: nothing judged on it, nothing soaked or traced.
PathRow Plain(PathRow row) {
  row.reference.clear();
  row.bar.reset();
  row.startBar.reset();
  row.soak = row.glCalls = row.sweep = false;
  row.onSweep.clear();
  return row;
}

}  // namespace

std::vector<PathRow> SweepRows(const std::vector<const PathRow*>& chosen,
                               const std::vector<int32_t>& phraseCounts) {
  std::vector<PathRow> rows;
  for (const PathRow* line : chosen) {
    if (!line->sweep) continue;
    std::string group = "sweep-" + line->key;
    for (const PathRow* product : chosen) {
      if (product->onSweep != line->key) continue;
      PathRow row = Plain(*product);
      row.group = group;
      row.startBar = product->startBar;
      rows.push_back(row);
    }
    for (int32_t phrases : phraseCounts) {
      PathRow row = Plain(*line);
      std::string count = std::to_string(phrases);
      row.key += "@" + count;
      row.name += ", " + count + " phrases";
      row.phrases = phrases;
      row.group = group;
      row.shot += "-" + count;
      rows.push_back(row);
    }
  }
  return rows;
}

std::vector<PathRow> SelfCheckRows(const PathTable& table,
                                   const std::vector<const PathRow*>& chosen) {
  std::vector<PathRow> rows;
  for (const PathRow* product : chosen) {
    if (!product->bar) continue;
    const PathRow* reference = FindPath(table, product->reference);
    bool taken = std::find(chosen.begin(), chosen.end(), reference) != chosen.end();
    if (!reference || !taken) continue;
    PathRow original = Plain(*reference);
    PathRow copy = original;
    copy.key += "-copy";
    copy.name += " (copy)";
    copy.reference = reference->key;
    copy.shot += "-copy";
    rows.push_back(original);
    rows.push_back(copy);
  }
  return rows;
}
