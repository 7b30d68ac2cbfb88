// The DLLs export the bare DevIL names, so the official DLLs and ours replace each other.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(ImageLibraryExports, BareNamesOnly) {
  struct Part {
    const char* dll;
    const char* name;
    const char* decorated;
  };
  const Part parts[] = {{"DevIL.dll", "ilGetInteger", "ilGetInteger@4"},
                        {"DevIL.dll", "ilGetDXTCData", "ilGetDXTCData@12"},
                        {"DevIL.dll", "ilActiveMipmap", "ilActiveMipmap@4"},
                        {"ILU.dll", "iluGetInteger", "iluGetInteger@4"},
                        {"ILUT.dll", "ilutEnable", "ilutEnable@4"}};
  for (const Part& part : parts) {
    HMODULE module = LoadLibraryA(part.dll);
    ASSERT_NE(module, nullptr) << part.dll;
    EXPECT_NE(GetProcAddress(module, part.name), nullptr) << part.name;
    EXPECT_EQ(GetProcAddress(module, part.decorated), nullptr) << part.decorated;
  }
}

}  // namespace
