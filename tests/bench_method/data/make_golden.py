#!/usr/bin/env python3
"""Makes the method's golden files: raw runs drawn from a seeded generator (every kind of run,
one process and several, lost rounds, loaded rounds, coarse CPU times, a failed and an
unavailable path), their results.json as this build of glyphstorm-results judges them, and the
plans of a few requests. The golden test judges the raw runs again in every build tree and
wants the same bytes.

    tests/bench_method/data/make_golden.py build/host/bin/glyphstorm-results

Run it when the method changes on purpose, and say in the commit what moved."""
import copy
import json
import math
import os
import random
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
TABLE = os.path.join(HERE, "table.json")
# Requests whose plans are kept: each a list of --plan options.
PLANS = {
    "plan-default": [],
    "plan-quick-windows": ["--quick", "--harness", "windows"],
    "plan-rounds-8": ["--rounds", "8", "--processes", "5"],
    "plan-seconds-7": ["--seconds", "7", "--paths", "prod,ref"],
    "plan-sweep": ["--sweep", "--phrases", "10,20,40"],
    "plan-self-check": ["--self-check"],
}


def reports(rng, fps, begin, end, period=0.1):
    """A program's frames=N lines over [begin, end] at about `fps`, one every period."""
    out, t, owed = [], begin + rng.uniform(0.0, period), 0.0
    while t <= end:
        owed += fps * period * math.exp(rng.gauss(0.0, 0.02))
        frames = math.floor(owed)
        owed -= frames
        out.append([round(t, 4), frames])
        t += period
    return out


def slices(rng, fps, rounds, processes, spread=0.03, cpu_ms=900.0, lost=()):
    """One path's slices: each process with an effect of its own, each round with noise."""
    effects = [math.exp(rng.gauss(0.0, spread)) for _ in range(processes)]
    out = []
    for r in range(rounds):
        k = r * processes // rounds
        begin = 100.0 * r
        rate = fps * effects[k] * math.exp(rng.gauss(0.0, 0.01))
        lines = [] if r in lost else reports(rng, rate, begin, begin + 1.1)
        out.append({"round": r, "process": k, "display": ":15%d" % k, "begin": begin,
                    "count_from": begin + 0.1, "end": begin + 1.1, "reports": lines,
                    "cpu_ms": round(cpu_ms * math.exp(rng.gauss(0.0, 0.02)), 1)})
    return out


def path(key, command, path_slices, **more):
    entry = {"key": key, "command": command, "display": ":150", "screenshot": key + ".png",
             "failed": None, "first_frame_s": None, "gl_calls_per_frame": None,
             "memory": [], "slices": path_slices}
    entry.update(more)
    return entry


def run_facts(rounds, processes, **more):
    facts = {"harness": "scripts/bench", "date": "20261211-120000", "command": "scripts/bench",
             "version": "1.0.0", "arch": "x86_64", "rounds": rounds, "processes": processes,
             "slice_s": 1.0, "warmup_s": 0.1, "settle_s": 1.0, "sweep_phrases": [],
             "soak_minutes": None, "cpu_tick_ms": 10.0, "refresh_hz": None, "partial": False,
             "durations": {"measuring_s": 300.0},
             "facts": {"wine": "wine-8.0", "gl": {"vendor": "Mesa", "renderer": "llvmpipe",
                                                   "version": "4.5"},
                       "stack": {"gl_driver": "Mesa's default", "ddraw_renderer": "gl"},
                       "machine": {"cores": 2, "load_before": [0.5, 0.4, 0.3],
                                   "load_after": [0.9, 0.6, 0.4]}},
             "round_loads": []}
    facts.update(more)
    return facts


def raw(kind, table, run, paths, **more):
    doc = {"format": "glyphstorm-raw", "version": 1, "kind": kind, "table": table, "run": run,
           "paths": paths, "soak": [], "unavailable": [], "failure": None}
    doc.update(more)
    return doc


def rounds_run(table, rng):
    """Five processes of four rounds: a target met, one missed, information lines across
    groups, a lost round, loaded rounds, a failed and an unavailable path."""
    loads = [{"group": "gl", "round": r + 1, "load1_before": 1.0, "load1_after": 1.1,
              "others_cores": 0.8 if r % 3 == 0 else 0.1} for r in range(20)]
    memory = [[s, 40000.0 + 8.0 * s] for s in range(1, 30, 2)]
    paths = [
        path("prod", "prod.exe", slices(rng, 98.0, 20, 5), first_frame_s=0.8, memory=memory,
             gl_calls_per_frame=2004.0),
        path("ref", "ref.exe phrase 3600 199", slices(rng, 100.0, 20, 5)),
        path("slow", "slow.exe", slices(rng, 80.0, 20, 5, lost=(7,)), memory=memory),
        path("ref2", "ref.exe glyphs 3600 199", slices(rng, 100.0, 20, 5)),
        path("batch", "ref.exe batched 3600 199", slices(rng, 120.0, 20, 5, cpu_ms=50.0)),
        path("empty", "ref.exe empty 3600", slices(rng, 900.0, 20, 5)),
        path("broken", "broken.exe", [], failed="exits early (code 3)"),
        path("flat", "flat.exe 3600 200", slices(rng, 300.0, 8, 4, spread=0.08)),
    ]
    gone = [{"key": "flat2", "name": "flat, other way", "command": "flat.exe 3600 200 other",
             "reason": "CreateHwndRenderTarget failed"}]
    return raw("rounds", table, run_facts(20, 5, round_loads=loads), paths, unavailable=gone)


def one_process_run(table, rng):
    """A quick run: one process, so no verdict; a soak."""
    soak = [{"key": "prod", "samples": [[s, 50000.0 + 30.0 * s] for s in range(1, 90, 4)]},
            {"key": "ref", "samples": [[s, 30000.0] for s in range(1, 90, 4)]}]
    paths = [path("prod", "prod.exe", slices(rng, 98.0, 3, 1), first_frame_s=2.0),
             path("ref", "ref.exe phrase 3600 199", slices(rng, 100.0, 3, 1))]
    return raw("rounds", table, run_facts(3, 1, soak_minutes=1.5, slice_s=0.5), paths, soak=soak)


def sweep_run(table, rng):
    counts = [10, 20, 40]
    paths = [path("prod", "prod.exe", slices(rng, 98.0, 10, 1))]
    for n in counts:
        paths.append(path("ref@%d" % n, "ref.exe phrase 3600 %d" % n,
                          slices(rng, 1000.0 / (1.0 + 0.05 * n), 10, 1)))
    return raw("sweep", table, run_facts(10, 1, sweep_phrases=counts), paths)


def self_check_run(table, rng):
    paths = []
    for key, fps in (("ref", 100.0), ("ref2", 60.0)):
        paths.append(path(key, key + ".exe", slices(rng, fps, 20, 5)))
        paths.append(path(key + "-copy", key + ".exe", slices(rng, fps * (1.0 if key == "ref" else 1.1), 20, 5)))
    return raw("self-check", table, run_facts(20, 5), paths)


def failed_run(table, rng):
    failure = {"key": "prod", "name": "product", "command": "prod.exe",
               "reason": "presented no frame for 30 s in round 2"}
    return raw("failed", table, run_facts(20, 5), [], failure=failure)


RUNS = {"rounds": rounds_run, "one-process": one_process_run, "sweep": sweep_run,
        "self-check": self_check_run, "failed": failed_run}


def judge(program, document):
    folder = tempfile.mkdtemp(prefix="golden-")
    try:
        with open(os.path.join(folder, "raw.json"), "w", encoding="utf-8") as f:
            json.dump(document, f, ensure_ascii=False, indent=1)
        done = subprocess.run([program, "--rejudge", folder], capture_output=True, text=True)
        if done.returncode not in (0, 1):
            raise SystemExit("make_golden: %s" % done.stderr.strip())
        with open(os.path.join(folder, "results.json"), encoding="utf-8") as f:
            return f.read()
    finally:
        shutil.rmtree(folder)


def main():
    program = os.path.abspath(sys.argv[1])
    with open(TABLE, encoding="utf-8") as f:
        table = json.load(f)
    for name, make in RUNS.items():
        document = make(copy.deepcopy(table), random.Random(name))
        with open(os.path.join(HERE, name + ".raw.json"), "w", encoding="utf-8") as f:
            json.dump(document, f, ensure_ascii=False, indent=1)
            f.write("\n")
        with open(os.path.join(HERE, name + ".results.json"), "w", encoding="utf-8") as f:
            f.write(judge(program, document))
    for name, options in PLANS.items():
        done = subprocess.run([program, "--plan", "--table", TABLE] + options, capture_output=True,
                              text=True, check=True)
        with open(os.path.join(HERE, name + ".json"), "w", encoding="utf-8") as f:
            json.dump({"options": ["--plan", "--table", "table.json"] + options,
                       "plan": json.loads(done.stdout)}, f, ensure_ascii=False, indent=1)
            f.write("\n")


if __name__ == "__main__":
    main()
