// A recording fake of the four kernel calls, linked in place of the real ones: it answers
// searches from a scripted table of entries and records every call with the buffer it got.
#ifndef VESTRILL_TESTS_FAKE_RECORDING_KERNEL_H
#define VESTRILL_TESTS_FAKE_RECORDING_KERNEL_H

#include <map>
#include <string>
#include <vector>

#include "kernel/kernel.h"

namespace fake {

struct Call {
  std::string function;  // "lstrlenA", "FindFirstFileA", "FindClose" or "CreateDirectoryA"
  const char* buffer;    // the path pointer it was given (null for FindClose)
  std::string path;      // what that buffer held at the time of the call
  HANDLE handle;         // the handle it returned (FindFirstFileA) or was given (FindClose)
  bool security;         // CreateDirectoryA: were security attributes passed?
};

// What the fake kernel knows and has seen; reset before each test.
struct Kernel {
  // The entries that a search for a pattern matches, in the order they would be returned.
  std::map<std::string, std::vector<DWORD>> matches;
  std::vector<Call> calls;
  std::vector<HANDLE> open_handles;
  int bad_closes = 0;  // FindClose on a handle that was never opened or is already closed

  std::vector<std::string> Functions() const;
};

extern Kernel kernel;
void Reset();

}  // namespace fake

#endif
