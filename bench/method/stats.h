// The benchmark's statistics. The process is the unit: a program keeps effects of its own (where
// its memory and threads landed) that its rounds cannot average out. Over K >= 2 processes a
// Student t interval of the log per-process medians; over one process an order-statistic
// interval of the median of its rounds with its exact coverage. Closed computations only (no
// resampling): the same rounds give the same digits. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

const double kLevel = 0.95;

// Verdicts of a target judged on an interval.
extern const char kMet[];
extern const char kMissed[];
extern const char kUndecided[];
extern const char kTooFew[];
// How two runs relate on one quantity.
extern const char kAgree[];
extern const char kDiffer[];
// How the intervals were made, for results.json's "interval_method".
extern const char kIntervalMethod[];

struct StatInterval {
  double median = 0, low = 0, high = 0;
  double coverage = 0;  // how often an interval made this way holds the truth
  int32_t processes = 0;
  int32_t rounds = 0;
  std::optional<double> logSe, df;  // log(median)'s standard error and degrees of freedom (K >= 2)
};

bool OverProcesses(const StatInterval& interval);

// The t with P(T <= t) = p, 0.5 <= p < 1, df > 0 (not only whole).
double TQuantile(double p, double df);
double Median(std::vector<double> values);  // 0 for none
// The median of each process's positive values, in the order of the processes' numbers; a
// process list of another length counts every value as process 0.
std::vector<double> PerProcess(const std::vector<double>& values,
                               const std::vector<int32_t>& processes);

// The narrowest [x(j), x(n+1-j)] whose exact coverage of the median reaches `level`; with too
// few values for that, [min, max] and its real coverage.
std::optional<StatInterval> RankInterval(std::vector<double> values, double level = kLevel);
// Values of rounds in processes (processes[i]: round i's); values <= 0 or NaN are not measured.
std::optional<StatInterval> ProcessInterval(const std::vector<double>& values,
                                            const std::vector<int32_t>& processes,
                                            double level = kLevel);

struct PairedRatios {
  std::vector<double> ratios;
  std::vector<int32_t> processes;
};
// Round-by-round ratios of two paths measured in the same rounds (a missing or zero
// denominator drops the round).
PairedRatios PairRatios(const std::vector<double>& numerators,
                        const std::vector<double>& denominators,
                        const std::vector<int32_t>& processes);
// top / bottom of two independent estimates, only when both come from K >= 2 processes.
std::optional<StatInterval> Quotient(const std::optional<StatInterval>& top,
                                     const std::optional<StatInterval>& bottom,
                                     double level = kLevel);
// Two paths not measured in the same rounds.
std::optional<StatInterval> UnpairedRatioInterval(const std::vector<double>& numerators,
                                                  const std::vector<double>& denominators,
                                                  const std::vector<int32_t>& numeratorProcesses,
                                                  const std::vector<int32_t>& denominatorProcesses,
                                                  double level = kLevel);

struct Change {
  std::optional<StatInterval> ratio;  // new / old, over processes
  const char* agreement;              // kAgree when the interval holds 1, kDiffer, or kTooFew
};
Change RunChange(const std::optional<StatInterval>& oldRun,
                 const std::optional<StatInterval>& newRun, double level = kLevel);

std::optional<double> HalfWidth(const std::optional<StatInterval>& interval);
const char* Verdict(const std::optional<StatInterval>& interval, double bar);
// A target on one measured value: met when below the bar (or at/above it when !below).
const char* ValueVerdict(std::optional<double> value, double bar, bool below = true);
struct LineFit {
  double fixed = 0, slope = 0, r2 = 0;
};
// Least-squares line y = fixed + slope x; nothing for fewer than two distinct x.
std::optional<LineFit> FitLine(const std::vector<double>& xs, const std::vector<double>& ys);
// Coefficient of variation (sample standard deviation / mean) of the given values.
// NaN stands for a value not measured, here and above.
std::optional<double> Variation(const std::vector<double>& values);
