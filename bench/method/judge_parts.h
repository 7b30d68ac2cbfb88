// What the judge's files share: each path's numbers, made once from its slices. Portable.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "judge.h"
#include "path_table.h"
#include "stats.h"

struct PathNumbers {
  const PathRow* row = nullptr;
  const RawPath* raw = nullptr;
  // Per slice, in the order measured; NaN where not measured.
  std::vector<double> fps, cpu, frames, seconds;
  std::vector<int32_t> processes, rounds;
  std::optional<StatInterval> fpsInterval, frameMs, cpuMs;
  int32_t lost = 0;  // slices without a rate
  bool capped = false;

  bool Measured() const { return raw->failed.empty(); }
};

PathNumbers CountPath(const PathTable& table, const PathRow& row, const RawPath& raw,
                      const RawRun& run);
Json PathEntry(const PathTable& table, const PathNumbers& p);
Json IntervalJson(const std::optional<StatInterval>& interval);

// The targets and information lines the table drives, load marks included; soak lines when the
// run soaked; the self-check's A/A lines.
void JudgeLines(const PathTable& table, const std::vector<PathNumbers>& paths, const RawRun& run,
                Json& targets, Json& information);
Json SelfCheckLines(const std::vector<PathNumbers>& paths);
// Each paired ratio's interval width against the bar; whether CPU time per frame is steadier.
Json QualityChecks(const Json& targets, const Json& information);
Json Steadiness(const std::vector<PathNumbers>& paths);
// A sweep's fits: per swept line, frame time = fixed + cost per glyph x glyphs per frame.
Json SweepFits(const std::vector<PathNumbers>& paths, int32_t phraseGlyphs);
