// POSIX stand-in for the kernel calls declared in kernel.h.
#include "kernel/kernel.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// A private copy of the path with Windows separators turned into POSIX ones; the caller's
// buffer is never written. NULL when there is no path or no memory.
char* PosixPath(LPCSTR path) {
  if (path == nullptr) return nullptr;
  std::size_t length = std::strlen(path);
  char* copy = static_cast<char*>(std::malloc(length + 1));
  if (copy == nullptr) return nullptr;
  for (std::size_t i = 0; i <= length; i++) copy[i] = path[i] == '\\' ? '/' : path[i];
  return copy;
}

// Dot names count as hidden, as Windows programs on POSIX customarily report them. The last
// component is the last non-empty one, so "dir/.cache/" names ".cache".
bool IsHiddenName(const char* path) {
  const char* end = path + std::strlen(path);
  while (end > path && end[-1] == '/') end--;
  const char* start = end;
  while (start > path && start[-1] != '/') start--;
  std::size_t length = static_cast<std::size_t>(end - start);
  if (length == 0 || start[0] != '.') return false;
  if (length == 1 || (length == 2 && start[1] == '.')) return false;
  return true;
}

}  // namespace

int lstrlenA(LPCSTR string) {
  if (string == nullptr) return 0;
  std::size_t length = std::strlen(string);
  return length > INT_MAX ? INT_MAX : static_cast<int>(length);
}

HANDLE FindFirstFileA(LPCSTR path, LPWIN32_FIND_DATAA record) {
  if (record == nullptr) return INVALID_HANDLE_VALUE;
  char* posix_path = PosixPath(path);
  if (posix_path == nullptr) return INVALID_HANDLE_VALUE;

  struct stat status;
  bool found = stat(posix_path, &status) == 0;
  DWORD attributes = 0;
  if (found && S_ISDIR(status.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (found && IsHiddenName(posix_path)) attributes |= FILE_ATTRIBUTE_HIDDEN;
  std::free(posix_path);
  if (!found) return INVALID_HANDLE_VALUE;

  // The handle owns one allocation that FindClose releases, so a leaked or doubly closed search
  // shows up under the memory checkers.
  HANDLE search = std::malloc(1);
  if (search == nullptr) return INVALID_HANDLE_VALUE;
  record->dwFileAttributes = attributes;
  return search;
}

BOOL FindClose(HANDLE search) {
  if (search == nullptr || search == INVALID_HANDLE_VALUE) return 0;
  std::free(search);
  return 1;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES) {
  char* posix_path = PosixPath(path);
  if (posix_path == nullptr) return 0;
  BOOL created = mkdir(posix_path, 0777) == 0;
  std::free(posix_path);
  return created;
}
