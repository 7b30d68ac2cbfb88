"""report.html: the one report template (report.html beside this file, which the Windows runner
compiles in) with a run's results.json put in place of its marker."""
import json
import math
import os

TEMPLATE = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "method", "report.html")
MARKER = "/*RESULTS_JSON*/null"


def page(data):
    """The report page of one run's data (the dictionary results.json holds)."""
    with open(TEMPLATE, encoding="utf-8") as f:
        template = f.read()
    # "<" occurs in JSON only inside strings, where \u003c reads the same and cannot end the
    # <script> block the data sits in.
    text = json.dumps(_finite(data), ensure_ascii=False, allow_nan=False).replace("<", "\\u003c")
    return template.replace(MARKER, text, 1)


def _finite(value):
    """The data with NaN and infinities as null: a script cannot parse them, and a measurement
    gone wrong must still leave its page."""
    if isinstance(value, float) and not math.isfinite(value):
        return None
    if isinstance(value, dict):
        return {k: _finite(v) for k, v in value.items()}
    if isinstance(value, (list, tuple)):
        return [_finite(v) for v in value]
    return value


def write_html(out_dir, data):
    """Writes out_dir/report.html; returns its path."""
    path = os.path.join(out_dir, "report.html")
    with open(path, "w", encoding="utf-8") as f:
        f.write(page(data))
    return path
