"""Runs the Windows programs of the build under Wine for end-to-end tests.

The engine log goes to the debugger output; Wine prints each OutputDebugStringA call on stderr
when WINEDEBUG has +debugstr, escaping bytes outside printable ASCII. run() captures those lines
and decodes them back to the program's bytes (Windows-1251 text stays byte-exact).

Environment (set by ctest): GLYPHSTORM_BIN = folder of the built programs, GLYPHSTORM_RUN = the
Wine runner of the build tree.
"""
import os
import re
import subprocess
import time

BIN = os.environ.get("GLYPHSTORM_BIN", "")
RUNNER = os.environ.get("GLYPHSTORM_RUN", "")

_DEBUGSTR = re.compile(r'^[0-9a-f]+:[a-z]+:debugstr:OutputDebugStringA "(.*)"$')
_ESCAPES = {"n": b"\n", "r": b"\r", "t": b"\t", "\\": b"\\", '"': b'"', "'": b"'", "0": b"\0"}


def decode_debugstr(text):
    """Turns Wine's escaped rendering of a debug string back into its bytes."""
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c != "\\" or i + 1 == len(text):
            out += c.encode("latin-1")
            i += 1
            continue
        e = text[i + 1]
        if e == "x":
            out.append(int(text[i + 2:i + 4], 16))
            i += 4
        elif e == "u":
            out += chr(int(text[i + 2:i + 6], 16)).encode("latin-1", "replace")
            i += 6
        elif e in "01234567" and i + 3 < len(text) and all(ch in "01234567" for ch in text[i + 1:i + 4]):
            out.append(int(text[i + 1:i + 4], 8))
            i += 4
        else:
            out += _ESCAPES.get(e, e.encode("latin-1"))
            i += 2
    return bytes(out)


def log_lines(stderr_text):
    """The engine log, one bytes object per line (without its newline), from Wine's stderr."""
    pending = b""
    lines = []
    for raw in stderr_text.splitlines():
        m = _DEBUGSTR.match(raw)
        if not m:
            continue
        pending += decode_debugstr(m.group(1))
        while b"\n" in pending:
            line, pending = pending.split(b"\n", 1)
            lines.append(line)
    if pending:
        lines.append(pending)
    return lines


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
        import threading
        self.process = start(program, args, cwd, desktop, env)
        self.stdout_parts = []
        self.stderr_lines = []
        self._threads = [
            threading.Thread(target=self._pump, args=(self.process.stdout, self.stdout_parts.append), daemon=True),
            threading.Thread(target=self._pump, args=(self.process.stderr, self.stderr_lines.append), daemon=True),
        ]
        for t in self._threads:
            t.start()

    @staticmethod
    def _pump(stream, sink):
        for line in stream:
            sink(line)

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
        for t in self._threads:
            t.join(timeout=5)
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
    for n in range(140, 200):
        if os.path.exists("/tmp/.X%d-lock" % n):
            continue
        _own_xvfb = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(50):
            if os.path.exists("/tmp/.X11-unix/X%d" % n) or _own_xvfb.poll() is not None:
                break
            time.sleep(0.1)
        if _own_xvfb.poll() is None:
            os.environ["DISPLAY"] = ":%d" % n
            return
    raise AssertionError("no X display could be started")


def release_display():
    """Ends the Xvfb ensure_display started, if any. Call from tearDownModule."""
    global _own_xvfb
    if _own_xvfb:
        _own_xvfb.terminate()
        _own_xvfb.wait()
        _own_xvfb = None
