#include "results_options.h"

#include <cstdlib>

const char kResultsUsage[] =
    "usage: glyphstorm-results --plan --table paths.json [--harness linux|windows] [--quick]\n"
    "                          [--seconds N] [--rounds N] [--processes N] [--paths KEY,...]\n"
    "                          [--sweep] [--phrases N,...] [--self-check]\n"
    "       glyphstorm-results --rejudge DIR\n"
    "       glyphstorm-results --compare OLD NEW\n"
    "  --plan     prints the plan of a run as JSON\n"
    "  --rejudge  judges DIR/raw.json with this build's method and writes the report files\n"
    "             into DIR\n"
    "  --compare  two report folders (or results.json files) side by side\n"
    "Exit codes: 0; 1 a run or path that failed, a self-check that does not hold; 2 bad input.\n";

namespace {

bool Whole(const std::string& text, int32_t& out) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  out = std::atoi(text.c_str());
  return out >= 1;
}

template <typename Item, typename Read>
bool List(const std::string& text, std::vector<Item>& out, Read read) {
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find(',', begin);
    if (end == std::string::npos) end = text.size();
    Item item;
    if (!read(text.substr(begin, end - begin), item)) return false;
    out.push_back(item);
    begin = end + 1;
  }
  return !out.empty();
}

bool Key(const std::string& text, std::string& out) {
  out = text;
  return !text.empty();
}

// One option with its value; false when the value is missing or not of its kind.
bool PlanOption(const std::string& word, const std::string* value, ResultsOptions& o) {
  PlanRequest& r = o.request;
  if (word == "--quick") return r.quick = true;
  if (word == "--sweep") return (r.kind = RunKind::kSweep), true;
  if (word == "--self-check") return (r.kind = RunKind::kSelfCheck), true;
  if (!value) return false;
  if (word == "--table") return !(o.table = *value).empty();
  if (word == "--harness" && (*value == "linux" || *value == "windows"))
    return (r.harness = *value == "linux" ? Harness::kLinux : Harness::kWindows), true;
  if (word == "--seconds") return Whole(*value, r.seconds);
  if (word == "--rounds") return Whole(*value, r.rounds);
  if (word == "--processes") return Whole(*value, r.processes);
  if (word == "--paths") return List(*value, r.paths, Key);
  if (word == "--phrases") return List(*value, r.sweepPhrases, Whole);
  return false;
}

bool TakesValue(const std::string& word) {
  return word != "--quick" && word != "--sweep" && word != "--self-check";
}

}  // namespace

bool ParseResultsOptions(const std::vector<std::string>& args, ResultsOptions& options,
                         std::string& error) {
  options = ResultsOptions();
  if (args.empty() || args[0] == "--help" || args[0] == "-h") return true;
  const std::string& command = args[0];
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--rejudge" || command == "--compare") {
    options.command = command == "--rejudge" ? ResultsCommand::kRejudge : ResultsCommand::kCompare;
    options.folders = rest;
    if (rest.size() == (command == "--rejudge" ? 1u : 2u)) return true;
    error = command + (command == "--rejudge" ? " takes one folder" : " takes two runs");
    return false;
  }
  if (command != "--plan") {
    error = "unknown command " + command;
    return false;
  }
  options.command = ResultsCommand::kPlan;
  for (size_t i = 0; i < rest.size(); ++i) {
    bool withValue = TakesValue(rest[i]) && i + 1 < rest.size();
    const std::string* value = withValue ? &rest[i + 1] : nullptr;
    if (!PlanOption(rest[i], value, options)) {
      error = "unknown or incomplete option: " + rest[i] + (value ? " " + *value : "");
      return false;
    }
    i += TakesValue(rest[i]) ? 1 : 0;
  }
  if (options.table.empty()) error = "--plan needs --table paths.json";
  return error.empty();
}
