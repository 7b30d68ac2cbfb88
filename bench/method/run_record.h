// The benchmark runner's portable core: the one path table (paths.json), the record of a run the
// Windows side fills in, and what is made of it (results.json, the printed table, report.html).
// Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One row of paths.json; defaults are those of an absent field.
struct PathRow {
  std::string key, name, program;
  std::vector<std::string> args;  // "{seconds}" and "{phrases}" are filled in by PathArguments
  std::string launch = "bin";     // "glyphstorm": a folder of its own with the runner's vtAPI.ini
  bool desktop = false;           // under Wine: inside an 800 x 600 virtual desktop
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

// The plain run both harnesses make: its rounds, and the processes each path of a paired group
// (in the runner: of a windowed group) runs as, one after another.
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

// Parses paths.json and checks it (CheckPathTable). False with a one-line reason (or the faults,
// one per line) on malformed JSON, a missing required field, a wrong type or a faulty table.
bool LoadPathTable(const std::string& text, PathTable& table, std::string& error);
// The table's faults, as scripts/bench's check() names them; empty when sound.
std::vector<std::string> CheckPathTable(const PathTable& table);

const PathRow* FindPath(const PathTable& table, const std::string& key);
// The groups in table order, each with its rows in table order.
std::vector<std::vector<const PathRow*>> PathGroups(const PathTable& table);
// The run's rounds for a group, lowered to its cap.
int32_t RoundsFor(const PathTable& table, const std::string& group, int32_t rounds);
// The program's arguments with seconds and phrases filled in (phrases < 0: the row's).
std::vector<std::string> PathArguments(const PathRow& row, int32_t seconds, int32_t phrases = -1);
int64_t GlyphsPerFrame(const PathTable& table, const PathRow& row);

// One counted slice of one path: frames presented over `seconds` of the program's own reports.
struct SliceRecord {
  double fps = 0;            // 0 or NaN: a lost round
  double cpuMsPerFrame = 0;  // user + kernel time of the process during the slice, per frame
  double frames = 0;
  double seconds = 0;
  int32_t process = 0;  // which of the path's processes (0, 1, ...): the statistics' unit
  int32_t round = 0;
};

struct PathRun {
  std::string key;      // a row of the table
  std::string command;  // the command line as started, for the report and failure rows
  std::vector<SliceRecord> slices;
  std::optional<double> firstFrameSeconds;
  std::string failure;  // empty: measured; else the reason ("exits early (code 3)", ...)
};

struct DesktopFacts {
  double refreshHz = 0;  // 0: unknown
  std::string glVendor, glRenderer, glVersion;
  std::string adapter;  // the display adapter's name
  std::string windowsVersion;
  std::string cpu;
  int32_t cores = 0;
};

struct RunRecord {
  std::string date;     // "YYYYMMDD-HHMMSS", also the report folder's name
  std::string command;  // the runner's own command line
  std::string version;  // glyphstorm's version
  std::string arch;     // "i686" or "x86_64"
  int32_t rounds = 0;
  int32_t processes = 1;  // processes per path of a paired group
  double sliceSeconds = 0;
  double warmupSeconds = 0;
  DesktopFacts desktop;
  std::vector<PathRun> paths;  // table order
  bool partial = false;        // stopped before the end (Ctrl+C, console closed)
};

// The run as results.json, in scripts/bench's format ("kind": "rounds", a "run" object with
// "harness": "windows-runner"), UTF-8, ending in a newline. A failed path is a row with "failed"
// (its reason) and its command, and no numbers: its slices are not counted. Runs whose key is
// no row of the table are left out. A path whose median FPS sits at the refresh rate is
// flagged "capped", and no target is judged on it.
std::string ResultsJson(const PathTable& table, const RunRecord& run);
// The table, targets, information lines and notes as scripts/bench prints them. UTF-8 ("—", "±",
// "×", "≥"): a Windows console shows it right after SetConsoleOutputCP(CP_UTF8).
std::string SummaryText(const PathTable& table, const RunRecord& run);
// report.html: the one template with `resultsJson` embedded.
std::string ReportHtml(const std::string& resultsJson);
