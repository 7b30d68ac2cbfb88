"""One run of a plan under Wine: the traced GL counts, then every group, then the soak; and what
it measured as raw.json's record. A PathFailure ends the run and is recorded as its failure."""
import contextlib
import dataclasses
import os
import time
from typing import Optional

from linux import glcalls, measure, raw, session, stack
from linux.program import PathFailure

TICK_MS = 1000.0 / os.sysconf("SC_CLK_TCK")


@dataclasses.dataclass
class Measured:
    programs: list = dataclasses.field(default_factory=list)
    gl_calls: dict = dataclasses.field(default_factory=dict)
    soaked: list = dataclasses.field(default_factory=list)  # raw.Soak
    durations: dict = dataclasses.field(default_factory=dict)
    failure: Optional[raw.Note] = None


@contextlib.contextmanager
def _timed(durations, name):
    begin = time.monotonic()
    try:
        yield
    finally:
        durations[name] = round(time.monotonic() - begin, 1)


def _groups(ctx, plan, settings, measured, say):
    gone = {note.key for note in ctx.unavailable}
    for group in plan.groups:
        rows = tuple(row for row in group.rows if row.key not in gone)
        if not rows:
            continue
        group = dataclasses.replace(group, rows=rows)
        say("measuring %s: %s" % (group.name, ", ".join(row.name for row in rows)))
        started = len(measured.programs)
        measure.run_group(ctx, group, settings, say, measured.programs)
        for program in measured.programs[started:]:
            program.screenshot = ctx.screenshot(program.path.shot, program.display)
        measure.stop_all(measured.programs[started:])


def _soak(ctx, plan, minutes, measured, say):
    ran = {program.path.key for program in measured.programs}
    for row in [r for r in plan.rows() if r.soak and r.key in ran]:
        say("soaking %s for %.1f min" % (row.name, minutes))
        measured.soaked.append(raw.Soak(key=row.key, samples=measure.soak(ctx, row, minutes * 60)))


def measure_plan(ctx, plan, settings, soak_minutes, say):
    """The traced runs come first: they prove a keyed path reaches its state before any round
    is spent. On a stack of the user's choosing (settings.tolerant) a path it cannot run is left
    out as unavailable."""
    measured = Measured()
    try:
        counted = [row for row in plan.rows() if row.gl_calls] if plan.kind == "rounds" else []
        if counted:
            say("counting GL calls per frame (traced runs)")
            with _timed(measured.durations, "gl_calls_s"):
                count = glcalls.count_tolerant if settings.tolerant else glcalls.count
                measured.gl_calls = count(ctx, counted)
        with _timed(measured.durations, "measuring_s"):
            _groups(ctx, plan, settings, measured, say)
        if soak_minutes and plan.kind == "rounds":
            with _timed(measured.durations, "soak_s"):
                _soak(ctx, plan, soak_minutes, measured, say)
    except PathFailure as failure:
        measured.failure = raw.Note(key=failure.path.key, name=failure.path.name, command=failure.command,
                                    reason=failure.reason)
    finally:
        measure.stop_all(measured.programs)
    for note in ctx.unavailable:
        say("unavailable: %s: %s" % (note.name, note.reason))
    return measured


def under_wine(args, plan, tree, arch, out, say):
    """The X servers, the bench's prefix and the chosen stack around measure_plan; returns what
    was measured, the context (loads, unavailable paths) and the run's facts."""
    settings = measure.Settings(slice=plan.slice_s, warmup=plan.warmup_s, settle=plan.settle_s,
                                tolerant=bool(args.gl_driver or args.ddraw_renderer), loaded_cores=plan.loaded_cores)
    wanted = args.display.split(",") if args.display else None
    load_before = [round(v, 2) for v in os.getloadavg()]
    with session.opened(tree, max(len(g.rows) for g in plan.groups), wanted) as wine:
        stack_env, chosen = stack.choose(wine.runner, wine.prefix_env(), args.gl_driver, args.ddraw_renderer)
        ctx = measure.Context(os.path.join(tree, "bin"), wine.runner, wine.prefix, wine.displays, out,
                              stack_env=stack_env, limit=3600 + int((args.soak or 0) * 60 * 4),
                              xvfb_pids=wine.xvfb_pids)
        version = stack.wine_version(arch)
        say("%s build under %s; a %s run of %d group(s); displays %s" % (
            arch, version, plan.kind, len(plan.groups), ",".join(wine.displays)))
        try:
            measured = measure_plan(ctx, plan, settings, args.soak, say)
        finally:
            ctx.remove_folder()
    facts = {"gl": _gl_strings(measured.programs), "stack": chosen, "wine": version, "displays": wine.displays,
             "machine": {"cores": os.cpu_count() or 1, "load_before": load_before,
                         "load_after": [round(v, 2) for v in os.getloadavg()]}}
    return measured, ctx, facts


def _gl_strings(programs):
    found = {}
    for program in programs:
        if program.path.launch == "glyphstorm":
            found = program.gl_strings() or found
    return found


def record(plan, measured, ctx, about):
    """raw.json's record. `about`: the raw.Run fields only the bench knows (date, command,
    version, arch, soak_minutes, durations, facts)."""
    paths = [program.record(measured.gl_calls.get(program.path.key)) for program in measured.programs]
    for path in paths:
        if measured.failure and path.key == measured.failure.key:
            path.failed = measured.failure.reason
    run = raw.Run(rounds=plan.rounds, processes=plan.processes, slice_s=plan.slice_s, warmup_s=plan.warmup_s,
                  settle_s=plan.settle_s, sweep_phrases=list(plan.sweep_phrases) if plan.kind == "sweep" else [],
                  cpu_tick_ms=TICK_MS, round_loads=ctx.loads, **about)
    return raw.Raw(kind="failed" if measured.failure else plan.kind, table=plan.table, run=run, paths=paths,
                   soak=measured.soaked, unavailable=ctx.unavailable, failure=measured.failure)
