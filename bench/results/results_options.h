// glyphstorm-results' command line. Portable.
#pragma once

#include <string>
#include <vector>

#include "plan.h"

enum class ResultsCommand { kPlan, kRejudge, kCompare, kHelp };

struct ResultsOptions {
  ResultsCommand command = ResultsCommand::kHelp;
  std::string table;                 // --plan: the paths.json to plan from
  PlanRequest request;               // --plan
  std::vector<std::string> folders;  // --rejudge: one; --compare: two
};

// False with the reason for a command line it cannot take.
bool ParseResultsOptions(const std::vector<std::string>& args, ResultsOptions& options,
                         std::string& error);
extern const char kResultsUsage[];
