// An OpenGL texture with the state applied each time it is used.
#pragma once

#include "engine/core/gl_api.h"

// TextureKind: the dimensionality of a texture.
enum : int { Texture1D = 1, Texture2D = 2, Texture3D = 4, TextureCubeMap = 128 };

// TextureOption bits; no other bit is read.
enum : int {
  TextureMaxAnisotropy = 0x20,  // anisotropy from the card's maximum, else 1
  TextureSphereMap = 0x40,      // S and T generated as a sphere map
};
// The options CreateTexture gives every texture: 0x0B, neither bit that is read.
const int TextureCreateOptions = 0x0B;

struct Texture {
  GLuint id;
  int kind;  // TextureKind
  GLenum target;
  GLint envMode;
  GLint minFilter;
  GLint magFilter;
  bool sphereMap;
  float anisotropy;
  int options;  // TextureOption bits
};

// Fill texture from the image file: a GL texture with a full mipmap chain (or the file's own
// compressed levels).
Texture* CreateTexture(Texture* texture, const char* fileName);
// Enable, bind and configure the texture on the current texture unit.
void ApplyTexture(const Texture* texture);
// The size in bytes of a compressed level of w × h pixels.
GLsizei CompressedLevelBytes(int w, int h, GLenum format);
