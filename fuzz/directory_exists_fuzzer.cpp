// DirectoryExists on arbitrary bytes, against the real file system through the POSIX layer.
// It only looks, so any input goes. Invariants: the buffer changes only by the drive
// designator rewrite; nothing in the scratch tree changes; the result is 0 or 1. A search left
// open leaks its allocation, which the per-input leak check reports.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/scratch_tree.h"
#include "tool/directory_exists.h"

namespace {
std::map<std::string, ino_t> baseline;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  scratch::Enter();
  baseline = scratch::Snapshot();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte is the include-hidden flag; the rest, NUL-terminated, the path, with the
  // room of at least 4 bytes that the entry guarantees.
  int include_hidden = data[0];
  std::vector<char> original(size - 1 + 4, '\0');
  std::memcpy(original.data(), data + 1, size - 1);
  std::vector<char> buffer = original;

  int result = DirectoryExists(include_hidden, buffer.data());
  if (result != 0 && result != 1) scratch::Violated("result is neither 0 nor 1");

  std::vector<char> expected = original;
  if (std::strlen(original.data()) == 2 && original[1] == ':') {
    expected[2] = '\\';
    expected[3] = '\0';
  }
  if (buffer != expected) scratch::Violated("buffer changed other than by the drive rewrite");
  if (scratch::Snapshot() != baseline) scratch::Violated("the check changed the file system");
  return 0;
}
