// The 2D references' arguments and their once-a-second frame count.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "workload2d.h"

namespace {

const char* const kWords[] = {"layout", "antialias"};

bool Parse(std::vector<const char*> words, ReferenceArgs& args) {
  words.insert(words.begin(), "program.exe");
  return ParseReferenceArgs(int(words.size()), words.data(), kWords, 2, args);
}

TEST(ReferenceArgs, SecondsThenPhrasesWithModeWordsAnywhere) {
  ReferenceArgs args;
  ASSERT_TRUE(Parse({}, args));
  EXPECT_EQ(0u, args.seconds);
  EXPECT_EQ(200, args.phrases);
  EXPECT_EQ(0u, args.words);

  ASSERT_TRUE(Parse({"antialias", "12", "layout", "0"}, args));
  EXPECT_EQ(12u, args.seconds);
  EXPECT_EQ(0, args.phrases);
  EXPECT_EQ(3u, args.words);

  ASSERT_TRUE(Parse({"1000000", "100000"}, args));
  EXPECT_EQ(1000000u, args.seconds);
  EXPECT_EQ(100000, args.phrases);
}

TEST(ReferenceArgs, AnythingElseIsRefused) {
  const std::vector<std::vector<const char*>> refused = {{"layouts"},
                                                         {"Layout"},
                                                         {""},
                                                         {"-1"},
                                                         {"+5"},
                                                         {"1.5"},
                                                         {" 5"},
                                                         {"5", "6", "7"},
                                                         {"1000001"},
                                                         {"1", "100001"},
                                                         {"99999999999999999999"},
                                                         {"10", "x"}};
  for (const auto& words : refused) {
    ReferenceArgs args;
    EXPECT_FALSE(Parse(words, args)) << (words.empty() ? "" : words.back());
  }
}

// Presented frames at the given ticks (a negative tick: a frame that was not presented); the
// counts reported, each at the tick that closed its second.
std::vector<std::string> Report(uint32_t start, const std::vector<int64_t>& ticks) {
  FrameReport report;
  StartFrameReport(report, start);
  std::vector<std::string> lines;
  for (int64_t t : ticks) {
    uint32_t now = start + uint32_t(t < 0 ? -t : t);
    if (TickFrameReport(report, now, t >= 0)) {
      char line[32];
      FormatFramesLine(line, sizeof line, report.lastSecond);
      lines.push_back(std::to_string(now - start) + ":" + line);
    }
  }
  return lines;
}

TEST(FrameReport, CountsEachFrameInTheSecondOfItsTickOnAFixedGrid) {
  // The frame that closes a second belongs to the next one; the grid does not drift with it.
  EXPECT_EQ((std::vector<std::string>{"1010:frames=3\n", "2000:frames=2\n", "3999:frames=1\n"}),
            Report(0, {1, 500, 999, 1010, 1990, 2000, 3999}));
  // Frames that were not presented close seconds but are not counted.
  EXPECT_EQ((std::vector<std::string>{"1200:frames=1\n"}), Report(0, {100, -300, -1200}));
  // Across the tick count's wrap.
  EXPECT_EQ((std::vector<std::string>{"1000:frames=2\n"}), Report(0xFFFFFE00u, {10, 700, 1000}));
}

TEST(FrameReport, AProgramHeldUpGetsOneReportAndANewGrid) {
  EXPECT_EQ((std::vector<std::string>{"5500:frames=2\n", "6500:frames=2\n"}),
            Report(0, {100, 200, 5500, 6499, 6500}));
}

}  // namespace
