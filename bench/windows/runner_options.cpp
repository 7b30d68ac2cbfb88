#include "runner_options.h"

#include <algorithm>
#include <cstdlib>

namespace {

const int32_t kMaxRounds = 1000;
// Rounds and processes come from the path table's plan, which scripts/bench runs too.
const RunTimes kPlainTimes = {0, 1.0, 0.2, 1.0, 0};
const RunTimes kQuickTimes = {3, 0.5, 0.2, 0.3, 1};

bool ParseRounds(const std::string& text, int32_t& rounds) {
  if (text.empty() || text.size() > 4) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  rounds = std::atoi(text.c_str());
  return rounds >= 1 && rounds <= kMaxRounds;
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

}  // namespace

OptionsResult ParseRunnerOptions(int argc, const char* const* argv, RunnerOptions& options,
                                 std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    bool hasValue = i + 1 < argc;
    if (word == "--help" || word == "-h" || word == "/?") {
      options.help = true;
    } else if (word == "--quick") {
      options.quick = true;
    } else if (word == "--rounds" && hasValue && ParseRounds(argv[i + 1], options.rounds)) {
      ++i;
    } else if (word == "--paths" && hasValue && !SplitKeys(argv[i + 1]).empty()) {
      options.paths = SplitKeys(argv[++i]);
    } else if (word == "--out" && hasValue && argv[i + 1][0] != '\0') {
      options.out = argv[++i];
    } else {
      error = "unknown or incomplete option: " + word;
      return OptionsResult::Bad;
    }
  }
  return options.help ? OptionsResult::Help : OptionsResult::Run;
}

RunTimes TimesFor(const RunnerOptions& options, const DefaultPlan& plan) {
  RunTimes times = options.quick ? kQuickTimes : kPlainTimes;
  if (!options.quick) {
    times.rounds = plan.rounds;
    times.processes = plan.processes;
  }
  if (options.rounds > 0) times.rounds = options.rounds;
  // Each process gets two rounds at least; fewer than four rounds are one process.
  times.processes = std::max<int32_t>(1, std::min<int32_t>(times.processes, times.rounds / 2));
  return times;
}

std::string RunnerUsage() {
  return "usage: glyphstorm-bench [--quick] [--rounds N] [--paths key,key] [--out DIR]\n"
         "  Measures every drawing path of paths.json against its reference program and writes\n"
         "  results.json and report.html into report\\<date-time>\\ beside this program (or DIR).\n"
         "  --quick   a smoke run: 3 short rounds\n"
         "  --rounds  rounds of the comparison (default: the plan in paths.json)\n"
         "  --paths   only these paths (an unknown key lists the keys)\n";
}

std::vector<int32_t> RoundOrder(int32_t paths, int32_t round) {
  std::vector<int32_t> order;
  for (int32_t i = 0; i < paths; ++i) order.push_back(round % 2 == 0 ? i : paths - 1 - i);
  return order;
}

int32_t ProcessOfRound(int32_t round, int32_t rounds, int32_t processes) {
  if (rounds <= 0 || processes <= 1 || round < 0) return 0;
  int32_t process = int32_t(int64_t(round) * processes / rounds);
  return process < processes ? process : processes - 1;
}
