// Binds the call table to the system's opengl32/glu32 exports, looked up at run time. The engine
// links neither library, so a GL call that bypasses the table (a function missing from
// gl_list.h) fails to link instead of reaching the driver unrecorded.
#define GS_GL_NO_REDIRECT
#include "engine/core/gl_api.h"

#include <cstring>

namespace {

// Loaded once; both stay loaded for the life of the process, as imported libraries would.
HMODULE OpenGlModule() {
  static HMODULE module = LoadLibraryA("opengl32.dll");
  return module;
}
HMODULE GluModule() {
  static HMODULE module = LoadLibraryA("glu32.dll");
  return module;
}

void* DriverExport(const char* name) {
  HMODULE module = std::strncmp(name, "glu", 3) == 0 ? GluModule() : OpenGlModule();
  return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

}  // namespace

GlTable DriverGlTable() {
  GlTable table{};
#define GS_GL_BIND(ret, name, params, args) \
  table.name = reinterpret_cast<decltype(table.name)>(DriverExport(#name));
  GS_GL_CORE_FUNCS(GS_GL_BIND)
#undef GS_GL_BIND
  return table;
}

GlTable glTable = DriverGlTable();
GlExtTable glExt = {};
