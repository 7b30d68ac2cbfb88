"""What a run found, as one plain dictionary (written as results.json): per path, per target,
the information lines, the sweep fits; and the comparison of two such runs."""
import json
import os

from linux import paths as table
from linux import stats
from linux.measure import LOADED_CORES

FORMAT = 1
WIDTH_BAR = 0.03  # a ratio's interval should be at most ±3 % wide
R2_BAR = 0.98


def interval_dict(interval):
    return stats.as_dict(interval)


def as_interval(d):
    return stats.from_dict(d)


def _rss_at(samples, seconds):
    later = [kib for t, kib in samples if t >= seconds]
    return later[0] if later else None


def path_result(path, program, gl_calls=None):
    slices = program.slices
    fps_rounds = [s["fps"] for s in slices]
    cpu_rounds = [s["cpu_per_frame"] for s in slices]
    # Slices from before processes were numbered are all one process.
    processes = [s.get("process", 0) for s in slices]
    fps = stats.process_interval(fps_rounds, processes)
    glyphs = table.glyphs_per_frame(path)
    frame_ms = stats.process_interval([1000.0 / f if f else None for f in fps_rounds], processes)
    return {
        "key": path.key, "name": path.name, "group": path.group, "command": program.command,
        # The first process's display: the others move on by one (program.display_for).
        "display": slices[0].get("display", program.display) if slices else program.display,
        "frame_source": path.source, "phrases": path.phrases,
        "glyphs_per_frame": glyphs, "reference": path.reference, "rounds": len(slices),
        "processes": len(set(processes)),
        "frames": round(sum(s["frames"] for s in slices)), "seconds": round(sum(s["seconds"] for s in slices), 2),
        "fps": interval_dict(fps), "fps_rounds": fps_rounds, "round_processes": processes,
        "round_frames": [s["frames"] for s in slices],
        "frame_ms": interval_dict(frame_ms),
        "cpu_ms_per_frame": interval_dict(stats.process_interval(cpu_rounds, processes)), "cpu_rounds": cpu_rounds,
        "variation": {"fps": stats.variation(fps_rounds), "cpu_ms_per_frame": stats.variation(cpu_rounds)},
        "glyphs_per_second": fps.median * glyphs if fps else None,
        "gl_calls_per_frame": gl_calls,
        "first_frame_s": program.first_frame,
        "memory": {"rss_10s_kib": _rss_at(program.rss, 10.0), "rss_end_kib": program.rss[-1][1] if program.rss else None,
                   "samples": [[round(t, 1), kib] for t, kib in program.rss]},
        "screenshot": getattr(program, "screenshot", None),
    }


def _ratio_line(label, a, b, bar, note=None, measure="fps"):
    """a / b by FPS; by CPU time per frame the ratio is b's / a's, so above 1 still means that a
    is the cheaper one. Paths of one group are paired round by round (their processes change
    together); paths of different groups are not."""
    (top, bottom), key = ((a, b), "fps_rounds") if measure == "fps" else ((b, a), "cpu_rounds")
    ratios, units = stats.paired_ratios(top[key], bottom[key], top.get("round_processes"))
    if a["group"] == b["group"] and ratios:
        interval, pairing = stats.process_interval(ratios, units), "paired"
    else:
        interval, pairing = stats.unpaired_ratio_interval(top[key], bottom[key], top.get("round_processes"),
                                                          bottom.get("round_processes")), "unpaired"
    paired = pairing == "paired"
    line = {"label": label, "kind": "ratio", "measure": measure, "path": a["key"], "reference": b["key"], "bar": bar,
            "value": interval_dict(interval), "half_width": stats.half_width(interval),
            "rounds": ratios if paired else None, "round_processes": units if paired else None, "pairing": pairing,
            "verdict": stats.verdict(interval, bar) if bar is not None else None}
    if note:
        line["note"] = note
    return line


def targets_and_information(results, soak=None):
    """The targets (with verdicts) and the information lines, both driven by the path table."""
    by_key = {r["key"]: r for r in results}
    targets, information = [], []
    for path in table.PATHS:
        r = by_key.get(path.key)
        ref = by_key.get(path.reference)
        if r and ref:
            if path.bar is not None:
                targets.append(_ratio_line("%s ≥ %.2f× %s" % (path.name, path.bar, ref["name"]), r, ref, path.bar))
                # CPU time per frame hardly depends on the share of the machine a program gets.
                information.append(_ratio_line("%s / %s by CPU time per frame" % (path.name, ref["name"]), r, ref,
                                               None, "the reference's CPU ms per frame ÷ the path's", "cpu"))
            else:
                information.append(_ratio_line("%s / %s" % (path.name, ref["name"]), r, ref, None))
    for info in table.INFO_RATIOS:
        a, b = info.numerator, info.denominator
        if a in by_key and b in by_key:
            information.append(_ratio_line(info.label, by_key[a], by_key[b], None, info.note))
    for share in table.SHARES:
        label, part, whole = share.label, share.part, share.whole
        if part in by_key and whole in by_key and by_key[part]["frame_ms"] and by_key[whole]["frame_ms"]:
            information.append({"label": label, "kind": "share", "path": part, "reference": whole,
                                "value": {"part_ms": by_key[part]["frame_ms"]["median"],
                                          "whole_ms": by_key[whole]["frame_ms"]["median"]}, "verdict": None})
    for path in table.PATHS:
        r = by_key.get(path.key)
        if r and path.start_bar is not None:
            value = r["first_frame_s"]
            targets.append({"label": "%s: start to first frame < %.1f s" % (path.program[:-4], path.start_bar),
                            "kind": "seconds", "path": path.key, "bar": path.start_bar, "value": value,
                            "verdict": stats.value_verdict(value, path.start_bar)})
    for path in table.PATHS:
        r = by_key.get(path.key)
        if not r or path.bar is None:
            continue
        memory = r["memory"]
        if soak is None and memory["rss_10s_kib"] and memory["rss_end_kib"]:
            growth = (memory["rss_end_kib"] - memory["rss_10s_kib"]) / 1024.0
            information.append({"label": "%s: memory growth after 10 s of running (no soak run)" % path.name,
                                "kind": "mib", "path": path.key, "value": growth, "verdict": None})
    return targets, information


def soak_lines(soaked, minutes):
    """Targets and information of a soak: {key: [(seconds, KiB)]}."""
    targets, information = [], []
    allowed = minutes / 10.0
    for path in table.PATHS:
        samples = soaked.get(path.key)
        if not samples:
            continue
        at10, end = _rss_at(samples, 10.0), samples[-1][1]
        if at10 is None:
            continue
        growth = (end - at10) / 1024.0
        if path.bar is not None:
            targets.append({"label": "%s: memory growth ≤ %.2f MiB over the soak" % (path.name, allowed),
                            "kind": "mib", "path": path.key, "bar": allowed, "value": growth,
                            "verdict": stats.MET if growth <= allowed else stats.MISSED})
        else:
            information.append({"label": "%s: memory growth over the same time" % path.name, "kind": "mib",
                                "path": path.key, "value": growth, "verdict": None})
        # The driver's own heap settles during the first minute of a path; what comes after that
        # is growth over time.
        later = _rss_at(samples, 60.0)
        if later is not None:
            information.append({"label": "%s from 60 s to the end" % path.name, "kind": "mib", "path": path.key,
                                "value": (end - later) / 1024.0, "verdict": None})
    return targets, information


def quality(results, targets, information):
    """How far the run itself can be trusted: each paired ratio's interval width, and whether CPU
    time per frame is steadier than FPS."""
    checks = []
    for line in targets + information:
        if line["kind"] == "ratio" and line["pairing"] == "paired" and line["half_width"] is not None:
            scope = "" if line["value"].get("processes", 1) >= 2 else " (1 process)"
            checks.append({"label": "%s: interval%s within ±%d %%" % (line["label"], scope, round(WIDTH_BAR * 100)),
                           "value": line["half_width"], "ok": line["half_width"] <= WIDTH_BAR,
                           "target": line["verdict"] is not None})
    fps_cv = [r["variation"]["fps"] for r in results if r["variation"]["fps"] is not None]
    cpu_cv = [r["variation"]["cpu_ms_per_frame"] for r in results if r["variation"]["cpu_ms_per_frame"] is not None]
    steadiness = None
    if fps_cv and cpu_cv:
        fps_mid, cpu_mid = sorted(fps_cv)[len(fps_cv) // 2], sorted(cpu_cv)[len(cpu_cv) // 2]
        pairs = [(r["variation"]["cpu_ms_per_frame"], r["variation"]["fps"]) for r in results]
        steadier = sum(1 for cpu, fps in pairs if cpu is not None and fps is not None and cpu < fps)
        steadiness = {"fps_cv_median": fps_mid, "cpu_cv_median": cpu_mid, "paths_steadier_in_cpu": steadier,
                      "paths": len(results),
                      "summary": "CPU ms per frame varied over rounds by a median %.1f %% (coefficient of "
                                 "variation), FPS by %.1f %%: CPU time per frame is %s FPS here (steadier on "
                                 "%d of %d paths)." % (cpu_mid * 100, fps_mid * 100,
                                                        "steadier than" if cpu_mid < fps_mid else "no steadier than",
                                                        steadier, len(results))}
    return checks, steadiness


def sweep_fits(results, lines):
    """One fit per swept path: frame time = fixed + cost per glyph × glyphs per frame."""
    by_key = {r["key"]: r for r in results}
    fits = []
    for line, products, points in lines:
        measured = [by_key[p.key] for p in points if p.key in by_key]
        xs = [r["glyphs_per_frame"] for r in measured]
        ys = [r["frame_ms"]["median"] for r in measured]
        fit = stats.linear_fit(xs, ys)
        fits.append({
            "path": line.key, "name": line.name,
            "points": [{"key": r["key"], "phrases": r["phrases"], "glyphs_per_frame": r["glyphs_per_frame"],
                        "frame_ms": r["frame_ms"]} for r in measured],
            "products": [{"key": p.key, "name": p.name, "glyphs_per_frame": by_key[p.key]["glyphs_per_frame"],
                          "frame_ms": by_key[p.key]["frame_ms"]} for p in products if p.key in by_key],
            "fixed_ms": fit[0] if fit else None, "ns_per_glyph": fit[1] * 1e6 if fit else None,
            "r2": fit[2] if fit else None, "r2_ok": fit[2] >= R2_BAR if fit else False,
        })
    return fits


def save(out, data):
    with open(os.path.join(out, "results.json"), "w", encoding="utf-8") as f:
        json.dump(data, f, ensure_ascii=False, indent=1)
        f.write("\n")


def load(where):
    path = os.path.join(where, "results.json") if os.path.isdir(where) else where
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    if data.get("format") != FORMAT:
        raise ValueError("%s: not a results.json of this bench (format %r)" % (path, data.get("format")))
    return data


def _path_estimate(p):
    """A path's FPS estimate from its rounds (files without processes count as one process)."""
    return stats.process_interval(p.get("fps_rounds") or [], p.get("round_processes")) or as_interval(p.get("fps"))


def _line_estimate(line):
    if line.get("rounds"):
        return stats.process_interval(line["rounds"], line.get("round_processes"))
    return as_interval(line["value"])


def _ratio_changes(old, new):
    """Per ratio line of both runs: the interval of new / old and whether the runs agree."""
    def line_key(l):
        return l["path"], l["reference"], l.get("measure", "fps")

    old_lines = {line_key(l): l for l in old.get("targets", []) + old.get("information", []) if l["kind"] == "ratio"}
    ratios = []
    for l in new.get("targets", []) + new.get("information", []):
        before = old_lines.get(line_key(l)) if l["kind"] == "ratio" else None
        if not before or not l["value"] or not before["value"]:
            continue
        was, now = _line_estimate(before), _line_estimate(l)
        changed, agreement = stats.change(was, now)
        ratios.append({"label": l["label"], "old": interval_dict(was), "new": interval_dict(now),
                       "change": interval_dict(changed), "agreement": agreement,
                       "target": l.get("verdict") is not None, "verdicts": [before.get("verdict"), l.get("verdict")]})
    return ratios


def _path_changes(old, new):
    """Per path of both runs: FPS new / old, the machine's speed included, so information only;
    beside it the same change relative to the path's reference of the same run."""
    old_paths = {p["key"]: p for p in old.get("paths", [])}
    moved = {}
    for p in new.get("paths", []):
        was, now = _path_estimate(old_paths[p["key"]]) if p["key"] in old_paths else None, _path_estimate(p)
        if was and now:
            moved[p["key"]] = (p, was, now, now.median / was.median)
    rows = []
    for p, was, now, ratio in moved.values():
        reference = moved.get(p.get("reference"))
        rows.append({"key": p["key"], "name": p["name"], "old": interval_dict(was), "new": interval_dict(now),
                     "ratio": ratio, "vs_reference": ratio / reference[3] if reference else None})
    return rows


def compare(old, new):
    """Two runs side by side: per ratio line the interval of its change and whether the runs agree
    on it (the finding); per path its FPS change (information)."""
    old_keys = {p["key"] for p in old.get("paths", [])}
    new_keys = {p["key"] for p in new.get("paths", [])}
    return {"ratios": _ratio_changes(old, new), "paths": _path_changes(old, new),
            "only_old": [p["name"] for p in old.get("paths", []) if p["key"] not in new_keys],
            "only_new": [p["name"] for p in new.get("paths", []) if p["key"] not in old_keys]}


# --- the record of a run ---------------------------------------------------------------------

def mark_load(lines, results, loads):
    """Rounds flagged loaded count in a verdict: a target judged on them says how many."""
    groups = {r["key"]: r["group"] for r in results}
    for line in lines:
        if line["kind"] != "ratio" or line.get("verdict") is None:
            continue
        rounds = [l for l in loads if l["group"] == groups.get(line["path"])]
        loaded = sum(1 for l in rounds if l["loaded"])
        if loaded:
            line["under_load"] = {"rounds": loaded, "of": len(rounds)}


def holds_one(line):
    value = line["value"]
    return bool(value) and value["low"] <= 1.0 <= value["high"]


def self_check_lines(results):
    """Per reference measured against its copy: the A/A ratio, which should hold 1.00."""
    by_key = {r["key"]: r for r in results}
    lines = []
    for copy in [r for r in results if r["reference"] and r["key"] == r["reference"] + "-copy"]:
        ref = by_key.get(copy["reference"])
        if ref:
            line = _ratio_line("%s / itself" % ref["name"], copy, ref, None)
            line["holds_one"] = holds_one(line)
            lines.append(line)
    return lines


def _run_info(run, settings, soak, gl):
    return {
        "date": run.stamp, "command": run.command, "arch": run.arch, "wine": run.wine,
        "machine": {"cores": os.cpu_count() or 1, "load_before": [round(v, 2) for v in run.load_before],
                    "load_after": [round(v, 2) for v in os.getloadavg()]},
        "gl": gl, "stack": run.stack, "displays": run.displays,
        "durations": {k: round(v, 1) for k, v in run.durations.items()},
        "rounds": settings.rounds, "slice_s": settings.slice, "warmup_s": settings.warmup,
        "settle_s": settings.settle, "processes": settings.processes, "interval_method": stats.METHOD,
        "loaded_cores": LOADED_CORES, "round_loads": run.loads, "soak_minutes": soak,
    }


def run_record(run, settings, lines, soak=None):
    """results.json of a run that measured: paths, targets, information, quality, sweep fits,
    self-check lines and the paths the chosen stack could not run."""
    gl = {}
    for program in run.programs:
        if program.path.launch == "glyphstorm":
            gl = program.gl_strings() or gl
    results = [path_result(p.path, p, run.gl_calls.get(p.path.key)) for p in run.programs]
    # A sweep's programs run in other groups and at other phrase counts: its lines are the fits.
    targets, information = targets_and_information(results, soak) if run.kind == "rounds" else ([], [])
    if soak:
        more_targets, more_information = soak_lines(run.soaked, soak)
        targets += more_targets
        information += more_information
    mark_load(targets, results, run.loads)
    checks, steadiness = quality(results, targets, information)
    return {
        "format": FORMAT, "kind": run.kind, "run": _run_info(run, settings, soak, gl),
        "paths": results, "unavailable": run.unavailable, "targets": targets, "information": information,
        "quality": checks, "steadiness": steadiness, "sweep": sweep_fits(results, lines) if lines else [],
        "self_check": self_check_lines(results) if run.kind == "self-check" else [],
    }


def failure_record(run):
    failure = run.failure
    return {"format": FORMAT, "kind": "failed", "failure": {
        "path": failure.path.key, "name": failure.path.name, "command": failure.command, "reason": failure.reason}}
