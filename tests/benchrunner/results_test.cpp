// results.json, the printed summary and report.html of a run with a failed and a capped path.
#include "json.h"
#include "run_numbers.h"
#include "sample_run.h"

#include <gtest/gtest.h>

namespace {

const JsonValue* PathEntry(const JsonValue& data, const std::string& key) {
  for (const JsonValue& p : JsonMember(data, "paths")->items) {
    if (JsonMember(p, "key")->text == key) return &p;
  }
  return nullptr;
}

std::vector<const JsonValue*> LinesOf(const JsonValue& data, const std::string& key) {
  std::vector<const JsonValue*> found;
  for (const char* part : {"targets", "information"}) {
    for (const JsonValue& l : JsonMember(data, part)->items) {
      const JsonValue* ref = JsonMember(l, "reference");
      if (JsonMember(l, "path")->text == key || (ref && ref->text == key)) found.push_back(&l);
    }
  }
  return found;
}

TEST(Results, FailedAndCappedPathsAreRowsThatJudgeNothing) {
  PathTable table = SampleTable();
  ASSERT_FALSE(table.rows.empty());
  RunRecord run = SampleRun(table);
  run.partial = true;
  JsonValue data;
  std::string error;
  ASSERT_TRUE(ParseJson(ResultsJson(table, run), data, error)) << error;
  EXPECT_EQ(JsonMember(data, "kind")->text, "rounds");
  EXPECT_TRUE(JsonMember(*JsonMember(data, "run"), "partial")->boolean);
  EXPECT_EQ(JsonMember(data, "paths")->items.size(), table.rows.size());

  const JsonValue* failed = PathEntry(data, kSampleFailedPath);
  EXPECT_EQ(JsonMember(*failed, "failed")->text, "reports nothing for 30 s");
  EXPECT_NE(JsonMember(*failed, "command")->text.find(".exe"), std::string::npos);
  EXPECT_EQ(JsonMember(*failed, "fps")->kind, JsonKind::kNull);
  EXPECT_TRUE(LinesOf(data, kSampleFailedPath).empty());

  const JsonValue* capped = PathEntry(data, kSampleCappedPath);
  EXPECT_TRUE(JsonMember(*capped, "capped")->boolean);
  EXPECT_FALSE(JsonMember(*PathEntry(data, "gl_reference-phrase"), "capped")->boolean);
  for (const JsonValue* line : LinesOf(data, kSampleCappedPath)) {
    const JsonValue* verdict = JsonMember(*line, "verdict");
    if (verdict->kind == JsonKind::kString && JsonMember(*line, "kind")->text == "ratio") {
      EXPECT_EQ(verdict->text, "capped by the display") << JsonMember(*line, "label")->text;
    }
  }
  // Two processes per path: the other targets are judged.
  const JsonValue* mode1 = PathEntry(data, "glyphstorm-mode1");
  EXPECT_EQ(JsonMember(*mode1, "processes")->number, 2);
  EXPECT_EQ(JsonMember(*JsonMember(*mode1, "fps"), "coverage")->number, 0.95);

  std::string summary = SummaryText(table, run);
  for (const char* wanted :
       {"failed: reports nothing for 30 s; command: gl_reference.exe", kCappedNote, "Targets",
        "Information", "8 (2)", "Partial:", "Windows 10 (10.0.19045)"}) {
    EXPECT_NE(summary.find(wanted), std::string::npos) << wanted << "\n" << summary;
  }
}

TEST(Results, TheDisplaysRateCapsWithinItsTolerance) {
  StatInterval fps;
  auto capped = [&](double median, double hz) {
    fps.median = median;
    return CappedByDisplay(fps, hz);
  };
  EXPECT_TRUE(capped(59.94, 60));
  EXPECT_TRUE(capped(59.94, 59));  // Windows rounds 59.94 Hz down
  EXPECT_TRUE(capped(58.5, 60));
  EXPECT_FALSE(capped(57.0, 60));
  EXPECT_FALSE(capped(61.5, 60));
  EXPECT_FALSE(capped(60, 0));  // rate unknown
  EXPECT_FALSE(CappedByDisplay(std::nullopt, 60));
}

TEST(Results, TheReportEmbedsOnlyDataAndNothingThatEndsItsScript) {
  std::string page = ReportHtml(R"({"name": "</script><script>alert(1)</script> <!--"})");
  EXPECT_EQ(page.find("/*RESULTS_JSON*/"), std::string::npos);
  EXPECT_EQ(page.find("alert(1)</script>"), std::string::npos);
  EXPECT_EQ(page.find("<!-- \""), std::string::npos);
  EXPECT_NE(page.find(R"(\u003c/script>\u003cscript>alert(1))"), std::string::npos);
  // Not JSON: no data rather than script.
  std::string bad = ReportHtml("1; alert(2)");
  EXPECT_EQ(bad.find("alert(2)"), std::string::npos);
}

}  // namespace
