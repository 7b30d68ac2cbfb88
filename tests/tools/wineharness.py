"""Runs the Windows programs of the build under Wine for end-to-end tests.

The engine log goes to the debugger output; Wine prints each OutputDebugStringA call on stderr
when WINEDEBUG has +debugstr, escaping bytes outside printable ASCII. run() captures those lines
and decodes them back to the program's bytes (Windows-1251 text stays byte-exact).

Environment (set by ctest): GLYPHSTORM_BIN = folder of the built programs, GLYPHSTORM_RUN = the
Wine runner of the build tree.
"""
import os
import subprocess
import time

from linux.wineplumbing import GLYPHSTORM_FILES, LineReader, decode_debugstr, log_lines, start_xvfb, stop_xvfb

BIN = os.environ.get("GLYPHSTORM_BIN", "")
RUNNER = os.environ.get("GLYPHSTORM_RUN", "")
# Everything glyphstorm.exe needs in its folder.
COMPANIONS = GLYPHSTORM_FILES


class Run:
    def __init__(self, returncode, stdout, stderr):
        self.returncode = returncode
        self.stdout = stdout
        self.stderr = stderr
        self.log = log_lines(stderr)


def _env(extra):
    env = dict(os.environ)
    env["WINEDEBUG"] = "-all,+debugstr"
    env.update(extra or {})
    return env


def start(program, args=(), cwd=None, desktop=None, env=None):
    """Starts a program of the build (name relative to GLYPHSTORM_BIN) without waiting."""
    path = program if os.path.isabs(program) else os.path.join(BIN, program)
    cmd = [RUNNER] + (["--desktop", desktop] if desktop else []) + [path] + list(args)
    return subprocess.Popen(cmd, cwd=cwd or BIN, env=_env(env), stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
                            encoding="latin-1")


def finish(process, timeout=60):
    out, err = process.communicate(timeout=timeout)
    return Run(process.returncode, out, err)


def run(program, args=(), cwd=None, desktop=None, env=None, timeout=60):
    """Runs a program to its end; returns its exit code, output and decoded log."""
    return finish(start(program, args, cwd, desktop, env), timeout)


def xdotool(*args, check=True):
    # While Wine programs start and end, opening a connection to Xvfb now and then fails
    # ("Can't open display"); that is no answer from the display, so it is asked again.
    for _ in range(10):
        done = subprocess.run(["xdotool"] + list(args), capture_output=True, text=True)
        if "Can't open display" not in done.stderr:
            break
        time.sleep(0.2)
    if check:
        done.check_returncode()
    return done.stdout


def wait_for_window(name, timeout=30):
    """The X window id of the first window whose title matches name, waiting for it to appear."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = xdotool("search", "--name", name, check=False).split()
        if found:
            return found[0]
        time.sleep(0.2)
    raise AssertionError("no window named %r appeared" % name)


class LiveRun:
    """A program started under Wine whose log can be watched while it runs."""

    def __init__(self, program, args=(), cwd=None, desktop=None, env=None):
        self.process = start(program, args, cwd, desktop, env)
        self.stdout_parts = []
        self.stderr_lines = []
        self._readers = [LineReader(self.process.stdout, self._keep(self.stdout_parts)),
                         LineReader(self.process.stderr, self._keep(self.stderr_lines))]

    @staticmethod
    def _keep(sink):
        def handle(line):
            sink.append(line)
            return True
        return handle

    def log(self):
        return log_lines("".join(self.stderr_lines))

    def wait_for_log(self, line, timeout=60):
        """Waits until the decoded log holds `line` (bytes); fails if the program ends first."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            if line in self.log():
                return
            if self.process.poll() is not None:
                time.sleep(0.2)
                if line in self.log():
                    return
                raise AssertionError("program ended (code %s) before logging %r" % (self.process.returncode, line))
            time.sleep(0.1)
        raise AssertionError("no log line %r within %s s" % (line, timeout))

    def finish(self, timeout=60):
        self.process.wait(timeout=timeout)
        for reader in self._readers:
            reader.join(timeout=5)
        return Run(self.process.returncode, "".join(self.stdout_parts), "".join(self.stderr_lines))

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()


_own_xvfb = None


def ensure_display():
    """Tests run from ctest share the run's X display; run alone without one, they get their own
    Xvfb (xdotool must see the display the programs open on). Call from setUpModule."""
    global _own_xvfb
    if os.environ.get("DISPLAY"):
        return
    started = start_xvfb(range(140, 200))
    if not started:
        raise AssertionError("no X display could be started")
    _own_xvfb, os.environ["DISPLAY"] = started


def release_display():
    """Ends the Xvfb ensure_display started, if any. Call from tearDownModule."""
    global _own_xvfb
    stop_xvfb(_own_xvfb)
    _own_xvfb = None


def screen_pixels(png):
    """Rows of (r, g, b) tuples of a screenshot."""
    info = subprocess.run(["identify", "-format", "%w %h", png], capture_output=True, text=True,
                          check=True)
    width, height = map(int, info.stdout.split())
    raw = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], capture_output=True,
                         check=True).stdout
    return [[tuple(raw[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
            for y in range(height)]
