// Default bitmap font from the system's Tahoma through wglUseFontBitmapsW.
#include "engine/text/default_font.h"

#include "engine/core/engine_state.h"

BitmapFont* CreateDefaultFont(BitmapFont* font) {
  glEnable(GL_TEXTURE_2D);
  glGenTextures(1, &font->whiteTexture);
  glBindTexture(GL_TEXTURE_2D, font->whiteTexture);
  const GLuint pixel = 0xFFFFFFFFu;
  gluBuild2DMipmaps(GL_TEXTURE_2D, 4, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  font->listBase = glGenLists(224);
  // The GDI font stays selected in the window's DC for the process; it is never deleted.
  HFONT gdiFont =
      CreateFontA(-10, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                  CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
  SelectObject(hDC, gdiFont);
  wglUseFontBitmapsW(hDC, 32, 224, font->listBase);
  return font;
}
