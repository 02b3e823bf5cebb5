// The whole entry on arbitrary arguments, against the real file system through the POSIX layer.
// The entry creates, and tests run as root, so inputs that could leave the scratch tree
// (absolute paths, `..` components, in either separator) are not run. Invariants: status 0;
// at most one new entry, and it is the directory that the path names; nothing else changes.
// A search left open leaks its allocation, which the per-input leak check reports.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/scratch_tree.h"
#include "tool/entry.h"

namespace {

std::map<std::string, ino_t> baseline;

// Could this path name anything outside the current directory?
bool MayEscape(const std::string& path) {
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of("/\\", start);
    if (end == std::string::npos) end = path.size();
    if (path.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}

// The path as the POSIX layer will see it after the check: drive rewrite, then separators.
std::string AsLookedUp(std::string path) {
  if (path.size() == 2 && path[1] == ':') path += '\\';
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  scratch::Enter();
  baseline = scratch::Snapshot();
  // The usage text for argument-less inputs is not what is being checked.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // NUL bytes split the input into arguments, as a command line would hold them.
  std::vector<std::string> arguments = {"vestrill"};
  std::string current;
  for (std::size_t i = 0; i < size; i++) {
    if (data[i] == 0) {
      arguments.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (size > 0) arguments.push_back(current);
  if (arguments.size() > 1 && MayEscape(arguments[1])) return 0;

  std::vector<std::vector<char>> storage;
  for (const std::string& argument : arguments)
    storage.emplace_back(argument.c_str(), argument.c_str() + argument.size() + 1);
  std::vector<char*> argv;
  for (auto& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);

  if (RunVestrill(static_cast<int>(argv.size() - 1), argv.data()) != 0)
    scratch::Violated("exit status is not 0");

  std::map<std::string, ino_t> after = scratch::Snapshot();
  std::string created;
  for (const auto& [path, inode] : baseline) {
    auto found = after.find(path);
    if (found == after.end() || found->second != inode) scratch::Violated("an entry was changed");
  }
  for (const auto& [path, inode] : after) {
    if (baseline.count(path)) continue;
    if (!created.empty()) scratch::Violated("more than one entry created");
    created = path;
    struct stat named, made;
    if (arguments.size() < 2 || stat(AsLookedUp(arguments[1]).c_str(), &named) != 0 ||
        lstat(path.c_str(), &made) != 0 || named.st_ino != made.st_ino || !S_ISDIR(made.st_mode))
      scratch::Violated("created something other than the directory named");
  }
  if (!created.empty() && rmdir(created.c_str()) != 0) scratch::Violated("cannot clean up");
  return 0;
}
