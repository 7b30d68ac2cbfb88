// The run as results.json, in scripts/bench's format: one entry per path (failed ones as rows
// with their reason and command), the targets, information lines and run quality.
#include "run_numbers.h"

#include <algorithm>
#include <cmath>

namespace {

const int32_t kResultsFormat = 1;
const char kHarness[] = "windows-runner";
// Every path's program reports its own frames on the debug output when the runner asks.
const char kWindowsFrameSource[] = "debug";

JsonValue Numbers(const std::vector<double>& values) {
  JsonValue list = JsonArray();
  for (double v : values) JsonPush(list, JsonNumber(v));
  return list;
}

int32_t ProcessCount(const std::vector<int32_t>& processes) {
  std::vector<int32_t> seen;
  for (int32_t k : processes) {
    if (std::find(seen.begin(), seen.end(), k) == seen.end()) seen.push_back(k);
  }
  return static_cast<int32_t>(seen.size());
}

JsonValue Variation(const PathNumbers& p) {
  JsonValue v = JsonObject();
  JsonAdd(v, "fps", NumberOrNull(::Variation(p.fps)));
  JsonAdd(v, "cpu_ms_per_frame", NumberOrNull(::Variation(p.cpu)));
  return v;
}

JsonValue NoMemory() {
  JsonValue memory = JsonObject();
  JsonAdd(memory, "rss_10s_kib", JsonNull());
  JsonAdd(memory, "rss_end_kib", JsonNull());
  JsonAdd(memory, "samples", JsonArray());
  return memory;
}

JsonValue PathResult(const PathTable& table, const PathNumbers& p) {
  const PathRow& row = *p.row;
  double frames = 0, seconds = 0;
  JsonValue roundFrames = JsonArray(), processes = JsonArray();
  for (const SliceRecord& s : p.run->slices) {
    frames += s.frames;
    seconds += s.seconds;
    JsonPush(roundFrames, JsonNumber(s.frames));
    JsonPush(processes, JsonNumber(s.process));
  }
  int64_t glyphs = GlyphsPerFrame(table, row);
  JsonValue v = JsonObject();
  JsonAdd(v, "key", JsonText(row.key));
  JsonAdd(v, "name", JsonText(row.name));
  JsonAdd(v, "group", JsonText(row.group));
  JsonAdd(v, "command", JsonText(p.run->command));
  JsonAdd(v, "display", JsonNull());
  JsonAdd(v, "frame_source", JsonText(kWindowsFrameSource));
  JsonAdd(v, "phrases", JsonNumber(row.phrases));
  JsonAdd(v, "glyphs_per_frame", JsonNumber(static_cast<double>(glyphs)));
  JsonAdd(v, "reference", row.reference.empty() ? JsonNull() : JsonText(row.reference));
  JsonAdd(v, "rounds", JsonNumber(static_cast<double>(p.fps.size())));
  JsonAdd(v, "processes", JsonNumber(ProcessCount(p.processes)));
  JsonAdd(v, "frames", JsonNumber(std::round(frames)));
  JsonAdd(v, "seconds", JsonNumber(std::round(seconds * 100) / 100));
  JsonAdd(v, "fps", IntervalJson(p.fpsInterval));
  JsonAdd(v, "fps_rounds", Numbers(p.fps));
  JsonAdd(v, "round_processes", processes);
  JsonAdd(v, "round_frames", roundFrames);
  JsonAdd(v, "frame_ms", IntervalJson(p.frameMs));
  JsonAdd(v, "cpu_ms_per_frame", IntervalJson(p.cpuMs));
  JsonAdd(v, "cpu_rounds", Numbers(p.cpu));
  JsonAdd(v, "variation", Variation(p));
  JsonAdd(v, "glyphs_per_second",
          p.fpsInterval ? JsonNumber(p.fpsInterval->median * glyphs) : JsonNull());
  JsonAdd(v, "gl_calls_per_frame", JsonNull());
  JsonAdd(v, "first_frame_s", NumberOrNull(p.run->firstFrameSeconds));
  JsonAdd(v, "memory", NoMemory());
  JsonAdd(v, "screenshot", JsonNull());
  JsonAdd(v, "capped", JsonBool(p.capped));
  if (p.capped) JsonAdd(v, "capped_note", JsonText(kCappedNote));
  JsonAdd(v, "failed", p.run->failure.empty() ? JsonNull() : JsonText(p.run->failure));
  return v;
}

JsonValue DesktopJson(const DesktopFacts& d) {
  JsonValue v = JsonObject();
  JsonAdd(v, "refresh_hz", d.refreshHz > 0 ? JsonNumber(d.refreshHz) : JsonNull());
  JsonAdd(v, "adapter", JsonText(d.adapter));
  JsonAdd(v, "windows", JsonText(d.windowsVersion));
  JsonAdd(v, "cpu", JsonText(d.cpu));
  JsonAdd(v, "cores", JsonNumber(d.cores));
  return v;
}

JsonValue GlJson(const DesktopFacts& d) {
  JsonValue v = JsonObject();
  JsonAdd(v, "vendor", JsonText(d.glVendor));
  JsonAdd(v, "renderer", JsonText(d.glRenderer));
  JsonAdd(v, "version", JsonText(d.glVersion));
  return v;
}

JsonValue RunJson(const RunRecord& run) {
  JsonValue v = JsonObject();
  JsonAdd(v, "harness", JsonText(kHarness));
  JsonAdd(v, "date", JsonText(run.date));
  JsonAdd(v, "command", JsonText(run.command));
  JsonAdd(v, "version", JsonText(run.version));
  JsonAdd(v, "arch", JsonText(run.arch));
  JsonAdd(v, "desktop", DesktopJson(run.desktop));
  JsonAdd(v, "gl", GlJson(run.desktop));
  JsonValue machine = JsonObject();
  JsonAdd(machine, "cores", JsonNumber(run.desktop.cores));
  JsonAdd(v, "machine", machine);
  JsonAdd(v, "rounds", JsonNumber(run.rounds));
  JsonAdd(v, "slice_s", JsonNumber(run.sliceSeconds));
  JsonAdd(v, "warmup_s", JsonNumber(run.warmupSeconds));
  JsonAdd(v, "processes", JsonNumber(run.processes));
  JsonAdd(v, "interval_method", JsonText(kIntervalMethod));
  JsonAdd(v, "partial", JsonBool(run.partial));
  return v;
}

}  // namespace

std::string ResultsJson(const PathTable& table, const RunRecord& run) {
  std::vector<PathNumbers> paths = MeasurePaths(table, run);
  JsonValue results = JsonArray();
  for (const PathNumbers& p : paths) JsonPush(results, PathResult(table, p));
  JsonValue targets, information, quality, steadiness;
  TargetsAndInformation(table, paths, targets, information);
  RunQuality(paths, targets, information, quality, steadiness);
  JsonValue data = JsonObject();
  JsonAdd(data, "format", JsonNumber(kResultsFormat));
  JsonAdd(data, "kind", JsonText("rounds"));
  JsonAdd(data, "run", RunJson(run));
  JsonAdd(data, "paths", results);
  JsonAdd(data, "targets", targets);
  JsonAdd(data, "information", information);
  JsonAdd(data, "quality", quality);
  JsonAdd(data, "steadiness", steadiness);
  JsonAdd(data, "sweep", JsonArray());
  return WriteJson(data) + "\n";
}
