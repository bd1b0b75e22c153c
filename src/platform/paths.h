// What the library needs to know about the platform's file names.
#ifndef KELMOR_PLATFORM_PATHS_H
#define KELMOR_PLATFORM_PATHS_H

#include <cstddef>
#include <cstring>

namespace kelmor {

// Room for the longest path either platform hands out, terminator included.
// A path that does not fit is refused, never cut.
constexpr size_t kMaxPathBytes = 4096;

#ifdef _WIN32
// File names ignore letter case, so a path may be stored in lower case.
constexpr bool kFileNamesIgnoreCase = true;
// Characters after which a path's file name begins (a drive "C:" counts).
constexpr const char *kPathSeparators = "\\/:";
#else
constexpr bool kFileNamesIgnoreCase = false;
constexpr const char *kPathSeparators = "/";
#endif

// Length of the drive and directory part of a path, the last separator
// included: what stays when the file name is replaced.
inline size_t DirectoryLength(const char *path) {
    size_t length = 0;
    for (size_t i = 0; path[i]; ++i)
        if (std::strchr(kPathSeparators, path[i])) length = i + 1;
    return length;
}

}  // namespace kelmor

#endif
