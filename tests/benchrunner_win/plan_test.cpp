// The runner's command line, its round plan and how a slice's reports become a frame rate.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner_options.h"
#include "slice_frames.h"

namespace {

OptionsResult Parse(std::vector<const char*> words, RunnerOptions& options) {
  words.insert(words.begin(), "glyphstorm-bench.exe");
  std::string error;
  return ParseRunnerOptions(int(words.size()), words.data(), options, error);
}

TEST(RunnerOptions, EachOptionAndItsValue) {
  RunnerOptions options;
  ASSERT_EQ(OptionsResult::Run,
            Parse({"--quick", "--rounds", "7", "--paths", "a,,b", "--out", "D:\\r"}, options));
  EXPECT_TRUE(options.quick);
  EXPECT_EQ(7, options.rounds);
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), options.paths);
  EXPECT_EQ("D:\\r", options.out);
  RunnerOptions help;
  EXPECT_EQ(OptionsResult::Help, Parse({"--help"}, help));
}

TEST(RunnerOptions, BadValuesAndUnknownWordsAreRefused) {
  for (std::vector<const char*> words : {std::vector<const char*>{"--rounds"},
                                         {"--rounds", "0"},
                                         {"--rounds", "1001"},
                                         {"--rounds", "-3"},
                                         {"--rounds", "2x"},
                                         {"--paths", ","},
                                         {"--paths"},
                                         {"--out", ""},
                                         {"--fast"},
                                         {"quick"}}) {
    RunnerOptions options;
    EXPECT_EQ(OptionsResult::Bad, Parse(words, options)) << words.back();
  }
}

TEST(RunPlan, APlainRunIsTheTablesPlanQuickIsShortAndRoundsSplitOverProcesses) {
  const DefaultPlan plan{24, 6};
  RunnerOptions quick;
  quick.quick = true;
  RunTimes q = TimesFor(quick, plan);
  RunTimes plain = TimesFor(RunnerOptions{}, plan);
  EXPECT_EQ(24, plain.rounds);
  EXPECT_EQ(6, plain.processes);
  EXPECT_LT(q.rounds * q.sliceSeconds, plain.rounds * plain.sliceSeconds);
  EXPECT_EQ(1, q.processes);
  // Two rounds a process at least; too few rounds for a second process: one.
  RunnerOptions six, three;
  six.rounds = 6;
  three.rounds = 3;
  EXPECT_EQ(3, TimesFor(six, plan).processes);
  EXPECT_EQ(1, TimesFor(three, plan).processes);
  std::vector<int32_t> split;
  for (int32_t round = 0; round < 5; ++round) split.push_back(ProcessOfRound(round, 5, 2));
  EXPECT_EQ((std::vector<int32_t>{0, 0, 0, 1, 1}), split);
  EXPECT_EQ(0, ProcessOfRound(3, 0, 2));
}

TEST(RunPlan, RoundsAlternateTheirOrder) {
  EXPECT_EQ((std::vector<int32_t>{0, 1, 2}), RoundOrder(3, 0));
  EXPECT_EQ((std::vector<int32_t>{2, 1, 0}), RoundOrder(3, 1));
  EXPECT_EQ((std::vector<int32_t>{}), RoundOrder(0, 0));
}

TEST(SliceFrames, CountsFromTheFirstReportAfterTheWarmUpToTheLast) {
  // Before 1.0: warm-up, left out; 1.05 marks the start; 0.3 s hold 6 + 6 + 6 frames.
  std::vector<StampedReport> reports = {{0.95, 40}, {1.05, 6}, {1.15, 6}, {1.25, 6}, {1.35, 6}};
  SliceCount count = CountSlice(reports, 1.0);
  EXPECT_EQ(18, count.frames);
  EXPECT_NEAR(0.3, count.seconds, 1e-9);
  EXPECT_NEAR(60, SliceFps(count), 1e-6);
  EXPECT_EQ(4, count.reports);
  EXPECT_EQ(24, count.allFrames) << "all but the slice's first report, which holds older frames";
  // One report is no interval.
  EXPECT_EQ(0, SliceFps(CountSlice({{1.5, 9}}, 1.0)));
  EXPECT_EQ(0, SliceFps(CountSlice({}, 1.0)));
}

TEST(SliceFrames, OnlyFramesLinesAreReports) {
  int32_t frames = -1;
  EXPECT_TRUE(ParseFramesLine("frames=12\n", frames));
  EXPECT_EQ(12, frames);
  EXPECT_TRUE(ParseFramesLine("frames=0", frames));
  EXPECT_EQ(0, frames);
  for (const char* text :
       {"frames=", "frames=-1\n", "frames=1x", "Frames=3", "width=640", "frames=9999999999", ""}) {
    EXPECT_FALSE(ParseFramesLine(text, frames)) << text;
  }
}

}  // namespace
