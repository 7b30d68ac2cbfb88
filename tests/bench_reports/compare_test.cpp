// --compare on real result files: runs with processes (format 1), runs from before rounds
// carried their process, and a run of each harness against the other's.
#include <gtest/gtest.h>

#include <regex>

#include "compare.h"
#include "report_test_util.h"
#include "stats.h"

namespace {

std::string Compared(const Json& oldRun, const Json& newRun) {
  return CompareText(oldRun, newRun, CompareRuns(oldRun, newRun));
}

bool Shows(const std::string& text, const char* pattern) {
  return std::regex_search(text, std::regex(pattern));
}

}  // namespace

TEST(Compare, RatiosAreJudgedByTheIntervalOfTheirChange) {
  Json found = CompareRuns(LoadDocument("compare-processes-old.json"),
                           LoadDocument("compare-processes-new.json"));
  ASSERT_EQ(found["ratios"].size(), 2u);
  EXPECT_EQ(found["ratios"][0]["agreement"], kDiffer);
  EXPECT_EQ(found["ratios"][1]["agreement"], kAgree);
  EXPECT_GT(found["ratios"][0]["change"]["low"].get<double>(), 1.0);
  EXPECT_EQ(found["ratios"][0]["target"], true);
  EXPECT_EQ(found["ratios"][0]["verdicts"], Json::array({"missed", "missed"}));
  ASSERT_EQ(found["paths"].size(), 2u);
  const Json& product = found["paths"][0];
  EXPECT_NEAR(product["ratio"].get<double>(), 1.06, 5e-4);
  EXPECT_NEAR(product["vs_reference"].get<double>(), 1.06 / 0.98, 5e-4);
  EXPECT_TRUE(found["paths"][1]["vs_reference"].is_null());
  EXPECT_EQ(found["only_old"], Json::array());
  Json legacy = CompareRuns(LoadDocument("compare-old.json"), LoadDocument("compare-new.json"));
  ASSERT_EQ(legacy["ratios"].size(), 1u);
  EXPECT_EQ(legacy["ratios"][0]["agreement"], kTooFew);
  EXPECT_TRUE(legacy["ratios"][0]["change"].is_null());
  EXPECT_EQ(legacy["only_new"], Json::array({"only in the new run"}));
}

TEST(Compare, TheTextLeadsWithTheRatiosAndFlagsNoFpsChange) {
  std::string out = Compared(LoadDocument("compare-processes-old.json"),
                             LoadDocument("compare-processes-new.json"));
  EXPECT_TRUE(Shows(out,
                    "product ≥ 0\\.97× reference +0\\.829 \\[0\\.827–0\\.831\\] +0\\.898 "
                    "\\[0\\.870–0\\.927\\] +\\+8\\.3 % \\[\\+5\\.0–\\+11\\.8\\] +differ +"
                    "missed → missed"))
      << out;
  EXPECT_TRUE(Shows(out, "by CPU time per frame .* agree +\\(information\\)"));
  EXPECT_TRUE(Shows(out,
                    "\nproduct +50\\.1 \\[49\\.2–51\\.0\\] +53\\.1 \\[52\\.2–54\\.0\\] +"
                    "\\+6\\.0 % +\\+8\\.2 %"));
  EXPECT_LT(out.find("product ≥"), out.find("old FPS"));
  EXPECT_EQ(out.find("significant"), std::string::npos);
  EXPECT_EQ(out.rfind("old: 20261201-100000, x86_64 build, GL Mesa's default (llvmpipe (LLVM "
                      "15.0.6, 256 bits)), DirectDraw renderer Wine's default (gl)\nnew: ",
                      0),
            0u);
  std::string legacy = Compared(LoadDocument("compare-old.json"), LoadDocument("compare-old.json"));
  EXPECT_TRUE(Shows(legacy,
                    "0\\.833 \\[0\\.826–0\\.840\\] \\(1 process\\) .* too few processes to "
                    "judge"))
      << legacy;
  std::string only = Compared(LoadDocument("compare-old.json"), LoadDocument("compare-new.json"));
  EXPECT_NE(only.find("\nonly in the new run: only in the new run\n"), std::string::npos);
}

TEST(Compare, ARunOfEachHarnessAgainstTheOthers) {
  Json linux = LoadDocument("rounds.json");
  Json windows = LoadDocument("windows.json");
  std::string out = Compared(linux, windows);
  EXPECT_TRUE(Shows(out,
                    "^old: .*DirectDraw renderer Wine's default \\(gl\\)\nnew: "
                    "20261210-210000, i686 build, windows-runner on Windows 10 "
                    "\\(10\\.0\\.19045\\), GL llvmpipe .*, display adapter Wine Display "
                    "</script> adapter\n"))
      << out;
  Json found = CompareRuns(linux, windows);
  ASSERT_EQ(found["ratios"].size(), 1u);  // mode 2 against its reference, in both
  EXPECT_EQ(found["ratios"][0]["label"], "glyphstorm mode 2 ≥ 0.97× reference phrase quads");
  EXPECT_EQ(found["only_new"], Json::array({"reference empty frame"}));
  EXPECT_EQ(found["only_old"].size(), 5u);
  // A run against itself agrees on every ratio it can judge.
  Json same = CompareRuns(windows, windows);
  for (const Json& r : same["ratios"]) {
    if (!r["change"].is_null()) {
      EXPECT_EQ(r["agreement"], kAgree);
    }
  }
}
