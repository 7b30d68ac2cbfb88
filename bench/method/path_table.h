// The one path table, paths.json: what runs, how its frames are counted, what it draws, what it
// is compared with and must reach; read by every harness through this file. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "json_doc.h"

// One row of paths.json; defaults are those of an absent field.
struct PathRow {
  std::string key, name, program;
  std::vector<std::string> args;  // "{seconds}" and "{phrases}" are filled in by PathArguments
  std::string launch = "bin";     // "glyphstorm": a folder of its own with the harness's vtAPI.ini
  bool desktop = false;           // inside an 800 x 600 virtual desktop (a full-screen path)
  std::string source;             // "debug" (the program's frames=N reports), "swap", "flip"
  int32_t phrases = 0;
  std::vector<std::string> keys;  // pressed once after the first frame
  std::string group;
  std::string reference;  // empty: none
  std::optional<double> bar;
  std::optional<double> startBar;
  bool soak = false;
  bool glCalls = false;
  bool sweep = false;
  std::string onSweep;  // empty: none
  std::string shot;     // the key when absent
};

struct InfoRatio {
  std::string label, numerator, denominator, note;  // note may be empty
};

struct ShareLine {
  std::string label, part, whole;
};

struct RoundsCap {
  std::string group;
  int32_t rounds = 0;
};

// The plain run both harnesses make: its rounds, and the processes each path runs as.
struct DefaultPlan {
  int32_t rounds = 1;
  int32_t processes = 1;
};

struct PathTable {
  int32_t phraseGlyphs = 1;
  std::vector<PathRow> rows;
  std::vector<RoundsCap> roundsCaps;
  std::vector<InfoRatio> infoRatios;
  std::vector<ShareLine> shares;
  std::vector<int32_t> sweepPhrases;
  int32_t maxPhrases = 1;
  DefaultPlan plan;
};

// paths.json's content into a table. False with every fault found, one a line: malformed JSON,
// a missing required field, a wrong type, an unknown field, a name that is no row.
bool LoadPathTable(const Json& document, PathTable& table, std::string& faults);
bool LoadPathTableText(const std::string& text, PathTable& table, std::string& faults);
// The faults of a table's rows and lines among themselves; empty when sound.
std::vector<std::string> CheckPathTable(const PathTable& table);
// A row as a JSON object with every field (the plan hands rows to a harness this way).
Json PathRowJson(const PathRow& row);

const PathRow* FindPath(const PathTable& table, const std::string& key);
// The groups of the rows in table order, each with its rows in table order.
std::vector<std::vector<const PathRow*>> PathGroups(const std::vector<const PathRow*>& rows);
// The run's rounds for a group, lowered to its cap.
int32_t RoundsFor(const PathTable& table, const std::string& group, int32_t rounds);
// The program's arguments with seconds and phrases filled in (phrases < 0: the row's).
std::vector<std::string> PathArguments(const PathRow& row, int32_t seconds, int32_t phrases = -1);
int64_t GlyphsPerFrame(const PathTable& table, const PathRow& row);

// The rows a sweep measures: per swept row, the products drawn on its line and the row at each
// phrase count (keys "key@N"), each line a group of its own ("sweep-key").
std::vector<PathRow> SweepRows(const std::vector<const PathRow*>& chosen,
                               const std::vector<int32_t>& phraseCounts);
// Each reference of a target pair among `chosen` beside an identical copy of itself
// ("key-copy", its reference the original): an A/A pair whose ratio should hold 1.00.
std::vector<PathRow> SelfCheckRows(const PathTable& table,
                                   const std::vector<const PathRow*>& chosen);
