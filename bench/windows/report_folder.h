// What the method makes of a run, in a report folder: judging a fresh run, judging a folder's
// raw.json again, comparing two folders. Exit codes as the runner returns them.
#pragma once

#include <string>

#include "raw_run.h"

const int kExitFailed = 1;
const int kExitBadUse = 2;

// Judges `raw`, prints the summary and writes raw.json (first: what was measured is kept even
// when the rest cannot be made) and every report file into `folder`. False when the run could
// not be judged or a file not written.
bool WriteJudgedRun(const RawRun& raw, const std::string& folder);
// --rejudge DIR: 0; kExitBadUse when DIR's raw.json is missing or not one (nothing written);
// kExitFailed when a report file cannot be written or, as in the run itself, a path failed.
int RejudgeFolderCommand(const std::string& folder);
// --compare A B: 0; kExitBadUse when either cannot be read.
int CompareCommand(const std::string& oldWhere, const std::string& newWhere);
