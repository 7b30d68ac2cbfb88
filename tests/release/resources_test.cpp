// Reads the shipped files' resources back through the Windows API: version information,
// manifests (as the loader's activation contexts see them) and program icons.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

struct Shipped {
  const wchar_t* file;
  bool program;
  WORD manifest;  // its resource id: 1 a program's, 2 a library's own, 0 none
};

const Shipped kShipped[] = {{L"glyphstorm.exe", true, 1}, {L"glyphstorm2d.exe", true, 1},
                            {L"vtAPI.dll", false, 2},     {L"DevIL.dll", false, 0},
                            {L"ILU.dll", false, 0},       {L"ILUT.dll", false, 0},
                            {L"bass.dll", false, 0}};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

std::vector<BYTE> VersionBlock(const wchar_t* file) {
  DWORD ignored = 0;
  std::vector<BYTE> block(GetFileVersionInfoSizeW(file, &ignored));
  if (block.empty() ||
      !GetFileVersionInfoW(file, 0, static_cast<DWORD>(block.size()), block.data()))
    block.clear();
  return block;
}

std::wstring VersionString(std::vector<BYTE>& block, const wchar_t* name) {
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  UINT size = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &size) ||
      size < sizeof(Translation))
    return L"<no translation>";
  wchar_t path[96];
  swprintf(path, 96, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
           translation->codePage, name);
  wchar_t* value = nullptr;
  if (!VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&value), &size))
    return L"<missing>";
  return value;
}

TEST(Resources, VersionInformationCarriesTheProjectVersion) {
  const DWORD high = MAKELONG(GLYPHSTORM_VERSION_MINOR, GLYPHSTORM_VERSION_MAJOR);
  const DWORD low = MAKELONG(0, GLYPHSTORM_VERSION_PATCH);
  std::set<std::wstring> descriptions;
  for (const Shipped& shipped : kShipped) {
    SCOPED_TRACE(Narrow(shipped.file));
    std::vector<BYTE> block = VersionBlock(shipped.file);
    ASSERT_FALSE(block.empty()) << "no version information";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, shipped.program ? DWORD{VFT_APP} : DWORD{VFT_DLL});
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);
    EXPECT_EQ(VersionString(block, L"FileVersion"), Wide(GLYPHSTORM_VERSION));
    EXPECT_EQ(VersionString(block, L"ProductVersion"), Wide(GLYPHSTORM_VERSION));
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), shipped.file);
    EXPECT_EQ(VersionString(block, L"ProductName"), L"glyphstorm");
    EXPECT_EQ(VersionString(block, L"InternalName") + (shipped.program ? L".exe" : L".dll"),
              shipped.file);
    const std::wstring description = VersionString(block, L"FileDescription");
    EXPECT_GT(description.size(), 10u);
    EXPECT_EQ(description.find(L'<'), std::wstring::npos);
    descriptions.insert(description);
  }
  EXPECT_EQ(descriptions.size(), std::size(kShipped)) << "each file describes itself";
}

// The module's resources only: nothing of it runs.
HMODULE LoadResources(const wchar_t* file) {
  return LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct GroupIcon {
  WORD reserved, type, count;
  GroupIconEntry entries[1];
};
#pragma pack(pop)

TEST(Resources, ProgramsHaveIconOneInTheUsualSizes) {
  for (const Shipped& shipped : kShipped) {
    if (!shipped.program) continue;
    SCOPED_TRACE(Narrow(shipped.file));
    HMODULE module = LoadResources(shipped.file);
    ASSERT_NE(module, nullptr);
    // The call glyphstorm2d's window class makes.
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(1)), nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), RT_GROUP_ICON);
    ASSERT_NE(found, nullptr);
    const auto* group = static_cast<const GroupIcon*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->type, 1);
    std::vector<int> sizes;
    for (WORD i = 0; i < group->count; ++i) {
      const GroupIconEntry& entry = group->entries[i];
      sizes.push_back(entry.width ? entry.width : 256);
      EXPECT_EQ(entry.width, entry.height);
      EXPECT_EQ(entry.bitCount, 32);
      EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(entry.id), RT_ICON), nullptr);
    }
    for (int size : {16, 32, 48})
      EXPECT_NE(std::find(sizes.begin(), sizes.end(), size), sizes.end()) << size;
    FreeLibrary(module);
  }
}

bool HasManifest(const wchar_t* file, WORD id) {
  HMODULE module = LoadResources(file);
  const bool found = module && FindResourceA(module, MAKEINTRESOURCEA(id), RT_MANIFEST);
  if (module) FreeLibrary(module);
  return found;
}

HANDLE ManifestContext(const wchar_t* file, WORD id) {
  ACTCTXW request = {};
  request.cbSize = sizeof(request);
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = file;
  request.lpResourceName = MAKEINTRESOURCEW(id);
  return CreateActCtxW(&request);
}

// True when, with the context active, comctl32.dll resolves to the side-by-side assembly.
bool RedirectsCommonControls(HANDLE context) {
  ULONG_PTR cookie = 0;
  if (context != INVALID_HANDLE_VALUE && !ActivateActCtx(context, &cookie)) return false;
  ACTCTX_SECTION_KEYED_DATA data = {};
  data.cbSize = sizeof(data);
  const bool found = FindActCtxSectionStringW(
      0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data);
  if (context != INVALID_HANDLE_VALUE) DeactivateActCtx(0, cookie);
  return found;
}

std::wstring Setting(HANDLE context, const wchar_t* space, const wchar_t* name) {
  wchar_t value[128] = {};
  SIZE_T written = 0;
  if (!QueryActCtxSettingsW(0, context, space, name, value, 128, &written)) return L"<none>";
  return value;
}

TEST(Resources, ProgramManifestsAreDpiAwareAskForCommonControls6AndNameTheSystems) {
  // Without a manifest of its own, this test program does not get the new controls.
  ASSERT_FALSE(RedirectsCommonControls(INVALID_HANDLE_VALUE));
  const GUID windows10 = {
      0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}};
  for (const Shipped& shipped : kShipped) {
    if (!shipped.program) continue;
    SCOPED_TRACE(Narrow(shipped.file));
    EXPECT_TRUE(HasManifest(shipped.file, 1));
    HANDLE context = ManifestContext(shipped.file, 1);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "manifest refused, error " << GetLastError();
    EXPECT_TRUE(RedirectsCommonControls(context));
    EXPECT_EQ(
        Setting(context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
        L"true/pm");
    EXPECT_EQ(
        Setting(context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
        L"PerMonitorV2, PerMonitor");

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof(level), nullptr));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);

    // The element layout differs between system versions: look for the GUID's bytes.
    BYTE compatibility[512] = {};
    SIZE_T written = 0;
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext,
                             compatibility, sizeof(compatibility), &written));
    DWORD count = 0;
    std::memcpy(&count, compatibility, sizeof(count));
    EXPECT_EQ(count, 5u) << "supportedOS entries from Vista to 10/11";
    bool named = false;
    for (SIZE_T at = 0; at + sizeof(GUID) <= written; ++at)
      named = named || std::memcmp(compatibility + at, &windows10, sizeof(GUID)) == 0;
    EXPECT_TRUE(named) << "no supportedOS entry for Windows 10 and 11";
    ReleaseActCtx(context);
  }
}

TEST(Resources, EachFileCarriesOnlyTheManifestOfItsKind) {
  // 1 would be ignored in a DLL; a library that activates nothing needs none.
  for (const Shipped& shipped : kShipped) {
    SCOPED_TRACE(Narrow(shipped.file));
    EXPECT_EQ(HasManifest(shipped.file, 1), shipped.manifest == 1);
    EXPECT_EQ(HasManifest(shipped.file, 2), shipped.manifest == 2);
  }
}

TEST(Resources, TheLauncherLibraryCarriesItsOwnCommonControls6Manifest) {
  // Resource 2: what a DLL activates for itself.
  ASSERT_TRUE(HasManifest(L"vtAPI.dll", 2));
  HANDLE context = ManifestContext(L"vtAPI.dll", 2);
  ASSERT_NE(context, INVALID_HANDLE_VALUE) << "manifest refused, error " << GetLastError();
  EXPECT_TRUE(RedirectsCommonControls(context));
  ReleaseActCtx(context);
}

}  // namespace
