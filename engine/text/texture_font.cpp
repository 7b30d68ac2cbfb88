// Texture font loading from "Tahoma.txt" and glyph-quad drawing.
#include "engine/text/texture_font.h"

#include <cstring>
#include <fstream>
#include <new>

#include "engine/core/engine_state.h"
#include "engine/text/font_description.h"

namespace {

const char kFontFile[] = "Tahoma.txt";

char* CopyText(const std::string& text) {
  char* copy = new char[text.size() + 1];
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

void ApplyLine(TextureFont* font, const FontLine& line) {
  switch (line.kind) {
    case FontLineKind::Width: font->widths[line.code] = line.width; break;
    case FontLineKind::InternalName:
      delete[] font->internalName;
      font->internalName = CopyText(line.value);
      break;
    case FontLineKind::Texture:
      delete[] font->textureFile;
      font->textureFile = CopyText(line.value);
      {
        Texture* texture = new (std::nothrow) Texture{};
        font->glyphTexture = texture ? CreateTexture(texture, font->textureFile) : nullptr;
      }
      break;
    default: break;
  }
}

}  // namespace

void SetGlyphState(const TextureFont* font) {
  if (font->glyphTexture) ApplyTexture(font->glyphTexture);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glAlphaFunc(GL_GREATER, 0.1f);
  glEnable(GL_ALPHA_TEST);
}

TextureFont* LoadTextureFont(TextureFont* font) {
  // Whatever the file holds, the font starts empty and defined: no sheet, zero widths, an empty
  // phrase map, flags clear. Drawing and measuring work on that state.
  std::memset(font->widths, 0, sizeof font->widths);
  font->glyphBatchActive = 0;
  font->phraseBatchActive = 0;
  if (!font->phraseTextures) font->phraseTextures = new std::map<std::string, int>();

  engineLog << "гружу текстурный шрифт:" << kFontFile << std::endl;
  std::ifstream file(kFontFile, std::ios::binary);
  if (!file) {
    engineLog << "Нет такого шрифта:" << kFontFile << std::endl;
    return font;
  }
  std::string text;
  bool tooLong = false;
  for (size_t number = 1; NextFontLine(file, text, tooLong); ++number) {
    if (tooLong) {
      engineLog << kFontFile << ": line " << number << " is over " << kMaxFontLineBytes
                << " bytes and was skipped" << std::endl;
      continue;
    }
    ApplyLine(font, ParseFontLine(text));
  }
  font->glyphBatchActive = 0;
  file.close();
  font->phraseBatchActive = 0;
  engineLog << "загрузка текстурного шрифта закончилась успехом:" << kFontFile << std::endl;
  return font;
}

void DrawGlyphText(TextureFont* font, const char* text, int x, int y) {
  // Without a glyph sheet there is nothing to cut glyphs from: draw nothing.
  if (!font->glyphTexture) return;
  bool ownState = font->glyphBatchActive == 0;
  if (ownState) SetGlyphState(font);
  float pen = float(x);
  float top = float(y);
  float bottom = top + 16.0f;
  glBegin(GL_QUADS);
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
    float uLeft = (*c & 15) * 0.0625f;
    float vTop = (*c >> 4) * 0.0625f;
    float uRight = uLeft + 0.0625f;
    float vBottom = vTop + 0.0625f;
    glTexCoord2f(uLeft, vTop);
    glVertex3f(pen, top, 0.0f);
    glTexCoord2f(uLeft, vBottom);
    glVertex3f(pen, bottom, 0.0f);
    glTexCoord2f(uRight, vBottom);
    glVertex3f(pen + 16.0f, bottom, 0.0f);
    glTexCoord2f(uRight, vTop);
    glVertex3f(pen + 16.0f, top, 0.0f);
    pen += float(font->widths[*c]);
  }
  glEnd();
  if (ownState) {
    glDisable(GL_ALPHA_TEST);
    glDisable(font->glyphTexture->target);
  }
}

uint32_t MeasurePhrase(const TextureFont* font) {
  uint32_t sum = 0;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(TestPhrase); *c; ++c)
    sum += uint32_t(font->widths[*c]);
  return sum;
}
