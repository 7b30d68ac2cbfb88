// The engine's default font: bitmap glyph display lists of Tahoma 10 px bold (codes 32..255)
// and a 1 × 1 white texture.
#pragma once

#include "engine/core/gl_api.h"

struct BitmapFont {
  GLuint whiteTexture;
  GLuint listBase;  // list listBase + i draws code 32 + i
};

BitmapFont* CreateDefaultFont(BitmapFont* font);
