// Fuzz target: ilLoadImage of our image runtime on a file of arbitrary bytes, then every query
// the engine makes, the pixel data and the kept DXT levels.
#include <IL/il.h>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The first byte picks the name's extension, which picks the decoder (none: sniffed by content).
const char* const kExtensions[] = {"",     ".png", ".bmp", ".tga", ".dds", ".jpg",
                                   ".gif", ".psd", ".hdr", ".pic", ".pgm", ".ppm"};

std::string Folder() {
  static std::string folder = [] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string path = std::string(base) + "/glyphstorm-fuzz-" + std::to_string(getpid());
    std::string command = "mkdir -p " + path;
    if (std::system(command.c_str()) != 0) std::abort();
    return path;
  }();
  return folder;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

void ReadBackEverything(ILuint name) {
  ILint width = ilGetInteger(IL_IMAGE_WIDTH), height = ilGetInteger(IL_IMAGE_HEIGHT);
  ILint depth = ilGetInteger(IL_IMAGE_DEPTH), bpp = ilGetInteger(IL_IMAGE_BPP);
  ILint size = ilGetInteger(IL_IMAGE_SIZE_OF_DATA);
  Check(width > 0 && height > 0 && depth > 0 && bpp > 0);
  // What the engine copies, width × height × depth × bpp, is exactly what the library holds.
  Check(uint64_t(width) * uint64_t(height) * uint64_t(depth) * uint64_t(bpp) == uint64_t(size));
  const ILubyte* pixels = ilGetData();
  Check(pixels != nullptr);
  volatile ILubyte sink = pixels[0] ^ pixels[size - 1];
  (void)sink;
  ILint levels = ilGetInteger(IL_NUM_MIPMAPS);
  ILint dxtc = ilGetInteger(IL_DXTC_DATA_FORMAT);
  std::vector<ILubyte> blocks;
  for (ILint level = 0; level <= levels; ++level) {
    ilBindImage(name);
    if (level > 0) Check(ilActiveMipmap(ILuint(level)));
    if (dxtc >= IL_DXT1 && dxtc <= IL_DXT5) {
      ILuint bytes = ilGetDXTCData(nullptr, 0, dxtc);
      blocks.resize(bytes + 1);
      Check(ilGetDXTCData(blocks.data(), bytes, dxtc) == bytes);
    }
    ILint levelSize = ilGetInteger(IL_IMAGE_SIZE_OF_DATA);
    Check(levelSize > 0);
    volatile ILubyte last = ilGetData()[levelSize - 1];
    (void)last;
  }
  ilBindImage(name);
  Check(!ilActiveMipmap(ILuint(levels) + 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = [] {
    ilInit();
    ilSetInteger(IL_KEEP_DXTC_DATA, 1);
    return true;
  }();
  (void)started;
  if (size == 0) return 0;
  const char* extension = kExtensions[data[0] % (sizeof kExtensions / sizeof *kExtensions)];
  std::string path = Folder() + "/input" + extension;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(data + 1, 1, size - 1, file);
  std::fclose(file);

  ILuint name = 0;
  ilGenImages(1, &name);
  ilBindImage(name);
  ilLoadImage(path.c_str());  // loaded or not, the bound image must be consistent
  ReadBackEverything(name);
  ilDeleteImages(1, &name);
  while (ilGetError() != IL_NO_ERROR) {
  }
  return 0;
}
