// The GL reference program's paths of OpenGL 1.1: immediate-mode glyph and phrase quads, and the
// glyph quads from one client-side vertex array (Win32 and OpenGL).
#include "gl_reference.h"

void DrawGlyphs(const GlyphWidths& widths, const char* text, int x, int y) {
  float pen = float(x), top = float(y);
  QuadCorner corners[4];
  glBegin(GL_QUADS);
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
    GlyphQuadCorners(*c, pen, top, corners);
    for (const QuadCorner& k : corners) {
      glTexCoord2f(k.u, k.v);
      glVertex3f(k.x, k.y, 0);
    }
    pen += float(widths.advance[*c]);
  }
  glEnd();
}

void DrawGlyphPhrases(const GlFrame& f) {
  EnterGlyphState(f.textures);
  for (int i = 0; i < f.phrases; ++i) {
    PhrasePlace p = NextPhrasePlace(f.widths.phraseWidth);
    glColor4f(p.color[0] / 255.0f, p.color[1] / 255.0f, p.color[2] / 255.0f, 1.0f);
    DrawGlyphs(f.widths, kGlPhrase, p.x, p.y);
  }
}

void DrawPhraseQuads(const GlFrame& f) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, f.textures.phrase);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  float w = float(f.widths.phraseWidth), u = f.textures.phraseU;
  for (int i = 0; i < f.phrases; ++i) {
    PhrasePlace p = NextPhrasePlace(f.widths.phraseWidth);
    glColor4f(p.color[0] / 255.0f, p.color[1] / 255.0f, p.color[2] / 255.0f, 1.0f);
    float left = float(p.x), top = float(p.y);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex3f(left, top, 1);
    glTexCoord2f(0, 0);
    glVertex3f(left, top + kGlyphPixels, 1);
    glTexCoord2f(u, 0);
    glVertex3f(left + w, top + kGlyphPixels, 1);
    glTexCoord2f(u, 1);
    glVertex3f(left + w, top, 1);
    glEnd();
  }
  glDisable(GL_TEXTURE_2D);
  EnterGlyphState(f.textures);
}

void PrepareBatch(GlFrame& f) {
  f.batch.resize(size_t(f.phrases) * kGlPhraseGlyphs * 4);
  if (f.batch.empty()) return;  // no phrases: nothing to point the arrays at, nothing drawn
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, sizeof(GlyphVertex), &f.batch[0].u);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(GlyphVertex), f.batch[0].color);
  glVertexPointer(3, GL_FLOAT, sizeof(GlyphVertex), &f.batch[0].x);
}

// All glyph quads of the frame in one client-side vertex array and one draw call.
void DrawBatchedGlyphs(GlFrame& f) {
  EnterGlyphState(f.textures);
  GlyphVertex* out = f.batch.data();
  for (int i = 0; i < f.phrases; ++i)
    out = WritePhraseQuads(f.widths, NextPhrasePlace(f.widths.phraseWidth), out);
  glDrawArrays(GL_QUADS, 0, GLsizei(out - f.batch.data()));
}
