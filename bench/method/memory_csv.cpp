// memory.csv: every resident-size sample of the run, the rounds' and the soak's.
#include "report_format.h"
#include "report_parts.h"

#include <cmath>

namespace report {

namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string Samples(const std::string& name, const Json& samples, const char* phase) {
  std::string out;
  if (!samples.is_array()) return out;
  for (const Json& sample : samples) {
    std::vector<double> values = Numbers(sample);
    if (values.size() < 2 || !std::isfinite(values[0]) || !std::isfinite(values[1])) continue;
    out += Quoted(name) + "," + Fixed(values[0], 1) + "," + Fixed(std::trunc(values[1]), 0) + "," +
           phase + "\n";
  }
  return out;
}

}  // namespace

std::string MemoryCsv(const Json& results) {
  std::string out = "path,seconds,resident KiB,phase\n";
  for (const Json& p : Items(results, "paths")) {
    out += Samples(TextAt(p, "name"), MemberAt(ObjectAt(p, "memory"), "samples"), "rounds");
  }
  for (const Json& soaked : Items(results, "soak")) {
    std::string name = TextAt(soaked, "name");
    if (name.empty()) name = NameOf(results, TextAt(soaked, "key"));
    out += Samples(name, MemberAt(soaked, "samples"), "soak");
  }
  return out;
}

}  // namespace report
