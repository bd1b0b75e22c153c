#include "platform/module.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstring>

namespace kelmor {

namespace {

// An address inside the library, whichever module it was linked into.
const char kAnchor = 0;

struct ModuleSearch {
    uintptr_t address;
    const char *name = nullptr;  // "" for the executable itself
};

int MatchLoadedObject(dl_phdr_info *info, size_t, void *data) {
    auto *search = static_cast<ModuleSearch *>(data);
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr) &segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD) continue;
        uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        if (search->address >= start && search->address - start < segment.p_memsz) {
            search->name = info->dlpi_name ? info->dlpi_name : "";
            return 1;
        }
    }
    return 0;
}

bool CopyPath(const char *path, size_t length, char *lpBuffer, uint32_t uSize) {
    if (length == 0 || length >= uSize) return false;
    std::memcpy(lpBuffer, path, length);
    lpBuffer[length] = '\0';
    return true;
}

// The loader knows the executable only by the name it was started with,
// which may be relative or found through PATH; the kernel knows its path.
bool ExecutablePath(char *lpBuffer, uint32_t uSize) {
    ssize_t length = readlink("/proc/self/exe", lpBuffer, uSize);
    if (length <= 0 || size_t(length) >= uSize) return false;
    lpBuffer[length] = '\0';
    return true;
}

}  // namespace

void *LibraryModuleHandle() {
    Dl_info info;
    if (!dladdr(&kAnchor, &info)) return nullptr;
    return info.dli_fbase;
}

bool ModuleFileName(void *hModule, char *lpBuffer, uint32_t uSize) {
    if (!lpBuffer || uSize == 0) return false;
    lpBuffer[0] = '\0';
    ModuleSearch search{reinterpret_cast<uintptr_t>(hModule)};
    if (hModule) dl_iterate_phdr(MatchLoadedObject, &search);
    bool found;
    if (!hModule || (search.name && !*search.name))
        found = ExecutablePath(lpBuffer, uSize);
    else
        found = search.name && CopyPath(search.name, std::strlen(search.name), lpBuffer, uSize);
    if (!found) lpBuffer[0] = '\0';
    return found;
}

bool LoaderCallsDllMain() { return false; }

}  // namespace kelmor
