#include "runner_options.h"

#include <cstdlib>

namespace {

const int32_t kMaxCount = 1000;

bool ParseCount(const std::string& text, int32_t& count) {
  if (text.empty() || text.size() > 4) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  count = std::atoi(text.c_str());
  return count >= 1 && count <= kMaxCount;
}

std::vector<std::string> SplitKeys(const std::string& text) {
  std::vector<std::string> keys;
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find(',', begin);
    if (end == std::string::npos) end = text.size();
    if (end > begin) keys.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return keys;
}

bool Given(const char* value) { return value && value[0] != '\0'; }

// One option at argv[i]; false when it is unknown or its value is missing or bad.
bool TakeOption(int argc, const char* const* argv, int& i, RunnerOptions& o) {
  std::string word = argv[i];
  const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
  const char* second = i + 2 < argc ? argv[i + 2] : nullptr;
  int used = 0;
  if (word == "--help" || word == "-h" || word == "/?") {
    o.action = RunnerAction::kHelp;
  } else if (word == "--quick") {
    o.quick = true;
  } else if (word == "--rounds" && value && ParseCount(value, o.rounds)) {
    used = 1;
  } else if (word == "--processes" && value && ParseCount(value, o.processes)) {
    used = 1;
  } else if (word == "--paths" && value && !SplitKeys(value).empty()) {
    o.paths = SplitKeys(value);
    used = 1;
  } else if (word == "--out" && Given(value)) {
    o.out = value;
    used = 1;
  } else if (word == "--rejudge" && Given(value)) {
    o.rejudge = value;
    used = 1;
  } else if (word == "--compare" && Given(value) && Given(second)) {
    o.compareOld = value;
    o.compareNew = second;
    used = 2;
  } else {
    return false;
  }
  i += used;
  return true;
}

bool Measuring(const RunnerOptions& o) {
  return o.quick || o.rounds || o.processes || !o.paths.empty() || !o.out.empty();
}

}  // namespace

OptionsResult ParseRunnerOptions(int argc, const char* const* argv, RunnerOptions& options,
                                 std::string& error) {
  for (int i = 1; i < argc; ++i) {
    if (!TakeOption(argc, argv, i, options)) {
      error = std::string("unknown or incomplete option: ") + argv[i];
      return OptionsResult::kBad;
    }
  }
  if (options.action == RunnerAction::kHelp) return OptionsResult::kRun;
  bool rejudge = !options.rejudge.empty(), compare = !options.compareOld.empty();
  if ((rejudge || compare) && (Measuring(options) || (rejudge && compare))) {
    error = std::string(rejudge ? "--rejudge" : "--compare") + " takes no other option";
    return OptionsResult::kBad;
  }
  if (rejudge) options.action = RunnerAction::kRejudge;
  if (compare) options.action = RunnerAction::kCompare;
  return OptionsResult::kRun;
}

std::string RunnerUsage() {
  return "usage: glyphstorm-bench [--quick] [--rounds N] [--processes N] [--paths key,key]\n"
         "                        [--out DIR]\n"
         "       glyphstorm-bench --rejudge DIR\n"
         "       glyphstorm-bench --compare OLD NEW\n"
         "  Measures every drawing path of paths.json against its reference program and writes\n"
         "  raw.json, results.json, report.md, report.html, benchmark.json and glyphs.svg into\n"
         "  report\\<date-time>\\ beside this program (or DIR).\n"
         "  --quick      a smoke run: 3 short rounds, one process\n"
         "  --rounds     rounds of the comparison (default: the plan in paths.json)\n"
         "  --processes  processes each windowed path runs as, one after another\n"
         "  --paths      only these paths (an unknown key lists the keys)\n"
         "  --rejudge    judge the raw.json of a report folder again and rewrite its reports\n"
         "  --compare    two report folders (or results.json files): the change of each ratio\n";
}

PlanRequest RequestFor(const RunnerOptions& options) {
  PlanRequest request;
  request.harness = Harness::kWindows;
  request.kind = RunKind::kRounds;
  request.quick = options.quick;
  request.rounds = options.rounds;
  request.processes = options.processes;
  request.paths = options.paths;
  return request;
}

std::string UnknownPathKey(const PathTable& table, const std::vector<std::string>& keys) {
  for (const std::string& key : keys) {
    if (!FindPath(table, key)) return key;
  }
  return {};
}

std::vector<int32_t> RoundOrder(int32_t paths, int32_t round) {
  std::vector<int32_t> order;
  for (int32_t i = 0; i < paths; ++i) order.push_back(round % 2 == 0 ? i : paths - 1 - i);
  return order;
}
