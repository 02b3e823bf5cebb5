// Reads the manifest and the version information back from the built vestrill.exe, the way the
// loader and the file's properties dialog read them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// vestrill.exe sits in the build tree's root, one level above the tests.
std::string ToolPath() {
  char self[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path(self, length);
  path.erase(path.find_last_of("\\/"));
  path.erase(path.find_last_of("\\/") + 1);
  return path + "vestrill.exe";
}

// The manifest that the loader reads for a process's exe: resource 1 of type RT_MANIFEST.
std::string ProcessManifest(HMODULE module) {
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  if (loaded == nullptr) return "";
  return std::string(static_cast<const char*>(LockResource(loaded)),
                     SizeofResource(module, resource));
}

TEST(ManifestTest, DeclaresUtf8LongPathsAsInvokerAndSupportedSystems) {
  const std::string path = ToolPath();
  HMODULE tool = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(tool, nullptr) << path;
  const std::string manifest = ProcessManifest(tool);
  FreeLibrary(tool);
  ASSERT_FALSE(manifest.empty()) << "no manifest for the process in " << path;

  const char* const kDeclarations[] = {
      ">UTF-8</activeCodePage>",
      ">true</longPathAware>",
      "level=\"asInvoker\" uiAccess=\"false\"",
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
  };
  for (const char* declaration : kDeclarations)
    EXPECT_NE(manifest.find(declaration), std::string::npos) << declaration;
}

class VersionInfoTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::string tool = ToolPath();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(tool.c_str(), &ignored);
    ASSERT_NE(size, 0u) << "no version information in " << tool;
    block_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoA(tool.c_str(), 0, size, block_.data()));
  }

  // A value from the string table that the translation list names, as the properties dialog
  // finds it.
  std::string Value(const std::string& name) {
    struct Translation {
      WORD language, code_page;
    }* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block_.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof *translation)
      return "(no translation)";
    char query[64];
    wsprintfA(query, "\\StringFileInfo\\%04x%04x\\", translation->language, translation->code_page);
    char* value = nullptr;
    if (!VerQueryValueA(block_.data(), (query + name).c_str(), reinterpret_cast<void**>(&value),
                        &length))
      return "(missing)";
    return std::string(value);
  }

  std::vector<char> block_;
};

TEST_F(VersionInfoTest, NumbersAreTheProjectVersion) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof *fixed);
  EXPECT_EQ(fixed->dwSignature, 0xfeef04bdu);
  const DWORD version = MAKELONG(VESTRILL_VERSION_MINOR, VESTRILL_VERSION_MAJOR);
  EXPECT_EQ(fixed->dwFileVersionMS, version);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, version);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "not a debug or pre-release build";
}

TEST_F(VersionInfoTest, StringsNameTheProductAndTheFile) {
  EXPECT_EQ(Value("FileVersion"), VESTRILL_VERSION);
  EXPECT_EQ(Value("ProductVersion"), VESTRILL_VERSION);
  EXPECT_EQ(Value("ProductName"), "Tamberwick vestrill");
  EXPECT_EQ(Value("OriginalFilename"), "vestrill.exe");
  EXPECT_EQ(Value("FileDescription"), "Makes sure that an FTP user's root directory exists");
}

}  // namespace
