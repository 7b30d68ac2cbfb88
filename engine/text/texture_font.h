// Texture font: single-byte text drawn as 16 × 16 glyph quads cut from a 16 × 16-cell sheet,
// and the static phrase cache that draws the benchmark phrase as one quad.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "engine/texture/texture.h"

// The benchmark's phrase: 33 bytes of Windows-1251 text.
extern const char TestPhrase[34];

class TextureFont {
 public:
  Texture* glyphTexture;  // null: a font without a glyph sheet
  int32_t widths[256];
  char* internalName;
  char* textureFile;
  int glyphBatchActive;   // the caller has set the glyph state for a whole batch
  int phraseBatchActive;  // the phrase texture is bound for the current batch
  std::map<std::string, int>* phraseTextures;  // phrase -> GL texture name, 0 = none yet
  float phraseU;
  float phraseV;
  float phraseQuadWidth;
  float phraseQuadHeight;

  // Draw the cached phrase with its top-left corner at (x, y).
  void DrawStaticPhrase(int x, int y);
};

// Fill a freshly allocated font from "Tahoma.txt" in the working directory.
TextureFont* LoadTextureFont(TextureFont* font);
// The glyph state: the sheet applied (when there is one), blending and the alpha test on. Set by
// DrawGlyphText around its own quads, or once by the caller for a whole glyph batch.
void SetGlyphState(const TextureFont* font);
// Draw text with the top-left corner of its first glyph at (x, y).
void DrawGlyphText(TextureFont* font, const char* text, int x, int y);
// Sum of the advance widths of TestPhrase, wrapping in 32 bits.
uint32_t MeasurePhrase(const TextureFont* font);

// Render TestPhrase once, read it back and keep it as the phrase texture.
void AddStaticPhrase(TextureFont* font);
// Enter the phrase batch: bind the phrase texture (made on first use) and set its state.
void BeginStaticPhrase(TextureFont* font);
