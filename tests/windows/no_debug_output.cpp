// GoogleTest copies every failure to OutputDebugStringA, which raises an exception for a
// debugger to catch. Where Wine runs under qemu's user-mode emulator (see scripts/setup), a
// raised exception kills the process, so a failing test would die instead of reporting. The
// tests want no debugger output: this fills the import's slot with a no-op, and the linker then
// takes no import for it from KERNEL32.
#include <windows.h>

namespace {

void WINAPI IgnoreDebugOutput(LPCSTR) {}

}  // namespace

extern "C" void(WINAPI* const vestrill_ignore_debug_output)(LPCSTR) __asm__(
    "__imp__OutputDebugStringA@4") = IgnoreDebugOutput;
