// raw.json read back field by field, refused with the field named; a slice's rate and CPU time.
#include <gtest/gtest.h>

#include <cmath>

#include "run_folder.h"
#include "slice_rate.h"

namespace {

Json Golden(const char* name) {
  std::string text, error;
  Json value;
  EXPECT_TRUE(
      ReadTextFile(std::string(GLYPHSTORM_SOURCE_DIR) + "/tests/bench_method/data/" + name, text));
  EXPECT_TRUE(ParseJsonText(text, value, error)) << error;
  return value;
}

std::string Refusal(const Json& document) {
  RawRun raw;
  std::string error;
  EXPECT_FALSE(ReadRawRun(document, raw, error));
  EXPECT_TRUE(raw.paths.empty());
  return error;
}

TEST(RawRun, WhatIsWrittenReadsBackTheSame) {
  for (const char* name : {"rounds.raw.json", "one-process.raw.json", "failed.raw.json"}) {
    Json document = Golden(name);
    RawRun raw;
    std::string error;
    ASSERT_TRUE(ReadRawRun(document, raw, error)) << name << ": " << error;
    EXPECT_TRUE(RawRunJson(raw) == document) << name;  // 77 and 77.0 are one number
  }
}

TEST(RawRun, AFieldItCannotTakeIsNamedWithItsPlace) {
  Json good = Golden("rounds.raw.json");
  struct Case {
    void (*edit)(Json&);
    const char* error;
  };
  const Case cases[] = {
      {[](Json& d) { d["format"] = "something else"; },
       "not a raw measurement file (format is not \"glyphstorm-raw\")"},
      {[](Json& d) { d["version"] = 2; }, "version: 2: this build reads version 1"},
      {[](Json& d) { d["kind"] = "marathon"; },
       "kind: must be rounds, sweep, self-check or failed, not 'marathon'"},
      {[](Json& d) { d["run"].erase("date"); }, "run.date: missing"},
      {[](Json& d) { d["run"]["rounds"] = -3; },
       "run.rounds: must be a whole number of at least 0"},
      {[](Json& d) { d["paths"][2]["slices"][0]["end"] = "late"; },
       "paths[2].slices[0].end: must be a number"},
      {[](Json& d) { d["paths"][0]["slices"][1]["reports"][3] = {1.0}; },
       "paths[0].slices[1].reports[3]: must be [seconds, frames]"},
      {[](Json& d) { d["paths"][1]["colour"] = 1; }, "paths[1].colour: unknown field"},
      {[](Json& d) { d["failure"] = 5; }, "failure: must be an object"},
      {[](Json& d) { d["kind"] = "failed"; }, "failure: a failed run names it"},
  };
  for (const Case& c : cases) {
    Json document = good;
    c.edit(document);
    EXPECT_EQ(Refusal(document), c.error);
  }
}

RawSlice Slice(std::vector<RawReport> reports, std::optional<double> cpuMs) {
  RawSlice s;
  s.begin = 10.0;
  s.countFrom = 10.1;
  s.end = 11.1;
  s.reports = std::move(reports);
  s.cpuMs = cpuMs;
  return s;
}

TEST(SliceRate, OnlyWholePeriodsInsideTheWindowCount) {
  // A report before the window and one after its end are left out of the rate; the window's
  // first report marks its start. CPU time counts every frame reported while it ran.
  RawSlice s = Slice({{10.05, 30}, {10.15, 9}, {10.65, 50}, {11.15, 10}, {11.3, 99}}, 400.0);
  SliceNumbers n = CountSlice(s, 100.0);
  EXPECT_DOUBLE_EQ(n.fps, 50 / 0.5);
  EXPECT_DOUBLE_EQ(n.frames, 50);
  EXPECT_DOUBLE_EQ(n.seconds, 0.5);
  EXPECT_DOUBLE_EQ(n.cpuMsPerFrame, 400.0 / (30 + 9 + 50));
  // CPU time below the clock's resolution, or none: not measured; one report: a lost round.
  EXPECT_TRUE(std::isnan(CountSlice(s, 500.0).cpuMsPerFrame));
  EXPECT_TRUE(std::isnan(CountSlice(Slice(s.reports, std::nullopt), 0).cpuMsPerFrame));
  EXPECT_TRUE(std::isnan(CountSlice(Slice({{10.5, 20}}, 400.0), 100.0).fps));
}

}  // namespace
