#include "tests/fake/recording_kernel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace fake {

Kernel kernel;

void Reset() { kernel = Kernel(); }

std::vector<std::string> Kernel::Functions() const {
  std::vector<std::string> names;
  for (const Call& call : calls) names.push_back(call.function);
  return names;
}

}  // namespace fake

using fake::kernel;

namespace {

std::uintptr_t next_handle = 0x1000;

std::string Contents(const char* buffer) { return buffer == nullptr ? std::string() : buffer; }

}  // namespace

int lstrlenA(LPCSTR string) {
  kernel.calls.push_back({"lstrlenA", string, Contents(string), nullptr, false});
  return string == nullptr ? 0 : static_cast<int>(std::strlen(string));
}

HANDLE FindFirstFileA(LPCSTR path, LPWIN32_FIND_DATAA record) {
  HANDLE handle = INVALID_HANDLE_VALUE;
  auto match = kernel.matches.find(Contents(path));
  if (match != kernel.matches.end() && !match->second.empty()) {
    handle = reinterpret_cast<HANDLE>(next_handle++);
    record->dwFileAttributes = match->second.front();
    kernel.open_handles.push_back(handle);
  }
  kernel.calls.push_back({"FindFirstFileA", path, Contents(path), handle, false});
  return handle;
}

BOOL FindClose(HANDLE search) {
  kernel.calls.push_back({"FindClose", nullptr, "", search, false});
  auto open = std::find(kernel.open_handles.begin(), kernel.open_handles.end(), search);
  if (open == kernel.open_handles.end()) {
    kernel.bad_closes++;
    return 0;
  }
  kernel.open_handles.erase(open);
  return 1;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security) {
  kernel.calls.push_back({"CreateDirectoryA", path, Contents(path), nullptr, security != nullptr});
  return 1;
}
