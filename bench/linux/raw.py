"""raw.json (bench/raw-format.md): what a run measured, before any judgement, and its writer.
Times are seconds on Wine's clock."""
import dataclasses
import json
import os
from typing import List, Optional

FORMAT = "glyphstorm-raw"
VERSION = 1
FILE = "raw.json"


@dataclasses.dataclass
class Slice:
    round: int  # from 0
    process: int
    display: Optional[str]
    begin: float
    count_from: float  # begin + the warm-up
    end: float
    reports: list  # [stamp, frames] of every report from begin to end
    cpu_ms: Optional[float]  # the process's CPU time over the slice; None: unreadable


@dataclasses.dataclass
class PathRecord:
    key: str
    command: str
    display: Optional[str]  # the first process's
    screenshot: Optional[str]  # a file in the report folder
    failed: Optional[str]
    first_frame_s: Optional[float]
    gl_calls_per_frame: Optional[float]
    memory: list  # [seconds running, resident KiB]
    slices: List[Slice]


@dataclasses.dataclass
class RoundLoad:
    group: str
    round: int  # from 1
    load1_before: float
    load1_after: float
    others_cores: float  # the rest of the machine's CPU over the round, in cores


@dataclasses.dataclass
class Note:
    """A path the stack could not run, or the failure that ended a run."""
    key: str
    name: str
    command: str
    reason: str


@dataclasses.dataclass
class Soak:
    key: str
    samples: list  # [seconds, KiB]


@dataclasses.dataclass
class Run:
    date: str
    command: str
    version: str
    arch: str
    rounds: int
    processes: int
    slice_s: float
    warmup_s: float
    settle_s: float
    sweep_phrases: list
    soak_minutes: Optional[float]
    cpu_tick_ms: Optional[float]
    durations: dict
    facts: dict
    round_loads: List[RoundLoad]
    harness: str = "scripts/bench"
    refresh_hz: Optional[float] = None  # Xvfb has no refresh rate to cap a path at
    partial: bool = False


@dataclasses.dataclass
class Raw:
    kind: str  # "rounds", "sweep", "self-check" or "failed"
    table: dict
    run: Run
    paths: List[PathRecord]
    soak: List[Soak]
    unavailable: List[Note]
    failure: Optional[Note] = None


def as_dict(raw):
    return dict({"format": FORMAT, "version": VERSION}, **dataclasses.asdict(raw))


def write(folder, raw):
    """Writes raw.json into `folder`; returns its path."""
    path = os.path.join(folder, FILE)
    with open(path, "w", encoding="utf-8") as f:
        json.dump(as_dict(raw), f, ensure_ascii=False, indent=1)
        f.write("\n")
    return path
