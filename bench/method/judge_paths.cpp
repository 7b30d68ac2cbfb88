// Each path's numbers from its slices, and its entry in results.json.
#include <algorithm>
#include <cmath>
#include <set>

#include "judge_parts.h"
#include "slice_rate.h"

namespace {

const char kCappedNote[] = "capped by the display: this number says nothing about text";

bool CappedByDisplay(const std::optional<StatInterval>& fps, std::optional<double> refreshHz) {
  if (!fps || !refreshHz || !(*refreshHz > 0)) return false;
  return fps->median >= *refreshHz * kCappedBelow && fps->median <= *refreshHz * kCappedAbove;
}

Json Figures(const std::vector<double>& values) {
  Json list = Json::array();
  for (double v : values) list.push_back(Figure(v));
  return list;
}

std::optional<double> ResidentAt(const std::vector<MemorySample>& samples, double seconds) {
  for (const MemorySample& s : samples) {
    if (s.seconds >= seconds) return s.kib;
  }
  return std::nullopt;
}

Json Memory(const std::vector<MemorySample>& samples) {
  Json list = Json::array();
  for (const MemorySample& s : samples) list.push_back({Figure(s.seconds), Figure(s.kib)});
  std::optional<double> end;
  if (!samples.empty()) end = samples.back().kib;
  return Json{{"rss_10s_kib", Figure(ResidentAt(samples, 10.0))},
              {"rss_end_kib", Figure(end)},
              {"samples", list}};
}

double Sum(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += std::isfinite(v) ? v : 0;
  return sum;
}

}  // namespace

Json IntervalJson(const std::optional<StatInterval>& interval) {
  if (!interval) return nullptr;
  return Json{{"median", Figure(interval->median)}, {"low", Figure(interval->low)},
              {"high", Figure(interval->high)},     {"coverage", Figure(interval->coverage)},
              {"processes", interval->processes},   {"rounds", interval->rounds},
              {"log_se", Figure(interval->logSe)},  {"df", Figure(interval->df)}};
}

PathNumbers CountPath(const PathTable& table, const PathRow& row, const RawPath& raw,
                      const RawRun& run) {
  PathNumbers p;
  p.row = &row;
  p.raw = &raw;
  if (!p.Measured()) return p;
  double minimumCpu = run.cpuTickMs ? kCpuTicks * *run.cpuTickMs : 0;
  std::vector<double> frameMs;
  for (const RawSlice& s : raw.slices) {
    SliceNumbers n = CountSlice(s, minimumCpu);
    p.fps.push_back(n.fps);
    p.cpu.push_back(n.cpuMsPerFrame);
    p.frames.push_back(n.frames);
    p.seconds.push_back(n.seconds);
    p.processes.push_back(s.process);
    p.rounds.push_back(s.round);
    frameMs.push_back(n.fps > 0 ? 1000.0 / n.fps : std::nan(""));
    p.lost += !(n.fps > 0);
  }
  p.fpsInterval = ProcessInterval(p.fps, p.processes);
  p.frameMs = ProcessInterval(frameMs, p.processes);
  p.cpuMs = ProcessInterval(p.cpu, p.processes);
  p.capped = CappedByDisplay(p.fpsInterval, run.refreshHz);
  (void)table;
  return p;
}

Json PathEntry(const PathTable& table, const PathNumbers& p) {
  const PathRow& row = *p.row;
  int64_t glyphs = GlyphsPerFrame(table, row);
  std::set<int32_t> processes(p.processes.begin(), p.processes.end());
  std::optional<double> glyphsPerSecond;
  if (p.fpsInterval) glyphsPerSecond = p.fpsInterval->median * static_cast<double>(glyphs);
  Json entry = {
      {"key", row.key},
      {"name", row.name},
      {"group", row.group},
      {"command", p.raw->command},
      {"display", p.raw->display.empty() ? Json(nullptr) : Json(p.raw->display)},
      {"frame_source", row.source},
      {"phrases", row.phrases},
      {"glyphs_per_frame", glyphs},
      {"reference", row.reference.empty() ? Json(nullptr) : Json(row.reference)},
      {"rounds", p.fps.size()},
      {"processes", processes.size()},
      {"lost_rounds", p.lost},
      {"frames", std::round(Sum(p.frames))},
      {"seconds", Figure(std::round(Sum(p.seconds) * 100) / 100)},
      {"fps", IntervalJson(p.fpsInterval)},
      {"fps_half_width", Figure(HalfWidth(p.fpsInterval))},
      {"fps_rounds", Figures(p.fps)},
      {"round_processes", p.processes},
      {"round_frames", Figures(p.frames)},
      {"frame_ms", IntervalJson(p.frameMs)},
      {"cpu_ms_per_frame", IntervalJson(p.cpuMs)},
      {"cpu_rounds", Figures(p.cpu)},
      {"variation",
       {{"fps", Figure(Variation(p.fps))}, {"cpu_ms_per_frame", Figure(Variation(p.cpu))}}},
      {"glyphs_per_second", Figure(glyphsPerSecond)},
      {"gl_calls_per_frame", Figure(p.raw->glCallsPerFrame)},
      {"first_frame_s", Figure(p.raw->firstFrameSeconds)},
      {"memory", Memory(p.raw->memory)},
      {"screenshot", p.raw->screenshot.empty() ? Json(nullptr) : Json(p.raw->screenshot)},
      {"capped", p.capped}};
  if (p.capped) entry["capped_note"] = kCappedNote;
  entry["failed"] = p.Measured() ? Json(nullptr) : Json(p.raw->failed);
  return entry;
}
