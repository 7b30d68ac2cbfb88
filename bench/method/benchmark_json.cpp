// benchmark.json: a run's rounds in Google Benchmark's JSON format, so its tools (compare.py)
// read them: one benchmark per path, one repetition per round, times in ms per frame.
#include "report_format.h"
#include "report_parts.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace report {

namespace {

// The report folder's timestamp (YYYYMMDD-HHMMSS, UTC) as ISO 8601; anything else as is.
Json IsoDate(const Json& stamp) {
  if (!stamp.is_string()) return nullptr;
  std::string s = stamp.get<std::string>();
  bool digits = s.size() == 15 && s[8] == '-';
  for (size_t i = 0; digits && i < s.size(); ++i) {
    if (i != 8 && !std::isdigit(static_cast<unsigned char>(s[i]))) digits = false;
  }
  if (!digits) return s;
  return s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2) + "T" + s.substr(9, 2) + ":" +
         s.substr(11, 2) + ":" + s.substr(13, 2) + "+00:00";
}

Json Context(const Json& results) {
  const Json& run = MemberAt(results, "run");
  const Json& machine = MemberAt(run, "machine");
  std::optional<double> cores = NumberAt(machine, "cores");
  if (!cores) cores = NumberAt(MemberAt(run, "desktop"), "cores");
  const Json& load = MemberAt(machine, "load_before");
  Json glyphstorm = Json::object();
  for (const char* name : {"harness", "arch", "version", "wine", "stack", "desktop", "rounds"})
    glyphstorm[name] = MemberAt(run, name);
  glyphstorm["processes"] = Figure(NumberAt(run, "processes").value_or(1));
  Json context = Json::object();
  context["date"] = IsoDate(MemberAt(run, "date"));
  context["executable"] = WindowsRun(results) ? "glyphstorm-bench.exe" : "scripts/bench";
  context["num_cpus"] = Figure(cores.value_or(0));
  context["mhz_per_cpu"] = 0;
  context["cpu_scaling_enabled"] = false;
  context["caches"] = Json::array();
  context["load_avg"] = load.is_array() ? load : Json::array();
  context["library_build_type"] = "release";
  context["glyphstorm"] = glyphstorm;
  return context;
}

struct Round {
  double frames, frameMs, cpuMs;
  int32_t process;
};

// The rounds with both times measured.
std::vector<Round> Rounds(const Json& path) {
  std::vector<double> fps = Numbers(MemberAt(path, "fps_rounds"));
  std::vector<double> cpu = Numbers(MemberAt(path, "cpu_rounds"));
  std::vector<int32_t> processes = Processes(MemberAt(path, "round_processes"));
  std::vector<double> frames = Numbers(MemberAt(path, "round_frames"));
  if (!MemberAt(path, "cpu_rounds").is_array()) cpu.assign(fps.size(), std::nan(""));
  if (!MemberAt(path, "round_processes").is_array()) processes.assign(fps.size(), 0);
  if (!MemberAt(path, "round_frames").is_array() && !fps.empty()) {
    frames.assign(fps.size(), NumberAt(path, "frames").value_or(0) / fps.size());
  }
  std::vector<Round> rounds;
  for (size_t i = 0; i < fps.size() && i < cpu.size() && i < processes.size() && i < frames.size();
       ++i) {
    if (fps[i] > 0 && std::isfinite(fps[i]) && cpu[i] != 0 && std::isfinite(cpu[i]))
      rounds.push_back({frames[i], 1000.0 / fps[i], cpu[i], processes[i]});
  }
  return rounds;
}

}  // namespace

Json BenchmarkJson(const Json& results) {
  Json benchmarks = Json::array();
  int64_t index = 0;
  for (const Json& path : Items(results, "paths")) {
    std::string key = TextAt(path, "key");
    std::vector<Round> rounds = Rounds(path);
    for (size_t repetition = 0; repetition < rounds.size(); ++repetition) {
      const Round& r = rounds[repetition];
      double iterations = std::isfinite(r.frames) ? std::nearbyint(r.frames) : 1;
      Json entry = Json::object();
      entry["name"] = key;
      entry["family_index"] = index;
      entry["per_family_instance_index"] = 0;
      entry["run_name"] = key;
      entry["run_type"] = "iteration";
      entry["repetitions"] = rounds.size();
      entry["repetition_index"] = repetition;
      entry["threads"] = 1;
      entry["iterations"] = static_cast<int64_t>(std::max(1.0, std::min(iterations, 1e15)));
      entry["real_time"] = r.frameMs;
      entry["cpu_time"] = r.cpuMs;
      entry["time_unit"] = "ms";
      entry["process"] = r.process;
      benchmarks.push_back(entry);
    }
    ++index;
  }
  Json document = Json::object();
  document["context"] = Context(results);
  document["benchmarks"] = benchmarks;
  return document;
}

}  // namespace report
