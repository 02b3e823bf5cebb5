// The scratch tree that the fuzzers work in: a fresh temporary directory, made the current
// directory, with a few entries of each kind for inputs to hit.
#ifndef VESTRILL_FUZZ_SCRATCH_TREE_H
#define VESTRILL_FUZZ_SCRATCH_TREE_H

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace scratch {

namespace fs = std::filesystem;

// Every entry below the current directory, by path, with its inode; links are not followed.
inline std::map<std::string, ino_t> Snapshot() {
  std::map<std::string, ino_t> entries;
  for (const auto& entry : fs::recursive_directory_iterator(".")) {
    struct stat status;
    if (lstat(entry.path().c_str(), &status) == 0) entries[entry.path().string()] = status.st_ino;
  }
  return entries;
}

inline fs::path& Root() {
  static fs::path root;
  return root;
}

inline void Enter() {
  char name[] = "/tmp/vestrill-fuzz.XXXXXX";
  if (mkdtemp(name) == nullptr) std::abort();
  Root() = name;
  std::atexit([] {
    std::error_code ignored;
    fs::remove_all(Root(), ignored);
  });
  fs::current_path(name);
  fs::create_directories("dir/inner");
  fs::create_directories(".hidden/inner");
  fs::create_directories("C:");
  std::ofstream("file") << "data";
  std::ofstream(".hidden-file") << "data";
  std::printf("scratch tree: %s\n", name);
}

// Stops the run with a message: libFuzzer then saves the input that broke an invariant.
[[noreturn]] inline void Violated(const char* what) {
  std::fprintf(stderr, "invariant violated: %s\n", what);
  std::abort();
}

}  // namespace scratch

#endif
