// Win32/OpenGL seam: every OpenGL, GLU and WGL call of the engine goes through glTable (core
// functions, bound to opengl32/glu32) or glExt (extension entry points, null until fetched).
// Including this header turns plain calls like glBegin(GL_QUADS) into calls through the tables,
// so tests can swap in the recorder (gl_recorder.h) without the engine noticing.
#pragma once

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glext.h>

#include "engine/core/gl_list.h"

#define GS_GL_MEMBER(ret, name, params, args) ret(APIENTRY* name) params;
#define GS_GL_EXT_MEMBER(ret, name, params, args, group, found, missing, capability) \
  GS_GL_MEMBER(ret, name, params, args)
struct GlTable {
  GS_GL_CORE_FUNCS(GS_GL_MEMBER)
};
struct GlExtTable {
  GS_GL_EXT_FUNCS(GS_GL_EXT_MEMBER)
};
#undef GS_GL_EXT_MEMBER
#undef GS_GL_MEMBER

extern GlTable glTable;
extern GlExtTable glExt;

// The real driver's functions, for restoring glTable after a test changed it.
GlTable DriverGlTable();

// The first core entry the libraries did not provide (function null when none is missing): a
// call through it would fault, where an import would have stopped the program at load.
struct GlTableGap {
  const char* function;
  const char* library;  // the file it is looked up in
  bool libraryLoaded;
};
GlTableGap FindGlTableGap(const GlTable& table);

#ifndef GS_GL_NO_REDIRECT
#include "gl_redirect.h"  // generated from gl_list.h: #define glBegin glTable.glBegin, ...
#endif
