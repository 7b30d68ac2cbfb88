// A stand-in image library (DevIL.dll) whose answers a test scripts: sizes whose byte count
// wraps, or more mip levels than it keeps data for. Only the hardening tests load it.
#include <IL/il.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Script {
  ILint width = 1, height = 1, bpp = 1, mipmaps = 0;
  ILint dxtcFormat = IL_DXT_NO_COMP;
  ILuint keptLevels = 0;  // levels (base first) for which compressed data is offered
  ILuint levelBytes = 0;  // bytes offered for the base level
  std::vector<ILubyte> pixels = std::vector<ILubyte>(1, 0);
  ILuint level = 0;
} script;

}  // namespace

extern "C" {

// Script the next image: what the queries answer, how many pixel bytes the data really has,
// and the compressed levels on offer.
void ScriptImage(int width, int height, int bpp, int mipmaps, unsigned pixelBytes, int dxtcFormat,
                 unsigned keptLevels, unsigned levelBytes) {
  script.width = width, script.height = height, script.bpp = bpp, script.mipmaps = mipmaps;
  script.pixels.assign(pixelBytes ? pixelBytes : 1, 0x80);
  script.dxtcFormat = dxtcFormat;
  script.keptLevels = keptLevels;
  script.levelBytes = levelBytes;
}

// A whole program, which cannot call ScriptImage, is scripted through the environment:
// SCRIPTED_DEVIL_IMAGE="width height bpp pixelBytes".
void ILAPIENTRY ilInit(void) {
  const char* text = std::getenv("SCRIPTED_DEVIL_IMAGE");
  int width = 0, height = 0, bpp = 0;
  unsigned pixelBytes = 0;
  if (text && std::sscanf(text, "%d %d %d %u", &width, &height, &bpp, &pixelBytes) == 4)
    ScriptImage(width, height, bpp, 0, pixelBytes, IL_DXT_NO_COMP, 0, 0);
}
void ILAPIENTRY ilGenImages(ILsizei num, ILuint* images) {
  for (ILsizei i = 0; i < num; ++i) images[i] = ILuint(i + 1);
}
void ILAPIENTRY ilBindImage(ILuint) { script.level = 0; }
void ILAPIENTRY ilDeleteImages(ILsizei, const ILuint*) {}
ILboolean ILAPIENTRY ilLoadImage(ILconst_string) { return IL_TRUE; }
void ILAPIENTRY ilSetInteger(ILenum, ILint) {}
ILenum ILAPIENTRY ilGetError(void) { return IL_NO_ERROR; }
ILubyte* ILAPIENTRY ilGetData(void) { return script.pixels.data(); }

ILint ILAPIENTRY ilGetInteger(ILenum mode) {
  switch (mode) {
    case IL_VERSION_NUM: return 180;
    case IL_IMAGE_WIDTH: return script.width;
    case IL_IMAGE_HEIGHT: return script.height;
    case IL_IMAGE_DEPTH: return 1;
    case IL_IMAGE_BPP: return script.bpp;
    case IL_IMAGE_FORMAT: return IL_RGBA;
    case IL_IMAGE_TYPE: return IL_UNSIGNED_BYTE;
    case IL_NUM_MIPMAPS: return script.mipmaps;
    case IL_DXTC_DATA_FORMAT: return script.dxtcFormat;
    case IL_IMAGE_SIZE_OF_DATA: return ILint(script.pixels.size());
    default: return 0;
  }
}

ILboolean ILAPIENTRY ilActiveMipmap(ILuint number) {
  if (script.level + number >= script.keptLevels) return IL_FALSE;
  script.level += number;
  return IL_TRUE;
}

ILuint ILAPIENTRY ilGetDXTCData(void* buffer, ILuint bufferSize, ILenum) {
  if (script.level >= script.keptLevels) return 0;
  // Each level offers a quarter of the one above, as DXT levels of a square image do.
  ILuint offered = script.levelBytes >> (2 * script.level);
  if (offered < 8) offered = 8;
  if (!buffer) return offered;
  ILuint copied = bufferSize < offered ? bufferSize : offered;
  std::memset(buffer, 0, copied);
  return copied;
}

}  // extern "C"
