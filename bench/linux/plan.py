"""The plan glyphstorm-results hands the bench (its --plan JSON) as plain records: the run's
times, and its groups in measuring order with their rounds, the process of each round and
their rows."""
import dataclasses
from typing import Optional, Tuple

from linux.frames import SOURCES


class PlanError(ValueError):
    """The plan's JSON does not have the shape the bench measures from."""


@dataclasses.dataclass(frozen=True)
class Row:
    """One path to measure: a row of the table, or a sweep or self-check row made from one."""
    key: str
    name: str
    program: str
    args: Tuple[str, ...]  # "{seconds}" and "{phrases}" are filled in by arguments()
    launch: str  # "bin", or "glyphstorm": a folder of its own with the bench's vtAPI.ini
    desktop: bool  # inside an 800 x 600 Wine virtual desktop
    source: str  # a key of frames.SOURCES
    phrases: int
    keys: Tuple[str, ...]  # pressed once after the first frame
    group: str
    reference: Optional[str]
    bar: Optional[float]
    start_bar: Optional[float]
    soak: bool
    gl_calls: bool
    sweep: bool
    on_sweep: Optional[str]
    shot: str  # the screenshot's name, without ".png"


@dataclasses.dataclass(frozen=True)
class Group:
    name: str
    rounds: int
    processes: int
    process_of_round: Tuple[int, ...]  # which process (from 0) measures each round
    rows: Tuple[Row, ...]


@dataclasses.dataclass(frozen=True)
class Plan:
    kind: str  # "rounds", "sweep" or "self-check"
    rounds: int
    processes: int
    slice_s: float
    warmup_s: float
    settle_s: float
    sweep_phrases: Tuple[int, ...]
    loaded_cores: float  # others' cores from which the method flags a round as loaded
    table: dict  # paths.json as the program read it
    groups: Tuple[Group, ...]

    def rows(self):
        return [row for group in self.groups for row in group.rows]


_LISTS = {"args", "keys", "process_of_round", "sweep_phrases"}
_OPTIONAL = {"reference", "bar", "start_bar", "on_sweep"}


def _fits(value, kind):
    if kind is float:
        return isinstance(value, (int, float)) and not isinstance(value, bool)
    if kind is int:
        return isinstance(value, int) and not isinstance(value, bool)
    return isinstance(value, kind)


def _field_kind(field):
    """The JSON kind of a field: str, bool, int, float, dict, or (list, kind of its items)."""
    if field.name in _LISTS:
        return list, (str if field.name in ("args", "keys") else int)
    for kind in (str, bool, int, float, dict):
        if field.type in (kind, Optional[kind]):
            return kind
    return None  # a nested record, read by its own caller


def _record(cls, raw, where, **nested):
    """A record from a JSON object; its nested records come ready in `nested`. Fields the bench
    does not use are left out, a missing or mistyped one is refused by name."""
    if not isinstance(raw, dict):
        raise PlanError("%s is not an object" % where)
    values = dict(nested)
    for field in dataclasses.fields(cls):
        if field.name in nested:
            continue
        if field.name not in raw:
            raise PlanError("%s has no %s" % (where, field.name))
        value, kind = raw[field.name], _field_kind(field)
        if value is None and field.name in _OPTIONAL:
            values[field.name] = None
        elif isinstance(kind, tuple):
            if not isinstance(value, list) or not all(_fits(v, kind[1]) for v in value):
                raise PlanError("%s: %s must be a list of %s" % (where, field.name, kind[1].__name__))
            values[field.name] = tuple(value)
        elif not _fits(value, kind):
            raise PlanError("%s: %s must be of type %s" % (where, field.name, kind.__name__))
        else:
            values[field.name] = value
    return cls(**values)


def _row(raw, where):
    row = _record(Row, raw, where)
    if row.source not in SOURCES:
        raise PlanError("%s: unknown frame source %r" % (where, row.source))
    return row


def _group(raw, where):
    rows = raw.get("rows") if isinstance(raw, dict) else None
    if not isinstance(rows, list) or not rows:
        raise PlanError("%s has no rows" % where)
    group = _record(Group, raw, where, rows=tuple(_row(r, "%s.rows[%d]" % (where, i)) for i, r in enumerate(rows)))
    if group.rounds < 1 or len(group.process_of_round) != group.rounds or min(group.process_of_round) < 0:
        raise PlanError("%s: process_of_round must name a process (from 0) for each of its %d rounds" % (
            where, group.rounds))
    return group


def parse(raw):
    """The Plan of --plan's decoded JSON; PlanError naming the first field that is wrong."""
    groups = raw.get("groups") if isinstance(raw, dict) else None
    if not isinstance(groups, list) or not groups:
        raise PlanError("the plan has no groups")
    return _record(Plan, raw, "the plan", groups=tuple(_group(g, "groups[%d]" % i) for i, g in enumerate(groups)))


def arguments(row, seconds):
    """The program's command-line arguments with the bench's values filled in."""
    values = {"{seconds}": str(int(seconds)), "{phrases}": str(row.phrases)}
    return [values.get(a, a) for a in row.args]


def programs(plan):
    """The Windows programs the plan runs, as build targets (their names without .exe)."""
    return sorted({row.program[:-4] if row.program.lower().endswith(".exe") else row.program
                   for row in plan.rows()})
