"""Statistics of the benchmark: rates from frame events, intervals over processes and rounds,
verdicts, the linear fit of the sweep and the comparison of two runs. Pure Python, no Wine.

The unit is the process: a program keeps effects of its own (where its memory and threads landed)
that its rounds cannot average out, so rounds of one process are not independent draws. A path's
value in one process is the median of its rounds there; over K >= 2 processes the estimate is the
geometric mean of those values with a Student t interval of their logarithms. With one process
only, the interval is an order-statistic interval of the median of its rounds: exact for those
rounds, blind to the process's own effect, so no verdict is drawn from it. Everything here is a
closed computation (no resampling) so another harness can reproduce the digits."""
import functools
import math
import statistics
from dataclasses import dataclass

LEVEL = 0.95
METHOD = ("per process the median of its rounds; over K >= 2 processes the geometric mean with a "
          "Student t 95 % interval of the log values (K - 1 degrees of freedom); with one process "
          "an order-statistic interval of the median of its rounds, with its exact coverage")

# Verdicts of a target judged on an interval.
MET, MISSED, UNDECIDED = "met", "missed", "undecided"
TOO_FEW = "too few processes to judge"
# How two runs relate on one ratio.
AGREE, DIFFER = "agree", "differ"

# Bisection steps of the t quantile: far past double precision, and a fixed count keeps the
# digits reproducible.
_BISECTION_STEPS = 100
_BETA_STEPS = 300
_BETA_EPSILON = 1e-15
_TINY = 1e-300


@dataclass(frozen=True)
class Interval:
    """An estimate with its interval. median: the estimate (over processes the geometric mean of
    their medians; over one process's rounds their median). coverage: how often an interval made
    this way holds the truth (LEVEL by construction over processes, exact binomial over one
    process's rounds). log_se and df describe log(median) for combining (None for one process)."""
    median: float
    low: float
    high: float
    coverage: float
    processes: int
    rounds: int
    log_se: float = None
    df: float = None

    @property
    def over_processes(self):
        return self.log_se is not None and self.processes >= 2


def window_rate(events, begin, end):
    """Frames per second over [begin, end] from (stamp, frames) events, where `frames` were
    presented since the event before. Only whole periods inside the window count: the period
    that began before `begin` (a program stopped mid-frame, or mid-report) is left out.
    Returns (rate, seconds covered), or (None, 0.0) with fewer than one whole period."""
    inside = [i for i, (stamp, _) in enumerate(events) if begin <= stamp <= end]
    if len(inside) < 2:
        return None, 0.0
    first, last = inside[0], inside[-1]
    seconds = events[last][0] - events[first][0]
    if seconds <= 0:
        return None, 0.0
    frames = sum(count for _, count in events[first + 1:last + 1])
    return frames / seconds, seconds


# --- Student t, from the regularised incomplete beta function --------------------------------

def _beta_fraction(a, b, x):
    """Continued fraction of the incomplete beta function (modified Lentz)."""
    c, d = 1.0, 1.0 - (a + b) * x / (a + 1.0)
    d = 1.0 / (d if abs(d) > _TINY else _TINY)
    h = d
    for m in range(1, _BETA_STEPS + 1):
        for numerator in (m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m)),
                          -(a + m) * (a + b + m) * x / ((a + 2 * m) * (a + 2 * m + 1))):
            d = 1.0 + numerator * d
            d = 1.0 / (d if abs(d) > _TINY else _TINY)
            c = 1.0 + numerator / c
            c = c if abs(c) > _TINY else _TINY
            h *= d * c
        if abs(d * c - 1.0) < _BETA_EPSILON:
            break
    return h


def incomplete_beta(a, b, x):
    """The regularised incomplete beta function I_x(a, b)."""
    if x <= 0.0:
        return 0.0
    if x >= 1.0:
        return 1.0
    front = math.exp(math.lgamma(a + b) - math.lgamma(a) - math.lgamma(b) + a * math.log(x) + b * math.log1p(-x))
    if x < (a + 1.0) / (a + b + 2.0):
        return front * _beta_fraction(a, b, x) / a
    return 1.0 - front * _beta_fraction(b, a, 1.0 - x) / b


def t_upper_tail(t, df):
    """P(T > t) for Student's t with df degrees of freedom (any df > 0, not only whole), t >= 0."""
    return 0.5 * incomplete_beta(df / 2.0, 0.5, df / (df + t * t))


@functools.lru_cache(maxsize=256)  # the same few (p, df) over and over
def t_quantile(p, df):
    """The t with P(T <= t) = p, for 0.5 <= p < 1: bisection on the exact tail, a fixed number of
    steps after doubling an upper end until it lies beyond the quantile."""
    tail = 1.0 - p
    low, high = 0.0, 1.0
    while t_upper_tail(high, df) > tail and high < 1e15:
        low, high = high, high * 2.0
    for _ in range(_BISECTION_STEPS):
        middle = (low + high) / 2.0
        if t_upper_tail(middle, df) > tail:
            low = middle
        else:
            high = middle
    return (low + high) / 2.0


# --- intervals -------------------------------------------------------------------------------

def _measured(values, processes):
    """(value, process) pairs of measured values; without a process list (or with one that does
    not match), every round counts as process 0."""
    if processes is None or len(processes) != len(values):
        processes = [0] * len(values)
    return [(v, 0 if k is None else k) for v, k in zip(values, processes) if v is not None and v > 0]


def per_process(values, processes=None):
    """The median of each process's rounds, in the order of the processes' numbers."""
    by_process = {}
    for v, k in _measured(values, processes):
        by_process.setdefault(k, []).append(v)
    return [statistics.median(by_process[k]) for k in sorted(by_process)]


def binomial_half_cdf(n, k):
    """P(Binom(n, 1/2) <= k)."""
    if k < 0:
        return 0.0
    return sum(math.comb(n, i) for i in range(min(k, n) + 1)) / 2.0 ** n


def rank_coverage(n, j):
    """Exact coverage of [x(j), x(n+1-j)] for the median of n draws of a continuous variable."""
    return 1.0 - 2.0 * binomial_half_cdf(n, j - 1)


def rank_interval(values, level=LEVEL):
    """The median with the narrowest order-statistic interval [x(j), x(n+1-j)] whose exact
    coverage reaches `level`; with too few values for that, [min, max] and its real coverage."""
    ordered = sorted(values)
    n = len(ordered)
    if not n:
        return None
    j = 1
    while j + 1 <= (n + 1) // 2 and rank_coverage(n, j + 1) >= level:
        j += 1
    return Interval(statistics.median(ordered), ordered[j - 1], ordered[n - j], rank_coverage(n, j), 1, n)


def _t_interval(log_mean, log_se, df, processes, rounds, level):
    half = t_quantile((1.0 + level) / 2.0, df) * log_se if log_se > 0 else 0.0
    return Interval(math.exp(log_mean), math.exp(log_mean - half), math.exp(log_mean + half), level, processes,
                    rounds, log_se, df)


def process_interval(values, processes=None, level=LEVEL):
    """The estimate of rounds that come in processes (`processes[i]`: the process of round i).
    K >= 2: geometric mean of the per-process medians, exp(mean ± t(K-1) · sd / √K) of their
    logs. K = 1: rank_interval of the rounds. None without a positive value."""
    measured = _measured(values, processes)
    if not measured:
        return None
    units = per_process(values, processes)
    if len(units) == 1:
        return rank_interval([v for v, _ in measured], level)
    logs = [math.log(v) for v in units]
    k = len(logs)
    return _t_interval(statistics.fmean(logs), statistics.stdev(logs) / math.sqrt(k), k - 1, k, len(measured),
                       level)


def paired_ratios(numerators, denominators, processes=None):
    """Per-round ratios of two paths measured in the same rounds, and the process of each."""
    if processes is None or len(processes) != len(numerators):
        processes = [0] * len(numerators)
    # A side at 0 measured nothing (a CPU time below its clock's resolution), like a lost round.
    kept = [(a / b, k) for a, b, k in zip(numerators, denominators, processes) if a is not None and b is not None and a > 0 and b > 0]
    return [r for r, _ in kept], [k for _, k in kept]


def paired_ratio_interval(numerators, denominators, processes=None, level=LEVEL):
    """Rounds of two paths that are pairs: per process the median of the per-round ratios."""
    ratios, units = paired_ratios(numerators, denominators, processes)
    return process_interval(ratios, units, level)


def _satterthwaite(parts):
    """Standard error and Welch–Satterthwaite degrees of freedom of a sum of independent
    estimates, each (log_se, df)."""
    variance = sum(se * se for se, _ in parts)
    if variance == 0:
        return 0.0, float(sum(df for _, df in parts))
    return math.sqrt(variance), variance * variance / sum(se ** 4 / df for se, df in parts if se > 0)


def quotient(top, bottom, level=LEVEL):
    """top / bottom of two independent estimates (Interval), judged over processes: both must
    come from K >= 2 processes, else None."""
    if not top or not bottom or not top.over_processes or not bottom.over_processes:
        return None
    se, df = _satterthwaite([(top.log_se, top.df), (bottom.log_se, bottom.df)])
    return _t_interval(math.log(top.median) - math.log(bottom.median), se, df, min(top.processes, bottom.processes),
                       min(top.rounds, bottom.rounds), level)


def unpaired_ratio_interval(numerators, denominators, numerator_processes=None, denominator_processes=None,
                            level=LEVEL):
    """Ratio of two paths not measured in the same rounds. Over processes when both sides have
    K >= 2; else from each side's rank interval at √level (both hold together at least `level`
    of the time, or at the product of their real coverages), over rounds only."""
    top = process_interval(numerators, numerator_processes, level)
    bottom = process_interval(denominators, denominator_processes, level)
    judged = quotient(top, bottom, level)
    if judged or not top or not bottom:
        return judged
    a = rank_interval([v for v, _ in _measured(numerators, None)], math.sqrt(level))
    b = rank_interval([v for v, _ in _measured(denominators, None)], math.sqrt(level))
    return Interval(a.median / b.median, a.low / b.high, a.high / b.low, a.coverage * b.coverage, 1,
                    min(a.rounds, b.rounds))


def half_width(interval):
    """Half the interval's width relative to its median (0.03 = ±3 %), or None."""
    if not interval or not interval.median:
        return None
    return (interval.high - interval.low) / 2.0 / interval.median


def verdict(interval, bar):
    """met when the whole interval is at or above the bar, missed when it is below, undecided
    when it straddles it; only from an interval over processes with the full coverage."""
    if not interval:
        return UNDECIDED
    if not interval.over_processes or (interval.coverage or 0.0) < LEVEL:
        return TOO_FEW
    if interval.low >= bar:
        return MET
    if interval.high < bar:
        return MISSED
    return UNDECIDED


def change(old, new, level=LEVEL):
    """new / old of one quantity in two runs, both Interval: (interval of the ratio or None,
    AGREE / DIFFER / TOO_FEW). The runs agree when the interval holds 1 (no change)."""
    judged = quotient(new, old, level)
    if not judged:
        return None, TOO_FEW
    return judged, AGREE if judged.low <= 1.0 <= judged.high else DIFFER


def as_dict(interval):
    """An Interval as results.json holds it."""
    if not interval:
        return None
    return {"median": interval.median, "low": interval.low, "high": interval.high, "coverage": interval.coverage,
            "processes": interval.processes, "rounds": interval.rounds, "log_se": interval.log_se,
            "df": interval.df}


def from_dict(d):
    """The Interval of a results.json entry; entries from before processes were recorded count as
    one process of unknown coverage."""
    if not d or d.get("median") is None:
        return None
    return Interval(d["median"], d.get("low"), d.get("high"), d.get("coverage"), d.get("processes", 1),
                    d.get("rounds"), d.get("log_se"), d.get("df"))


def value_verdict(value, bar, below=True):
    """A target on one measured value (no interval): met or missed."""
    if value is None:
        return UNDECIDED
    return MET if (value < bar if below else value >= bar) else MISSED


def variation(values):
    """Coefficient of variation (standard deviation / mean), or None."""
    values = [v for v in values if v is not None]
    if len(values) < 2 or not statistics.mean(values):
        return None
    return statistics.stdev(values) / statistics.mean(values)


def linear_fit(xs, ys):
    """Least-squares line y = fixed + slope * x: (fixed, slope, r2), or None for fewer than two
    distinct x."""
    points = [(x, y) for x, y in zip(xs, ys) if x is not None and y is not None]
    if len({x for x, _ in points}) < 2:
        return None
    n = len(points)
    mx = sum(x for x, _ in points) / n
    my = sum(y for _, y in points) / n
    sxx = sum((x - mx) ** 2 for x, _ in points)
    sxy = sum((x - mx) * (y - my) for x, y in points)
    slope = sxy / sxx
    fixed = my - slope * mx
    total = sum((y - my) ** 2 for _, y in points)
    residual = sum((y - fixed - slope * x) ** 2 for x, y in points)
    r2 = 1.0 - residual / total if total else 1.0
    return fixed, slope, r2
