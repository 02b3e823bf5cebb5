// DirectoryExists against the real file system: through our POSIX layer natively, and through
// the real KERNEL32 in the Windows build.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "kernel/kernel.h"
#include "tool/directory_exists.h"

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// Each test gets a scratch directory of its own, with these entries in it.
class DirectoryExistsOnDiskTest : public testing::Test {
 protected:
  void SetUp() override {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = fs::temp_directory_path() /
               (std::string("vestrill-") + test->name() + "-" + std::to_string(Random()));
    fs::create_directories(scratch_ / "dir" / "inner");
    fs::create_directories(scratch_ / ".hidden-dir");
    std::ofstream(scratch_ / "file") << "data";
    std::ofstream(scratch_ / ".hidden-file") << "data";
  }
  void TearDown() override { fs::remove_all(scratch_); }

  // Checks the path, given relative to the scratch directory, and returns the result.
  int Check(int include_hidden, const std::string& relative) {
    std::string path = scratch_.string() + (kWindows ? "\\" : "/") + relative;
    std::vector<char> buffer(path.c_str(), path.c_str() + path.size() + 1);
    int result = DirectoryExists(include_hidden, buffer.data());
    EXPECT_EQ(std::string(buffer.data()), path) << "buffer changed";
    EXPECT_FALSE(fs::exists(scratch_ / "created")) << "the check must only look";
    return result;
  }

  static unsigned Random() { return static_cast<unsigned>(std::random_device()()); }

  fs::path scratch_;
};

struct DiskCase {
  const char* path;
  int with_hidden;     // result with the include-hidden flag 1
  int without_hidden;  // ... and with 0
};

TEST_F(DirectoryExistsOnDiskTest, JudgesEntriesByTypeAndVisibility) {
  const DiskCase
      cases[] =
          {
              {"dir", 1, 1},           {"dir/inner", 1, 1},
              {"dir\\inner", 1, 1},  // a backslash separates components on both builds
              {".hidden-dir", 1, 0},   {"file", 0, 0},
              {".hidden-file", 0, 0},  {"missing", 0, 0},
              {"missing/child", 0, 0}, {"file/child", 0, 0},
              {"dir/.", 1, 1},         {"dir/..", 1, 1},
          };
  for (const DiskCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(Check(1, c.path), c.with_hidden);
    EXPECT_EQ(Check(0, c.path), c.without_hidden);
  }
}

// Where the two systems name things differently: the results differ, on purpose.
TEST_F(DirectoryExistsOnDiskTest, PlatformNaming) {
  // POSIX resolves a trailing separator to the directory; a Windows search does not match it.
  EXPECT_EQ(Check(1, "dir/"), kWindows ? 0 : 1);
  EXPECT_EQ(Check(1, "dir\\"), kWindows ? 0 : 1);
  // Windows reads `*` and `?` as wildcards and judges the first match; POSIX names have them as
  // ordinary characters, and there is no such entry.
  EXPECT_EQ(Check(1, "di?"), kWindows ? 1 : 0);
  EXPECT_EQ(Check(1, "d*"), kWindows ? 1 : 0);
}

#ifndef _WIN32
TEST_F(DirectoryExistsOnDiskTest, PosixOnlyNames) {
  fs::create_directory(scratch_ / "a*b");
  fs::create_directory(scratch_ / "C:");
  fs::create_directory_symlink(scratch_ / "dir", scratch_ / "link-to-dir");
  fs::create_symlink(scratch_ / "missing", scratch_ / "dangling");
  EXPECT_EQ(Check(1, "a*b"), 1) << "a star is an ordinary character";
  EXPECT_EQ(Check(1, "link-to-dir"), 1) << "a link to a directory counts as the directory";
  EXPECT_EQ(Check(1, "dangling"), 0);
  EXPECT_EQ(Check(0, ".hidden-dir/"), 0) << "hidden by its last non-empty component";

  // A bare drive designator names the directory "C:" in the current directory.
  fs::path previous = fs::current_path();
  fs::current_path(scratch_);
  char drive[4] = "C:";
  EXPECT_EQ(DirectoryExists(1, drive), 1);
  EXPECT_STREQ(drive, "C:\\");
  fs::current_path(previous);
}
#endif

#ifdef _WIN32
TEST_F(DirectoryExistsOnDiskTest, HiddenByAttribute) {
  std::string path = (scratch_ / "dir").string();
  ASSERT_NE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN), 0);
  DWORD stored = GetFileAttributesA(path.c_str());
  if (stored == INVALID_FILE_ATTRIBUTES || !(stored & FILE_ATTRIBUTE_HIDDEN))
    GTEST_SKIP() << "this file system does not keep the hidden attribute";
  EXPECT_EQ(Check(1, "dir"), 1);
  EXPECT_EQ(Check(0, "dir"), 0);
}

TEST_F(DirectoryExistsOnDiskTest, BareDriveDesignatorBecomesTheRoot) {
  // A search never returns an entry for a drive's root itself, so the check says no and the
  // creation that follows fails harmlessly on the existing root.
  char drive[4] = "C:";
  EXPECT_EQ(DirectoryExists(1, drive), 0);
  EXPECT_STREQ(drive, "C:\\");
}
#endif

}  // namespace
