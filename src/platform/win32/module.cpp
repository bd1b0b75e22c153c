#include "platform/module.h"

#include <windows.h>

#include "ttf/settings.h"

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

namespace {

// Inside kelmor32.dll the loader attaches the library through DllMain.  An
// executable the library is linked into gets no such call, so the library
// attaches itself when the program starts.
struct AttachWhenLinkedIntoExecutable {
    AttachWhenLinkedIntoExecutable() {
        void *self = LibraryModuleHandle();
        if (self && self == GetModuleHandleA(nullptr))
            DllEntryPoint(self, kProcessAttach, nullptr);
    }
} attachWhenLinkedIntoExecutable;

}  // namespace

}  // namespace kelmor
