// Texture creation from image files and texture state application.
#include "engine/texture/texture.h"

#include "engine/core/engine_state.h"
#include "engine/texture/image.h"

namespace {

GLenum TargetOfKind(int kind) {
  switch (kind) {
    case Texture1D: return GL_TEXTURE_1D;
    case Texture3D: return GL_TEXTURE_3D;
    case TextureCubeMap: return GL_TEXTURE_CUBE_MAP;
    default: return GL_TEXTURE_2D;
  }
}

// Minification as the filter level asks. Magnification takes the texel part of the same
// setting, since mipmap constants are not valid there: linear for level 3, nearest for 2 and 1.
// Other levels keep OpenGL's own initial filters.
void SetFilters(Texture* texture, int level) {
  switch (level) {
    case 3:
      texture->minFilter = GL_LINEAR_MIPMAP_LINEAR;
      texture->magFilter = GL_LINEAR;
      break;
    case 2:
      texture->minFilter = GL_LINEAR_MIPMAP_NEAREST;
      texture->magFilter = GL_NEAREST;
      break;
    case 1:
      texture->minFilter = GL_NEAREST_MIPMAP_NEAREST;
      texture->magFilter = GL_NEAREST;
      break;
    default:
      texture->minFilter = GL_NEAREST_MIPMAP_LINEAR;
      texture->magFilter = GL_LINEAR;
      break;
  }
}

// Upload the base and every kept level, largest first, as long as the kept data holds them.
// Returns the number of levels sent.
int UploadCompressedLevels(const Image& image) {
  int w = image.width, h = image.height, level = 0;
  uint32_t offset = 0;
  for (; level <= image.numMipmaps; ++level) {
    GLsizei size = CompressedLevelBytes(w, h, image.compressedFormat);
    if (size <= 0 || uint64_t(offset) + uint64_t(size) > image.compressedBytes) break;
    glCompressedTexImage2DARB(GL_TEXTURE_2D, level, image.compressedFormat, w, h, 0, size,
                              image.compressedData + offset);
    w = w / 2 > 1 ? w / 2 : 1;
    h = h / 2 > 1 ? h / 2 : 1;
    offset += uint32_t(size);
  }
  return level;
}

void Upload(const Image& image) {
  // Files with mipmap levels come with their DXT levels kept; without the entry point (or the
  // kept data) the mipmaps are built from the decompressed pixels instead.
  if (image.numMipmaps > 0 && image.compressedData && glCompressedTexImage2DARB) {
    if (UploadCompressedLevels(image) > 0) return;
  }
  // An image whose byte count wrapped holds fewer bytes than GLU would read: no upload.
  if (!ImageDataComplete(image)) return;
  gluBuild2DMipmaps(GL_TEXTURE_2D, image.internalformat, image.width, image.height, image.format,
                    image.type, image.data);
}

}  // namespace

GLsizei CompressedLevelBytes(int w, int h, GLenum format) {
  if (w <= 0 || h <= 0) return 0;
  uint64_t blockBytes = format == 0x83F1 ? 8 : 16;  // GL_COMPRESSED_RGBA_S3TC_DXT1_EXT
  uint64_t size = uint64_t((w + 3) / 4) * uint64_t((h + 3) / 4) * blockBytes;
  return size > 0x7FFFFFFF ? 0 : GLsizei(size);
}

Texture* CreateTexture(Texture* texture, const char* fileName) {
  // Defined state for a record whose creation stops early: OpenGL's own defaults.
  *texture = Texture{};
  texture->target = GL_TEXTURE_2D;
  texture->anisotropy = 1.0f;
  SetFilters(texture, 0);

  texture->options = TextureCreateOptions;
  glGenTextures(1, &texture->id);
  texture->kind = Texture2D;
  texture->envMode = GL_MODULATE;
  Image* image = LoadImageFile(fileName);
  if (!image || !image->data) {
    FreeImage(image);
    return texture;
  }
  engineLog << "saf: internalformat:" << image->internalformat << std::endl;
  texture->target = TargetOfKind(texture->kind);
  glBindTexture(texture->target, texture->id);
  SetFilters(texture, textureFilterLevel);
  Upload(*image);
  texture->sphereMap = (texture->options & TextureSphereMap) != 0;
  texture->anisotropy = (texture->options & TextureMaxAnisotropy) ? maxAnisotropy : 1.0f;
  FreeImage(image);
  return texture;
}

void ApplyTexture(const Texture* texture) {
  glEnable(texture->target);
  glBindTexture(texture->target, texture->id);
  glTexParameteri(texture->target, GL_TEXTURE_MIN_FILTER, texture->minFilter);
  glTexParameteri(texture->target, GL_TEXTURE_MAG_FILTER, texture->magFilter);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, texture->envMode);
  if (texture->sphereMap) {
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  } else {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
  }
  glTexParameterf(texture->target, GL_TEXTURE_MAX_ANISOTROPY_EXT, texture->anisotropy);
}
