// InitEngine/DeInitEngine: window, extensions, default GL state, card report, sound and image
// library checks, default font; and the matching shutdown.
#include "engine/core/startup.h"

#include <IL/ilu.h>
#include <IL/ilut.h>
#include <bass.h>

#include <cstdlib>

#include "engine/core/engine_state.h"
#include "engine/core/extensions.h"
#include "engine/core/gl_api.h"
#include "engine/core/window.h"

BitmapFont* defaultFont;

SoundVersionFunction soundVersionSource = BASS_GetVersion;
ImageVersionFunction ilVersionSource = ilGetInteger;
ImageVersionFunction iluVersionSource = iluGetInteger;
ImageVersionFunction ilutVersionSource = ilutGetInteger;

namespace {

const int kRequiredImageVersion = 168;

void SetDefaultGlState() {
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  const GLenum hints[] = {
      GL_PERSPECTIVE_CORRECTION_HINT, GL_POINT_SMOOTH_HINT, GL_LINE_SMOOTH_HINT,
      GL_POLYGON_SMOOTH_HINT,         GL_FOG_HINT,          GL_GENERATE_MIPMAP_HINT,
      GL_TEXTURE_COMPRESSION_HINT};
  for (GLenum hint : hints) glHint(hint, GL_NICEST);
  textureFilterLevel = 3;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
  glDisable(GL_STENCIL_TEST);
}

// A driver may answer no string; the line then ends after its label.
const char* GlText(GLenum name) {
  const GLubyte* text = glGetString(name);
  return text ? reinterpret_cast<const char*>(text) : "";
}

void LogCardStats() {
  engineLog << "" << std::endl << "VideoCard stats:" << std::endl;
  glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maxAnisotropy);
  engineLog << "Max Anistropic Level:" << maxAnisotropy << std::endl;
  const struct {
    const char* label;
    GLenum query;
  } queries[] = {
      {"Max Tex units:", GL_MAX_TEXTURE_UNITS},
      {"Max Bindable Uniform Size:", GL_MAX_BINDABLE_UNIFORM_SIZE_EXT},
      {"Bindable Uniform Vertex:", GL_MAX_VERTEX_BINDABLE_UNIFORMS_EXT},
      {"Bindable Uniform Fragment:", GL_MAX_FRAGMENT_BINDABLE_UNIFORMS_EXT},
      {"Bindable Uniform Geometry:", GL_MAX_GEOMETRY_BINDABLE_UNIFORMS_EXT},
  };
  for (const auto& entry : queries) {
    GLint value = 0;  // stays 0 when the driver does not know the query
    glGetIntegerv(entry.query, &value);
    engineLog << entry.label << value << std::endl;
  }
}

bool ImageVersionOk(ImageVersionFunction source, ILenum query, const char* error) {
  if (source(query) >= kRequiredImageVersion) return true;
  engineLog << error << std::endl << "     must be:" << kRequiredImageVersion << std::endl;
  return false;
}

void StartImageLibrary() {
  bool ok =
      ImageVersionOk(ilVersionSource, IL_VERSION_NUM, "(ERROR)DevIL(devil.dll) Version Incorrect!");
  ok =
      ImageVersionOk(iluVersionSource, ILU_VERSION_NUM, "(ERROR)ILU(ilu.dll) Version Incorrect!") &&
      ok;
  if (!ImageVersionOk(ilutVersionSource, ILUT_VERSION_NUM,
                      "(ERROR)ILUT(ilut.dll) Version Incorrect!"))
    return;
  if (!ok) return;
  ilInit();
  iluInit();
  ilutInit();
  ilutRenderer(ILUT_OPENGL);
  ilSetInteger(IL_KEEP_DXTC_DATA, 1);
  ilutEnable(ILUT_GL_AUTODETECT_TEXTURE_TARGET);
  ilutEnable(ILUT_OPENGL_CONV);
  ilutEnable(ILUT_GL_USE_S3TC);
  engineLog << "DevIL init success" << std::endl;
}

}  // namespace

void InitSound() {
  if (HIWORD(soundVersionSource()) != 0x0203) {
    engineLog << "Ошибка версии бибилиотеки BASS" << std::endl;
    engineLog << "Версия библиотеки:" << 0x0203 << std::endl;
    soundReady = false;
    return;
  }
  engineLog << "Версия успешно сверена" << std::endl;
  engineLog << "Версия библиотеки:" << static_cast<unsigned>(soundVersionSource()) << std::endl;
  soundReady = true;
  if (!BASS_Init(-1, 22050, 4, nullptr, nullptr)) {
    engineLog << "Ошибка инициализации звука" << std::endl;
    soundReady = false;
  } else {
    engineLog << "Звук успешно инициализирован" << std::endl;
  }
}

bool InitEngine(int width, int height, int bpp, int fullscreenSetting) {
  if (fullscreenSetting == 1) fullscreen = true;
  if (fullscreenSetting == 2) fullscreen = false;
  active = true;
  if (!OpenWindow(width, height, bpp)) return false;
  screenWidth = width;
  screenHeight = height;
  LoadExtensions();
  for (bool& key : keys) key = false;
  SetDefaultGlState();
  if (wglSwapIntervalEXT) wglSwapIntervalEXT(1);
  std::srand(readTickCount());
  engineLog << "VENDOR:" << GlText(GL_VENDOR) << std::endl;
  engineLog << "RENDERER:" << GlText(GL_RENDERER) << std::endl;
  engineLog << "VERSION:" << GlText(GL_VERSION) << std::endl;
  engineLog << "Init succes by params (" << width << "," << height << "," << bpp << ","
            << fullscreenSetting << ")" << std::endl;
  LogCardStats();
  InitSound();
  StartImageLibrary();
  shadersEnabled = capabilities["shaders"];
  defaultFont = CreateDefaultFont(new BitmapFont{});
  engineLog << "Шрифт по умолчанию загружен (Tahoma 10px)" << std::endl;
  return true;
}

bool DeInitEngine() {
  if (soundReady) BASS_Free();
  engineLog << "DeInit" << std::endl << "Logging closed" << std::endl;
  engineLog.close();
  if (defaultFont) {
    glDeleteLists(defaultFont->listBase, 224);
    delete defaultFont;
    defaultFont = nullptr;
  }
  return CloseWindow();
}
