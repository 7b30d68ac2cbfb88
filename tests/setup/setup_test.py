"""scripts/setup's decisions without the network: apt-get, dpkg and dpkg-query are stand-ins that
log their arguments and fail the way a mirror caught mid-sync, a held lock or a missing package
make the real ones fail."""
import json
import os
import subprocess
import sys
import tempfile
import unittest
from dataclasses import dataclass, field

HERE = os.path.dirname(os.path.abspath(__file__))
SETUP = os.path.join(os.path.dirname(os.path.dirname(HERE)), "scripts", "setup")

MIRROR = "http://deb.debian.org/debian-security/dists/bookworm-security"
I386_LIST = MIRROR + "/main/binary-i386/Packages.xz"
MID_SYNC = (f"E: Failed to fetch {I386_LIST}  File has unexpected size (374820 != 376004). "
            "Mirror sync in progress? [IP: 151.101.2.132 80]\n"
            "E: Some index files failed to download. They have been ignored, or old ones used instead.")
LOCK_HELD = ("E: Could not get lock /var/lib/apt/lists/lock. It is held by process 4242 (apt-get)\n"
             "E: Unable to lock directory /var/lib/apt/lists/")

# apt-get logs its arguments and answers from the plan; dpkg and dpkg-query are shell scripts, as
# dpkg-query runs once a package.
APT_GET = r'''
import json, os, sys
here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "plan.json")) as plan_file:
    plan = json.load(plan_file)
with open(os.path.join(here, "calls.log"), "a") as log:
    log.write(json.dumps(["apt-get"] + sys.argv[1:]) + "\n")
if "update" in sys.argv:
    with open(os.path.join(here, "calls.log")) as log:
        done = sum('"update"' in line for line in log) - 1
    status, text = plan["update"][min(done, len(plan["update"]) - 1)]
else:
    status, text = plan["install"]
print(text, file=sys.stderr if status else sys.stdout)
sys.exit(status)
'''
DPKG = """#!/bin/sh
here=$(dirname "$0")
printf '["dpkg", "%s", "%s"]\\n' "$1" "$2" >>"$here/calls.log"
[ "$1" = --print-foreign-architectures ] && cat "$here/architectures"
exit 0
"""
DPKG_QUERY = """#!/bin/sh
for last; do :; done
grep -qx "$last" "$(dirname "$0")/missing" || echo 'install ok installed'
"""


@dataclass
class Plan:
    """What the stand-ins answer: each update in turn (the last repeats), then the install."""
    update: list = field(default_factory=lambda: [[0, "Reading package lists..."]])
    install: list = field(default_factory=lambda: [0, "Setting up wine32:i386 ..."])
    missing: list = field(default_factory=lambda: ["wine32:i386", "clang-format"])
    i386: bool = True
    tries: int = 3


@dataclass
class Run:
    status: int
    output: str
    calls: list

    def apt(self, command):
        return [c for c in self.calls if c[0] == "apt-get" and command in c]


def WriteProgram(path, text):
    with open(path, "w") as out:
        out.write(text)
    os.chmod(path, 0o755)


def RunSetup(plan):
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "plan.json"), "w") as out:
            json.dump(plan.__dict__, out)
        WriteProgram(os.path.join(folder, "missing"), "".join(p + "\n" for p in plan.missing))
        WriteProgram(os.path.join(folder, "architectures"), "i386\n" if plan.i386 else "")
        WriteProgram(os.path.join(folder, "os-release"), "ID=debian\nVERSION_CODENAME=bookworm\n")
        WriteProgram(os.path.join(folder, "apt-get"), f"#!{sys.executable}\n{APT_GET}")
        WriteProgram(os.path.join(folder, "dpkg"), DPKG)
        WriteProgram(os.path.join(folder, "dpkg-query"), DPKG_QUERY)
        # Not root: the script asks sudo, which here only runs the stand-in.
        WriteProgram(os.path.join(folder, "sudo"), '#!/bin/sh\nexec "$@"\n')
        env = dict(os.environ, SETUP_APT_GET=os.path.join(folder, "apt-get"),
                   SETUP_DPKG=os.path.join(folder, "dpkg"),
                   SETUP_DPKG_QUERY=os.path.join(folder, "dpkg-query"),
                   SETUP_TRIES=str(plan.tries), SETUP_PAUSE="0", SETUP_LOCALE="0",
                   SETUP_OS_RELEASE=os.path.join(folder, "os-release"),
                   PATH=folder + os.pathsep + os.environ["PATH"])
        done = subprocess.run(["bash", SETUP], env=env, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, timeout=60)
        calls = []
        if os.path.exists(os.path.join(folder, "calls.log")):
            with open(os.path.join(folder, "calls.log")) as log:
                calls = [json.loads(line) for line in log]
        return Run(done.returncode, done.stdout, calls)


class Update(unittest.TestCase):
    def assertPlainInstall(self, run):
        self.assertEqual(run.status, 0, run.output)
        [install] = run.apt("install")
        self.assertNotIn("-t", install)
        self.assertEqual(install[-2:], ["wine32:i386", "clang-format"])
        self.assertNotIn("warning", run.output)

    def test_fresh_lists_give_one_update_and_a_plain_install(self):
        run = RunSetup(Plan())
        self.assertEqual(len(run.apt("update")), 1)
        self.assertIn("Acquire::Retries=3", run.apt("update")[0])
        self.assertPlainInstall(run)

    def test_a_list_that_fails_once_then_works_gives_a_plain_install(self):
        run = RunSetup(Plan(update=[[100, MID_SYNC], [0, "Reading package lists..."]]))
        self.assertEqual(len(run.apt("update")), 2)
        self.assertIn("try 1 of 3", run.output)
        self.assertPlainInstall(run)

    def test_an_architecture_list_that_stays_unavailable_installs_from_the_release_suite(self):
        run = RunSetup(Plan(update=[[100, MID_SYNC]], tries=4))
        self.assertEqual(run.status, 0, run.output)
        self.assertEqual(len(run.apt("update")), 4)
        warning = run.output[run.output.index("setup: warning"):]
        self.assertIn(I386_LIST, warning)
        self.assertIn("apt-get update", warning)  # how to catch up later
        [install] = run.apt("install")
        self.assertEqual(install[install.index("-t") + 1], "bookworm")

    def test_failures_that_are_not_a_package_list_end_the_setup(self):
        release = f"E: Failed to fetch {MIRROR}/InRelease  404  Not Found [IP: 151.101.2.132 80]"
        for name, answers, expected in [
                ("release file", [[100, release]], MIRROR + "/InRelease"),
                ("release file with the i386 list", [[100, MID_SYNC + "\n" + release]],
                 MIRROR + "/InRelease"),
                ("lock held", [[100, LOCK_HELD]], "without naming a list")]:
            with self.subTest(name):
                run = RunSetup(Plan(update=answers))
                self.assertNotEqual(run.status, 0)
                self.assertEqual(len(run.apt("update")), 3)
                self.assertEqual(run.apt("install"), [])
                self.assertIn(expected, run.output.splitlines()[-1])

    def test_tries_that_are_not_a_positive_number_end_the_setup_before_any_update(self):
        for tries in (0, "x"):
            with self.subTest(tries=tries):
                run = RunSetup(Plan(tries=tries))
                self.assertNotEqual(run.status, 0)
                self.assertIn("SETUP_TRIES", run.output)
                self.assertEqual(run.apt("update"), [])


class Install(unittest.TestCase):
    def test_a_failed_install_names_the_packages(self):
        for message, named in [
                ("E: Unable to locate package foo", "foo"),
                ("E: Package 'foo' has no installation candidate", "foo"),
                ("The following packages have unmet dependencies:\n"
                 " zlib1g:i386 : Depends: libc6:i386 (>= 2.4) but it is not installable\n"
                 " libzstd1:i386 : Depends: libc6:i386 (>= 2.14) but it is not installable\n"
                 "E: Unable to correct problems, you have held broken packages.",
                 "libzstd1:i386 zlib1g:i386")]:
            with self.subTest(message.splitlines()[0]):
                run = RunSetup(Plan(install=[100, message]))
                self.assertEqual(run.status, 1)
                self.assertTrue(run.output.splitlines()[-1].endswith(f" on: {named}"),
                                run.output.splitlines()[-1])

    def test_only_a_machine_that_lacks_something_asks_apt(self):
        run = RunSetup(Plan(missing=[]))
        self.assertEqual((run.status, run.apt("update"), run.apt("install")), (0, [], []))
        # A machine without the i386 architecture gets it, then every package.
        run = RunSetup(Plan(missing=[], i386=False))
        self.assertIn(["dpkg", "--add-architecture", "i386"], run.calls)
        [install] = run.apt("install")
        self.assertIn("wine32:i386", install)
        self.assertIn("cmake", install)


if __name__ == "__main__":
    unittest.main()
