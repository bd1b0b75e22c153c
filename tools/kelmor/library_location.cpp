#include "library_location.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "ttf/api/tool_internals.h"

// Set by the build from the install layout; these are its defaults.
#ifndef KELMOR_TOOL_TO_LIBDIR
#define KELMOR_TOOL_TO_LIBDIR "../lib"
#endif
#ifndef KELMOR_LIBRARY_FILE
#define KELMOR_LIBRARY_FILE "libkelmor.so.1"
#endif

namespace kelmor {

namespace {

std::string ToolDirectory() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    std::string tool(path, size_t(length));
    return tool.substr(0, tool.rfind('/'));
}

std::string Canonical(const std::string &path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? resolved : "";
}

// Where the loader finds the library for a host that names it by soname.
std::string LibraryTheLoaderFinds() {
    void *library = dlopen(KELMOR_LIBRARY_FILE, RTLD_LAZY | RTLD_LOCAL);
    if (!library) return "";
    Dl_info info;
    void *symbol = dlsym(library, "KelmoRegisterApp");
    std::string path = symbol && dladdr(symbol, &info) && info.dli_fname ? info.dli_fname : "";
    dlclose(library);
    return path.empty() ? "" : Canonical(path);
}

}  // namespace

std::string FindInstalledLibrary() {
    std::string tool = ToolDirectory();
    if (!tool.empty()) {
        for (const std::string &dir : {tool + "/" + KELMOR_TOOL_TO_LIBDIR, tool}) {
            std::string candidate = Canonical(dir + "/" + KELMOR_LIBRARY_FILE);
            if (!candidate.empty()) return candidate;
        }
    }
    return LibraryTheLoaderFinds();
}

void UseInstalledLibrarySettings() {
    std::string library = FindInstalledLibrary();
    if (library.empty()) return;  // no library: the tool's own settings are all there is
    SetLibraryFileForIni(library.c_str());
    InitIniFile();
    InitKELMOFromIni();
}

}  // namespace kelmor
