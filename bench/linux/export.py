"""A run's rounds as benchmark.json in Google Benchmark's JSON format, so its tools (compare.py)
read them: one benchmark per path, one repetition per round, times in ms per frame."""
import datetime
import json
import os

FILE = "benchmark.json"


def _date(stamp):
    """The report folder's timestamp (YYYYMMDD-HHMMSS, UTC) as ISO 8601; anything else as is."""
    try:
        when = datetime.datetime.strptime(stamp, "%Y%m%d-%H%M%S")
    except (TypeError, ValueError):
        return stamp
    return when.replace(tzinfo=datetime.timezone.utc).isoformat()


def context(data):
    run = data.get("run", {})
    machine = run.get("machine", {})
    return {"date": _date(run.get("date")), "executable": "scripts/bench", "num_cpus": machine.get("cores", 0),
            "mhz_per_cpu": 0, "cpu_scaling_enabled": False, "caches": [],
            "load_avg": machine.get("load_before", []), "library_build_type": "release",
            "glyphstorm": {"arch": run.get("arch"), "wine": run.get("wine"), "stack": run.get("stack"),
                           "rounds": run.get("rounds"), "processes": run.get("processes", 1)}}


def _rounds(path):
    """(frames, frame ms, CPU ms per frame, process) of each round with both times measured."""
    fps = path.get("fps_rounds") or []
    cpu = path.get("cpu_rounds") or [None] * len(fps)
    processes = path.get("round_processes") or [0] * len(fps)
    frames = path.get("round_frames") or [path.get("frames", 0) / max(1, len(fps))] * len(fps)
    return [(n, 1000.0 / f, c, k) for f, c, k, n in zip(fps, cpu, processes, frames) if f and f > 0 and c]


def benchmarks(data):
    entries = []
    for index, path in enumerate(data.get("paths", [])):
        rounds = _rounds(path)
        for repetition, (frames, frame_ms, cpu_ms, process) in enumerate(rounds):
            entries.append({"name": path["key"], "family_index": index, "per_family_instance_index": 0,
                            "run_name": path["key"], "run_type": "iteration", "repetitions": len(rounds),
                            "repetition_index": repetition, "threads": 1, "iterations": max(1, round(frames)),
                            "real_time": frame_ms, "cpu_time": cpu_ms, "time_unit": "ms", "process": process})
    return entries


def write(out, data):
    """Writes benchmark.json beside results.json; a failed run has no benchmarks."""
    with open(os.path.join(out, FILE), "w", encoding="utf-8") as f:
        json.dump({"context": context(data), "benchmarks": benchmarks(data)}, f, ensure_ascii=False, indent=1)
        f.write("\n")
