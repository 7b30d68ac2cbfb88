"""Statistics of the benchmark: rates from frame events, intervals over rounds, verdicts, the
linear fit of the sweep and the comparison of two runs. Pure Python, no Wine."""
import math
import random
import statistics

LEVEL = 0.95
RESAMPLES = 4000
# Fixed, so one run's numbers always give the same intervals.
SEED = 14
METHOD = ("bootstrap: %d %% percentile interval of the median over rounds (%d resamples)"
          % (round(LEVEL * 100), RESAMPLES))

# Verdicts of a target judged on an interval.
MET, MISSED, UNDECIDED = "met", "missed", "undecided"


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


def median_interval(values, level=LEVEL, resamples=RESAMPLES, seed=SEED):
    """(median, low, high): the median and its bootstrap percentile interval, or None."""
    values = [v for v in values if v is not None]
    if not values:
        return None
    middle = statistics.median(values)
    if len(values) == 1:
        return middle, middle, middle
    rng = random.Random(seed)
    n = len(values)
    medians = sorted(statistics.median(rng.choices(values, k=n)) for _ in range(resamples))
    return middle, _percentile(medians, (1 - level) / 2), _percentile(medians, (1 + level) / 2)


def ratio_interval(numerators, denominators, level=LEVEL, resamples=RESAMPLES, seed=SEED):
    """Median ratio of two independent samples with its bootstrap interval: each sample is
    resampled on its own (for rounds that are not paired, and for comparing two runs)."""
    a = [v for v in numerators if v is not None]
    b = [v for v in denominators if v is not None]
    if not a or not b or statistics.median(b) == 0:
        return None
    middle = statistics.median(a) / statistics.median(b)
    rng = random.Random(seed)
    ratios = []
    for _ in range(resamples):
        below = statistics.median(rng.choices(b, k=len(b)))
        if below:
            ratios.append(statistics.median(rng.choices(a, k=len(a))) / below)
    ratios.sort()
    return middle, _percentile(ratios, (1 - level) / 2), _percentile(ratios, (1 + level) / 2)


def _percentile(ordered, q):
    index = min(len(ordered) - 1, max(0, int(math.floor(q * len(ordered)))))
    return ordered[index]


def paired_ratios(numerators, denominators):
    """Per-round ratios of two paths measured in the same rounds."""
    return [a / b for a, b in zip(numerators, denominators) if a is not None and b]


def half_width(interval):
    """Half the interval's width relative to its median (0.03 = ±3 %), or None."""
    if not interval or not interval[0]:
        return None
    middle, low, high = interval
    return (high - low) / 2.0 / middle


def verdict(interval, bar):
    """met when the whole interval is at or above the bar, missed when it is below, else
    undecided."""
    if not interval:
        return UNDECIDED
    _, low, high = interval
    if low >= bar:
        return MET
    if high < bar:
        return MISSED
    return UNDECIDED


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


def change(old_values, new_values):
    """How a path changed between two runs: (new/old median ratio, low, high, significant),
    significant when the interval of the ratio leaves out 1."""
    interval = ratio_interval(new_values, old_values)
    if not interval:
        return None
    middle, low, high = interval
    return middle, low, high, low > 1.0 or high < 1.0


def inside(value, interval):
    return bool(interval) and value is not None and interval[1] <= value <= interval[2]
