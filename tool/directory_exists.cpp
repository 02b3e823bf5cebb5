#include "tool/directory_exists.h"

#include "kernel/kernel.h"

int DirectoryExists(int include_hidden, char* path) {
  // "C:" alone names the drive's current directory, not its root.
  if (lstrlenA(path) == 2 && path[1] == ':') {
    path[2] = '\\';
    path[3] = '\0';
  }

  WIN32_FIND_DATAA record;
  HANDLE search = FindFirstFileA(path, &record);
  if (search == INVALID_HANDLE_VALUE) return 0;
  DWORD attributes = record.dwFileAttributes;
  FindClose(search);

  if ((attributes & FILE_ATTRIBUTE_HIDDEN) && include_hidden == 0) return 0;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}
