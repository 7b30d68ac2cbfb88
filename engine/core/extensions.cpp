// Extension probe and entry-point fetch through wglGetProcAddress, with their log block.
#include "engine/core/extensions.h"

// The entry points are stored by member name, so the tables are named explicitly here.
#define GS_GL_NO_REDIRECT

#include <cstring>

#include "engine/core/engine_state.h"
#include "engine/core/extension_match.h"
#include "engine/core/gl_api.h"

namespace {

const char* const kProbedExtensions[] = {
    "GL_ARB_shadow",          "GL_ARB_shadow_ambient", "GL_ARB_vertex_shader",
    "GL_ARB_fragment_shader", "GL_ARB_shader_objects", "GL_ARB_shading_language_100",
    "GL_EXT_gpu_shader4",
};

struct EntryPoint {
  const char* name;  // fetched with wglGetProcAddress
  GlFetchGroup group;
  const char* foundLine;    // null: no line
  const char* missingLine;  // null: no line
  const char* capability;   // set when found; null: none
  void (*store)(PROC address);
};

#define GS_ENTRY_POINT(ret, name, params, args, group, found, missing, capability) \
  {#name, group, found, missing, capability, [](PROC address) { \
     glExt.name = reinterpret_cast<decltype(glExt.name)>(reinterpret_cast<void*>(address)); \
   }},
const EntryPoint kEntryPoints[] = {GS_GL_EXT_FUNCS(GS_ENTRY_POINT)};
#undef GS_ENTRY_POINT

// Each group starts after an empty line.
void FetchEntryPoints() {
  for (size_t i = 0; i < sizeof kEntryPoints / sizeof kEntryPoints[0]; ++i) {
    const EntryPoint& entry = kEntryPoints[i];
    if (i == 0 || entry.group != kEntryPoints[i - 1].group) engineLog << "" << std::endl;
    PROC address = glTable.wglGetProcAddress(entry.name);
    entry.store(address);
    const char* line = address ? entry.foundLine : entry.missingLine;
    if (line) engineLog << line << std::endl;
    if (address && entry.capability) SetCapability(entry.capability);
  }
}

}  // namespace

bool HasExtension(const char* name) {
  if (!name || !*name || std::strchr(name, ' ')) return false;  // the string is not even read
  return ExtensionListHas(reinterpret_cast<const char*>(glTable.glGetString(GL_EXTENSIONS)), name);
}

void SetCapability(const char* name) { capabilities[name] = 1; }

void LoadExtensions() {
  engineLog << " " << std::endl << "Init extensions" << std::endl << "" << std::endl;
  for (const char* name : kProbedExtensions)
    engineLog << name << (HasExtension(name) ? " exists" : " not exists") << std::endl;
  FetchEntryPoints();
  engineLog << "" << std::endl << "Init extensions success" << std::endl << " " << std::endl;
}
