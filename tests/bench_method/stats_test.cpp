// The intervals: closed forms checked, and their coverage by simulation — a 95 % interval must
// hold the truth 95 % of the time, with processes as the unit.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "stats.h"

namespace {

const double kPi = 3.14159265358979323846;

TEST(Stats, TheTQuantileMeetsItsClosedForms) {
  for (double p : {0.9, 0.95, 0.975, 0.995}) {
    EXPECT_NEAR(TQuantile(p, 1), std::tan(kPi * (p - 0.5)), 1e-9 * TQuantile(p, 1));
    double a = 4 * p * (1 - p);
    EXPECT_NEAR(TQuantile(p, 2), 2 * (p - 0.5) * std::sqrt(2 / a), 1e-9);
  }
  EXPECT_NEAR(TQuantile(0.975, 4), 2.776445105, 1e-8);
  // Welch's degrees of freedom are not whole.
  EXPECT_LT(TQuantile(0.975, 7.5), TQuantile(0.975, 7));
  EXPECT_GT(TQuantile(0.975, 7.5), TQuantile(0.975, 8));
  EXPECT_TRUE(std::isnan(TQuantile(0.975, 0)));
  EXPECT_TRUE(std::isnan(TQuantile(1.0, 3)));
}

TEST(Stats, OneProcessGetsTheOrderStatisticIntervalWithItsExactCoverage) {
  auto three = ProcessInterval({50.0, 49.0, 52.0}, {});
  EXPECT_EQ(three->low, 49.0);
  EXPECT_EQ(three->high, 52.0);
  EXPECT_DOUBLE_EQ(three->coverage, 0.75);
  std::vector<double> twenty;
  for (int v = 20; v >= 1; --v) twenty.push_back(v);
  auto got = ProcessInterval(twenty, std::vector<int32_t>(20, 0));
  EXPECT_EQ(got->low, 6.0);
  EXPECT_EQ(got->high, 15.0);
  EXPECT_NEAR(got->coverage, 1 - 2 * 21700.0 / (1 << 20), 1e-12);
  EXPECT_FALSE(ProcessInterval({NAN, 0.0, -1.0}, {}));
  EXPECT_STREQ(Verdict(got, 0.5), kTooFew);
}

TEST(Stats, ProcessesAreTheUnitAndRatiosPair) {
  // Per process the median of its rounds (10 and 40), then their geometric mean, 20.
  auto got = ProcessInterval({9, 10, 30, 11, 40, 50}, {0, 0, 1, 0, 1, 1});
  double half = std::tan(kPi * 0.475) * std::log(4.0) / 2;
  EXPECT_EQ(got->processes, 2);
  EXPECT_NEAR(got->median, 20.0, 1e-12);
  EXPECT_NEAR(got->low, 20.0 / std::exp(half), 1e-9);
  PairedRatios paired = PairRatios({10, 22, 30, 33, 7}, {5, 10, 10, 10, 0}, {0, 0, 1, 1, 1});
  EXPECT_EQ(paired.ratios.size(), 4u);  // a side at 0 is a lost round
  EXPECT_NEAR(ProcessInterval(paired.ratios, paired.processes)->median, std::sqrt(2.1 * 3.15),
              1e-12);
  std::vector<double> a, b;
  for (int i = 0; i < 20; ++i) a.push_back(100 + i), b.push_back(50 + i);
  auto rounds = UnpairedRatioInterval(a, b, {}, {});
  EXPECT_DOUBLE_EQ(rounds->low, 104.0 / 65.0);
  EXPECT_DOUBLE_EQ(rounds->high, 115.0 / 54.0);
}

TEST(Stats, AFitFindsItsLineAndNoiseLowersR2) {
  std::vector<double> xs = {825, 1650, 3300, 6600, 13200, 26400}, ys, noisy;
  for (size_t i = 0; i < xs.size(); ++i) {
    ys.push_back(2.0 + 0.000015 * xs[i]);
    noisy.push_back(ys.back() + (i % 2 ? 0.8 : -0.8));
  }
  auto fit = FitLine(xs, ys);
  EXPECT_NEAR(fit->fixed, 2.0, 1e-9);
  EXPECT_NEAR(fit->slope * 1e6, 15.0, 1e-6);
  EXPECT_NEAR(fit->r2, 1.0, 1e-12);
  EXPECT_LT(FitLine(xs, noisy)->r2, 0.99);
  EXPECT_FALSE(FitLine({5, 5}, {1, 2}));
}

// One path's rounds around a truth of 100: each process with an effect of its own, each round
// with noise in the log, normal or (heavy) Student t with 3 degrees of freedom.
void SimulatedRun(std::mt19937_64& rng, int processes, int rounds, bool heavy,
                  std::vector<double>& values, std::vector<int32_t>& units) {
  std::normal_distribution<double> normal(0.0, 1.0);
  std::student_t_distribution<double> t3(3.0);
  values.clear();
  units.clear();
  for (int k = 0; k < processes; ++k) {
    double effect = 0.01 * normal(rng);
    for (int r = 0; r < rounds; ++r) {
      double noise = heavy ? t3(rng) : normal(rng);
      values.push_back(100.0 * std::exp(effect + 0.02 * noise));
      units.push_back(k);
    }
  }
}

const int kRuns = 2000;
// A true 95 % interval stays above it (three standard errors below 95 %); a 90 % one does not.
const double kBound = 0.935;

TEST(Coverage, IntervalsOverProcessesCover95PercentAndA90PercentOneFailsTheBound) {
  std::vector<double> values;
  std::vector<int32_t> units;
  uint64_t seed = 0;
  for (bool heavy : {false, true}) {
    for (int processes : {2, 3, 5, 8}) {
      for (int rounds : {1, 5}) {
        std::mt19937_64 rng(++seed);
        int held95 = 0, held90 = 0;
        for (int i = 0; i < kRuns; ++i) {
          SimulatedRun(rng, processes, rounds, heavy, values, units);
          auto a = ProcessInterval(values, units, 0.95), b = ProcessInterval(values, units, 0.90);
          held95 += a->low <= 100.0 && 100.0 <= a->high;
          held90 += b->low <= 100.0 && 100.0 <= b->high;
        }
        SCOPED_TRACE(testing::Message() << heavy << " " << processes << "x" << rounds);
        EXPECT_GE(held95 / double(kRuns), kBound);
        EXPECT_LT(held90 / double(kRuns), kBound);
      }
    }
  }
}

TEST(Coverage, OneProcessCoversItsRoundsMedianAsStated) {
  std::mt19937_64 rng(7);
  std::normal_distribution<double> draw(50.0, 5.0);
  for (int n : {3, 5, 6, 20}) {
    int held = 0;
    double stated = 0;
    for (int i = 0; i < kRuns; ++i) {
      std::vector<double> values;
      for (int r = 0; r < n; ++r) values.push_back(draw(rng));
      auto got = ProcessInterval(values, {});
      held += got->low <= 50.0 && 50.0 <= got->high;
      stated = got->coverage;
    }
    EXPECT_LT(std::fabs(held / double(kRuns) - stated), 0.03) << n;
    EXPECT_EQ(stated >= 0.95, n >= 6) << n;
  }
}

TEST(Coverage, TwoRunsOfOneTruthDifferNoMoreThan5PercentOfTheTime) {
  std::mt19937_64 rng(11);
  std::vector<double> values;
  std::vector<int32_t> units;
  for (int processes : {2, 3, 4}) {
    int differ = 0;
    for (int i = 0; i < kRuns; ++i) {
      SimulatedRun(rng, processes, 5, true, values, units);
      auto before = ProcessInterval(values, units);
      SimulatedRun(rng, processes, 5, true, values, units);
      differ += RunChange(before, ProcessInterval(values, units)).agreement == kDiffer;
    }
    EXPECT_LE(differ / double(kRuns), 0.065) << processes;
  }
}

}  // namespace
