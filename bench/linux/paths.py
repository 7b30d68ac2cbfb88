"""The benchmark's one table of drawing paths, read from paths.json beside this file (the release
zip ships the same file to the Windows runner): what runs, how its frames are counted, what it
draws, what it is compared with and what it must reach. Measuring, the report, results.json,
the targets and the sweep are all driven by it; this module loads it and finds its faults.

The order of the rows is the order of measuring. GDI+ and Direct2D run before the DirectDraw
group: once that group has run in the same Wine server, GDI+ and Direct2D windows opened later
on a bare display stay black while their frames are still counted (seen here; the cause is
Wine's). GDI on a window shares the 2D rounds, so what DirectDraw costs is a paired ratio.
"""
import collections
import dataclasses
import json
import os
import re
from typing import Optional, Tuple

from linux.wineplumbing import DEBUGSTR, FLIP, SWAP

TABLE_FILE = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "paths.json")

# Period (ms) the bench asks the programs to report their frames in (GLYPHSTORM_FRAME_REPORT).
FRAME_REPORT_MS = 100

# How a path's presented frames are counted, from the timestamped lines Wine prints on stderr.
#   channel: what WINEDEBUG must add; pattern: the line; frames: frames the line stands for (a
#   match -> int); first_line: the first line marks the first frame (start to first frame);
#   min_slice: shortest running time (s) that holds a whole period between two lines.
Source = collections.namedtuple("Source", "channel pattern frames first_line min_slice")
_REPORTED = re.compile(r"^frames=(\d+)(?:\\n)?$")


def _reported_frames(match):
    m = _REPORTED.match(match.group(2))
    return int(m.group(1)) if m else None


SOURCES = {
    # The program writes "frames=N" with OutputDebugStringA every FRAME_REPORT_MS: N frames
    # presented since its previous line. Its first line comes with the first frame or at most a
    # period after it. A slice holds a few periods. Every path is counted this way.
    "debug": Source("+debugstr", DEBUGSTR, _reported_frames, True, 2.5 * FRAME_REPORT_MS / 1000.0),
    # Wine's trace lines, one per frame, Linux only: glxdrv_wglSwapBuffers per SwapBuffers,
    # ddraw_surface7_Flip per flip.
    "swap": Source("trace+wgl", SWAP, lambda m: 1, True, 0.0),
    "flip": Source("trace+ddraw", FLIP, lambda m: 1, True, 0.0),
}
LAUNCHES = ("bin", "glyphstorm")


@dataclasses.dataclass(frozen=True)
class Path:
    """One row of paths.json; the defaults are those of a field the row leaves out."""
    key: str
    name: str
    program: str
    source: str  # a key of SOURCES
    phrases: int  # glyphs per frame = phrases × phrase_glyphs
    group: str  # paths started together and measured in the same rounds
    args: Tuple[str, ...] = ()  # "{seconds}" and "{phrases}" are filled in by the bench
    launch: str = "bin"  # "glyphstorm": a folder of its own with vtAPI.ini
    desktop: bool = False  # inside an 800 × 600 Wine virtual desktop
    keys: Tuple[str, ...] = ()  # pressed once after the first frame
    reference: Optional[str] = None
    bar: Optional[float] = None  # least ratio to the reference (a target); None: information
    start_bar: Optional[float] = None  # start to first frame must stay below it (s)
    soak: bool = False
    gl_calls: bool = False
    sweep: bool = False  # --sweep measures it at several phrase counts
    on_sweep: Optional[str] = None  # the sweep line this path is drawn on
    shot: str = ""  # screenshot name; the key when empty

    def __post_init__(self):
        if not self.shot:
            object.__setattr__(self, "shot", self.key)


@dataclasses.dataclass(frozen=True)
class InfoRatio:
    label: str
    numerator: str
    denominator: str
    note: Optional[str] = None


@dataclasses.dataclass(frozen=True)
class Share:
    label: str
    part: str
    whole: str


@dataclasses.dataclass(frozen=True)
class Plan:
    """The plain run both harnesses make: its rounds, and the processes each path of a paired
    group runs as, one after another."""
    rounds: int
    processes: int


@dataclasses.dataclass(frozen=True)
class Table:
    paths: list
    plan: Plan
    rounds_cap: dict
    info_ratios: list
    shares: list
    sweep_phrases: list
    max_phrases: int
    phrase_glyphs: int
    faults: list  # what was wrong with the file itself


_NUMBER = (int, float)
_KINDS = {str: "text", bool: "true or false", int: "a whole number", _NUMBER: "a number",
          tuple: "a list of texts", dict: "an object", list: "a list"}


def _kind(field_type):
    """The JSON kind a dataclass field takes (Optional[...] unwrapped)."""
    for kind in (str, bool, int):
        if field_type in (kind, Optional[kind]):
            return kind
    if field_type in (float, Optional[float]):
        return _NUMBER
    return tuple


def _fits(value, kind):
    if kind is _NUMBER:
        return isinstance(value, _NUMBER) and not isinstance(value, bool)
    if kind is int:
        return isinstance(value, int) and not isinstance(value, bool)
    if kind is tuple:
        return isinstance(value, list) and all(isinstance(v, str) for v in value)
    return isinstance(value, kind)


def _row(cls, raw, where, faults):
    """One dataclass from a JSON object, or None with its faults added."""
    if not isinstance(raw, dict):
        faults.append("%s: not an object" % where)
        return None
    fields = {f.name: f for f in dataclasses.fields(cls)}
    values, ok = {}, True
    for name in sorted(set(raw) - set(fields)):
        faults.append("%s: unknown field %r" % (where, name))
        ok = False
    for name, f in fields.items():
        required = f.default is dataclasses.MISSING
        if name not in raw:
            if required:
                faults.append("%s: %s is missing" % (where, name))
                ok = False
            continue
        value = raw[name]
        optional = not required and f.default is None
        if not (value is None and optional) and not _fits(value, _kind(f.type)):
            faults.append("%s: %s must be %s" % (where, name, _KINDS[_kind(f.type)]))
            ok = False
            continue
        values[name] = tuple(value) if isinstance(value, list) else value
    return cls(**values) if ok else None


def _rows(cls, raw, what, faults):
    if not isinstance(raw, list):
        faults.append("%s must be a list" % what)
        return []
    rows = [_row(cls, r, "%s[%d]" % (what, i) if not isinstance(r, dict) or "key" not in r else
                 "%s %s" % (what, r["key"]), faults) for i, r in enumerate(raw)]
    return [r for r in rows if r is not None]


def _whole(raw, name, default, faults, least=1):
    value = raw.get(name, default)
    if not _fits(value, int) or value < least:
        faults.append("%s must be a whole number of at least %d" % (name, least))
        return default
    return value


def _plan(raw, faults):
    """The table's plan; a faulty one is named and replaced by one round in one process."""
    if "plan" not in raw:
        faults.append("plan is missing")
        return Plan(1, 1)
    plan = _row(Plan, raw["plan"], "plan", faults)
    if plan and min(plan.rounds, plan.processes) < 1:
        faults.append("plan: rounds and processes must be at least 1")
        plan = None
    return plan or Plan(1, 1)


def parse(raw):
    """The table from paths.json's decoded content; what is wrong lands in Table.faults."""
    faults = []
    if not isinstance(raw, dict):
        raw = {}
        faults.append("the table is not a JSON object")
    cap = raw.get("rounds_cap", {})
    if not isinstance(cap, dict) or not all(_fits(v, int) and v >= 1 for v in cap.values()):
        faults.append("rounds_cap must map group names to whole numbers of at least 1")
        cap = {}
    sweep = raw.get("sweep_phrases", [])
    if not isinstance(sweep, list) or not all(_fits(n, int) and n >= 1 for n in sweep):
        faults.append("sweep_phrases must be a list of whole numbers of at least 1")
        sweep = []
    return Table(paths=_rows(Path, raw.get("paths"), "paths", faults), plan=_plan(raw, faults),
                 rounds_cap=cap,
                 info_ratios=_rows(InfoRatio, raw.get("info_ratios", []), "info_ratios", faults),
                 shares=_rows(Share, raw.get("shares", []), "shares", faults), sweep_phrases=sweep,
                 max_phrases=_whole(raw, "max_phrases", 1, faults),
                 phrase_glyphs=_whole(raw, "phrase_glyphs", 1, faults), faults=faults)


def load(path=TABLE_FILE):
    """The table of a paths.json; a file that cannot be read gives an empty table with its fault."""
    try:
        with open(path, encoding="utf-8") as f:
            raw = json.load(f)
    except (OSError, ValueError) as error:
        return dataclasses.replace(parse({"paths": []}), faults=["%s: %s" % (path, error)])
    return parse(raw)


TABLE = load()
PATHS = TABLE.paths
PLAN = TABLE.plan
ROUNDS_CAP = TABLE.rounds_cap
INFO_RATIOS = TABLE.info_ratios
SHARES = TABLE.shares
SWEEP_PHRASES = TABLE.sweep_phrases
MAX_PHRASES = TABLE.max_phrases  # the most a sweep asks of a reference program (they take up to 100000)
PHRASE_GLYPHS = TABLE.phrase_glyphs


def glyphs_per_frame(path, phrases=None):
    return (path.phrases if phrases is None else phrases) * PHRASE_GLYPHS if path.phrases else 0


def by_key(paths=None):
    return {p.key: p for p in (PATHS if paths is None else paths)}


def groups(paths):
    """The groups in table order, each with its paths in table order."""
    order = collections.OrderedDict()
    for p in paths:
        order.setdefault(p.group, []).append(p)
    return list(order.values())


def _path_faults(p, known):
    faults = []
    if p.source not in SOURCES:
        faults.append("%s: unknown frame source %r" % (p.key, p.source))
    if p.launch not in LAUNCHES:
        faults.append("%s: unknown launch %r" % (p.key, p.launch))
    for field in ("reference", "on_sweep"):
        other = getattr(p, field)
        if other is not None and other not in known:
            faults.append("%s: %s %s is no row" % (p.key, field, other))
    if p.reference in known and known[p.reference].group != p.group:
        faults.append("%s: its reference %s is measured in another group" % (p.key, p.reference))
    if p.bar is not None and p.reference is None:
        faults.append("%s: a bar without a reference" % p.key)
    if p.on_sweep in known and not known[p.on_sweep].sweep:
        faults.append("%s: %s is not swept" % (p.key, p.on_sweep))
    if p.sweep and "{phrases}" not in p.args:
        faults.append("%s: swept, but takes no phrase count" % p.key)
    if p.phrases < 0:
        faults.append("%s: phrases below 0" % p.key)
    return faults


def check(paths=None, info=None, shares=None, table=None):
    """Faults of the table: those of its file, then every name a row or line refers to must be a
    row of the same group where rounds pair them, every source kind known, every swept path must
    take a phrase count. Returns a list of messages (empty when the table is sound)."""
    table = TABLE if table is None else table
    paths = table.paths if paths is None else paths
    info = table.info_ratios if info is None else info
    shares = table.shares if shares is None else shares
    faults = list(table.faults)
    keys = [p.key for p in paths]
    known = by_key(paths)
    for key in sorted({k for k in keys if keys.count(k) > 1}):
        faults.append("key %s is used by more than one row" % key)
    for name in sorted({p.name for p in paths if [q.name for q in paths].count(p.name) > 1}):
        faults.append("name %r is used by more than one row" % name)
    for p in paths:
        faults += _path_faults(p, known)
    for label, refs in [(i.label, (i.numerator, i.denominator)) for i in info] + [
            (s.label, (s.part, s.whole)) for s in shares]:
        for ref in refs:
            if ref not in known:
                faults.append("%s: %s is no row" % (label, ref))
    return faults


def arguments(path, seconds, phrases=None):
    """The program's command-line arguments with the bench's values filled in."""
    values = {"{seconds}": str(int(seconds)), "{phrases}": str(path.phrases if phrases is None else phrases)}
    return [values.get(a, a) for a in path.args]


def sweep_path(path, phrases):
    """The row of a swept path at another phrase count."""
    return dataclasses.replace(path, key="%s@%d" % (path.key, phrases), name="%s, %d phrases" % (path.name, phrases),
                               phrases=phrases, group="sweep-" + path.key, reference=None, bar=None,
                               start_bar=None, soak=False, gl_calls=False, sweep=False, on_sweep=None,
                               shot="%s-%d" % (path.shot, phrases))


def sweep_groups(paths=None, counts=None):
    """One group per swept path: the product paths drawn on its line, then the path at each
    phrase count."""
    paths = PATHS if paths is None else paths
    counts = counts or SWEEP_PHRASES
    result = []
    for line in [p for p in paths if p.sweep]:
        products = [dataclasses.replace(p, group="sweep-" + line.key, reference=None, bar=None, soak=False,
                                        gl_calls=False) for p in paths if p.on_sweep == line.key]
        result.append((line, products, [sweep_path(line, n) for n in counts]))
    return result


def self_check_paths(paths=None):
    """Each reference of a target pair beside an identical copy of itself (same program, same
    arguments, processes of its own), in its group: an A/A pair whose ratio should hold 1.00."""
    paths = PATHS if paths is None else paths
    known = by_key(paths)
    result = []
    for ref in [known[p.reference] for p in paths if p.bar is not None and p.reference in known]:
        plain = dataclasses.replace(ref, reference=None, bar=None, start_bar=None, soak=False, gl_calls=False,
                                    sweep=False, on_sweep=None)
        result += [plain, dataclasses.replace(plain, key=ref.key + "-copy", name=ref.name + " (copy)",
                                              reference=ref.key, shot=ref.shot + "-copy")]
    return result
