"""glyphstorm-results, the benchmark's method as a host program: the bench asks it for the plan
and has it judge, report and compare. Every number the bench prints beyond its progress comes
from there."""
import json
import subprocess

from linux import plan as plans

NAME = "glyphstorm-results"


class HostError(Exception):
    """The program refused the request (its message) or could not be run; `code` is the
    bench's exit code."""

    def __init__(self, message, code=2):
        Exception.__init__(self, message)
        self.code = code


def _run(program, args, **kwargs):
    try:
        return subprocess.run([program] + args, **kwargs)
    except OSError as error:
        raise HostError("%s cannot be run (%s): build it (scripts/bench without --no-build does) or name it "
                        "in GLYPHSTORM_RESULTS" % (program, error.strerror or error))


def ask_plan(program, table, options):
    """The Plan for the bench's options (already in the program's own words, e.g. ["--quick"])."""
    done = _run(program, ["--plan", "--table", table, "--harness", "linux"] + options,
                capture_output=True, encoding="utf-8", errors="replace")
    if done.returncode != 0:
        raise HostError(done.stderr.strip() or "%s --plan ended with code %d and no message" % (
            NAME, done.returncode))
    try:
        return plans.parse(json.loads(done.stdout))
    except ValueError as error:  # PlanError is one too
        raise HostError("%s --plan: %s" % (NAME, error))


def rejudge(program, folder):
    """Judges the raw.json in `folder` into every file of the report, printing the summary; the
    program's exit code (0, 1 for a failed run or a self-check that does not hold, 2 bad input)."""
    return _run(program, ["--rejudge", folder]).returncode


def compare(program, old, new):
    return _run(program, ["--compare", old, new]).returncode
