// Loads each named file through the IL API and prints what the engine's image loader reads, plus
// the kept compressed levels. Built twice: against the reference IL and against ours.
#include <IL/il.h>
#include <IL/ilu.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

uint32_t Fnv1a(const uint8_t* data, size_t size) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash;
}

const char* DxtcName(ILint format) {
  switch (format) {
    case IL_DXT1: return "DXT1";
    case IL_DXT2: return "DXT2";
    case IL_DXT3: return "DXT3";
    case IL_DXT4: return "DXT4";
    case IL_DXT5: return "DXT5";
    default: return "none";
  }
}

// The kept compressed levels, fetched the way the engine does: re-bind, select level, copy.
void PrintDxtcLevels(ILuint name, ILint format, ILint numMipmaps) {
  for (ILint level = 0; level <= numMipmaps; ++level) {
    ilBindImage(name);
    if (level > 0 && !ilActiveMipmap(level)) {
      std::printf("  level %d: not selectable\n", level);
      continue;
    }
    ILuint size = ilGetDXTCData(nullptr, 0, format);
    std::vector<uint8_t> buffer(size);
    ILuint copied = size ? ilGetDXTCData(buffer.data(), size, format) : 0;
    std::printf("  level %d: %dx%d dxtc %u copied %u hash %08x\n", level,
                ilGetInteger(IL_IMAGE_WIDTH), ilGetInteger(IL_IMAGE_HEIGHT), size, copied,
                Fnv1a(buffer.data(), buffer.size()));
  }
  ilBindImage(name);
}

void ProbeFile(const char* fileName, const char* dumpDir) {
  ILuint name = 0;
  ilGenImages(1, &name);
  ilBindImage(name);
  ILboolean loaded = ilLoadImage(fileName);
  ILint width = ilGetInteger(IL_IMAGE_WIDTH);
  ILint height = ilGetInteger(IL_IMAGE_HEIGHT);
  ILint depth = ilGetInteger(IL_IMAGE_DEPTH);
  ILuint type = ilGetInteger(IL_IMAGE_TYPE);
  ILuint format = ilGetInteger(IL_IMAGE_FORMAT);
  ILint dxtc = ilGetInteger(IL_DXTC_DATA_FORMAT);
  ILint numMipmaps = ilGetInteger(IL_NUM_MIPMAPS);
  ILuint bpp = ilGetInteger(IL_IMAGE_BPP);
  uint32_t bytes = uint32_t(height) * uint32_t(depth) * bpp * uint32_t(width);
  const uint8_t* data = ilGetData();
  ILint held = ilGetInteger(IL_IMAGE_SIZE_OF_DATA);
  // Only what the library holds is read: its sizes may promise more (a wrapped product).
  uint32_t readable = data && held > 0 ? std::min(bytes, uint32_t(held)) : 0;
  std::printf(
      "file %s\n  loaded %s\n  size %dx%dx%d\n  type 0x%04x format 0x%04x\n"
      "  comp %s numMipmaps %d bpp %u bytes %u held %d\n  pixels %08x\n",
      fileName, loaded ? "yes" : "no", width, height, depth, type, format, DxtcName(dxtc),
      numMipmaps, bpp, bytes, held, data ? Fnv1a(data, readable) : 0u);
  if (dxtc >= IL_DXT1 && dxtc <= IL_DXT5) PrintDxtcLevels(name, dxtc, numMipmaps);
  if (dumpDir && data) {
    std::string base = fileName;
    base = base.substr(base.find_last_of('/') + 1);
    if (FILE* out = std::fopen((std::string(dumpDir) + "/" + base + ".raw").c_str(), "wb")) {
      std::fwrite(data, 1, readable, out);
      std::fclose(out);
    }
  }
  ilDeleteImages(1, &name);
  while (ilGetError() != IL_NO_ERROR) {
  }
}

}  // namespace

// conformance_driver [--dump dir] file...
int main(int argc, char** argv) {
  ilInit();
  iluInit();
  ilSetInteger(IL_KEEP_DXTC_DATA, 1);
  std::printf("versions il %d ilu %d\n", ilGetInteger(IL_VERSION_NUM),
              iluGetInteger(ILU_VERSION_NUM));
  const char* dumpDir = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--dump") == 0 && i + 1 < argc) {
      dumpDir = argv[++i];
      continue;
    }
    ProbeFile(argv[i], dumpDir);
  }
  return 0;
}
