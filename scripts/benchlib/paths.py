"""The benchmark's one table of drawing paths: what runs, how its frames are counted, what it
draws, what it is compared with and what it must reach. Measuring, the report, results.json,
the targets and the sweep are all driven by it."""
import collections
import re

from wineplumbing import DEBUGSTR, FLIP, SWAP

PHRASE_GLYPHS = 33

# How a path's presented frames are counted, from the timestamped lines Wine prints on stderr.
#   channel: what WINEDEBUG must add; pattern: the line; frames: frames the line stands for (a
#   match -> int); per_frame: one line per frame (start-to-first-frame is then exact);
#   min_slice: shortest running time (s) that holds a whole period between two lines.
Source = collections.namedtuple("Source", "channel pattern frames per_frame min_slice")
_REPORTED = re.compile(r"^frames=(\d+)(?:\\n)?$")


def _reported_frames(match):
    m = _REPORTED.match(match.group(2))
    return int(m.group(1)) if m else None


SOURCES = {
    # One glxdrv_wglSwapBuffers trace line per SwapBuffers.
    "swap": Source("trace+wgl", SWAP, lambda m: 1, True, 0.0),
    # One ddraw_surface7_Flip trace line per flip.
    "flip": Source("trace+ddraw", FLIP, lambda m: 1, True, 0.0),
    # The program writes "frames=N" with OutputDebugStringA once a second: N frames presented
    # since its previous line.
    "debug": Source("+debugstr", DEBUGSTR, _reported_frames, False, 2.5),
}

# One row per path. args: the program's arguments, "{seconds}" and "{phrases}" filled in by
# the bench (a reference runs for "{seconds}", then ends by itself). launch: "glyphstorm"
# (a folder of its own with vtAPI.ini) or "bin" (runs in the build's bin folder). keys: pressed
# once after the first frame. group: the paths started together and measured in the same
# rounds. reference: the path this one is compared with; bar: the least ratio to it (a
# target), None for a comparison given as information. start_bar: start to first frame must
# stay below it (s). soak: --soak runs it. gl_calls: GL calls per frame are counted. sweep:
# --sweep measures it at several phrase counts; on_sweep: the sweep line this path is drawn on.
Path = collections.namedtuple("Path", "key name program args launch desktop source phrases keys group "
                              "reference bar start_bar soak gl_calls sweep on_sweep shot")


def _path(key, name, program, args, source, phrases, group, launch="bin", desktop=False, keys=(),
          reference=None, bar=None, start_bar=None, soak=False, gl_calls=False, sweep=False,
          on_sweep=None, shot=None):
    return Path(key, name, program, tuple(args), launch, desktop, source, phrases, tuple(keys), group,
                reference, bar, start_bar, soak, gl_calls, sweep, on_sweep, shot or key)


GL = ("{seconds}", "{phrases}")
PATHS = [
    _path("glyphstorm-mode2", "glyphstorm mode 2", "glyphstorm.exe", (), "swap", 199, "gl",
          launch="glyphstorm", reference="gl_reference-phrase", bar=0.97, start_bar=1.5, soak=True,
          gl_calls=True, on_sweep="gl_reference-phrase"),
    _path("gl_reference-phrase", "reference phrase quads", "gl_reference.exe", ("phrase",) + GL, "swap",
          199, "gl", gl_calls=True, sweep=True),
    _path("glyphstorm-mode1", "glyphstorm mode 1", "glyphstorm.exe", (), "swap", 199, "gl",
          launch="glyphstorm", keys=("1",), reference="gl_reference-glyphs", bar=0.97, soak=True,
          gl_calls=True, on_sweep="gl_reference-glyphs"),
    _path("gl_reference-glyphs", "reference glyph quads", "gl_reference.exe", ("glyphs",) + GL, "swap",
          199, "gl", gl_calls=True, sweep=True),
    _path("gl_reference-batched", "reference glyph quads batched", "gl_reference.exe", ("batched",) + GL,
          "swap", 199, "gl", reference="gl_reference-glyphs", gl_calls=True),
    _path("gl_reference-isotropic", "reference phrase quads, isotropic", "gl_reference.exe",
          ("isotropic",) + GL, "swap", 199, "gl", reference="gl_reference-phrase"),
    _path("gl_reference-empty", "reference empty frame", "gl_reference.exe", ("empty", "{seconds}"),
          "swap", 0, "gl", gl_calls=True),
    # The other text paths of the desktop, with glyphstorm2d's work on a plain window; each
    # program reports its own presented frames. They run before the DirectDraw group: once that
    # group has run in the same Wine server, GDI+ and Direct2D windows opened later on a bare
    # display stay black while their frames are still counted (seen here; the cause is Wine's).
    _path("gdiplus_reference", "GDI+ DrawString", "gdiplus_reference.exe", ("{seconds}", "{phrases}"), "debug",
          200, "2d-more"),
    _path("gdiplus_reference-antialias", "GDI+ DrawString, anti-aliased", "gdiplus_reference.exe",
          ("{seconds}", "{phrases}", "antialias"), "debug", 200, "2d-more"),
    _path("d2d_reference", "Direct2D DrawText", "d2d_reference.exe", ("{seconds}", "{phrases}"), "debug", 200,
          "2d-more"),
    _path("d2d_reference-layout", "Direct2D cached text layout", "d2d_reference.exe",
          ("{seconds}", "{phrases}", "layout"), "debug", 200, "2d-more"),
    _path("glyphstorm2d", "glyphstorm2d", "glyphstorm2d.exe", (), "flip", 200, "2d", desktop=True,
          reference="ddraw_reference-calls", bar=0.97, start_bar=1.5, soak=True, on_sweep="ddraw_reference"),
    _path("ddraw_reference-calls", "reference GDI text, same calls", "ddraw_reference.exe",
          ("{seconds}", "{phrases}", "exchange", "calls"), "flip", 200, "2d", desktop=True),
    _path("ddraw_reference", "reference GDI text", "ddraw_reference.exe", ("{seconds}", "{phrases}"), "flip",
          200, "2d", desktop=True, soak=True, sweep=True),
    # GDI on a window shares the 2D rounds, so what DirectDraw costs is a paired ratio.
    _path("gdi_reference", "GDI text on a window", "gdi_reference.exe", ("{seconds}", "{phrases}"), "debug",
          200, "2d", sweep=True),
]

# Groups measured in fewer rounds than the run's: GDI+ and Direct2D draw a few frames a second
# here, so each slice lasts seconds; they are compared with nothing round by round.
ROUNDS_CAP = {"2d-more": 8}

# Ratios shown as information beside the targets: (label, numerator, denominator, note).
INFO_RATIOS = [
    ("glyphstorm mode 2 / mode 1", "glyphstorm-mode2", "glyphstorm-mode1",
     "2.5× was asked for; this driver bounds it, see the next two lines"),
    ("driver bound: reference phrase / glyph quads", "gl_reference-phrase", "gl_reference-glyphs", None),
    ("the same without the phrase texture's 16× anisotropy", "gl_reference-isotropic", "gl_reference-glyphs",
     None),
    ("glyphstorm2d / reference GDI text (the bare 2D reference)", "glyphstorm2d", "ddraw_reference", None),
    ("GDI text on a window / on the DirectDraw back buffer", "gdi_reference", "ddraw_reference",
     "what DirectDraw itself costs glyphstorm2d"),
]
# The empty frame's share of a mode 2 frame: (label, part, whole).
SHARES = [("empty frame's share of a mode 2 frame", "gl_reference-empty", "glyphstorm-mode2")]

SWEEP_PHRASES = [25, 50, 100, 200, 400, 800]
MAX_PHRASES = 10000  # the most a sweep asks of a reference program (they take up to 100000)


def glyphs_per_frame(path, phrases=None):
    return (path.phrases if phrases is None else phrases) * PHRASE_GLYPHS if path.phrases else 0


def by_key(paths=None):
    return {p.key: p for p in (PATHS if paths is None else paths)}


def groups(paths):
    """The groups in table order, each with its paths in table order."""
    order = collections.OrderedDict()
    for p in paths:
        order.setdefault(p.group, []).append(p)
    return list(order.values())


def check(paths=None, info=None, shares=None):
    """Faults of the table: every name a row or line refers to must be a row of the same group
    where rounds pair them, every source kind known, every swept path must take a phrase count.
    Returns a list of messages (empty when the table is sound)."""
    paths = PATHS if paths is None else paths
    info = INFO_RATIOS if info is None else info
    shares = SHARES if shares is None else shares
    faults = []
    keys = [p.key for p in paths]
    known = by_key(paths)
    for key in sorted({k for k in keys if keys.count(k) > 1}):
        faults.append("key %s is used by more than one row" % key)
    for name in sorted({p.name for p in paths if [q.name for q in paths].count(p.name) > 1}):
        faults.append("name %r is used by more than one row" % name)
    for p in paths:
        if p.source not in SOURCES:
            faults.append("%s: unknown frame source %r" % (p.key, p.source))
        for field in ("reference", "on_sweep"):
            other = getattr(p, field)
            if other is not None and other not in known:
                faults.append("%s: %s %s is no row" % (p.key, field, other))
        if p.reference in known and known[p.reference].group != p.group:
            faults.append("%s: its reference %s is measured in another group" % (p.key, p.reference))
        if p.bar is not None and p.reference is None:
            faults.append("%s: a bar without a reference" % p.key)
        if p.on_sweep in known and not known[p.on_sweep].sweep:
            faults.append("%s: %s is not swept" % (p.key, p.on_sweep))
        if p.sweep and "{phrases}" not in p.args:
            faults.append("%s: swept, but takes no phrase count" % p.key)
    for label, *refs in [(l, a, b) for l, a, b, _ in info] + list(shares):
        for ref in refs:
            if ref not in known:
                faults.append("%s: %s is no row" % (label, ref))
    return faults


def arguments(path, seconds, phrases=None):
    """The program's command-line arguments with the bench's values filled in."""
    values = {"{seconds}": str(int(seconds)), "{phrases}": str(path.phrases if phrases is None else phrases)}
    return [values.get(a, a) for a in path.args]


def sweep_path(path, phrases):
    """The row of a swept path at another phrase count."""
    return path._replace(key="%s@%d" % (path.key, phrases), name="%s, %d phrases" % (path.name, phrases),
                         phrases=phrases, group="sweep-" + path.key, reference=None, bar=None,
                         start_bar=None, soak=False, gl_calls=False, sweep=False, on_sweep=None,
                         shot="%s-%d" % (path.shot, phrases))


def sweep_groups(paths=None, counts=None):
    """One group per swept path: the product paths drawn on its line, then the path at each
    phrase count."""
    paths = PATHS if paths is None else paths
    counts = counts or SWEEP_PHRASES
    result = []
    for line in [p for p in paths if p.sweep]:
        products = [p._replace(group="sweep-" + line.key, reference=None, bar=None, soak=False,
                               gl_calls=False) for p in paths if p.on_sweep == line.key]
        result.append((line, products, [sweep_path(line, n) for n in counts]))
    return result
