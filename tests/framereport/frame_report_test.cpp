// The frame count behind every program's "frames=N" report: its grid, its period, the variable.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "frame_report.h"

namespace {

// Presented frames at the given ticks (a negative tick: a frame that was not presented); the
// counts reported, each at the tick that closed its period.
std::vector<std::string> Report(uint32_t start, const std::vector<int64_t>& ticks,
                                uint32_t period = kDefaultReportPeriod) {
  FrameReport report;
  StartFrameReport(report, start, period);
  std::vector<std::string> lines;
  for (int64_t t : ticks) {
    uint32_t now = start + uint32_t(t < 0 ? -t : t);
    if (TickFrameReport(report, now, t >= 0)) {
      char line[32];
      FormatFramesLine(line, sizeof line, report.lastPeriod);
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
  EXPECT_EQ((std::vector<std::string>{"450:frames=2\n", "550:frames=2\n"}),
            Report(0, {10, 20, 450, 549, 550}, 100));
}

TEST(FrameReport, AShorterPeriodReportsOnItsOwnGrid) {
  EXPECT_EQ((std::vector<std::string>{"100:frames=2\n", "210:frames=1\n", "300:frames=1\n"}),
            Report(0, {40, 99, 100, 210, 300}, 100));
  // No period, or one past the maximum, is the default second.
  for (uint32_t period : {0u, kMaxReportPeriod + 1}) {
    EXPECT_EQ((std::vector<std::string>{"1000:frames=2\n"}), Report(0, {100, 999, 1000}, period));
  }
}

TEST(FrameReport, TheVariableNamesMillisecondsOrGivesTheDefault) {
  EXPECT_EQ(100u, ParseReportPeriod("100"));
  EXPECT_EQ(1u, ParseReportPeriod("1"));
  EXPECT_EQ(kMaxReportPeriod, ParseReportPeriod("3600000"));
  for (const char* text :
       {"", "0", "-5", "+5", "1.5", " 100", "100ms", "3600001", "99999999999999999999"}) {
    EXPECT_EQ(kDefaultReportPeriod, ParseReportPeriod(text)) << text;
  }
  EXPECT_EQ(kDefaultReportPeriod, ParseReportPeriod(nullptr));
}

}  // namespace
