// The GL reference program's textures and GL state, as glyphstorm sets them (Win32 and OpenGL).
#include <GL/glu.h>
#include <GL/glext.h>
#include <IL/il.h>

#include <cstring>

#include "gl_reference.h"

namespace {

// The largest glyph sheet side taken: the most GL drivers take, and size² · 4 fits 32 bits.
const int kMaxSheetSize = 16384;

}  // namespace

// glyphstorm's start-up defaults that touch drawing: culling, clear values, depth function.
void SetDefaultState() {
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);
  glShadeModel(GL_SMOOTH);
  glClearColor(0, 0, 0, 0);
  glClearDepth(1.0);
  glDepthFunc(GL_LESS);
  glDisable(GL_DEPTH_TEST);
  // glyphstorm's mode 2 sets this bias first, and it stays for all later texture drawing.
  glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, -2.0f);
}

// The glyph sheet as glyphstorm makes it: mipmapped, trilinear, modulated.
bool LoadSheet(GlTextures& t, std::vector<unsigned char>& rgba, int& size) {
  ilInit();
  ILuint image = 0;
  ilGenImages(1, &image);
  ilBindImage(image);
  if (!ilLoadImage("Tahoma.png") || ilGetInteger(IL_IMAGE_FORMAT) != GL_RGBA) return false;
  size = ilGetInteger(IL_IMAGE_WIDTH);
  if (size < 16 || size > kMaxSheetSize || ilGetInteger(IL_IMAGE_HEIGHT) != size) return false;
  // The copy takes size² RGBA texels: a library holding fewer is refused, not read past.
  const unsigned char* data = ilGetData();
  size_t bytes = size_t(size) * size * 4;
  ILint held = ilGetInteger(IL_IMAGE_SIZE_OF_DATA);
  if (!data || held < 0 || size_t(held) < bytes) return false;
  rgba.assign(data, data + bytes);
  ilDeleteImages(1, &image);
  glGenTextures(1, &t.sheet);
  glBindTexture(GL_TEXTURE_2D, t.sheet);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 4, size, size, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return true;
}

// The phrase texture, composed on the CPU from the sheet's alpha (white texels, the phrase's
// bottom row first, zero past the phrase width) with glyphstorm's size and filters.
void MakePhraseTexture(GlTextures& t, const GlyphWidths& widths,
                       const std::vector<unsigned char>& sheet, int size, bool anisotropic) {
  int fw = 4;
  while (fw < widths.phraseWidth && fw < 4096) fw *= 2;
  int cell = size / 16;
  std::vector<unsigned char> texels(size_t(fw) * 16 * 4, 0);
  for (int k = 0; k < widths.phraseWidth && k < fw; ++k)
    for (int row = 0; row < 16; ++row) std::memset(&texels[(size_t(row) * fw + k) * 4], 255, 3);
  int pen = 0;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(kGlPhrase); *c; ++c) {
    for (int row = 0; row < 16 && row < cell; ++row) {
      for (int k = 0; k < 16 && k < cell; ++k) {
        int x = pen + k;
        if (x < 0 || x >= widths.phraseWidth || x >= fw) continue;
        size_t from = ((size_t((*c >> 4) * cell + row) * size) + (*c & 15) * cell + k) * 4 + 3;
        unsigned char& alpha = texels[(size_t(15 - row) * fw + x) * 4 + 3];
        if (sheet[from] > alpha) alpha = sheet[from];
      }
    }
    pen += widths.advance[*c];
  }
  glGenTextures(1, &t.phrase);
  glBindTexture(GL_TEXTURE_2D, t.phrase);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  if (anisotropic) glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 16.0f);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, fw, 16, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  t.phraseU = float(widths.phraseWidth) / float(fw);
}

void SetProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kGlWidth, kGlHeight, 0, -1, 1);
  glTranslatef(0.375f, 0.375f, 0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void EnterGlyphState(const GlTextures& t) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, t.sheet);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glAlphaFunc(GL_GREATER, 0.1f);
  glEnable(GL_ALPHA_TEST);
}

void LeaveGlyphState() {
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_TEXTURE_2D);
}
