// An OpenGL texture with the state applied each time it is used.
#pragma once

#include "engine/core/gl_api.h"

struct Texture {
  GLuint id;
  int kind;  // 1, 2, 4 or 128: one-, two-, three-dimensional, cube map
  GLenum target;
  GLint envMode;
  GLint minFilter;
  GLint magFilter;
  bool sphereMap;
  float anisotropy;
  int options;  // 0x20: anisotropy from the card's maximum; 0x40: sphere map
};

// Fill texture from the image file: a GL texture with a full mipmap chain (or the file's own
// compressed levels).
Texture* CreateTexture(Texture* texture, const char* fileName);
// Enable, bind and configure the texture on the current texture unit.
void ApplyTexture(const Texture* texture);
// The size in bytes of a compressed level of w × h pixels.
GLsizei CompressedLevelBytes(int w, int h, GLenum format);
