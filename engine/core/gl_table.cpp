// Binds the call table to the system's opengl32/glu32 exports, looked up at run time. The engine
// links neither library, so a GL call that bypasses the table (a function missing from
// gl_list.h) fails to link instead of reaching the driver unrecorded.
#define GS_GL_NO_REDIRECT
// Declares the extension entry points too, so their list entries can be checked below.
#define GL_GLEXT_PROTOTYPES
#define WGL_WGLEXT_PROTOTYPES
#include "engine/core/gl_api.h"

#include <GL/wglext.h>

#include <cstring>
#include <type_traits>

// The binding's cast accepts any signature, and the recorder shares the list's types, so a
// wrong parameter type in gl_list.h would only show as an unbalanced stdcall stack on i686.
// Each entry must therefore have the very type the system headers declare (unevaluated: nothing
// is linked for it).
#define GS_GL_SAME_AS_HEADER(table, name) \
  static_assert(std::is_same<decltype(&::name), decltype(table::name)>::value, \
                #name " in gl_list.h differs from its declaration in the system headers");
#define GS_GL_CORE_CHECK(ret, name, params, args) GS_GL_SAME_AS_HEADER(GlTable, name)
#define GS_GL_EXT_CHECK(ret, name, params, args, group, found, missing, capability) \
  GS_GL_SAME_AS_HEADER(GlExtTable, name)
GS_GL_CORE_FUNCS(GS_GL_CORE_CHECK)
GS_GL_EXT_FUNCS(GS_GL_EXT_CHECK)
#undef GS_GL_EXT_CHECK
#undef GS_GL_CORE_CHECK
#undef GS_GL_SAME_AS_HEADER

namespace {

const char* LibraryOf(const char* name) {
  return std::strncmp(name, "glu", 3) == 0 ? "glu32.dll" : "opengl32.dll";
}

// Loaded once; both stay loaded for the life of the process, as imported libraries would.
HMODULE ModuleOf(const char* name) {
  static HMODULE openGl = LoadLibraryA("opengl32.dll");
  static HMODULE glu = LoadLibraryA("glu32.dll");
  return std::strcmp(LibraryOf(name), "glu32.dll") == 0 ? glu : openGl;
}

void* DriverExport(const char* name) {
  HMODULE module = ModuleOf(name);
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

GlTableGap FindGlTableGap(const GlTable& table) {
#define GS_GL_GAP(ret, name, params, args) \
  if (!table.name) return GlTableGap{#name, LibraryOf(#name), ModuleOf(#name) != nullptr};
  GS_GL_CORE_FUNCS(GS_GL_GAP)
#undef GS_GL_GAP
  return GlTableGap{};
}

GlTable glTable = DriverGlTable();
GlExtTable glExt = {};
