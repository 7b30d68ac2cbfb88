// The method's golden files (made by data/make_golden.py): every build tree judges the raw runs
// and plans the requests to the same bytes, the Windows C runtime's maths included.
#include <gtest/gtest.h>

#include "judge.h"
#include "plan.h"
#include "results_options.h"
#include "run_folder.h"

namespace {

std::string DataFile(const std::string& name) {
  return std::string(GLYPHSTORM_SOURCE_DIR) + "/tests/bench_method/data/" + name;
}

Json ReadJson(const std::string& name) {
  std::string text, error;
  Json value;
  EXPECT_TRUE(ReadTextFile(DataFile(name), text)) << name;
  EXPECT_TRUE(ParseJsonText(text, value, error)) << name << ": " << error;
  return value;
}

const char* const kRuns[] = {"rounds", "one-process", "sweep", "self-check", "failed"};
const char* const kPlans[] = {"plan-default",   "plan-quick-windows", "plan-rounds-8",
                              "plan-seconds-7", "plan-sweep",         "plan-self-check"};

TEST(Golden, EveryRunJudgesToTheSameBytes) {
  for (const char* name : kRuns) {
    SCOPED_TRACE(name);
    RawRun raw;
    std::string error, want;
    ASSERT_TRUE(ReadRawFile(DataFile(std::string(name) + ".raw.json"), raw, error)) << error;
    Json results;
    ASSERT_TRUE(JudgeRun(raw, results, error)) << error;
    ASSERT_TRUE(ReadTextFile(DataFile(std::string(name) + ".results.json"), want));
    EXPECT_EQ(JsonText(results), want);
  }
}

TEST(Golden, EveryRequestPlansTheSame) {
  PathTable table;
  std::string error;
  Json tableDocument = ReadJson("table.json");
  ASSERT_TRUE(LoadPathTable(tableDocument, table, error)) << error;
  for (const char* name : kPlans) {
    SCOPED_TRACE(name);
    Json golden = ReadJson(std::string(name) + ".json");
    ResultsOptions options;
    ASSERT_TRUE(
        ParseResultsOptions(golden["options"].get<std::vector<std::string>>(), options, error))
        << error;
    RunPlan plan;
    ASSERT_TRUE(MakePlan(table, options.request, plan, error)) << error;
    EXPECT_EQ(JsonText(PlanDocument(plan, tableDocument)), JsonText(golden["plan"]));
  }
}

}  // namespace
