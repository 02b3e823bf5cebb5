// The four kernel calls that vestrill makes, and the few types and constants they need.
// On Windows they are KERNEL32's own; elsewhere posix_kernel.cpp stands in for them.
#ifndef VESTRILL_KERNEL_KERNEL_H
#define VESTRILL_KERNEL_KERNEL_H

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#else

#include <cstdint>

typedef int BOOL;
typedef std::uint32_t DWORD;
typedef void* HANDLE;
typedef const char* LPCSTR;

// Only the attribute word is ever read from a search record.
typedef struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

// Never defined: the only security attributes vestrill passes are none (NULL).
typedef struct SECURITY_ATTRIBUTES SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;

// Length in bytes without the terminator; 0 for NULL.
int lstrlenA(LPCSTR string);

// Looks up the one entry that the path names (`\` and `/` both separate components; `*` and `?`
// are ordinary characters). Returns a handle for FindClose and fills the record, or
// INVALID_HANDLE_VALUE when there is no such entry.
HANDLE FindFirstFileA(LPCSTR path, LPWIN32_FIND_DATAA record);

BOOL FindClose(HANDLE search);

// mkdir(path, 0777): the umask applies. Non-zero on success.
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);

#endif
#endif
