// Per-path numbers and the capped flag.
#include "run_numbers.h"

#include <cmath>

const char kCappedNote[] = "capped by the display: this number says nothing about text";

bool CappedByDisplay(const std::optional<StatInterval>& fps, double refreshHz) {
  if (!fps || !(refreshHz > 0)) return false;
  return fps->median >= refreshHz * kCappedBelow && fps->median <= refreshHz * kCappedAbove;
}

std::vector<PathNumbers> MeasurePaths(const PathTable& table, const RunRecord& run) {
  std::vector<PathNumbers> paths;
  for (const PathRun& r : run.paths) {
    PathNumbers p;
    p.row = FindPath(table, r.key);
    p.run = &r;
    if (!p.row) continue;
    if (r.failure.empty()) {
      std::vector<double> frameMs;
      for (const SliceRecord& s : r.slices) {
        p.fps.push_back(s.fps);
        p.cpu.push_back(s.cpuMsPerFrame);
        p.processes.push_back(s.process);
        frameMs.push_back(s.fps ? 1000.0 / s.fps : NAN);
      }
      p.fpsInterval = ProcessInterval(p.fps, p.processes);
      p.frameMs = ProcessInterval(frameMs, p.processes);
      p.cpuMs = ProcessInterval(p.cpu, p.processes);
      p.capped = CappedByDisplay(p.fpsInterval, run.desktop.refreshHz);
    }
    paths.push_back(p);
  }
  return paths;
}

JsonValue NumberOrNull(std::optional<double> value) {
  return value ? JsonNumber(*value) : JsonNull();
}

JsonValue IntervalJson(const std::optional<StatInterval>& interval) {
  if (!interval) return JsonNull();
  JsonValue v = JsonObject();
  JsonAdd(v, "median", JsonNumber(interval->median));
  JsonAdd(v, "low", JsonNumber(interval->low));
  JsonAdd(v, "high", JsonNumber(interval->high));
  JsonAdd(v, "coverage", JsonNumber(interval->coverage));
  JsonAdd(v, "processes", JsonNumber(interval->processes));
  JsonAdd(v, "rounds", JsonNumber(interval->rounds));
  JsonAdd(v, "log_se", NumberOrNull(interval->logSe));
  JsonAdd(v, "df", NumberOrNull(interval->df));
  return v;
}
