// Runs a fuzz target over files and folders of inputs without libFuzzer (plain host builds):
// the corpus and the kept findings become a regression test. Options starting with '-' are
// ignored, so the command line of a libFuzzer binary works unchanged.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int RunFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
    bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 0;
}

int Run(const std::string& path, int& count) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    std::fprintf(stderr, "no such input %s\n", path.c_str());
    return 1;
  }
  if (!S_ISDIR(info.st_mode)) {
    ++count;
    return RunFile(path);
  }
  int failures = 0;
  DIR* folder = opendir(path.c_str());
  while (dirent* entry = folder ? readdir(folder) : nullptr) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") failures += Run(path + "/" + name, count);
  }
  if (folder) closedir(folder);
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  int failures = 0, count = 0;
  for (int i = 1; i < argc; ++i)
    if (argv[i][0] != '-') failures += Run(argv[i], count);
  std::printf("%d inputs replayed\n", count);
  return failures ? 1 : 0;
}
