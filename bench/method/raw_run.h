// raw.json: what a harness measured, before any judgement. Both harnesses write it beside
// results.json; the method (judge.h) turns it into every result, today or in any later version.
// Versioned; the reader names the first field it cannot take. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "json_doc.h"

extern const char kRawFormat[];  // "glyphstorm-raw"
const int32_t kRawVersion = 1;

// A program's own "frames=N" report: its time on the harness's clock (seconds) and the frames
// presented since its previous report.
struct RawReport {
  double seconds = 0;
  double frames = 0;
};

// One slice of one path: it ran from `begin` to `end`; reports from `countFrom` (the end of
// its warm-up) on count towards its rate.
struct RawSlice {
  int32_t round = 0;
  int32_t process = 0;  // which of the path's processes (0, 1, ...)
  std::string display;  // empty: not recorded
  double begin = 0, countFrom = 0, end = 0;
  std::vector<RawReport> reports;  // those received from begin to end
  std::optional<double> cpuMs;     // user + kernel time of the process over the slice
};

struct MemorySample {
  double seconds = 0;  // the path's own running time
  double kib = 0;      // resident size
};

struct RawPath {
  std::string key;
  std::string command;
  std::string display;     // the first process's; empty: none recorded
  std::string screenshot;  // a file in the report folder; empty: none
  std::string failed;      // empty: measured; else why not ("exits early (code 3)")
  std::optional<double> firstFrameSeconds;
  std::optional<double> glCallsPerFrame;
  std::vector<MemorySample> memory;
  std::vector<RawSlice> slices;
};

struct RoundLoad {
  std::string group;
  int32_t round = 0;  // from 1
  double load1Before = 0, load1After = 0;
  double othersCores = 0;  // CPU the rest of the machine used during the round, in cores
};

struct PathNote {  // a path the stack could not run, or the failure that ended a run
  std::string key, name, command, reason;
};

struct SoakRecord {
  std::string key;
  std::vector<MemorySample> samples;
};

struct RawRun {
  std::string kind;  // "rounds", "sweep", "self-check" or "failed"
  Json table;        // the paths.json the run was planned from
  std::string harness, date, command, version, arch;
  int32_t rounds = 0, processes = 1;
  double sliceSeconds = 0, warmupSeconds = 0, settleSeconds = 0;
  std::vector<int32_t> sweepPhrases;
  std::optional<double> soakMinutes;
  std::optional<double> cpuTickMs;  // the resolution of the CPU times; null: unknown
  std::optional<double> refreshHz;  // the display's; null: unknown (no path is then capped)
  bool partial = false;             // stopped before its end
  Json durations = Json::object();  // seconds: build_s, measuring_s, ...
  Json facts = Json::object();      // the harness's own: desktop, gl, stack, wine, machine, ...
  std::vector<RoundLoad> roundLoads;
  std::vector<RawPath> paths;
  std::vector<SoakRecord> soak;
  std::vector<PathNote> unavailable;
  std::optional<PathNote> failure;  // kind "failed": the path that ended the run
};

// False with one line naming the field ("paths[2].slices[0].reports[1]: must be [seconds,
// frames]"), for a file of another format or version too.
bool ReadRawRun(const Json& document, RawRun& run, std::string& error);
Json RawRunJson(const RawRun& run);
