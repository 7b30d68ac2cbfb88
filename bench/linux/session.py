"""The X servers and the bench's Wine prefix for the length of a run: Xvfb servers of the bench's
own (or the displays the user names) and a fresh wineserver, both gone afterwards."""
import contextlib
import dataclasses
import os
import subprocess

from linux import wineplumbing as wp

DISPLAY_NUMBERS = range(150, 200)


class SessionError(Exception):
    pass


@dataclasses.dataclass
class Session:
    runner: str  # the build tree's wine-run
    prefix: str
    displays: list
    xvfb_pids: list

    def prefix_env(self):
        return {"GLYPHSTORM_WINEPREFIX": self.prefix}


def start_displays(count, numbers):
    """Starts `count` Xvfb servers on free numbers from `numbers`: (processes, displays)."""
    procs, displays = [], []
    numbers = list(numbers)
    while len(procs) < count:
        started = wp.start_xvfb(numbers)
        if not started:
            break
        procs.append(started[0])
        displays.append(started[1])
        numbers = [n for n in numbers if ":%d" % n not in displays]
    return procs, displays


@contextlib.contextmanager
def opened(tree, count, displays=None):
    """`count` X servers of our own unless `displays` are given, and the tree's bench prefix
    with a wineserver started afresh: one left from earlier work may be tied to another X
    display."""
    runner = os.path.join(tree, "wine-run")
    if not os.access(runner, os.X_OK):
        raise SessionError("%s is missing: %s is not a configured build tree" % (runner, tree))
    xvfbs = []
    if not displays:
        xvfbs, displays = start_displays(count, DISPLAY_NUMBERS)
    env = dict(os.environ, GLYPHSTORM_WINEPREFIX=os.path.join(tree, "wineprefix-bench"))
    try:
        if not displays:
            raise SessionError("no X display could be started")
        os.environ["DISPLAY"] = displays[0]
        env["DISPLAY"] = displays[0]
        os.environ["LC_ALL"] = env["LC_ALL"] = "ru_RU.UTF-8"  # code page 1251 for GDI text
        subprocess.run([runner, "--finish"], env=env)
        if subprocess.run([runner, "--prepare"], env=env).returncode != 0:
            raise SessionError("%s --prepare failed" % runner)
        yield Session(runner, env["GLYPHSTORM_WINEPREFIX"], displays, [x.pid for x in xvfbs])
    finally:
        subprocess.run([runner, "--finish"], env=env)
        for xvfb in xvfbs:
            wp.stop_xvfb(xvfb)
