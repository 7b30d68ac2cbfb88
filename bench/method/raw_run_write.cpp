// raw.json written in the order raw-format.md lists its fields.
#include "raw_run.h"

namespace {

Json TextOrNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

Json Maybe(const std::optional<double>& value) { return value ? Json(*value) : Json(nullptr); }

Json Samples(const std::vector<MemorySample>& samples) {
  Json list = Json::array();
  for (const MemorySample& s : samples) list.push_back({s.seconds, s.kib});
  return list;
}

Json Slice(const RawSlice& s) {
  Json reports = Json::array();
  for (const RawReport& r : s.reports) reports.push_back({r.seconds, r.frames});
  return Json{{"round", s.round},   {"process", s.process},      {"display", TextOrNull(s.display)},
              {"begin", s.begin},   {"count_from", s.countFrom}, {"end", s.end},
              {"reports", reports}, {"cpu_ms", Maybe(s.cpuMs)}};
}

Json Path(const RawPath& p) {
  Json slices = Json::array();
  for (const RawSlice& s : p.slices) slices.push_back(Slice(s));
  return Json{{"key", p.key},
              {"command", p.command},
              {"display", TextOrNull(p.display)},
              {"screenshot", TextOrNull(p.screenshot)},
              {"failed", TextOrNull(p.failed)},
              {"first_frame_s", Maybe(p.firstFrameSeconds)},
              {"gl_calls_per_frame", Maybe(p.glCallsPerFrame)},
              {"memory", Samples(p.memory)},
              {"slices", slices}};
}

Json Note(const PathNote& n) {
  return Json{{"key", n.key}, {"name", n.name}, {"command", n.command}, {"reason", n.reason}};
}

Json Run(const RawRun& run) {
  Json loads = Json::array();
  for (const RoundLoad& l : run.roundLoads)
    loads.push_back({{"group", l.group},
                     {"round", l.round},
                     {"load1_before", l.load1Before},
                     {"load1_after", l.load1After},
                     {"others_cores", l.othersCores}});
  return Json{{"harness", run.harness},
              {"date", run.date},
              {"command", run.command},
              {"version", run.version},
              {"arch", run.arch},
              {"rounds", run.rounds},
              {"processes", run.processes},
              {"slice_s", run.sliceSeconds},
              {"warmup_s", run.warmupSeconds},
              {"settle_s", run.settleSeconds},
              {"sweep_phrases", run.sweepPhrases},
              {"soak_minutes", Maybe(run.soakMinutes)},
              {"cpu_tick_ms", Maybe(run.cpuTickMs)},
              {"refresh_hz", Maybe(run.refreshHz)},
              {"partial", run.partial},
              {"durations", run.durations},
              {"facts", run.facts},
              {"round_loads", loads}};
}

}  // namespace

Json RawRunJson(const RawRun& run) {
  Json paths = Json::array(), soak = Json::array(), unavailable = Json::array();
  for (const RawPath& p : run.paths) paths.push_back(Path(p));
  for (const SoakRecord& s : run.soak)
    soak.push_back({{"key", s.key}, {"samples", Samples(s.samples)}});
  for (const PathNote& n : run.unavailable) unavailable.push_back(Note(n));
  return Json{{"format", std::string(kRawFormat)},
              {"version", kRawVersion},
              {"kind", run.kind},
              {"table", run.table},
              {"run", Run(run)},
              {"paths", paths},
              {"soak", soak},
              {"unavailable", unavailable},
              {"failure", run.failure ? Note(*run.failure) : Json(nullptr)}};
}
