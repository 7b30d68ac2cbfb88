// raw.json read field by field: the first field it cannot take is named with its place
// ("paths[2].slices[0].end: must be a number"), and fields it does not know are refused.
#include "raw_run.h"

#include <cmath>
#include <set>

const char kRawFormat[] = "glyphstorm-raw";

namespace {

const char* const kKinds[] = {"rounds", "sweep", "self-check", "failed"};

struct Reader {
  std::string error;
  bool Fail(const std::string& where, const std::string& what) {
    if (error.empty()) error = where + ": " + what;
    return false;
  }
};

// One object's members, each asked for once; the rest are unknown.
struct Object {
  Reader& r;
  const Json& v;
  std::string where;
  std::set<std::string> asked = {};

  const Json* Get(const char* name) {
    asked.insert(name);
    auto found = v.find(name);
    if (found == v.end()) {
      r.Fail(Place(name), "missing");
      return nullptr;
    }
    return &*found;
  }
  std::string Place(const char* name) const { return where.empty() ? name : where + "." + name; }
  bool Number(const char* name, double& out) {
    const Json* j = Get(name);
    if (!j) return false;
    if (!j->is_number() || !std::isfinite(j->get<double>()))
      return r.Fail(Place(name), "must be a number");
    out = j->get<double>();
    return true;
  }
  bool Maybe(const char* name, std::optional<double>& out) {
    const Json* j = Get(name);
    if (j && j->is_null()) return true;
    double n = 0;
    if (!j || !Number(name, n)) return false;
    out = n;
    return true;
  }
  bool Whole(const char* name, int32_t& out, int32_t least) {
    double n = 0;
    if (!Number(name, n)) return false;
    if (n < least || n > 1e9 || n != std::floor(n))
      return r.Fail(Place(name), "must be a whole number of at least " + std::to_string(least));
    out = static_cast<int32_t>(n);
    return true;
  }
  bool Text(const char* name, std::string& out, bool nullable = false) {
    const Json* j = Get(name);
    if (!j) return false;
    if (nullable && j->is_null()) return true;
    if (!j->is_string())
      return r.Fail(Place(name), nullable ? "must be text or null" : "must be text");
    out = j->get<std::string>();
    return true;
  }
  bool Flag(const char* name, bool& out) {
    const Json* j = Get(name);
    if (!j) return false;
    if (!j->is_boolean()) return r.Fail(Place(name), "must be true or false");
    out = j->get<bool>();
    return true;
  }
  bool Any(const char* name, Json& out, bool object) {
    const Json* j = Get(name);
    if (!j) return false;
    if (object && !j->is_object()) return r.Fail(Place(name), "must be an object");
    out = *j;
    return true;
  }
  template <typename Item, typename Read>
  bool List(const char* name, std::vector<Item>& out, Read read) {
    const Json* j = Get(name);
    if (!j) return false;
    if (!j->is_array()) return r.Fail(Place(name), "must be a list");
    for (size_t i = 0; i < j->size(); ++i) {
      Item item;
      if (!read(r, (*j)[i], Place(name) + "[" + std::to_string(i) + "]", item)) return false;
      out.push_back(item);
    }
    return true;
  }
  bool Done() {
    for (const auto& member : v.items()) {
      if (!asked.count(member.key())) return r.Fail(Place(member.key().c_str()), "unknown field");
    }
    return r.error.empty();
  }
};

bool IsObject(Reader& r, const Json& v, const std::string& where) {
  return v.is_object() || r.Fail(where, "must be an object");
}

bool ReadPair(Reader& r, const Json& v, const std::string& where, double& a, double& b,
              const char* shape) {
  bool ok = v.is_array() && v.size() == 2 && v[0].is_number() && v[1].is_number() &&
            std::isfinite(v[0].get<double>()) && std::isfinite(v[1].get<double>());
  if (!ok) return r.Fail(where, std::string("must be ") + shape);
  a = v[0].get<double>();
  b = v[1].get<double>();
  return true;
}

bool ReadReport(Reader& r, const Json& v, const std::string& where, RawReport& out) {
  return ReadPair(r, v, where, out.seconds, out.frames, "[seconds, frames]") &&
         (out.frames >= 0 || r.Fail(where, "frames below 0"));
}

bool ReadSample(Reader& r, const Json& v, const std::string& where, MemorySample& out) {
  return ReadPair(r, v, where, out.seconds, out.kib, "[seconds, KiB]");
}

bool ReadSlice(Reader& r, const Json& v, const std::string& where, RawSlice& s) {
  if (!IsObject(r, v, where)) return false;
  Object o{r, v, where};
  return o.Whole("round", s.round, 0) && o.Whole("process", s.process, 0) &&
         o.Text("display", s.display, true) && o.Number("begin", s.begin) &&
         o.Number("count_from", s.countFrom) && o.Number("end", s.end) &&
         o.List("reports", s.reports, ReadReport) && o.Maybe("cpu_ms", s.cpuMs) && o.Done();
}

bool ReadPath(Reader& r, const Json& v, const std::string& where, RawPath& p) {
  if (!IsObject(r, v, where)) return false;
  Object o{r, v, where};
  return o.Text("key", p.key) && o.Text("command", p.command) &&
         o.Text("display", p.display, true) && o.Text("screenshot", p.screenshot, true) &&
         o.Text("failed", p.failed, true) && o.Maybe("first_frame_s", p.firstFrameSeconds) &&
         o.Maybe("gl_calls_per_frame", p.glCallsPerFrame) &&
         o.List("memory", p.memory, ReadSample) && o.List("slices", p.slices, ReadSlice) &&
         o.Done();
}

bool ReadLoad(Reader& r, const Json& v, const std::string& where, RoundLoad& l) {
  if (!IsObject(r, v, where)) return false;
  Object o{r, v, where};
  return o.Text("group", l.group) && o.Whole("round", l.round, 0) &&
         o.Number("load1_before", l.load1Before) && o.Number("load1_after", l.load1After) &&
         o.Number("others_cores", l.othersCores) && o.Done();
}

bool ReadNote(Reader& r, const Json& v, const std::string& where, PathNote& n) {
  if (!IsObject(r, v, where)) return false;
  Object o{r, v, where};
  return o.Text("key", n.key) && o.Text("name", n.name) && o.Text("command", n.command) &&
         o.Text("reason", n.reason) && o.Done();
}

bool ReadSoak(Reader& r, const Json& v, const std::string& where, SoakRecord& s) {
  if (!IsObject(r, v, where)) return false;
  Object o{r, v, where};
  return o.Text("key", s.key) && o.List("samples", s.samples, ReadSample) && o.Done();
}

bool ReadPhrases(Reader& r, const Json& v, const std::string& where, int32_t& n) {
  bool whole = v.is_number_integer() && v.get<int64_t>() >= 1 && v.get<int64_t>() <= 1000000;
  if (!whole) return r.Fail(where, "must be a whole number of at least 1");
  n = v.get<int32_t>();
  return true;
}

bool ReadRunFacts(Reader& r, const Json& v, RawRun& run) {
  if (!IsObject(r, v, "run")) return false;
  Object o{r, v, "run"};
  return o.Text("harness", run.harness) && o.Text("date", run.date) &&
         o.Text("command", run.command) && o.Text("version", run.version) &&
         o.Text("arch", run.arch) && o.Whole("rounds", run.rounds, 0) &&
         o.Whole("processes", run.processes, 1) && o.Number("slice_s", run.sliceSeconds) &&
         o.Number("warmup_s", run.warmupSeconds) && o.Number("settle_s", run.settleSeconds) &&
         o.List("sweep_phrases", run.sweepPhrases, ReadPhrases) &&
         o.Maybe("soak_minutes", run.soakMinutes) && o.Maybe("cpu_tick_ms", run.cpuTickMs) &&
         o.Maybe("refresh_hz", run.refreshHz) && o.Flag("partial", run.partial) &&
         o.Any("durations", run.durations, true) && o.Any("facts", run.facts, true) &&
         o.List("round_loads", run.roundLoads, ReadLoad) && o.Done();
}

bool ReadFailure(Reader& r, const Json& v, RawRun& run) {
  if (v.is_null()) return true;
  PathNote note;
  if (!ReadNote(r, v, "failure", note)) return false;
  run.failure = note;
  return true;
}

bool KnownKind(Reader& r, const std::string& kind) {
  for (const char* k : kKinds) {
    if (kind == k) return true;
  }
  return r.Fail("kind", "must be rounds, sweep, self-check or failed, not '" + kind + "'");
}

}  // namespace

bool ReadRawRun(const Json& document, RawRun& run, std::string& error) {
  run = RawRun();
  Reader r;
  if (!document.is_object() || TextAt(document, "format") != kRawFormat) {
    error = "not a raw measurement file (format is not \"" + std::string(kRawFormat) + "\")";
    return false;
  }
  Object o{r, document, ""};
  std::string format;
  int32_t version = 0;
  bool ok = o.Text("format", format) && o.Whole("version", version, 0) &&
            (version == kRawVersion ||
             r.Fail("version", std::to_string(version) + ": this build reads version " +
                                   std::to_string(kRawVersion))) &&
            o.Text("kind", run.kind) && KnownKind(r, run.kind) && o.Any("table", run.table, true) &&
            o.Get("run") && ReadRunFacts(r, document["run"], run) &&
            o.List("paths", run.paths, ReadPath) && o.List("soak", run.soak, ReadSoak) &&
            o.List("unavailable", run.unavailable, ReadNote) && o.Get("failure") &&
            ReadFailure(r, document["failure"], run) && o.Done();
  if (ok && run.kind == "failed" && !run.failure) ok = r.Fail("failure", "a failed run names it");
  error = r.error;
  if (!ok) run = RawRun();
  return ok;
}
