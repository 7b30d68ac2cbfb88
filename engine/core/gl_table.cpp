// Binds the call table to the system's opengl32/glu32 exports.
#define GS_GL_NO_REDIRECT
#include "engine/core/gl_api.h"

GlTable DriverGlTable() {
#define GS_GL_BIND(ret, name, params, args) &::name,
  return GlTable{GS_GL_CORE_FUNCS(GS_GL_BIND)};
#undef GS_GL_BIND
}

GlTable glTable = DriverGlTable();
GlExtTable glExt = {};
