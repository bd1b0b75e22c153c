#include "platform/module.h"

#include <windows.h>

namespace kelmor {

namespace {

// An address inside the library, whichever module it was linked into.
const char kAnchor = 0;

}  // namespace

void *LibraryModuleHandle() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       &kAnchor, &module);
    return module;
}

bool ModuleFileName(void *hModule, char *lpBuffer, uint32_t uSize) {
    if (!lpBuffer || uSize == 0) return false;
    DWORD length = GetModuleFileNameA(static_cast<HMODULE>(hModule), lpBuffer, uSize);
    // A name that filled the buffer was cut (and may lack its terminator).
    if (length == 0 || length >= uSize) {
        lpBuffer[0] = '\0';
        return false;
    }
    return true;
}

bool LoaderCallsDllMain() {
    void *self = LibraryModuleHandle();
    return self && self != GetModuleHandleA(nullptr);
}

}  // namespace kelmor
