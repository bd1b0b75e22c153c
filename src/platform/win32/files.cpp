#include "platform/files.h"

#include <io.h>
#include <windows.h>

namespace kelmor {

// Pipes and devices ("\\.\pipe\x", "CON") are not files on disk; only what
// the system reports as an ordinary file or archive is opened.
std::FILE *OpenRegularFile(const char *lpszFileName) {
    if (!lpszFileName) return nullptr;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(lpszFileName, GetFileExInfoStandard, &data)) return nullptr;
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return nullptr;
    std::FILE *file = std::fopen(lpszFileName, "rb");
    if (!file) return nullptr;
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

}  // namespace kelmor
