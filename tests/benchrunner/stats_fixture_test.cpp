// The statistics port against scripts/bench's fixture: the same rounds in give the same
// medians, intervals, coverages and verdicts out.
#include "stats.h"
#include "json.h"
#include "sample_run.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

JsonValue Fixture() {
  JsonValue v;
  std::string error;
  EXPECT_TRUE(ParseJson(ReadSourceFile("tests/bench/data/stats_fixture.json"), v, error)) << error;
  return v;
}

// A null value is a lost round.
std::vector<double> Values(const JsonValue* list) {
  std::vector<double> out;
  for (const JsonValue& v : list->items)
    out.push_back(v.kind == JsonKind::kNumber ? v.number : NAN);
  return out;
}

// null: every round in process 0.
std::vector<int32_t> Processes(const JsonValue* list) {
  std::vector<int32_t> out;
  if (list) {
    for (const JsonValue& v : list->items) out.push_back(static_cast<int32_t>(v.number));
  }
  return out;
}

std::optional<StatInterval> Paired(const JsonValue& side) {
  std::vector<int32_t> processes = Processes(JsonMember(side, "processes"));
  PairedRatios pairs = PairRatios(Values(JsonMember(side, "numerators")),
                                  Values(JsonMember(side, "denominators")), processes);
  return ProcessInterval(pairs.ratios, pairs.processes);
}

void ExpectClose(double actual, const JsonValue& expect, const char* name,
                 const std::string& what) {
  const JsonValue* e = JsonMember(expect, name);
  if (!e) return;
  EXPECT_NEAR(actual, e->number, 1e-9 * std::fabs(e->number)) << what << ": " << name;
}

void ExpectInterval(const std::optional<StatInterval>& got, const JsonValue& expect,
                    const std::string& what) {
  ASSERT_TRUE(got.has_value()) << what;
  for (auto [name, value] : {std::pair{"median", got->median},
                             {"low", got->low},
                             {"high", got->high},
                             {"coverage", got->coverage}}) {
    ExpectClose(value, expect, name, what);
  }
  ExpectClose(got->processes, expect, "processes", what);
  ExpectClose(got->rounds, expect, "rounds", what);
}

TEST(StatsFixture, TQuantilesAgree) {
  JsonValue fixture = Fixture();
  for (const JsonValue& q : JsonMember(fixture, "t_quantiles")->items) {
    double t = TQuantile(JsonMember(q, "p")->number, JsonMember(q, "df")->number);
    ExpectClose(t, q, "t", "df " + JsonNumberText(JsonMember(q, "df")->number));
  }
}

TEST(StatsFixture, IntervalsRatiosVerdictsAndComparisonsAgree) {
  JsonValue fixture = Fixture();
  int32_t checked = 0;
  for (const JsonValue& c : JsonMember(fixture, "cases")->items) {
    std::string kind = JsonMember(c, "kind")->text, what = JsonMember(c, "name")->text;
    const JsonValue& expect = *JsonMember(c, "expect");
    std::optional<StatInterval> got;
    if (kind == "interval") {
      got = ProcessInterval(Values(JsonMember(c, "values")), Processes(JsonMember(c, "processes")));
    } else if (kind == "paired_ratio") {
      got = Paired(c);
    } else if (kind == "unpaired_ratio") {
      got = UnpairedRatioInterval(Values(JsonMember(c, "numerators")),
                                  Values(JsonMember(c, "denominators")),
                                  Processes(JsonMember(c, "numerator_processes")),
                                  Processes(JsonMember(c, "denominator_processes")));
    } else if (kind == "compare") {
      Change change = RunChange(Paired(*JsonMember(c, "old")), Paired(*JsonMember(c, "new")));
      EXPECT_EQ(change.agreement, JsonMember(expect, "agreement")->text) << what;
      if (change.ratio) {
        ExpectInterval(change.ratio, expect, what);
        ExpectClose(*change.ratio->df, expect, "df", what);
      }
      EXPECT_EQ(change.ratio.has_value(), JsonMember(expect, "median") != nullptr) << what;
      ++checked;
      continue;
    } else {
      ADD_FAILURE() << "unknown case kind " << kind;
      continue;
    }
    ExpectInterval(got, expect, what);
    EXPECT_EQ(Verdict(got, JsonMember(c, "bar")->number), JsonMember(expect, "verdict")->text)
        << what;
    ++checked;
  }
  EXPECT_GE(checked, 10);
}

}  // namespace
