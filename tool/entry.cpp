#include "tool/entry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kernel/kernel.h"
#include "tool/directory_exists.h"

namespace {

const char kUsage[] =
    "  Tamberwick vestrill v1.0\n"
    "  usage vestrill \"[rootpath]\"\n"
    "  ex: vestrill \"c:\\home\\quelt\"";

}  // namespace

int RunVestrill(int argc, char** argv) {
  if (argc < 2 || argv[1] == nullptr) {
    // Failure to write (closed or full output) changes nothing: the status is always 0.
    std::fwrite(kUsage, 1, sizeof kUsage - 1, stdout);
    return 0;
  }

  // A copy of our own, with room for a drive designator to gain its backslash in place.
  std::size_t length = std::strlen(argv[1]);
  char* root = static_cast<char*>(std::malloc(length < 4 ? 4 : length + 1));
  if (root == nullptr) return 0;
  std::memcpy(root, argv[1], length + 1);

  if (!DirectoryExists(1, root)) CreateDirectoryA(root, nullptr);

  std::free(root);
  return 0;
}
