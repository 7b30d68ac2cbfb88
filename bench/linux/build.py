"""Building what the bench runs: the Release Windows programs of a plan and the host program
glyphstorm-results, each in a tree of its own; and the project's version."""
import os
import re
import subprocess

HOST_TREE = os.path.join("build", "bench-host")
RESULTS = os.path.join("bin", "glyphstorm-results")
# What the programs load beside them.
COMPANIONS = ["vtAPI", "bass_dll", "font_data"]
JOBS = str(min(os.cpu_count() or 1, 2))


class BuildError(Exception):
    pass


def _run(command, what):
    try:
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    except (OSError, subprocess.CalledProcessError) as error:
        raise BuildError("%s failed: %s" % (what, error))


def setup(top):
    _run([os.path.join(top, "scripts", "setup")], "scripts/setup")


def _tree(top, tree, targets, toolchain=None):
    # A tree configured before keeps its own settings; cmake --build refreshes it when needed.
    if not os.path.exists(os.path.join(tree, "CMakeCache.txt")):
        options = ["-DCMAKE_TOOLCHAIN_FILE=%s" % toolchain] if toolchain else []
        _run(["cmake", "-S", top, "-B", tree, "-DCMAKE_BUILD_TYPE=Release", "-DGLYPHSTORM_TESTS=OFF"] + options,
             "configuring " + tree)
    _run(["cmake", "--build", tree, "-j", JOBS, "--target"] + targets, "building " + tree)


def windows_tree(top, tree, arch, programs):
    """The plan's programs (build targets) and what they load, built in `tree`."""
    _tree(top, tree, programs + COMPANIONS, os.path.join(top, "cmake", "mingw-%s.cmake" % arch))


def results_program(top, build):
    """glyphstorm-results: the one GLYPHSTORM_RESULTS names, else the host tree's, built first
    when `build`."""
    named = os.environ.get("GLYPHSTORM_RESULTS")
    if named:
        return named
    tree = os.path.join(top, HOST_TREE)
    if build:
        _tree(top, tree, ["glyphstorm-results"])
    return os.path.join(tree, RESULTS)


def project_version(top):
    """x.y.z of the top-level CMakeLists.txt's project(... VERSION x.y.z); "unknown" without one."""
    try:
        with open(os.path.join(top, "CMakeLists.txt"), encoding="utf-8") as f:
            found = re.search(r"project\s*\([^)]*\bVERSION\s+([0-9][0-9.]*)", f.read())
    except OSError:
        found = None
    return found.group(1) if found else "unknown"
