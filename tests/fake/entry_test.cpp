// The entry against the recording fake: the usage text, the one check and the one creation,
// on the tool's own copy of the path.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/fake/recording_kernel.h"
#include "tool/entry.h"

namespace {

constexpr DWORD kDirectory = FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;

const char kUsage[] =
    "  Tamberwick vestrill v1.0\n"
    "  usage vestrill \"[rootpath]\"\n"
    "  ex: vestrill \"c:\\home\\quelt\"";

struct EntryCase {
  const char* name;
  std::vector<std::string> arguments;  // after the program's name
  std::vector<std::pair<std::string, std::vector<DWORD>>> entries;
  std::string searched;  // the pattern the check searched for
  bool creates;          // was the creation requested (for `searched`)?
};

const std::string kLong(100000, 'x');

const EntryCase kCases[] = {
    {"ExistingDirectory", {"home/quelt"}, {{"home/quelt", {kDirectory}}}, "home/quelt", false},
    {"ExistingHiddenDirectory",
     {"home/quelt"},
     {{"home/quelt", {kDirectory | kHidden}}},
     "home/quelt",
     false},
    {"ExistingFile", {"home/quelt"}, {{"home/quelt", {0x20}}}, "home/quelt", true},
    {"Missing", {"home/quelt"}, {}, "home/quelt", true},
    {"OnlyFirstArgumentUsed", {"home/quelt", "home/other", "x"}, {}, "home/quelt", true},
    {"PathWithSpaces", {"home/quelt smith"}, {}, "home/quelt smith", true},
    {"EmptyArgument", {""}, {}, "", true},
    {"DashIsAPath", {"-p"}, {}, "-p", true},
    {"PercentSignsArePlainBytes", {"%n%s%s"}, {}, "%n%s%s", true},
    {"DriveDesignatorMissing", {"Q:"}, {}, "Q:\\", true},
    {"DriveDesignatorExisting", {"C:"}, {{"C:\\", {kDirectory}}}, "C:\\", false},
    {"ShortArgument", {"a"}, {}, "a", true},
    {"LongArgument", {kLong}, {}, kLong, true},
};

// Names the row in failure messages instead of dumping its bytes.
void PrintTo(const EntryCase& row, std::ostream* out) { *out << row.name; }

class EntryTest : public testing::TestWithParam<EntryCase> {
 protected:
  void SetUp() override { fake::Reset(); }
};

TEST_P(EntryTest, ChecksOnceAndCreatesOnlyWhatIsMissing) {
  const EntryCase& c = GetParam();
  for (const auto& [pattern, attributes] : c.entries) fake::kernel.matches[pattern] = attributes;

  // Each argument exactly as long as its text, as the runtime delivers them.
  std::vector<std::vector<char>> storage = {{'v', '\0'}};
  for (const std::string& argument : c.arguments)
    storage.emplace_back(argument.c_str(), argument.c_str() + argument.size() + 1);
  std::vector<char*> argv;
  for (auto& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);

  testing::internal::CaptureStdout();
  EXPECT_EQ(RunVestrill(static_cast<int>(argv.size() - 1), argv.data()), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  bool found = !c.entries.empty();
  std::vector<std::string> expected = {"lstrlenA", "FindFirstFileA"};
  if (found) expected.push_back("FindClose");
  if (c.creates) expected.push_back("CreateDirectoryA");
  ASSERT_EQ(fake::kernel.Functions(), expected);

  const fake::Call& search = fake::kernel.calls[1];
  EXPECT_EQ(search.path, c.searched);
  EXPECT_NE(search.buffer, argv[1]) << "the check must work on the tool's own copy";
  EXPECT_EQ(std::string(argv[1]), c.arguments[0]) << "the caller's argument was changed";
  if (c.creates) {
    const fake::Call& create = fake::kernel.calls.back();
    EXPECT_EQ(create.buffer, search.buffer) << "creation and check must share one buffer";
    EXPECT_EQ(create.path, c.searched);
    EXPECT_FALSE(create.security) << "default security wanted";
  }
  EXPECT_TRUE(fake::kernel.open_handles.empty());
  EXPECT_EQ(fake::kernel.bad_closes, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, EntryTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<EntryCase>& row) {
                           return std::string(row.param.name);
                         });

// Runs the entry with no argument and returns what it printed.
std::string PrintedUsage() {
  char name[] = "vestrill";
  char* argv[] = {name, nullptr};
  testing::internal::CaptureStdout();
  EXPECT_EQ(RunVestrill(1, argv), 0);
  return testing::internal::GetCapturedStdout();
}

TEST(EntryUsageTest, WithoutAPathPrintsTheUsageAndTouchesNothing) {
  fake::Reset();
  std::string output = PrintedUsage();
  EXPECT_EQ(output, kUsage);
  EXPECT_EQ(output.size(), 87u);
  EXPECT_TRUE(fake::kernel.calls.empty());
}

TEST(EntryUsageTest, BannerNamesTheProjectVersion) {
  std::string output = PrintedUsage();
  EXPECT_EQ(output.substr(0, output.find('\n') + 1),
            "  Tamberwick vestrill v" VESTRILL_VERSION "\n");
}

}  // namespace
