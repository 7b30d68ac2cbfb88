// Two judged runs side by side (--compare): per ratio line the interval of its change and
// whether the runs agree; per path its FPS change, as information. Portable.
#pragma once

#include <string>

#include "json_doc.h"

// The comparison's document: "ratios", "paths", "only_old", "only_new".
Json CompareRuns(const Json& oldRun, const Json& newRun);
// As printed: the two runs' stacks, the ratio table, the path table, what only one run has.
std::string CompareText(const Json& oldRun, const Json& newRun, const Json& comparison);
