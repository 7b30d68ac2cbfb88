// What every writer of a judged run shares: safe reads of results.json's document (a member
// absent, null or of another type reads as nothing) and the cells, notes and verdict texts the
// printed summary, report.md and --compare show alike. Private to the report writers. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "json_doc.h"
#include "stats.h"

namespace report {

extern const char kNone[];  // "—", a cell without a value
// What "(1 process, N %)" says, for the notes.
extern const char kOneProcess[];

// --- reading --------------------------------------------------------------------------------
// The member when it is an array, else a shared empty array.
const Json& Items(const Json& object, const char* name);
// The member when it is an object, else a shared null.
const Json& ObjectAt(const Json& object, const char* name);
bool IsTrue(const Json& object, const char* name);
// The numbers of an array (NaN where an element is not a number), the processes (0 where not).
std::vector<double> Numbers(const Json& array);
std::vector<int32_t> Processes(const Json& array);
// results.json's interval as the statistics' (absent without a median); coverage 0 when unknown.
std::optional<StatInterval> IntervalFrom(const Json& interval);
// The statistics' interval as results.json writes it (null for none).
Json IntervalJson(const std::optional<StatInterval>& interval);
// A path's name by its key, else the key.
std::string NameOf(const Json& results, const std::string& key);
// The path's failure reason, or "" when it was measured.
std::string FailureOf(const Json& path);
// Which harness made the run: the Windows runner's facts (a desktop) or scripts/bench's (a
// Wine stack); older files say so only by their members.
bool WindowsRun(const Json& results);

// --- cells ----------------------------------------------------------------------------------
std::string Fixed(std::optional<double> value, int digits, const char* none = kNone);
std::string Signed(double value, int digits);     // "%+.*f"
std::string Percent(std::optional<double> half);  // "±1.2 %"
// The one coverage note: "" for a 95 % interval over processes, " (N %)" for one over processes
// of another coverage, " (1 process, N %)" for one over the rounds of one process, " (1 process)"
// when its coverage is unknown. N floored to a tenth: 94.99 never prints as 95.
std::string CoverageNote(const Json& interval);
// "50.1 [49.2–51.0]" and its coverage note; "—" without a median.
std::string IntervalText(const Json& interval, int digits = 1);
// A target's or information line's measured value ("0.829× [0.827–0.831]  ±0.2 %", "1.20 s", ...).
std::string LineValue(const Json& line, bool withWidth = true);
// The verdict with the loaded rounds it was judged on; markdown bolds what is not "met".
std::string VerdictText(const Json& line, bool markdown);
std::string MiB(std::optional<double> kib);
// Markdown table row and table (cells with "|" escaped).
std::string MarkdownTable(const std::vector<std::string>& header,
                          const std::vector<std::vector<std::string>>& rows);

// --- shared parts ---------------------------------------------------------------------------
// The path table: 9 columns, one row per path and per path the stack could not run.
extern const std::vector<std::string> kPathHeader;
std::vector<std::vector<std::string>> PathRows(const Json& results);
// "name: failed: reason; command: ..." per failed path.
std::vector<std::string> FailedPaths(const Json& results);
// The run's notes: facts by harness, rounds, intervals, load, durations, steadiness, partial.
std::vector<std::string> RunNotes(const Json& results);
// "The run failed: NAME (COMMAND) REASON." of a failed run; markdown marks name and command.
std::string FailureSentence(const Json& results, bool markdown);

}  // namespace report
