// The library's own module: the DLL or shared object holding this code, or
// the executable when the library is linked into it statically.
#ifndef KELMOR_PLATFORM_MODULE_H
#define KELMOR_PLATFORM_MODULE_H

#include <cstdint>

namespace kelmor {

// The handle of the module that contains the library (on Windows its
// HMODULE, on Linux its load address).
void *LibraryModuleHandle();

// Stores the full path of the module hModule (null: the executable) in
// lpBuffer.  False, with an empty buffer, when it is unknown or would not
// fit in uSize bytes.
bool ModuleFileName(void *hModule, char *lpBuffer, uint32_t uSize);

// True when the platform's loader calls the library's DllMain: on Windows,
// with the library in a DLL of its own.  On Linux, or with the library
// linked into an executable, nobody does, and the library attaches itself
// when the program starts.
bool LoaderCallsDllMain();

// Reasons for calling the library's process entry point, with the Win32
// loader's values.
constexpr uint32_t kProcessDetach = 0;
constexpr uint32_t kProcessAttach = 1;
constexpr uint32_t kThreadAttach = 2;
constexpr uint32_t kThreadDetach = 3;

}  // namespace kelmor

#endif
