"""The run's results as the printed summary, report.md, chart.png / sweep.png and memory.csv."""
import math
import os
import subprocess
import textwrap

from linux import results as res
from linux import stats


def _num(value, digits=1):
    return ("%%.%df" % digits) % value if value is not None else "—"


def _coverage(c):
    """Floored to a tenth, so a coverage under 95 % never prints as 95 %."""
    text = "%.1f" % (math.floor(c * 1000 + 1e-9) / 10.0)
    return (text[:-2] if text.endswith(".0") else text) + " %"


def _coverage_note(d):
    """What an interval printed under a 95 % heading really is, where it is something else: over
    the rounds of one process it misses that process's own effect."""
    if d.get("processes", 1) >= 2 and d.get("log_se") is not None:
        return "" if d.get("coverage") == stats.LEVEL else " (%s)" % _coverage(d["coverage"])
    if d.get("coverage") is None:
        return " (1 process)"
    return " (1 process, %s)" % _coverage(d["coverage"])


ONE_PROCESS = ("(1 process, N %): an interval over the rounds of one process, holding the median of "
               "that process's rounds N % of the time; it leaves out the process's own effect, so no "
               "verdict is drawn from it")


def _interval(d, digits=1):
    if not d:
        return "—"
    return "%s [%s–%s]%s" % (_num(d["median"], digits), _num(d["low"], digits), _num(d["high"], digits),
                            _coverage_note(d))


def _pct(half):
    return "±%.1f %%" % (half * 100) if half is not None else "—"


def _kib(kib):
    return "%.1f MiB" % (kib / 1024.0) if kib else "—"


def _verdict(v, markdown=False):
    if v is None:
        return "—"
    return "**%s**" % v if markdown and v != stats.MET else v


def _verdict_text(line, markdown=False):
    """The verdict, with the loaded rounds it was judged on."""
    text = _verdict(line["verdict"], markdown)
    if line.get("under_load"):
        text += ", **under load** (%d of %d rounds loaded)" % (line["under_load"]["rounds"], line["under_load"]["of"])
    return text if markdown else text.replace("**", "")


def _value(line):
    kind = line["kind"]
    if kind == "ratio":
        text = _interval(line["value"], 3).replace(" [", "× [", 1) if line["value"] else "—"
        return text + ("  %s" % _pct(line["half_width"]) if line.get("half_width") is not None else "")
    if kind == "share":
        return "%.1f of %.1f ms" % (line["value"]["part_ms"], line["value"]["whole_ms"])
    if kind == "seconds":
        return "%s s" % _num(line["value"], 2)
    if kind == "mib":
        return "%+.2f MiB" % line["value"]
    return str(line["value"])


HEADER = ["path", "rounds", "processes", "frames", "FPS [95 % interval]", "±", "CPU ms/frame [95 %]", "glyphs/s",
          "GL calls/frame", "ratio to reference [95 %]"]


def path_rows(data):
    lines = {(l["path"], l["reference"]): l for l in data["targets"] + data["information"]
             if l["kind"] == "ratio" and l.get("measure", "fps") == "fps"}
    names = {p["key"]: p["name"] for p in data["paths"]}
    rows = []
    for p in data["paths"]:
        ratio = lines.get((p["key"], p["reference"]))
        rows.append([p["name"], str(p["rounds"]), str(p.get("processes", 1)), str(p["frames"]), _interval(p["fps"]),
                     _pct(stats.half_width(res.as_interval(p["fps"]))), _interval(p["cpu_ms_per_frame"]),
                     "%.0f" % p["glyphs_per_second"] if p["glyphs_per_second"] else "—",
                     "%d" % p["gl_calls_per_frame"] if p["gl_calls_per_frame"] is not None else "—",
                     "%s %s" % (_value(ratio).split("  ")[0], names[p["reference"]]) if ratio else "—"])
    for gone in data.get("unavailable", []):
        rows.append([gone["name"], "unavailable with this stack: %s" % gone["reason"]] + ["—"] * (len(HEADER) - 2))
    return rows


def _print_table(header, rows):
    widths = [max(len(h), *(len(row[i]) for row in rows)) for i, h in enumerate(header)]
    line = "  ".join(h.ljust(w) for h, w in zip(header, widths))
    print(line)
    print("-" * len(line))
    for row in rows:
        print("  ".join(c.ljust(w) for c, w in zip(row, widths)))


def _md_table(f, header, rows):
    f.write("| " + " | ".join(header) + " |\n")
    f.write("|" + "---|" * len(header) + "\n")
    for row in rows:
        f.write("| " + " | ".join(row) + " |\n")


def loaded_summary(data):
    loads = data["run"]["round_loads"]
    if not loads:
        return "no rounds"
    flagged = [l for l in loads if l["loaded"]]
    return ("load average (1 min) %.2f–%.2f over the rounds; %d of %d rounds were taken while other "
            "processes kept ≥ %.1f cores busy (flagged \"loaded\")" % (
                min(min(l["load1_before"], l["load1_after"]) for l in loads),
                max(max(l["load1_before"], l["load1_after"]) for l in loads), len(flagged), len(loads),
                data["run"]["loaded_cores"]))


def notes(data):
    run = data["run"]
    stack = run["stack"]
    gl = run["gl"]
    lines = [
        "Run: %s; %s build under %s; %d CPU cores; load average %s before, %s after." % (
            run["date"], run["arch"], run["wine"], run["machine"]["cores"],
            " ".join("%.2f" % v for v in run["machine"]["load_before"]),
            " ".join("%.2f" % v for v in run["machine"]["load_after"])),
        "Stack: GL driver %s (renderer \"%s\", version \"%s\", vendor \"%s\"); Wine's DirectDraw renderer %s." % (
            stack["gl_driver"], gl.get("renderer", "?"), gl.get("version", "?"), gl.get("vendor", "?"),
            stack["ddraw_renderer"]),
        "Rounds: %d; each path runs %.2f s per round, the first %.2f s of it not counted (warm-up); "
        "only one program runs at a time, the others are stopped (SIGSTOP/SIGCONT), and the order "
        "of a round alternates forward and backward%s." % (
            run["rounds"], run["slice_s"] + run["warmup_s"], run["warmup_s"],
            "; in groups with a product/reference pair every path runs as %d processes one after "
            "another, each for an equal share of the rounds" % run["processes"]
            if run.get("processes", 1) > 1 else ""),
        "Intervals: %s. Paths measured in the same rounds are paired: per process the median of "
        "the per-round ratios. %s." % (run["interval_method"], ONE_PROCESS),
        "Machine load: %s." % loaded_summary(data),
        "Durations: %s." % ", ".join("%s %.0f s" % (k.replace("_s", "").replace("_", " "), v)
                                     for k, v in run["durations"].items()),
    ]
    if data.get("steadiness"):
        lines.append(data["steadiness"]["summary"])
    return lines


def print_summary(data):
    print()
    _print_table(HEADER, path_rows(data))
    _print_lines("Targets", data["targets"], verdicts=True)
    _print_lines("Information", data["information"], verdicts=False)
    if data.get("sweep"):
        print()
        print("Sweep: frame time = fixed cost + cost per glyph × glyphs per frame")
        for fit in data["sweep"]:
            print("  %-36s %8s ms fixed  %8s ns per glyph  R² %s  %s" % (
                fit["name"], _num(fit["fixed_ms"], 2), _num(fit["ns_per_glyph"], 1), _num(fit["r2"], 4),
                "ok" if fit["r2_ok"] else "BELOW %.2f" % res.R2_BAR))
    if data["quality"]:
        print()
        print("Run quality")
        for check in data["quality"]:
            print("  %-92s %-9s %s" % (check["label"], _pct(check["value"]), "ok" if check["ok"] else "TOO WIDE"))
    print()
    for line in notes(data):
        print(textwrap.fill(line, 110, subsequent_indent="  "))


def _print_lines(title, lines, verdicts):
    if not lines:
        return
    print()
    print(title)
    for line in lines:
        verdict = _verdict_text(line) if line["verdict"] else ""
        print("  %-76s %-34s %s" % (line["label"], _value(line), verdict.upper()
                                     if line["verdict"] in (stats.MISSED, stats.UNDECIDED) else verdict))


def write_failure(out, failure):
    with open(os.path.join(out, "report.md"), "w", encoding="utf-8") as f:
        f.write("# glyphstorm benchmark\n\nThe run failed: **%s** (`%s`) %s.\n" % (
            failure.path.name, failure.command, failure.reason))


def print_self_check(data):
    """One line per A/A pair; True when every interval holds 1.00."""
    print()
    for line in data["self_check"]:
        print("self-check: %s: %s %s" % (line["label"], _value(line),
                                         "holds 1.00" if line["holds_one"] else "DOES NOT HOLD 1.00"))
    return bool(data["self_check"]) and all(line["holds_one"] for line in data["self_check"])


def write_report(out, data):
    with open(os.path.join(out, "report.md"), "w", encoding="utf-8") as f:
        f.write("# glyphstorm benchmark\n\n")
        for note in notes(data):
            f.write("- %s\n" % note)
        f.write("\n## Frames per second\n\n")
        _md_table(f, HEADER, path_rows(data))
        f.write("\nFPS: frames per second of each round, counted from the program's own frame reports "
                "(frames=N on its debugger output, timestamped by Wine); per process the median of its "
                "rounds, over the processes their geometric mean with its 95 % interval. CPU ms/frame: "
                "user + system time of the program's Unix process (the driver's threads included, from "
                "/proc) per frame. Glyphs/s = FPS × glyphs per frame. GL calls/frame: opengl32 calls "
                "per frame in a run with every call traced.\n")
        for title, lines in (("Targets", data["targets"]), ("Information", data["information"])):
            if lines:
                f.write("\n## %s\n\n| line | measured | verdict |\n|---|---|---|\n" % title)
                for line in lines:
                    f.write("| %s | %s | %s |\n" % (line["label"] + (" (%s)" % line["note"] if line.get("note") else ""),
                                                    _value(line), _verdict_text(line, True)))
        if data.get("self_check"):
            f.write("\n## Self-check\n\n| each reference against an identical copy of itself | measured | holds 1.00 |\n"
                    "|---|---|---|\n")
            for line in data["self_check"]:
                f.write("| %s | %s | %s |\n" % (line["label"], _value(line), "yes" if line["holds_one"] else "**no**"))
        if data["targets"]:
            f.write("\nA ratio target is met when its whole interval is at or above the bar, missed when "
                    "it is below, undecided when it straddles the bar; %s when the interval is not over "
                    "two processes or more.\n" % stats.TOO_FEW)
        if data["quality"]:
            f.write("\n## Run quality\n\n| check | measured | |\n|---|---|---|\n")
            for check in data["quality"]:
                f.write("| %s%s | %s | %s |\n" % (check["label"], "" if check["target"] else " (information)",
                                                 _pct(check["value"]), "ok" if check["ok"] else "**too wide**"))
            f.write("\nTwo runs agree on a ratio when the 95 % interval of its change between them holds "
                    "no change: `scripts/bench --compare OLD NEW` says so per ratio.\n")
        _write_sweep(f, data)
        _write_rounds(f, data)
        _write_memory_section(f, data)
        if os.path.exists(os.path.join(out, "chart.png")):
            f.write("\n## Chart\n\n![FPS per path](chart.png)\n\nThe empty frame is left out of the chart: "
                    "at its rate it would flatten every other bar.\n")
        if os.path.exists(os.path.join(out, "glyphs.png")):
            f.write("\n## Glyphs per second, every text path\n\n![glyphs per second per path](glyphs.png)\n\n"
                    "The 2D paths (GDI on DirectDraw and on a window, GDI+, Direct2D) and the GL paths on "
                    "one logarithmic axis; bars are 95 % intervals.\n")
        if os.path.exists(os.path.join(out, "sweep.png")):
            f.write("\n## Sweep chart\n\n![frame time against glyphs per frame](sweep.png)\n")
        shots = [p for p in data["paths"] if p.get("screenshot")]
        if shots:
            f.write("\n## Screenshots\n\n")
            for p in shots:
                f.write("### %s\n\n![%s](%s)\n\n" % (p["name"], p["name"], p["screenshot"]))


def _write_sweep(f, data):
    if not data.get("sweep"):
        return
    f.write("\n## Sweep: frame time against glyphs per frame\n\n")
    rows = []
    for fit in data["sweep"]:
        rows.append([fit["name"], _num(fit["fixed_ms"], 2), _num(fit["ns_per_glyph"], 1), _num(fit["r2"], 4),
                     "ok" if fit["r2_ok"] else "**below %.2f**" % res.R2_BAR])
    _md_table(f, ["path", "fixed ms per frame", "ns per glyph", "R²", "R² ≥ %.2f" % res.R2_BAR], rows)
    f.write("\nLeast-squares fit of the median frame time (1000 / FPS per round) at each phrase count.\n\n")
    rows = []
    for fit in data["sweep"]:
        for point in fit["points"]:
            rows.append([fit["name"], str(point["phrases"]), str(point["glyphs_per_frame"]),
                         _interval(point["frame_ms"], 2)])
        for point in fit["products"]:
            rows.append([point["name"] + " (product)", "—", str(point["glyphs_per_frame"]),
                         _interval(point["frame_ms"], 2)])
    _md_table(f, ["path", "phrases", "glyphs per frame", "frame ms [95 %]"], rows)


def _write_rounds(f, data):
    loads = data["run"]["round_loads"]
    if not loads:
        return
    f.write("\n## Rounds and machine load\n\n")
    _md_table(f, ["group", "round", "load average before", "after", "other processes (cores)", "flag"],
              [[l["group"], str(l["round"]), "%.2f" % l["load1_before"], "%.2f" % l["load1_after"],
                "%.2f" % l["others_cores"], "loaded" if l["loaded"] else ""] for l in loads])
    f.write("\nOther processes: the machine's busy CPU time during the round less that of this run's Wine "
            "prefix, X servers and the bench itself.\n")


def _write_memory_section(f, data):
    f.write("\n## Start-up and memory\n\n")
    _md_table(f, ["path", "start to first frame", "resident after 10 s of running", "resident at the end"],
              [[p["name"], "%.2f s" % p["first_frame_s"] if p["first_frame_s"] is not None else "—",
                _kib(p["memory"]["rss_10s_kib"]), _kib(p["memory"]["rss_end_kib"])] for p in data["paths"]])
    f.write("\nA path's own running time counts (stopped time does not); start to first frame is taken "
            "while the other programs of its group are stopped. memory.csv holds every sample.\n")


def write_memory(out, data, soaked=None):
    with open(os.path.join(out, "memory.csv"), "w") as f:
        f.write("path,seconds,resident KiB,phase\n")
        for p in data["paths"]:
            for t, kib in p["memory"]["samples"]:
                f.write('"%s",%.1f,%d,rounds\n' % (p["name"], t, kib))
        names = {p["key"]: p["name"] for p in data["paths"]}
        for key, samples in (soaked or {}).items():
            for t, kib in samples:
                f.write('"%s",%.1f,%d,soak\n' % (names.get(key, key), t, kib))


def _gnuplot(script, say):
    done = subprocess.run(["gnuplot"], input=script, text=True, capture_output=True)
    if done.returncode != 0:
        say("chart not drawn: " + done.stderr.strip())
        return False
    return True


def chart(out, data, say):
    drawn = [p for p in data["paths"] if p["glyphs_per_frame"] and p["fps"]]
    if not drawn:
        return None
    dat = os.path.join(out, "chart.dat")
    with open(dat, "w") as f:
        for i, p in enumerate(drawn):
            label = "\\n".join(textwrap.wrap(p["name"], 14))
            f.write('%d "%s" %.2f %.2f %.2f\n' % (i, label, p["fps"]["median"], p["fps"]["low"], p["fps"]["high"]))
    script = """set terminal pngcairo size 1200,560 font ",10"
set bmargin 5
set output '%s'
set title 'Median frames per second per path over the rounds (bars: 95 %% interval)'
set ylabel 'FPS'
set style fill solid 0.6
set boxwidth 0.6
set yrange [0:*]
set xtics nomirror
set grid ytics
unset key
plot '%s' using 1:3:xtic(2) with boxes lc rgb '#4477aa', '' using 1:3:4:5 with yerrorbars lc rgb 'black' pt 0
""" % (os.path.join(out, "chart.png"), dat)
    ok = _gnuplot(script, say)
    os.remove(dat)
    return "chart.png" if ok else None


def glyph_chart(out, data, say):
    """Glyphs per second of every path that draws text, 2D paths and GL paths apart, on a log axis
    (GDI+ and Direct2D run two orders of magnitude below the rest here)."""
    drawn = [p for p in data["paths"] if p["glyphs_per_frame"] and p["fps"]]
    kinds = [("2D", [p for p in drawn if p["group"].startswith("2d")], "#cc6677"),
             ("GL", [p for p in drawn if not p["group"].startswith("2d")], "#4477aa")]
    dat = os.path.join(out, "glyphs.dat")
    plots, i = [], 0
    with open(dat, "w") as f:
        for block, (kind, paths, colour) in enumerate(kinds):
            for p in paths:
                g = p["glyphs_per_frame"]
                label = "\\n".join(textwrap.wrap(p["name"], 14))
                f.write('%d "%s" %.1f %.1f %.1f\n' % (i, label, p["fps"]["median"] * g, p["fps"]["low"] * g,
                                                        p["fps"]["high"] * g))
                i += 1
            f.write("\n\n")
            if paths:
                plots.append("'%s' index %d using 1:3:xtic(2) with boxes lc rgb '%s' title '%s', "
                             "'' index %d using 1:3:4:5 with yerrorbars lc rgb 'black' pt 0 notitle"
                             % (dat, block, colour, kind, block))
    if not plots:
        os.remove(dat)
        return None
    script = """set terminal pngcairo size 1400,600 font ",10"
set bmargin 6
set output '%s'
set title 'Glyphs per second per text path, median over the rounds (bars: 95 %% interval)'
set ylabel 'glyphs per second'
set logscale y
set style fill solid 0.6
set boxwidth 0.6
set xtics nomirror
set grid ytics
set key top right
plot %s
""" % (os.path.join(out, "glyphs.png"), ", ".join(plots))
    ok = _gnuplot(script, say)
    os.remove(dat)
    return "glyphs.png" if ok else None


def sweep_chart(out, data, say):
    fits = [fit for fit in data.get("sweep", []) if fit["points"]]
    if not fits:
        return None
    colours = ["#4477aa", "#cc6677", "#228833", "#aa7733", "#882255"]
    plots, files, functions = [], [], []
    for i, fit in enumerate(fits):
        colour = colours[i % len(colours)]
        dat = os.path.join(out, "sweep-%d.dat" % i)
        files.append(dat)
        with open(dat, "w") as f:
            for p in fit["points"]:
                ms = p["frame_ms"]
                f.write("%d %.3f %.3f %.3f\n" % (p["glyphs_per_frame"], ms["median"], ms["low"], ms["high"]))
            f.write("\n\n")
            for p in fit["products"]:
                ms = p["frame_ms"]
                f.write("%d %.3f %.3f %.3f\n" % (p["glyphs_per_frame"], ms["median"], ms["low"], ms["high"]))
        plots.append("'%s' index 0 using 1:2:3:4 with yerrorbars lc rgb '%s' pt 7 ps 0.8 title '%s'" % (
            dat, colour, fit["name"].replace("'", "")))
        if fit["fixed_ms"] is not None:
            functions.append("f%d(x) = %.6f + %.9f * x" % (i, fit["fixed_ms"], fit["ns_per_glyph"] / 1e6))
            plots.append("f%d(x) with lines lc rgb '%s' dt 2 title 'fit: %.2f ms + %.1f ns/glyph, R² %.3f'" % (
                i, colour, fit["fixed_ms"], fit["ns_per_glyph"], fit["r2"]))
        if fit["products"]:
            plots.append("'%s' index 1 using 1:2:3:4 with yerrorbars lc rgb '%s' pt 5 ps 1.6 title '%s'" % (
                dat, colour, ", ".join(p["name"] for p in fit["products"])))
    script = """set terminal pngcairo size 1200,700 font ",10"
set output '%s'
set title 'Frame time against glyphs per frame (points: median over rounds with 95 %% interval)'
set xlabel 'glyphs per frame'
set ylabel 'ms per frame'
set key left top
set grid
set xrange [0:*]
set yrange [0:*]
%s
plot %s
""" % (os.path.join(out, "sweep.png"), "\n".join(functions), ", ".join(plots))
    ok = _gnuplot(script, say)
    for dat in files:
        os.remove(dat)
    return "sweep.png" if ok else None


def _change(d):
    if not d:
        return "—"
    return "%+.1f %% [%+.1f–%+.1f]" % ((d["median"] - 1) * 100, (d["low"] - 1) * 100, (d["high"] - 1) * 100)


def _stack(d):
    run = d["run"]
    renderer = (run.get("gl") or {}).get("renderer", "?")
    if "stack" not in run:  # the Windows runner's: a desktop rather than a Wine stack
        desktop = run.get("desktop") or {}
        return "%s, %s build, %s on %s, GL %s, display adapter %s" % (
            run["date"], run["arch"], run.get("harness", "?"), desktop.get("windows", "?"), renderer,
            desktop.get("adapter", "?"))
    s = run["stack"]
    return "%s, %s build, GL %s (%s), DirectDraw renderer %s" % (
        run["date"], run["arch"], s["gl_driver"], renderer, s["ddraw_renderer"])


def print_compare(old, new, found):
    print("old: " + _stack(old))
    print("new: " + _stack(new))
    if found["ratios"]:
        print()
        rows = [[r["label"], _interval(r["old"], 3), _interval(r["new"], 3), _change(r["change"]), r["agreement"],
                 " → ".join(v or "—" for v in r["verdicts"]) if r["target"] else "(information)"]
                for r in found["ratios"]]
        _print_table(["ratio", "old [95 %]", "new [95 %]", "change [95 %]", "runs", "verdicts"], rows)
    print()
    rows = [[row["name"], _interval(row["old"]), _interval(row["new"]), "%+.1f %%" % ((row["ratio"] - 1) * 100),
             "%+.1f %%" % ((row["vs_reference"] - 1) * 100) if row["vs_reference"] is not None else "—"]
            for row in found["paths"]]
    _print_table(["path", "old FPS [95 %]", "new FPS [95 %]", "FPS change", "relative to its reference"], rows)
    for label, names in (("only in the old run", found["only_old"]), ("only in the new run", found["only_new"])):
        if names:
            print("%s: %s" % (label, ", ".join(names)))
    print()
    print(textwrap.fill(
        "Two runs agree on a ratio when the 95 %% interval of its change (new ÷ old, from the "
        "per-process values of both runs, Welch's t) holds no change, and differ otherwise; with one "
        "process on either side: %s. FPS changes move with the machine's speed: information, not "
        "findings; 'relative to its reference' divides out the reference's change in the same "
        "runs." % stats.TOO_FEW, 110))
