"""The one format: every git-tracked C/C++ source as .clang-format lays it out. Fuzz inputs are
data, and generated sources live in build trees, which git does not track.

Environment (set by ctest): GLYPHSTORM_CLANG_FORMAT = the clang-format to run."""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CLANG_FORMAT = os.environ.get("GLYPHSTORM_CLANG_FORMAT", "clang-format")
SUFFIXES = (".c", ".cc", ".cpp", ".cxx", ".h", ".hh", ".hpp")
DATA = ("tests/fuzz/corpus/", "tests/fuzz/findings/")


def Sources(top):
    listed = subprocess.run(["git", "-C", top, "ls-files", "-z"], check=True,
                            stdout=subprocess.PIPE, text=True).stdout.split("\0")
    return [f for f in listed if f.endswith(SUFFIXES) and not f.startswith(DATA)
            and os.path.isfile(os.path.join(top, f))]  # a file deleted but not yet committed


def Deviating(top, files):
    """The files clang-format would change, and its output."""
    done = subprocess.run([CLANG_FORMAT, "--dry-run", "--Werror", *files], cwd=top,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    named = sorted(set(re.findall(r"^(.+?):\d+:\d+: error:", done.stdout, re.M)))
    if done.returncode != 0 and not named:
        named = ["<clang-format failed>"]
    return named, done.stdout


class Format(unittest.TestCase):
    def test_the_tree_is_in_the_one_format(self):
        files = Sources(TOP)
        self.assertGreater(len(files), 50)
        named, output = Deviating(TOP, files)
        self.assertEqual(named, [], "run clang-format -i on these:\n" + output[-3000:])

    def test_a_deviation_is_found_and_fuzz_inputs_are_not_read(self):
        with tempfile.TemporaryDirectory() as top:
            shutil.copy(os.path.join(TOP, ".clang-format"), top)
            os.makedirs(os.path.join(top, "tests", "fuzz", "corpus"))
            files = {"good.cpp": "int Good() { return 1; }\n",
                     "bad.h": "int  Bad( ) ;\n",
                     "notes.txt": "int  Bad( ) ;\n",
                     "tests/fuzz/corpus/input.c": "int  Bad( ) ;\n"}
            for name, text in files.items():
                with open(os.path.join(top, name), "w") as out:
                    out.write(text)
            subprocess.run(["git", "-C", top, "init", "-q"], check=True)
            subprocess.run(["git", "-C", top, "add", "."], check=True)
            found = Sources(top)
            self.assertEqual(sorted(found), ["bad.h", "good.cpp"])
            self.assertEqual(Deviating(top, found)[0], ["bad.h"])


if __name__ == "__main__":
    unittest.main()
