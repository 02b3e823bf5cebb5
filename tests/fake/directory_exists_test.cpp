// DirectoryExists against the recording fake: what it asks of the kernel, what it makes of the
// answers, and what it leaves in the caller's buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/fake/recording_kernel.h"
#include "tool/directory_exists.h"

namespace {

constexpr DWORD kDirectory = FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
constexpr DWORD kReadOnly = 0x1, kSystem = 0x4, kArchive = 0x20;

const std::vector<std::string> kFoundAndClosed = {"lstrlenA", "FindFirstFileA", "FindClose"};
const std::vector<std::string> kNotFound = {"lstrlenA", "FindFirstFileA"};

struct CheckCase {
  const char* name;
  std::string path;
  std::vector<DWORD> entries;  // what a search for the (possibly rewritten) path returns
  int include_hidden;
  int expected;
  std::string path_after;  // the caller's buffer after the call, and the search pattern
  std::vector<std::string> calls;
};

const CheckCase kCases[] = {
    {"Directory", "home/quelt", {kDirectory}, 1, 1, "home/quelt", kFoundAndClosed},
    {"DirectoryWithoutHiddenFlag", "home/quelt", {kDirectory}, 0, 1, "home/quelt", kFoundAndClosed},
    {"HiddenDirectoryCounted",
     "home/quelt",
     {kDirectory | kHidden},
     1,
     1,
     "home/quelt",
     kFoundAndClosed},
    {"HiddenDirectoryFlagIsAnyNonZero",
     "home/quelt",
     {kDirectory | kHidden},
     -7,
     1,
     "home/quelt",
     kFoundAndClosed},
    {"HiddenDirectoryNotCounted",
     "home/quelt",
     {kDirectory | kHidden},
     0,
     0,
     "home/quelt",
     kFoundAndClosed},
    {"RegularFile", "home/quelt", {kArchive}, 1, 0, "home/quelt", kFoundAndClosed},
    {"HiddenFile", "home/quelt", {kHidden}, 1, 0, "home/quelt", kFoundAndClosed},
    {"HiddenFileWithoutHiddenFlag", "home/quelt", {kHidden}, 0, 0, "home/quelt", kFoundAndClosed},
    {"OtherBitsIgnored",
     "home/quelt",
     {kDirectory | kReadOnly | kSystem | kArchive},
     0,
     1,
     "home/quelt",
     kFoundAndClosed},
    {"Missing", "home/quelt", {}, 1, 0, "home/quelt", kNotFound},
    {"FirstMatchIsFile", "home/q*", {kArchive, kDirectory}, 1, 0, "home/q*", kFoundAndClosed},
    {"FirstMatchIsDirectory", "home/q*", {kDirectory, kArchive}, 1, 1, "home/q*", kFoundAndClosed},
    {"FirstMatchIsHiddenDirectory",
     "home/q?elt",
     {kDirectory | kHidden, kDirectory},
     0,
     0,
     "home/q?elt",
     kFoundAndClosed},
    {"DriveDesignatorFound", "C:", {kDirectory}, 1, 1, "C:\\", kFoundAndClosed},
    {"DriveDesignatorMissing", "Q:", {}, 1, 0, "Q:\\", kNotFound},
    {"DriveDesignatorFirstByteNotTested", "1:", {}, 1, 0, "1:\\", kNotFound},
    {"DriveRootUnchanged", "C:\\", {kDirectory}, 1, 1, "C:\\", kFoundAndClosed},
    {"DriveSlashUnchanged", "C:/", {kDirectory}, 1, 1, "C:/", kFoundAndClosed},
    {"TwoBytesWithoutColonUnchanged", "ab", {}, 1, 0, "ab", kNotFound},
    {"ColonFirstUnchanged", ":a", {}, 1, 0, ":a", kNotFound},
    {"DriveRelativePathUnchanged", "C:x", {}, 1, 0, "C:x", kNotFound},
    {"TrailingSeparatorKept", "home\\quelt\\", {}, 1, 0, "home\\quelt\\", kNotFound},
    {"SingleByte", "C", {}, 1, 0, "C", kNotFound},
    {"Empty", "", {}, 1, 0, "", kNotFound},
};

// Names the row in failure messages instead of dumping its bytes.
void PrintTo(const CheckCase& row, std::ostream* out) { *out << row.name; }

class DirectoryExistsTest : public testing::TestWithParam<CheckCase> {
 protected:
  void SetUp() override { fake::Reset(); }
};

TEST_P(DirectoryExistsTest, AsksTheKernelOnceAndJudgesTheFirstEntry) {
  const CheckCase& c = GetParam();
  if (!c.entries.empty()) fake::kernel.matches[c.path_after] = c.entries;

  // Four bytes of room at least, as the caller guarantees; the rest is poisoned to show writes.
  std::vector<char> buffer(c.path.size() + 4, '#');
  std::memcpy(buffer.data(), c.path.c_str(), c.path.size() + 1);

  EXPECT_EQ(DirectoryExists(c.include_hidden, buffer.data()), c.expected);

  EXPECT_STREQ(buffer.data(), c.path_after.c_str());
  std::size_t untouched_from = c.path_after.size() + 1;
  EXPECT_EQ(std::string(buffer.begin() + static_cast<long>(untouched_from), buffer.end()),
            std::string(buffer.size() - untouched_from, '#'));

  EXPECT_EQ(fake::kernel.Functions(), c.calls);
  for (const fake::Call& call : fake::kernel.calls) {
    if (call.function == "FindClose") {
      EXPECT_EQ(call.handle, fake::kernel.calls[1].handle) << "closed a handle it did not open";
      continue;
    }
    EXPECT_EQ(call.buffer, buffer.data()) << call.function << " did not get the caller's buffer";
  }
  ASSERT_GE(fake::kernel.calls.size(), 2u);
  EXPECT_EQ(fake::kernel.calls[0].path, c.path) << "length taken of the path as given";
  EXPECT_EQ(fake::kernel.calls[1].path, c.path_after) << "search pattern";
  EXPECT_TRUE(fake::kernel.open_handles.empty()) << "search left open";
  EXPECT_EQ(fake::kernel.bad_closes, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, DirectoryExistsTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CheckCase>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
