// The runner's command line, what it asks of the plan, when a slice may end, and the raw run it
// starts from the plan.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raw_record.h"
#include "runner_options.h"
#include "slice_frames.h"

namespace {

OptionsResult Parse(std::vector<const char*> words, RunnerOptions& options) {
  words.insert(words.begin(), "glyphstorm-bench.exe");
  std::string error;
  return ParseRunnerOptions(int(words.size()), words.data(), options, error);
}

TEST(RunnerOptions, EachOptionAndWhatItAsksOfThePlan) {
  RunnerOptions options;
  ASSERT_EQ(OptionsResult::kRun, Parse({"--quick", "--rounds", "7", "--processes", "3", "--paths",
                                        "a,,b", "--out", "D:\\r"},
                                       options));
  EXPECT_EQ(RunnerAction::kMeasure, options.action);
  EXPECT_EQ("D:\\r", options.out);
  PlanRequest request = RequestFor(options);
  EXPECT_EQ(Harness::kWindows, request.harness);
  EXPECT_EQ(RunKind::kRounds, request.kind);
  EXPECT_TRUE(request.quick);
  EXPECT_EQ(7, request.rounds);
  EXPECT_EQ(3, request.processes);
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), request.paths);
  RunnerOptions help, rejudge, compare;
  EXPECT_EQ(OptionsResult::kRun, Parse({"--help"}, help));
  EXPECT_EQ(RunnerAction::kHelp, help.action);
  ASSERT_EQ(OptionsResult::kRun, Parse({"--rejudge", "report\\x"}, rejudge));
  EXPECT_EQ(RunnerAction::kRejudge, rejudge.action);
  EXPECT_EQ("report\\x", rejudge.rejudge);
  ASSERT_EQ(OptionsResult::kRun, Parse({"--compare", "a", "b\\results.json"}, compare));
  EXPECT_EQ(RunnerAction::kCompare, compare.action);
  EXPECT_EQ("a", compare.compareOld);
  EXPECT_EQ("b\\results.json", compare.compareNew);
}

TEST(RunnerOptions, BadValuesUnknownWordsAndMixedActionsAreRefused) {
  using Words = std::vector<const char*>;
  for (const Words& words : {Words{"--rounds"},
                             {"--rounds", "0"},
                             {"--rounds", "1001"},
                             {"--rounds", "-3"},
                             {"--rounds", "2x"},
                             {"--processes", "0"},
                             {"--processes"},
                             {"--paths", ","},
                             {"--paths"},
                             {"--out", ""},
                             {"--fast"},
                             {"quick"},
                             {"--rejudge"},
                             {"--rejudge", ""},
                             {"--compare", "a"},
                             {"--compare", "a", ""},
                             {"--rejudge", "d", "--quick"},
                             {"--out", "o", "--rejudge", "d"},
                             {"--compare", "a", "b", "--rounds", "3"},
                             {"--rejudge", "d", "--compare", "a", "b"}}) {
    RunnerOptions options;
    std::string error;
    Words line = words;
    line.insert(line.begin(), "glyphstorm-bench.exe");
    EXPECT_EQ(OptionsResult::kBad,
              ParseRunnerOptions(int(line.size()), line.data(), options, error))
        << words.back();
    EXPECT_FALSE(error.empty()) << words.back();
  }
}

TEST(RunnerOptions, UnknownKeysAndTheOrderOfARound) {
  PathTable table;
  table.rows.resize(2);
  table.rows[0].key = "a";
  table.rows[1].key = "b";
  EXPECT_EQ("", UnknownPathKey(table, {"b", "a"}));
  EXPECT_EQ("c", UnknownPathKey(table, {"a", "c", "d"}));
  EXPECT_EQ((std::vector<int32_t>{0, 1, 2}), RoundOrder(3, 0));
  EXPECT_EQ((std::vector<int32_t>{2, 1, 0}), RoundOrder(3, 1));
  EXPECT_EQ((std::vector<int32_t>{}), RoundOrder(0, 0));
}

TEST(SliceFrames, CountsFromTheFirstReportAfterTheWarmUp) {
  // Before 1.0: warm-up, left out; 1.05 marks the start (its frames came before it).
  std::vector<RawReport> reports = {{0.95, 40}, {1.05, 6}, {1.15, 6}, {1.25, 7}};
  FramesSince counted = CountFramesSince(reports, 1.0);
  EXPECT_EQ(13, counted.frames);
  EXPECT_EQ(3, counted.reports);
  EXPECT_EQ(0, CountFramesSince({{1.5, 9}}, 1.0).frames);
  EXPECT_EQ(0, CountFramesSince({}, 1.0).reports);
}

TEST(SliceFrames, OnlyFramesLinesAreReports) {
  int32_t frames = -1;
  EXPECT_TRUE(ParseFramesLine("frames=12\r\n", frames));
  EXPECT_EQ(12, frames);
  EXPECT_TRUE(ParseFramesLine("frames=0", frames));
  EXPECT_EQ(0, frames);
  for (const char* text :
       {"frames=", "frames=-1\n", "frames=1x", "Frames=3", "width=640", "frames=9999999999", ""}) {
    EXPECT_FALSE(ParseFramesLine(text, frames)) << text;
  }
}

const char kTable[] = R"({"phrase_glyphs": 33, "plan": {"rounds": 6, "processes": 3},
  "paths": [
    {"key": "w1", "name": "w1", "program": "a.exe", "source": "debug", "phrases": 1, "group": "w"},
    {"key": "d1", "name": "d1", "program": "b.exe", "source": "debug", "phrases": 1, "group": "d",
     "desktop": true},
    {"key": "w2", "name": "w2", "program": "c.exe", "source": "debug", "phrases": 1, "group": "w",
     "reference": "w1", "bar": 0.97}]})";

// The runner's record of a run the method planned, as it starts and after one slice.
struct Recorded {
  Json table;
  RunPlan plan;
  RawRun raw;
};

Recorded Record(const DesktopFacts& facts) {
  Recorded r;
  PathTable table;
  std::string error;
  EXPECT_TRUE(ParseJsonText(kTable, r.table, error)) << error;
  EXPECT_TRUE(LoadPathTable(r.table, table, error)) << error;
  RunnerOptions options;
  options.rounds = 4;
  EXPECT_TRUE(MakePlan(table, RequestFor(options), r.plan, error)) << error;
  r.raw =
      NewRawRun(r.table, r.plan, facts, RunStamp{"20260101-120000", "bench.exe", "1.0", "i686"});
  return r;
}

TEST(RawRecord, TheRunTakesThePlansTimesAndEveryPathOnce) {
  DesktopFacts facts;
  facts.adapter = "Адаптер";
  facts.cores = 4;
  Recorded r = Record(facts);
  EXPECT_EQ("rounds", r.raw.kind);
  EXPECT_EQ("windows-runner", r.raw.harness);
  EXPECT_EQ(r.table, r.raw.table);
  EXPECT_EQ(4, r.raw.rounds);
  EXPECT_EQ(r.plan.warmupSeconds, r.raw.warmupSeconds);
  EXPECT_EQ(kDefaultCpuTickMs, r.raw.cpuTickMs);
  EXPECT_FALSE(r.raw.refreshHz) << "an unknown rate caps no path";
  std::vector<std::string> keys;
  for (const RawPath& p : r.raw.paths) keys.push_back(p.key);
  EXPECT_EQ((std::vector<std::string>{"w1", "w2", "d1"}), keys) << "the plan's groups in order";
  EXPECT_TRUE(r.raw.facts["desktop"]["refresh_hz"].is_null());
  EXPECT_EQ("Адаптер", r.raw.facts["desktop"]["adapter"]);
  EXPECT_EQ(4, r.raw.facts["machine"]["cores"]);
  EXPECT_TRUE(r.raw.facts["gl"].contains("renderer"));
  facts.refreshHz = 60;
  EXPECT_EQ(60, Record(facts).raw.refreshHz.value_or(0));
}

TEST(RawRecord, WhatTheRunnerRecordsTheMethodReadsBack) {
  Recorded r = Record(DesktopFacts{});
  RawSlice slice;
  slice.round = 1;
  slice.process = 1;
  slice.begin = 10;
  slice.countFrom = 10.2;
  slice.end = 11.3;
  slice.reports = {{10.25, 6}, {10.35, 6}, {11.25, 7}};
  slice.cpuMs = 1093;
  r.raw.paths[0].command = "C:\\b\\a.exe";
  r.raw.paths[0].firstFrameSeconds = 0.8;
  r.raw.paths[0].slices.push_back(slice);
  r.raw.paths[2].failed = "reports no frames for 30 s";
  r.raw.partial = true;  // a path stopped before its first start has no command yet
  r.raw.durations["measuring_s"] = 12.5;
  RawRun back;
  std::string error;
  ASSERT_TRUE(ReadRawRun(RawRunJson(r.raw), back, error)) << error;
  EXPECT_EQ(JsonText(RawRunJson(r.raw)), JsonText(RawRunJson(back)));
  EXPECT_TRUE(AnyPathFailed(back));
}

}  // namespace
