"""How a path's presented frames are read from the timestamped lines Wine prints on its stderr:
the frame sources a plan row names, and one process's log of them."""
import collections
import dataclasses
import re

from linux import wineplumbing as wp

# Period (ms) the bench asks the programs to report their frames in (GLYPHSTORM_FRAME_REPORT).
FRAME_REPORT_MS = 100

#   channel: what WINEDEBUG must add; pattern: the line; frames: frames the line stands for (a
#   match -> int, None for a line of the channel that is no report); first_line: the first line
#   marks the first frame (start to first frame); min_slice: shortest running time (s) that
#   holds a whole period between two lines.
Source = collections.namedtuple("Source", "channel pattern frames first_line min_slice")
_REPORTED = re.compile(r"^frames=(\d+)(?:\\n)?$")


def _reported_frames(match):
    m = _REPORTED.match(match.group(2))
    return int(m.group(1)) if m else None


SOURCES = {
    # The program writes "frames=N" with OutputDebugStringA every FRAME_REPORT_MS: N frames
    # presented since its previous line. Its first line comes with the first frame or at most a
    # period after it. A slice holds a few periods. Every path of the table is counted this way.
    "debug": Source("+debugstr", wp.DEBUGSTR, _reported_frames, True, 2.5 * FRAME_REPORT_MS / 1000.0),
    # Wine's trace lines, one per frame, Linux only: glxdrv_wglSwapBuffers per SwapBuffers,
    # ddraw_surface7_Flip per flip.
    "swap": Source("trace+wgl", wp.SWAP, lambda m: 1, True, 0.0),
    "flip": Source("trace+ddraw", wp.FLIP, lambda m: 1, True, 0.0),
}


@dataclasses.dataclass
class FrameLog:
    """What one process wrote: frame reports (Wine clock stamp, frames since the report before),
    GL calls between consecutive reports, and its debug output lines."""
    source: Source
    events: list = dataclasses.field(default_factory=list)
    calls: list = dataclasses.field(default_factory=list)
    debug: list = dataclasses.field(default_factory=list)
    pending_calls: int = 0

    def take(self, line):
        """Files one stderr line; False for a line that is none of these (kept to explain a failure)."""
        m = self.source.pattern.match(line)
        frames = self.source.frames(m) if m else None
        if frames is not None:
            stamp = float(m.group(1)) if m.group(1) else wp.wine_clock()
            self.events.append((stamp, frames))
            self.calls.append(self.pending_calls)
            self.pending_calls = 0
            return True
        if wp.GL_CALL.match(line):
            self.pending_calls += 1
            return True
        if wp.DEBUGSTR.match(line):
            self.debug.append(line)
            return True
        return bool(wp.TRACE.match(line))

    def gl_strings(self):
        found = {}
        for line in wp.log_lines(self.debug):
            for name in ("VENDOR", "RENDERER", "VERSION"):
                if line.startswith(name.encode() + b":") and name.lower() not in found:
                    found[name.lower()] = line[len(name) + 1:].decode("cp1251", "replace").strip()
        return found
