// The recording versions of every listed GL function, generated from the same list as the table.
#define GS_GL_NO_REDIRECT
#include "engine/core/gl_recorder.h"

#include "engine/core/gl_api.h"

namespace {

GlTable replacedTable;
GlExtTable replacedExt;
bool forwarding;
bool recording;
std::vector<std::string> calls;

// Logs one call: GlCallLogger{"glBegin"}(mode).
struct GlCallLogger {
  const char* name;
  template <typename... A>
  void operator()(A... args) const {
    calls.push_back(GlCallText(name, args...));
  }
};

template <typename T>
T NothingReturned() {
  if constexpr (!std::is_void_v<T>) return T{};
}

#define GS_GL_CORE_RECORDER(ret, name, params, args) \
  ret APIENTRY Record_##name params { \
    GlCallLogger{#name} args; \
    return forwarding ? replacedTable.name args : NothingReturned<ret>(); \
  }
#define GS_GL_EXT_RECORDER(ret, name, params, args, group, found, missing, capability) \
  ret APIENTRY Record_##name params { \
    GlCallLogger{#name} args; \
    return forwarding ? replacedExt.name args : NothingReturned<ret>(); \
  }
GS_GL_CORE_FUNCS(GS_GL_CORE_RECORDER)
GS_GL_EXT_FUNCS(GS_GL_EXT_RECORDER)

}  // namespace

void StartGlRecording(bool forward) {
  if (recording) StopGlRecording();
  recording = true;
  forwarding = forward;
  replacedTable = glTable;
  replacedExt = glExt;
#define GS_GL_INSTALL_CORE(ret, name, params, args) glTable.name = Record_##name;
#define GS_GL_INSTALL_EXT(ret, name, params, args, group, found, missing, capability) \
  if (glExt.name) glExt.name = Record_##name;
  GS_GL_CORE_FUNCS(GS_GL_INSTALL_CORE)
  GS_GL_EXT_FUNCS(GS_GL_INSTALL_EXT)
}

void StopGlRecording() {
  if (!recording) return;
  recording = false;
  glTable = replacedTable;
#define GS_GL_RESTORE_EXT(ret, name, params, args, group, found, missing, capability) \
  if (glExt.name == Record_##name) glExt.name = replacedExt.name;
  GS_GL_EXT_FUNCS(GS_GL_RESTORE_EXT)
}

const std::vector<std::string>& RecordedGlCalls() { return calls; }
void ClearRecordedGlCalls() { calls.clear(); }
