// The judge on runs built here, where every rate is known: verdicts, pairing by round, lost
// rounds, load marks, capped paths, failed paths, and raw files it must refuse.
#include <gtest/gtest.h>

#include <cmath>

#include "judge.h"
#include "report_files.h"

namespace {

const char kTable[] = R"({"phrase_glyphs": 33, "plan": {"rounds": 10, "processes": 5},
  "paths": [
    {"key": "p", "name": "product", "program": "p.exe", "source": "debug", "phrases": 199,
     "group": "g", "reference": "r", "bar": 0.97},
    {"key": "r", "name": "reference", "program": "r.exe", "source": "debug", "phrases": 199,
     "group": "g"},
    {"key": "x", "name": "other", "program": "x.exe", "source": "debug", "phrases": 199,
     "group": "g", "reference": "r"}]})";

// Reports every 0.1 s at exactly `fps` (a multiple of 10) over the slice of round r.
RawSlice Slice(int32_t round, int32_t process, double fps) {
  RawSlice s;
  s.round = round;
  s.process = process;
  s.begin = 10.0 * round;
  s.countFrom = s.begin + 0.1;
  s.end = s.begin + 1.1;
  for (int i = 1; i <= 11; ++i) s.reports.push_back({s.begin + 0.1 * i - 0.05, fps / 10});
  s.cpuMs = 1000.0;
  return s;
}

RawPath Path(const std::string& key, double fps, int32_t rounds = 10, int32_t processes = 5) {
  RawPath p;
  p.key = key;
  p.command = key + ".exe";
  for (int32_t r = 0; r < rounds; ++r) p.slices.push_back(Slice(r, r * processes / rounds, fps));
  return p;
}

RawRun SampleRun(std::vector<RawPath> paths) {
  RawRun run;
  run.kind = "rounds";
  run.table = Json::parse(kTable);
  run.harness = "windows-runner";
  run.rounds = 10;
  run.processes = 5;
  run.cpuTickMs = 15.625;
  run.paths = std::move(paths);
  return run;
}

Json Judge(const RawRun& run) {
  Json results;
  std::string error;
  EXPECT_TRUE(JudgeRun(run, results, error)) << error;
  return results;
}

const Json& Line(const Json& results, const char* part, const std::string& label) {
  for (const Json& line : results[part]) {
    if (line["label"] == label) return line;
  }
  static const Json kNone;
  ADD_FAILURE() << "no line " << label;
  return kNone;
}

TEST(Judge, ATargetIsJudgedOverProcessesPairedByRoundAndMarkedUnderLoad) {
  RawRun run = SampleRun({Path("p", 90), Path("r", 100)});
  run.paths[0].slices.erase(run.paths[0].slices.begin() + 3);  // stopped in that round
  for (int32_t r = 1; r <= 10; ++r) run.roundLoads.push_back({"g", r, 1.0, 1.0, r % 2 ? 0.9 : 0.1});
  Json results = Judge(run);
  const Json& target = Line(results, "targets", "product ≥ 0.97× reference");
  EXPECT_EQ(target["pairing"], "paired");
  EXPECT_EQ(target["rounds"].size(), 9u);
  EXPECT_DOUBLE_EQ(target["value"]["median"].get<double>(), 0.9);
  EXPECT_EQ(target["value"]["processes"], 5);
  EXPECT_EQ(target["verdict"], "missed");
  EXPECT_EQ(target["under_load"], (Json{{"rounds", 5}, {"of", 10}}));
  EXPECT_EQ(results["run"]["round_loads"][0]["loaded"], true);
  const Json& byCpu = Line(results, "information", "product / reference by CPU time per frame");
  EXPECT_DOUBLE_EQ(byCpu["value"]["median"].get<double>(), 0.9);
  EXPECT_NEAR(results["paths"][1]["fps_half_width"].get<double>(), 0, 1e-12);
}

TEST(Judge, ALostRoundIsCountedAndLeftOut) {
  RawRun run = SampleRun({Path("p", 100), Path("r", 100)});
  run.paths[0].slices[2].reports.resize(1);  // one report: no whole period
  Json results = Judge(run);
  const Json& p = results["paths"][0];
  EXPECT_EQ(p["lost_rounds"], 1);
  EXPECT_TRUE(p["fps_rounds"][2].is_null());
  EXPECT_EQ(p["rounds"], 10);
  EXPECT_DOUBLE_EQ(p["fps"]["median"].get<double>(), 100);
  EXPECT_EQ(Line(results, "targets", "product ≥ 0.97× reference")["rounds"].size(), 9u);
  // The printed row says so, beside a path the desktop could not run.
  run.unavailable.push_back({"x", "other", "x.exe", "GL 3.3 is missing"});
  std::string summary = SummaryText(Judge(run));
  EXPECT_NE(summary.find("10 (5), 1 lost"), std::string::npos) << summary;
  EXPECT_NE(summary.find("unavailable on this desktop: GL 3.3 is missing"), std::string::npos);
}

TEST(Judge, CappedFailedAndSingleProcessPathsJudgeNothing) {
  RawRun capped = SampleRun({Path("p", 60), Path("r", 100), Path("x", 90)});
  capped.refreshHz = 60;
  capped.paths[2].failed = "exits early (code 3)";
  capped.paths[2].slices.clear();
  Json results = Judge(capped);
  EXPECT_TRUE(results["paths"][0]["capped"].get<bool>());
  EXPECT_EQ(Line(results, "targets", "product ≥ 0.97× reference")["verdict"],
            "capped by the display");
  EXPECT_EQ(results["paths"][2]["failed"], "exits early (code 3)");
  EXPECT_TRUE(results["paths"][2]["fps"].is_null());
  for (const Json& line : results["information"]) EXPECT_NE(line["path"], "x");
  Json once = Judge(SampleRun({Path("p", 90, 3, 1), Path("r", 100, 3, 1)}));
  EXPECT_EQ(Line(once, "targets", "product ≥ 0.97× reference")["verdict"],
            "too few processes to judge");
  EXPECT_EQ(once["quality"][0]["label"],
            "product ≥ 0.97× reference: interval (1 process) within ±3 %");
}

TEST(Judge, ARawRunItCannotJudgeIsRefusedWithItsReason) {
  Json results;
  std::string error;
  EXPECT_FALSE(JudgeRun(SampleRun({Path("p", 90), Path("nobody", 100)}), results, error));
  EXPECT_EQ(error, "paths[1].key: nobody is no row of the run's table");
  RawRun broken = SampleRun({Path("p", 90)});
  broken.table["paths"][0].erase("group");
  EXPECT_FALSE(JudgeRun(broken, results, error));
  EXPECT_EQ(error, "table: p: group is missing");
}

}  // namespace
