// Extension probe and entry-point fetch through wglGetProcAddress, with their log block.
#include "engine/core/extensions.h"

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
  const char* name;         // fetched with wglGetProcAddress
  const char* foundLine;    // null: no line
  const char* missingLine;  // null: no line
  const char* capability;   // set when found; null: none
  void (*store)(PROC address);
};

#define GS_STORE(member) \
  [](PROC address) { \
    member = reinterpret_cast<decltype(member)>(reinterpret_cast<void*>(address)); \
  }

const EntryPoint kEntryPoints[] = {
    {"glTexImage3D", nullptr, nullptr, nullptr, GS_STORE(glTexImage3D)},
    {"glGenBuffersARB", "glGenBuffersARB init", "glGenBuffersARB not init", nullptr,
     GS_STORE(glGenBuffersARB)},
    {"glBindBufferARB", "glBindBufferARB init", "glBindBufferARB not init", nullptr,
     GS_STORE(glBindBufferARB)},
    {"glBufferDataARB", "glBufferDataARB init", "glBufferDataARB not init", nullptr,
     GS_STORE(glBufferDataARB)},
    {"glDeleteBuffersARB", "glDeleteBuffersARB init", "glDeleteBuffersARB not init", nullptr,
     GS_STORE(glDeleteBuffersARB)},
    {"glDrawRangeElements", "glDrawRangeElements init", "glDrawRangeElements not init", nullptr,
     GS_STORE(glDrawRangeElements)},
    {"glCompressedTexImage2DARB", "glCompressedTexImage2D init", "glCompressedTexImage2D not init",
     "texture_compressing", GS_STORE(glCompressedTexImage2DARB)},
    {"glDrawArraysInstancedEXT", "glDrawArraysInstancedEXT init",
     "glDrawArraysInstancedEXT not init", nullptr, GS_STORE(glDrawArraysInstancedEXT)},
    {"glDrawElementsInstancedEXT", "glDrawElementsInstancedEXT init",
     "glDrawElementsInstancedEXT not init", "instansing", GS_STORE(glDrawElementsInstancedEXT)},
    {"glActiveTexture", "glActiveTexture init", "glActiveTexture not init", nullptr,
     GS_STORE(glActiveTexture)},
    {"glCreateShaderObjectARB", "glCreateShaderObjectARB init", "glCreateShaderObjectARB not init",
     "shaders", GS_STORE(glCreateShaderObjectARB)},
    {"glCreateProgramObjectARB", "glCreateProgramObjectARB init",
     "glCreateProgramObjectARB not init", nullptr, GS_STORE(glCreateProgramObjectARB)},
    {"glAttachObjectARB", "glAttachObjectARB init", "glAttachObjectARB not init", nullptr,
     GS_STORE(glAttachObjectARB)},
    {"glDetachObjectARB", "glDetachObjectARB init", "glDetachObjectARB not init", nullptr,
     GS_STORE(glDetachObjectARB)},
    {"glDeleteObjectARB", "glDeleteObjectARB init", "glDeleteObjectARB not init", nullptr,
     GS_STORE(glDeleteObjectARB)},
    {"glShaderSourceARB", "glShaderSourceARB init", "glShaderSourceARB not init", nullptr,
     GS_STORE(glShaderSourceARB)},
    {"glCompileShaderARB", "glCompileShaderARB init", "glCompileShaderARB not init", nullptr,
     GS_STORE(glCompileShaderARB)},
    {"glLinkProgramARB", "glLinkProgramARB init", "glLinkProgramARB not init", nullptr,
     GS_STORE(glLinkProgramARB)},
    {"glValidateProgramARB", "glValidateProgramARB init", "glValidateProgramARB not init", nullptr,
     GS_STORE(glValidateProgramARB)},
    {"glUseProgramObjectARB", "glUseProgramObjectARB init", "glUseProgramObjectARB not init",
     nullptr, GS_STORE(glUseProgramObjectARB)},
    {"glGetObjectParameterivARB", "glGetObjectParameterivARB init",
     "glGetObjectParameterivARB not init", nullptr, GS_STORE(glGetObjectParameterivARB)},
    {"glGetInfoLogARB", "glGetInfoLogARB init", "glGetInfoLogARB not init", nullptr,
     GS_STORE(glGetInfoLogARB)},
    {"glUniform1fARB", "glUniform1fARB init", "glUniform1fARB not init", nullptr,
     GS_STORE(glUniform1fARB)},
    {"glUniform1iARB", "glUniform1iARB init", "glUniform1iARB not init", nullptr,
     GS_STORE(glUniform1iARB)},
    {"glGetUniformLocationARB", "glGetUniformLocationARB init", "glGetUniformLocationARB not init",
     nullptr, GS_STORE(glGetUniformLocationARB)},
};

const EntryPoint kSwapIntervalEntryPoints[] = {
    {"wglSwapIntervalEXT", "wglSwapIntervalEXT init", "wglSwapIntervalEXTnot init", nullptr,
     GS_STORE(wglSwapIntervalEXT)},
    {"wglGetSwapIntervalEXT", "wglGetSwapIntervalEXT init", "wglGetSwapIntervalEXT not init",
     nullptr, GS_STORE(wglGetSwapIntervalEXT)},
};

#undef GS_STORE

template <size_t N>
void Fetch(const EntryPoint (&entryPoints)[N]) {
  for (const EntryPoint& entry : entryPoints) {
    PROC address = wglGetProcAddress(entry.name);
    entry.store(address);
    const char* line = address ? entry.foundLine : entry.missingLine;
    if (line) engineLog << line << std::endl;
    if (address && entry.capability) SetCapability(entry.capability);
  }
}

}  // namespace

bool HasExtension(const char* name) {
  if (!name || !*name || std::strchr(name, ' ')) return false;  // the string is not even read
  return ExtensionListHas(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

void SetCapability(const char* name) { capabilities[name] = 1; }

void LoadExtensions() {
  engineLog << " " << std::endl << "Init extensions" << std::endl << "" << std::endl;
  for (const char* name : kProbedExtensions)
    engineLog << name << (HasExtension(name) ? " exists" : " not exists") << std::endl;
  engineLog << "" << std::endl;
  Fetch(kEntryPoints);
  engineLog << "" << std::endl;
  Fetch(kSwapIntervalEntryPoints);
  engineLog << "" << std::endl << "Init extensions success" << std::endl << " " << std::endl;
}
