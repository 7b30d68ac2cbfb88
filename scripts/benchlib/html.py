"""report.html: the one report template (report.html beside this file, which the Windows runner
compiles in) with a run's results.json put in place of its marker."""
import json
import os

TEMPLATE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "report.html")
MARKER = "/*RESULTS_JSON*/null"


def page(data):
    """The report page of one run's data (the dictionary results.json holds)."""
    with open(TEMPLATE, encoding="utf-8") as f:
        template = f.read()
    # "<" occurs in JSON only inside strings, where \u003c reads the same and cannot end the
    # <script> block the data sits in.
    text = json.dumps(data, ensure_ascii=False, allow_nan=False).replace("<", "\\u003c")
    return template.replace(MARKER, text, 1)


def write_html(out_dir, data):
    """Writes out_dir/report.html; returns its path."""
    path = os.path.join(out_dir, "report.html")
    with open(path, "w", encoding="utf-8") as f:
        f.write(page(data))
    return path
