// The statistics: closed computations over processes and rounds; Boost.Math gives the t quantile.
#include "stats.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <boost/math/distributions/students_t.hpp>

const char kMet[] = "met";
const char kMissed[] = "missed";
const char kUndecided[] = "undecided";
const char kTooFew[] = "too few processes to judge";
const char kAgree[] = "agree";
const char kDiffer[] = "differ";
const char kIntervalMethod[] =
    "per process the median of its rounds; over K >= 2 processes the geometric mean with a "
    "Student t 95 % interval of the log values (K - 1 degrees of freedom); with one process an "
    "order-statistic interval of the median of its rounds, with its exact coverage";

namespace {

bool Measured(double v) { return v > 0; }  // false for NaN too

// Over processes the coverage is the level by construction.
StatInterval TInterval(double logMean, double logSe, double df, int32_t processes, int32_t rounds,
                       double level) {
  double half = logSe > 0 ? TQuantile((1.0 + level) / 2.0, df) * logSe : 0.0;
  return {std::exp(logMean),
          std::exp(logMean - half),
          std::exp(logMean + half),
          level,
          processes,
          rounds,
          logSe,
          df};
}

double Mean(const std::vector<double>& v) {
  double sum = 0;
  for (double x : v) sum += x;
  return sum / v.size();
}

double Stdev(const std::vector<double>& v) {
  double mean = Mean(v), squares = 0;
  for (double x : v) squares += (x - mean) * (x - mean);
  return std::sqrt(squares / (v.size() - 1));
}

std::vector<double> MeasuredValues(const std::vector<double>& values) {
  std::vector<double> kept;
  for (double v : values) {
    if (Measured(v)) kept.push_back(v);
  }
  return kept;
}

}  // namespace

bool OverProcesses(const StatInterval& interval) {
  return interval.logSe.has_value() && interval.processes >= 2;
}

double TQuantile(double p, double df) {
  // Errors give NaN (an interval of NaN bounds is printed as not measured), never an exception.
  using Quiet = boost::math::policies::policy<
      boost::math::policies::domain_error<boost::math::policies::ignore_error>,
      boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
      boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;
  if (!(df > 0) || !(p >= 0.5 && p < 1)) return std::nan("");
  return boost::math::quantile(boost::math::students_t_distribution<double, Quiet>(df), p);
}

namespace {

// P(Binom(n, 1/2) = i), through logarithms so no 2^n overflows.
double HalfTerm(int32_t n, int32_t i) {
  return std::exp(std::lgamma(n + 1.0) - std::lgamma(i + 1.0) - std::lgamma(n - i + 1.0) -
                  n * std::log(2.0));
}

}  // namespace

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::vector<double> PerProcess(const std::vector<double>& values,
                               const std::vector<int32_t>& processes) {
  bool known = processes.size() == values.size();
  std::map<int32_t, std::vector<double>> byProcess;
  for (size_t i = 0; i < values.size(); ++i) {
    if (Measured(values[i])) byProcess[known ? processes[i] : 0].push_back(values[i]);
  }
  std::vector<double> medians;
  for (const auto& entry : byProcess) medians.push_back(Median(entry.second));
  return medians;
}

std::optional<StatInterval> RankInterval(std::vector<double> values, double level) {
  if (values.empty()) return std::nullopt;
  std::sort(values.begin(), values.end());
  int32_t n = static_cast<int32_t>(values.size());
  // The coverage of [x(j), x(n+1-j)] is 1 - 2 P(X <= j - 1); its sum is kept as j grows, so the
  // work is linear in the rounds.
  int32_t j = 1;
  double below = HalfTerm(n, 0);
  while (j + 1 <= (n + 1) / 2) {
    double next = below + HalfTerm(n, j);
    if (1.0 - 2.0 * std::min(next, 1.0) < level) break;
    below = next;
    ++j;
  }
  double coverage = 1.0 - 2.0 * std::min(below, 1.0);
  return StatInterval{Median(values), values[j - 1], values[n - j], coverage, 1, n, {}, {}};
}

std::optional<StatInterval> ProcessInterval(const std::vector<double>& values,
                                            const std::vector<int32_t>& processes, double level) {
  std::vector<double> measured = MeasuredValues(values);
  if (measured.empty()) return std::nullopt;
  std::vector<double> units = PerProcess(values, processes);
  if (units.size() == 1) return RankInterval(measured, level);
  std::vector<double> logs;
  for (double v : units) logs.push_back(std::log(v));
  int32_t k = static_cast<int32_t>(logs.size());
  return TInterval(Mean(logs), Stdev(logs) / std::sqrt(static_cast<double>(k)), k - 1, k,
                   static_cast<int32_t>(measured.size()), level);
}

PairedRatios PairRatios(const std::vector<double>& numerators,
                        const std::vector<double>& denominators,
                        const std::vector<int32_t>& processes) {
  bool known = processes.size() == numerators.size();
  PairedRatios paired;
  for (size_t i = 0; i < numerators.size() && i < denominators.size(); ++i) {
    double a = numerators[i], b = denominators[i];
    // A side at 0 measured nothing (a CPU time below its clock's resolution), like a lost round.
    if (!Measured(a) || !Measured(b)) continue;
    paired.ratios.push_back(a / b);
    paired.processes.push_back(known ? processes[i] : 0);
  }
  return paired;
}

std::optional<StatInterval> Quotient(const std::optional<StatInterval>& top,
                                     const std::optional<StatInterval>& bottom, double level) {
  if (!top || !bottom || !OverProcesses(*top) || !OverProcesses(*bottom)) return std::nullopt;
  double seA = *top->logSe, seB = *bottom->logSe;
  double variance = seA * seA + seB * seB;
  double se = 0, df = *top->df + *bottom->df;
  if (variance != 0) {
    // Welch–Satterthwaite degrees of freedom of the difference of the logs.
    double spread = 0;
    if (seA > 0) spread += seA * seA * seA * seA / *top->df;
    if (seB > 0) spread += seB * seB * seB * seB / *bottom->df;
    se = std::sqrt(variance);
    df = variance * variance / spread;
  }
  return TInterval(std::log(top->median) - std::log(bottom->median), se, df,
                   std::min(top->processes, bottom->processes),
                   std::min(top->rounds, bottom->rounds), level);
}

std::optional<StatInterval> UnpairedRatioInterval(const std::vector<double>& numerators,
                                                  const std::vector<double>& denominators,
                                                  const std::vector<int32_t>& numeratorProcesses,
                                                  const std::vector<int32_t>& denominatorProcesses,
                                                  double level) {
  auto top = ProcessInterval(numerators, numeratorProcesses, level);
  auto bottom = ProcessInterval(denominators, denominatorProcesses, level);
  auto judged = Quotient(top, bottom, level);
  if (judged || !top || !bottom) return judged;
  // Each side at sqrt(level): both hold together at least `level` of the time.
  auto a = RankInterval(MeasuredValues(numerators), std::sqrt(level));
  auto b = RankInterval(MeasuredValues(denominators), std::sqrt(level));
  return StatInterval{a->median / b->median,
                      a->low / b->high,
                      a->high / b->low,
                      a->coverage * b->coverage,
                      1,
                      std::min(a->rounds, b->rounds),
                      {},
                      {}};
}

Change RunChange(const std::optional<StatInterval>& oldRun,
                 const std::optional<StatInterval>& newRun, double level) {
  std::optional<StatInterval> ratio = Quotient(newRun, oldRun, level);
  if (!ratio) return {ratio, kTooFew};
  return {ratio, ratio->low <= 1.0 && 1.0 <= ratio->high ? kAgree : kDiffer};
}

std::optional<double> HalfWidth(const std::optional<StatInterval>& interval) {
  if (!interval || !interval->median) return std::nullopt;
  return (interval->high - interval->low) / 2.0 / interval->median;
}

const char* Verdict(const std::optional<StatInterval>& interval, double bar) {
  if (!interval) return kUndecided;
  if (!OverProcesses(*interval) || interval->coverage < kLevel) return kTooFew;
  if (interval->low >= bar) return kMet;
  if (interval->high < bar) return kMissed;
  return kUndecided;
}

const char* ValueVerdict(std::optional<double> value, double bar, bool below) {
  if (!value) return kUndecided;
  return (below ? *value < bar : *value >= bar) ? kMet : kMissed;
}

std::optional<double> Variation(const std::vector<double>& values) {
  std::vector<double> kept;
  for (double v : values) {
    if (!std::isnan(v)) kept.push_back(v);
  }
  if (kept.size() < 2 || Mean(kept) == 0) return std::nullopt;
  return Stdev(kept) / Mean(kept);
}

std::optional<LineFit> FitLine(const std::vector<double>& xs, const std::vector<double>& ys) {
  std::vector<std::pair<double, double>> points;
  for (size_t i = 0; i < xs.size() && i < ys.size(); ++i) {
    if (std::isfinite(xs[i]) && std::isfinite(ys[i])) points.push_back({xs[i], ys[i]});
  }
  double n = static_cast<double>(points.size()), mx = 0, my = 0;
  for (const auto& [x, y] : points) mx += x / n, my += y / n;
  double sxx = 0, sxy = 0, total = 0;
  for (const auto& [x, y] : points) {
    sxx += (x - mx) * (x - mx);
    sxy += (x - mx) * (y - my);
    total += (y - my) * (y - my);
  }
  if (points.size() < 2 || sxx == 0) return std::nullopt;
  LineFit fit;
  fit.slope = sxy / sxx;
  fit.fixed = my - fit.slope * mx;
  double residual = 0;
  for (const auto& [x, y] : points)
    residual += (y - fit.fixed - fit.slope * x) * (y - fit.fixed - fit.slope * x);
  fit.r2 = total ? 1.0 - residual / total : 1.0;
  return fit;
}
