"""Plumbing shared by scripts/bench and the end-to-end test harness (tests/tools/wineharness.py).

Which build runs here, the files glyphstorm needs beside it, private X displays, Wine's trace
and debug-output lines read live from a program's stderr, and what /proc says about the Unix
processes of a program under Wine (its process tree, resident size, CPU time, stop and continue).
"""
import collections
import os
import re
import signal
import subprocess
import threading
import time

# Everything glyphstorm.exe needs in its folder.
GLYPHSTORM_FILES = ["glyphstorm.exe", "DevIL.dll", "ILU.dll", "ILUT.dll", "bass.dll", "vtAPI.dll",
                    "Tahoma.txt", "Tahoma.png"]

# Wine's trace lines, with the "+timestamp" prefix (seconds of Wine's clock) when it is on.
_STAMP = r"^(?:(\d+\.\d+):)?[0-9a-f]+:"
SWAP = re.compile(_STAMP + r"trace:wgl:glxdrv_wglSwapBuffers\b")
FLIP = re.compile(_STAMP + r"trace:ddraw:ddraw_surface7_Flip\b")
GL_CALL = re.compile(_STAMP + r"trace:opengl:")
TRACE = re.compile(_STAMP + r"trace:")
DEBUGSTR = re.compile(_STAMP + r'[a-z]+:debugstr:OutputDebugStringA "(.*)"$')
_ESCAPES = {"n": b"\n", "r": b"\r", "t": b"\t", "\\": b"\\", '"': b'"', "'": b"'", "0": b"\0"}


def wine_clock():
    """Now on the clock of Wine's "+timestamp" trace prefix (the monotonic raw clock, seconds)."""
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


def test_arch():
    """i686 where the kernel runs 32-bit processes, else x86_64 (as scripts/test decides)."""
    try:
        ok = subprocess.run(["/lib/ld-linux.so.2", "--version"], capture_output=True).returncode == 0
    except OSError:
        ok = False
    return "i686" if ok else "x86_64"


def wine_binary(arch):
    return "/usr/lib/wine/wine64" if arch == "x86_64" else "wine"


# ---------------------------------------------------------------------------------------------
# X displays


def start_xvfb(numbers, size="1024x768x24"):
    """Starts Xvfb on the first free display number of `numbers`: (process, ":N"), or None."""
    for n in numbers:
        if os.path.exists("/tmp/.X%d-lock" % n):
            continue
        proc = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", size, "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(50):
            if os.path.exists("/tmp/.X11-unix/X%d" % n) or proc.poll() is not None:
                break
            time.sleep(0.1)
        if proc.poll() is None:
            return proc, ":%d" % n
    return None


def stop_xvfb(proc):
    if proc and proc.poll() is None:
        proc.terminate()
        proc.wait()


# ---------------------------------------------------------------------------------------------
# Debug output


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


def log_lines(stderr_lines):
    """The program's debug output, one bytes object per line (without its newline), from Wine's
    stderr (a string or a list of lines)."""
    if isinstance(stderr_lines, str):
        stderr_lines = stderr_lines.splitlines()
    pending = b""
    lines = []
    for raw in stderr_lines:
        m = DEBUGSTR.match(raw.rstrip("\r\n"))
        if not m:
            continue
        pending += decode_debugstr(m.group(2))
        while b"\n" in pending:
            line, pending = pending.split(b"\n", 1)
            lines.append(line)
    if pending:
        lines.append(pending)
    return lines


# ---------------------------------------------------------------------------------------------
# Live reading


class LineReader:
    """Reads a text stream on a thread of its own and hands each line to `handle`; keeps the last
    lines that `handle` did not take (returned falsy for), to explain a failure."""

    def __init__(self, stream, handle, keep=8):
        self.rest = collections.deque(maxlen=keep)
        self._stream = stream
        self._handle = handle
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self):
        for line in self._stream:
            if not self._handle(line):
                self.rest.append(line.rstrip("\n"))

    def join(self, timeout=10):
        self._thread.join(timeout=timeout)

    def alive(self):
        return self._thread.is_alive()


# ---------------------------------------------------------------------------------------------
# Processes under Wine


def _parent_map():
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                ppid = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            continue
        children.setdefault(ppid, []).append(int(entry))
    return children


def descendants(pid):
    children = _parent_map()
    found, todo = [], [pid]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def find_wine_process(root_pid, exe):
    """The Unix process under root_pid that runs the Windows program `exe` (Wine names the
    process after the program's path), or None."""
    for pid in descendants(root_pid):
        try:
            with open("/proc/%d/cmdline" % pid, "rb") as f:
                argv0 = f.read().split(b"\0")[0].decode("latin-1")
        except OSError:
            continue
        if argv0.replace("\\", "/").lower().endswith("/" + exe.lower()) or argv0.lower() == exe.lower():
            return pid
    return None


def resident_kib(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except (OSError, ValueError, IndexError):
        pass
    return None


_TICK_MS = 1000.0 / os.sysconf("SC_CLK_TCK")


def cpu_ms(pid):
    """User + system time of a process, all its threads included (ms), or None when it is gone."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) * _TICK_MS
    except (OSError, ValueError, IndexError):
        return None


def machine_busy_ms():
    """CPU time the whole machine spent busy since boot (ms, all cores) and the number of cores."""
    with open("/proc/stat") as f:
        fields = [int(v) for v in f.readline().split()[1:]]
    idle = fields[3] + (fields[4] if len(fields) > 4 else 0)
    return (sum(fields[:8]) - idle) * _TICK_MS


def prefix_processes(prefix):
    """Every process of a Wine prefix (its wineserver, system processes and programs)."""
    want = os.path.realpath(prefix).encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/environ" % entry, "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        for item in env:
            if item.startswith(b"WINEPREFIX="):
                if os.path.realpath(item[len(b"WINEPREFIX="):]) == want:
                    found.append(int(entry))
                break
    return found


def load_average():
    return os.getloadavg()[0]


def signal_process(pid, sig):
    try:
        os.kill(pid, sig)
        return True
    except (ProcessLookupError, PermissionError):
        return False


def stop_process(pid):
    return signal_process(pid, signal.SIGSTOP)


def continue_process(pid):
    return signal_process(pid, signal.SIGCONT)
