// The toolkit part of the image library: version, renderer choice and its switches. Under
// Windows its public header pulls in <windows.h> and the OpenGL headers.
#include <IL/ilut.h>

#include <set>

namespace {

// Switches this runtime knows; the toolkit's GL upload helpers are not part of it.
bool KnownSwitch(ILenum mode) {
  switch (mode) {
    case ILUT_OPENGL_CONV:
    case ILUT_GL_USE_S3TC:
    case ILUT_GL_GEN_S3TC:
    case ILUT_GL_AUTODETECT_TEXTURE_TARGET:
    case ILUT_PALETTE_MODE: return true;
    default: return false;
  }
}

std::set<ILenum>& Enabled() {
  static std::set<ILenum> enabled;
  return enabled;
}

}  // namespace

extern "C" {

void ILAPIENTRY ilutInit(void) {}

ILint ILAPIENTRY ilutGetInteger(ILenum Mode) { return Mode == ILUT_VERSION_NUM ? 180 : 0; }

ILboolean ILAPIENTRY ilutRenderer(ILenum Renderer) {
  return Renderer == ILUT_OPENGL || Renderer == ILUT_WIN32 ? IL_TRUE : IL_FALSE;
}

ILboolean ILAPIENTRY ilutEnable(ILenum Mode) {
  if (!KnownSwitch(Mode)) return IL_FALSE;
  Enabled().insert(Mode);
  return IL_TRUE;
}

ILboolean ILAPIENTRY ilutDisable(ILenum Mode) {
  if (!KnownSwitch(Mode)) return IL_FALSE;
  Enabled().erase(Mode);
  return IL_TRUE;
}

ILboolean ILAPIENTRY ilutIsEnabled(ILenum Mode) {
  return Enabled().count(Mode) ? IL_TRUE : IL_FALSE;
}

}  // extern "C"
