// The plan both harnesses measure by: processes and their rounds, kinds, refusals.
#include <gtest/gtest.h>

#include "plan.h"

namespace {

PathTable Table() {
  PathTable table;
  std::string error;
  EXPECT_TRUE(LoadPathTableText(R"({"phrase_glyphs": 33, "plan": {"rounds": 20, "processes": 5},
    "paths": [
      {"key": "p", "name": "product", "program": "p.exe", "source": "debug", "phrases": 199,
       "group": "g", "reference": "r", "bar": 0.97, "on_sweep": "r"},
      {"key": "r", "name": "reference", "program": "r.exe", "args": ["{seconds}", "{phrases}"],
       "source": "debug", "phrases": 199, "group": "g", "sweep": true},
      {"key": "lone", "name": "lone", "program": "l.exe", "source": "debug", "phrases": 200,
       "group": "h"}],
    "rounds_cap": {"h": 8}, "sweep_phrases": [25, 50], "max_phrases": 1000})",
                                table, error))
      << error;
  return table;
}

RunPlan Plan(const PlanRequest& request, std::string* error = nullptr) {
  PathTable table = Table();
  RunPlan plan;
  std::string why;
  bool made = MakePlan(table, request, plan, why);
  if (error) *error = why;
  EXPECT_EQ(made, why.empty()) << why;
  return plan;
}

TEST(Plan, AGroupThatPairsPathsRunsAsProcessesOfEqualShares) {
  RunPlan plan = Plan({});
  ASSERT_EQ(plan.groups.size(), 2u);
  const PlanGroup& paired = plan.groups[0];
  EXPECT_EQ(paired.rounds, 20);
  EXPECT_EQ(paired.processes, 5);
  EXPECT_EQ(paired.processOfRound,
            (std::vector<int32_t>{0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4}));
  // A group without a pair runs as one process; its cap lowers its rounds.
  const PlanGroup& lone = plan.groups[1];
  EXPECT_EQ(lone.rounds, 8);
  EXPECT_EQ(lone.processOfRound, std::vector<int32_t>(8, 0));
  EXPECT_EQ(plan.sliceSeconds, 1.0);
  EXPECT_EQ(plan.warmupSeconds, 0.1);
}

TEST(Plan, RequestsChangeRoundsProcessesAndTimesAlikeInBothHarnesses) {
  PlanRequest three;
  three.rounds = 3;
  // Three rounds give three processes of one round each: an interval and a verdict, in the
  // runner as in scripts/bench.
  for (Harness harness : {Harness::kLinux, Harness::kWindows}) {
    three.harness = harness;
    EXPECT_EQ(Plan(three).groups[0].processOfRound, (std::vector<int32_t>{0, 1, 2}));
  }
  PlanRequest quick;
  quick.quick = true;
  quick.harness = Harness::kWindows;
  RunPlan q = Plan(quick);
  EXPECT_EQ(q.rounds, 3);
  EXPECT_EQ(q.groups[0].processes, 1);
  EXPECT_EQ(q.warmupSeconds, 0.2);  // the runner's resume-and-front settles longer
  PlanRequest seconds;
  seconds.seconds = 7;
  seconds.processes = 2;
  RunPlan s = Plan(seconds);
  EXPECT_EQ(s.rounds, 7);
  EXPECT_EQ(s.groups[0].processOfRound, (std::vector<int32_t>{0, 0, 0, 0, 1, 1, 1}));
}

TEST(Plan, KindsMakeTheirOwnRows) {
  PlanRequest sweep;
  sweep.kind = RunKind::kSweep;
  RunPlan s = Plan(sweep);
  ASSERT_EQ(s.groups.size(), 1u);
  EXPECT_EQ(s.groups[0].name, "sweep-r");
  std::vector<std::string> keys;
  for (const PathRow& row : s.groups[0].rows) keys.push_back(row.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"p", "r@25", "r@50"}));
  EXPECT_EQ(s.rounds, 10);
  EXPECT_EQ(s.groups[0].processes, 1);
  PlanRequest check;
  check.kind = RunKind::kSelfCheck;
  RunPlan c = Plan(check);
  ASSERT_EQ(c.groups.size(), 1u);
  EXPECT_EQ(c.groups[0].rows[1].key, "r-copy");
  Json document = PlanJson(c);
  EXPECT_EQ(document["kind"], "self-check");
  EXPECT_EQ(document["groups"][0]["rows"][1]["reference"], "r");
}

TEST(Plan, BadRequestsAreRefusedWithTheirReason) {
  std::string error;
  PlanRequest unknown;
  unknown.paths = {"p", "nothing"};
  Plan(unknown, &error);
  EXPECT_EQ(error, "no such path: nothing (the paths: p r lone)");
  PlanRequest phrases;
  phrases.kind = RunKind::kSweep;
  phrases.sweepPhrases = {25, 25};
  Plan(phrases, &error);
  EXPECT_EQ(error, "--phrases needs at least two different counts from 1 to 1000");
  phrases.sweepPhrases = {25, 5000};
  Plan(phrases, &error);
  EXPECT_NE(error, "");
  PlanRequest noLine;
  noLine.kind = RunKind::kSweep;
  noLine.paths = {"lone"};
  Plan(noLine, &error);
  EXPECT_EQ(error, "--sweep needs a swept path among --paths");
  PlanRequest noPair;
  noPair.kind = RunKind::kSelfCheck;
  noPair.paths = {"p"};
  Plan(noPair, &error);
  EXPECT_EQ(error, "--self-check needs a path with a target and its reference among --paths");
  PlanRequest many;
  many.rounds = 5000;
  Plan(many, &error);
  EXPECT_NE(error.find("from 1 to 1000"), std::string::npos);
}

}  // namespace
