"""GL calls per frame, from runs with every opengl32 call traced: apart from the rounds, since
tracing slows a program down. A keyed path's count also proves its keys took effect, before
any round is spent on it."""
from linux.measure import stop_all
from linux.program import PathFailure, PathUnavailable, Program

# A keyed path's GL calls per frame must change at least this much (relative) after its keys.
KEY_EFFECT = 0.5


def _calls_per_frame(program, since):
    """The calls of two report periods over their frames, two reports after `since` (the first
    report closes the set-up). The calls between two reports belong to as many frames as the
    later one counts (each report is written at the frame after its period)."""
    program.wait_frames(4, 180, since=since)
    calls = program.log.calls[since + 2:since + 4]
    frames = [count for _, count in program.events[since + 2:since + 4]]
    if not sum(frames):
        program.fail("reported no frame while its GL calls were counted")
    return sum(calls) / sum(frames)


def _keyed_calls(program):
    """Calls per frame after the path's keys, which must have changed them: the proof that the
    program is in the state its keys put it in."""
    program.open(press=False)
    before = _calls_per_frame(program, 0)
    program.press_keys()
    after = _calls_per_frame(program, len(program.events))
    if before and abs(after / before - 1.0) < KEY_EFFECT:
        program.fail("its GL calls per frame stayed at %d after key(s) %s: the key changed nothing" % (
            after, " ".join(program.path.keys)))
    return after


def _count_one(ctx, program, measure, counts):
    """One program's count; one the desktop cannot run becomes an unavailable row."""
    try:
        counts[program.path.key] = measure(program)
    except PathUnavailable as failure:
        ctx.cannot_run(program.path, failure)


def count(ctx, rows, launch=Program):
    """GL calls of one frame per row. The counts do not depend on speed, so the traced runs
    share the machine; a row with keys starts alone first, while its window is the foreground
    one."""
    counts = {}
    programs = []
    try:
        ordered = [r for r in rows if r.keys] + [r for r in rows if not r.keys]
        for slot, row in enumerate(ordered):
            program = launch(ctx, row, slot, count_calls=True)
            programs.append(program)
            if row.keys:
                _count_one(ctx, program, _keyed_calls, counts)
        for program in programs:
            if not program.path.keys:
                _count_one(ctx, program, lambda p: _calls_per_frame(p, 0), counts)
    finally:
        stop_all(programs)
    return counts


def count_tolerant(ctx, rows, launch=Program):
    """On a stack of the user's choosing each row is counted alone, and one the stack cannot run
    is recorded as unavailable (and left out of the rounds by the caller)."""
    counts = {}
    for row in rows:
        try:
            counts.update(count(ctx, [row], launch))
        except PathFailure as failure:
            ctx.cannot_run(row, failure)
    return counts
