"""paths.json as the bench reads it: defaults of absent fields, and a broken file or row that
yields faults instead of a crash. Plain Python, no Wine."""
import os
import sys
import tempfile
import unittest

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(TOP, "bench"))
from linux import paths as table  # noqa: E402

ROW = {"key": "a", "name": "A", "program": "a.exe", "source": "debug", "phrases": 3, "group": "g"}


def parsed(**changes):
    raw = {"phrase_glyphs": 33, "paths": [ROW], "max_phrases": 10, "plan": {"rounds": 20, "processes": 5}}
    raw.update(changes)
    return table.parse(raw)


class Loading(unittest.TestCase):
    def test_absent_fields_take_their_defaults(self):
        path = parsed().paths[0]
        self.assertEqual((path.args, path.launch, path.desktop, path.keys, path.reference, path.bar, path.shot),
                         ((), "bin", False, (), None, None, "a"))
        self.assertEqual(table.check(table=parsed()), [])

    def test_broken_rows_and_files_are_faults(self):
        cases = {
            "paths a: phrases is missing": [{k: v for k, v in ROW.items() if k != "phrases"}],
            "paths a: unknown field 'colour'": [dict(ROW, colour="red")],
            "paths a: bar must be a number": [dict(ROW, bar="high")],
            "paths a: args must be a list of texts": [dict(ROW, args=[1])],
            "paths a: soak must be true or false": [dict(ROW, soak=1)],
            "paths a: phrases must be a whole number": [dict(ROW, phrases=None)],
            "paths[0]: not an object": ["a"],
            "a: unknown frame source 'trace'": [dict(ROW, source="trace")],
        }
        for fault, rows in cases.items():
            with self.subTest(fault=fault):
                self.assertIn(fault, table.check(table=parsed(paths=rows)))
        self.assertIn("max_phrases must be a whole number of at least 1", parsed(max_phrases=0).faults)
        no_plan = table.parse({"phrase_glyphs": 33, "paths": [ROW]})
        self.assertIn("plan is missing", no_plan.faults)
        self.assertEqual(no_plan.plan, table.Plan(1, 1))
        for plan, fault in [({"rounds": 20}, "plan: processes is missing"),
                            ({"rounds": 0, "processes": 5}, "plan: rounds and processes must be at least 1")]:
            with self.subTest(fault=fault):
                broken = parsed(plan=plan)
                self.assertIn(fault, broken.faults)
                self.assertEqual(broken.plan, table.Plan(1, 1))
        self.assertEqual(table.parse([]).faults, ["the table is not a JSON object", "paths must be a list",
                                                  "plan is missing"])
        with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
            f.write("{\"paths\": [")
        try:
            broken = table.load(f.name)
        finally:
            os.remove(f.name)
        self.assertEqual(broken.paths, [])
        self.assertTrue(table.check(table=broken)[0].startswith(f.name), broken.faults)


if __name__ == "__main__":
    unittest.main()
