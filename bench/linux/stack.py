"""The stack a run measures: Mesa's GL driver (the programs' environment), Wine's DirectDraw
renderer (the bench prefix's registry) and Wine's version."""
import os
import subprocess

from linux import wineplumbing as wp

GL_DRIVERS = ["llvmpipe", "softpipe"]
DDRAW_RENDERERS = ["gl", "gdi"]
D3D_KEY = r"HKCU\Software\Wine\Direct3D"


def choose(runner, prefix_env, gl_driver=None, ddraw_renderer=None):
    """Sets the stack up; returns the programs' environment and the stack's description. The
    renderer is written or removed each run: the prefix outlives a run."""
    env, gl = {}, "Mesa's default"
    if gl_driver:
        env = {"GALLIUM_DRIVER": gl_driver, "LIBGL_ALWAYS_SOFTWARE": "1"}
        gl = gl_driver
    quiet = dict(os.environ, WINEDEBUG="-all", **prefix_env)
    if ddraw_renderer:
        subprocess.run([runner, "reg", "add", D3D_KEY, "/v", "renderer", "/d", ddraw_renderer, "/f"],
                       env=quiet, capture_output=True, check=True)
        renderer = ddraw_renderer
    else:
        subprocess.run([runner, "reg", "delete", D3D_KEY, "/v", "renderer", "/f"], env=quiet, capture_output=True)
        renderer = "Wine's default (gl)"
    return env, {"gl_driver": gl, "ddraw_renderer": renderer}


def wine_version(arch):
    try:
        return subprocess.run([wp.wine_binary(arch), "--version"], capture_output=True,
                              text=True).stdout.strip() or "unknown"
    except OSError:
        return "unknown"
