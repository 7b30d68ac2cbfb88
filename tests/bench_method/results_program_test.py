"""glyphstorm-results as scripts/bench calls it: the plan, a report folder judged from its raw.json,
two runs compared, and bad input of every kind refused with one message, exit 2 and nothing
written over what is there."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

PROGRAM = sys.argv.pop(1) if len(sys.argv) > 1 else os.environ.get("GLYPHSTORM_RESULTS", "")
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
TABLE = os.path.join(DATA, "table.json")
REPORT_FILES = ["results.json", "benchmark.json", "report.md", "report.html", "memory.csv", "glyphs.svg"]


def results(*args):
    return subprocess.run([PROGRAM] + list(args), capture_output=True, text=True, timeout=60)


def rename_path(text):
    raw = json.loads(text)
    raw["paths"][3]["key"] = "ref9"
    return json.dumps(raw)


class Folder:
    """A report folder holding one of the golden raw runs."""

    def __init__(self, name, raw_text=None):
        self.path = tempfile.mkdtemp(prefix="results-program-")
        with open(os.path.join(DATA, name + ".raw.json"), encoding="utf-8") as f:
            text = f.read()
        with open(os.path.join(self.path, "raw.json"), "w", encoding="utf-8") as f:
            f.write(text if raw_text is None else raw_text(text))

    def read(self, name):
        with open(os.path.join(self.path, name), encoding="utf-8") as f:
            return f.read()

    def write(self, name, text):
        with open(os.path.join(self.path, name), "w", encoding="utf-8") as f:
            f.write(text)


class Plan(unittest.TestCase):
    def test_the_plan_names_every_row_and_refuses_a_bad_request(self):
        done = results("--plan", "--table", TABLE, "--rounds", "8")
        self.assertEqual(done.returncode, 0, done.stderr)
        plan = json.loads(done.stdout)
        self.assertEqual([g["name"] for g in plan["groups"]], ["gl", "2d"])
        self.assertEqual(plan["groups"][0]["process_of_round"], [0, 0, 1, 1, 2, 3, 3, 4])
        self.assertEqual(plan["table"]["plan"], {"rounds": 20, "processes": 5})
        self.assertEqual(plan["loaded_cores"], 0.5)
        unknown = results("--plan", "--table", TABLE, "--paths", "prod,nothing")
        self.assertEqual((unknown.returncode, unknown.stdout), (2, ""))
        self.assertIn("no such path: nothing (the paths: prod ref", unknown.stderr)
        with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
            f.write('{"paths": [{"key": "a"}]}')
        broken = results("--plan", "--table", f.name)
        os.remove(f.name)
        self.assertEqual(broken.returncode, 2)
        self.assertIn("a: name is missing", broken.stderr)
        self.assertIn("paths.json: plan is missing", broken.stderr)


class Rejudge(unittest.TestCase):
    def test_a_folder_is_judged_into_every_report_file(self):
        folder = Folder("rounds")
        done = results("--rejudge", folder.path)
        # The golden run has a failed path: it is judged and reported, and the exit code says so.
        self.assertEqual(done.returncode, 1, done.stderr)
        for name in REPORT_FILES:
            self.assertTrue(os.path.getsize(os.path.join(folder.path, name)) > 0, name)
        with open(os.path.join(DATA, "rounds.results.json"), encoding="utf-8") as f:
            self.assertEqual(folder.read("results.json"), f.read())
        self.assertIn("product ≥ 0.97× reference", done.stdout)
        self.assertEqual(results("--rejudge", Folder("self-check").path).returncode, 1)  # ref2's copy runs 1.1×
        shutil.rmtree(folder.path)

    def test_bad_input_gets_one_message_exit_2_and_leaves_the_folder_as_it_was(self):
        cases = {
            "truncated": (lambda t: t[:300], "raw.json: not JSON"),
            "plain text": (lambda t: "these are my notes\n", "raw.json: not JSON"),
            "foreign": (lambda t: '{"format": "other", "version": 1}', "not a raw measurement file"),
            "newer": (lambda t: t.replace('"version": 1', '"version": 7', 1),
                      "raw.json: version: 7: this build reads version 1"),
            "hand-edited": (lambda t: t.replace('"count_from": 0.1', '"count_from": "soon"', 1),
                            "raw.json: paths[0].slices[0].count_from: must be a number"),
            "unknown path": (rename_path, "paths[3].key: ref9 is no row of the run's table"),
        }
        for name, (edit, message) in cases.items():
            with self.subTest(name):
                folder = Folder("rounds", edit)
                folder.write("results.json", "kept\n")
                done = results("--rejudge", folder.path)
                self.assertEqual(done.returncode, 2, done.stdout)
                self.assertIn(message, done.stderr)
                self.assertEqual(len(done.stderr.strip().splitlines()), 1, done.stderr)
                self.assertEqual(folder.read("results.json"), "kept\n")
                self.assertEqual(sorted(os.listdir(folder.path)), ["raw.json", "results.json"])
                shutil.rmtree(folder.path)
        empty = tempfile.mkdtemp()
        done = results("--rejudge", empty)
        self.assertEqual((done.returncode, os.listdir(empty)), (2, []))
        self.assertIn("raw.json: no such file", done.stderr)
        os.rmdir(empty)


class Compare(unittest.TestCase):
    def test_two_folders_compare_and_bad_runs_are_named(self):
        old, new = Folder("rounds"), Folder("rounds")
        self.assertEqual(results("--compare", old.path, new.path).returncode, 0)
        os.remove(os.path.join(new.path, "raw.json"))
        for text, message in (("", "results.json: no such file"), ("{\"format\": 99, \"kind\": \"rounds\"}",
                                                                     "format 99: this build reads formats 1 to 2"),
                              ('{"format": 2, "kind": "rounds", "pa', "not JSON")):
            if text:
                new.write("results.json", text)
            done = results("--compare", old.path, new.path)
            self.assertEqual(done.returncode, 2)
            self.assertIn(message, done.stderr)
        shutil.rmtree(old.path)
        shutil.rmtree(new.path)


if __name__ == "__main__":
    unittest.main()
