// The static phrase cache: TestPhrase rendered once, read back into a texture, drawn as a quad.
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/text/phrase_texels.h"
#include "engine/text/texture_font.h"

namespace {

// The read-back never takes more columns than the widest phrase texture holds, so an extreme
// phrase width cannot size the buffers past what is used.
const uint32_t kMaxReadWidth = 4096;

void EmitPhraseQuad(float x, float y, float u, float v, float width, float height) {
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, v);
  glVertex3f(x, y, 1.0f);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(x, y + height, 1.0f);
  glTexCoord2f(u, 0.0f);
  glVertex3f(x + width, y + height, 1.0f);
  glTexCoord2f(u, v);
  glVertex3f(x + width, y, 1.0f);
  glEnd();
}

void SetPhraseState(int name) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, GLuint(name));
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

}  // namespace

void AddStaticPhrase(TextureFont* font) {
  std::map<std::string, int>& textures = *font->phraseTextures;
  if (textures[TestPhrase] != 0) return;
  uint32_t a = MeasurePhrase(font);
  uint32_t fw = PhraseTextureWidth(a);
  uint32_t readWidth = a < kMaxReadWidth ? a : kMaxReadWidth;

  glClear(GL_COLOR_BUFFER_BIT);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  DrawGlyphText(font, TestPhrase, 21, screenHeight - 75);
  glFinish();

  // 16 rows of pixels and one spare byte, zero, so the last pixel's alpha is 0 (transparent).
  std::vector<uint8_t> readBack(size_t(readWidth) * 64 + 1, 0);
  std::vector<uint8_t> texels(size_t(fw) * 64);
  glReadPixels(20, 60, GLsizei(readWidth), 16, GL_RGBA, GL_UNSIGNED_BYTE, readBack.data());
  BuildPhraseTexels(readBack.data(), readWidth, fw, texels.data());

  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
  // Magnification takes the texel part of the minification setting: nearest, which keeps the
  // pixel-exact phrase crisp.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 16.0f);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, GLint(fw), 16, GL_RGBA, GL_UNSIGNED_BYTE,
                    texels.data());
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  font->phraseU = float(a) / float(fw);
  font->phraseV = 1.0f;

  engineLog << "w=" << a << std::endl;
  engineLog << "h=" << 16u << std::endl;
  engineLog << "fw=" << fw << std::endl;
  engineLog << "fh=" << 16u << std::endl;
  textures[TestPhrase] = int(name);
  engineLog << "static draw add frase:" << TestPhrase << std::endl;
}

void BeginStaticPhrase(TextureFont* font) {
  if (font->phraseBatchActive) return;
  int name = (*font->phraseTextures)[TestPhrase];
  if (name == 0) {
    AddStaticPhrase(font);
    name = (*font->phraseTextures)[TestPhrase];
  }
  font->phraseQuadWidth = float(MeasurePhrase(font));
  font->phraseQuadHeight = 16.0f;
  SetPhraseState(name);
  glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, -2.0f);
  font->phraseBatchActive = 1;
}

void TextureFont::DrawStaticPhrase(int x, int y) {
  if (phraseBatchActive) {
    EmitPhraseQuad(float(x), float(y), phraseU, phraseV, phraseQuadWidth, phraseQuadHeight);
    return;
  }
  int name = (*phraseTextures)[TestPhrase];
  if (!glyphTexture) {
    engineLog << "texserrore" << std::endl;
    return;
  }
  // Outside a batch the phrase is never made here; before it exists there is nothing to draw.
  if (name == 0) return;
  float width = float(MeasurePhrase(this));
  SetPhraseState(name);
  EmitPhraseQuad(float(x), float(y), phraseU, phraseV, width, 16.0f);
  glDisable(GL_TEXTURE_2D);
}
