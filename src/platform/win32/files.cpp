#include "platform/files.h"

#include <io.h>
#include <windows.h>

namespace kelmor {

// Pipes and devices ("\\.\pipe\x", "CON") are not files on disk; only what
// the system reports as an ordinary file or archive is opened.
namespace {

std::FILE *Refuse(FileOpenFailure *why, FileOpenFailure reason) {
    if (why != nullptr) *why = reason;
    return nullptr;
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_INVALID_DRIVE;
}

}  // namespace

std::FILE *OpenRegularFile(const char *lpszFileName, FileOpenFailure *why) {
    if (!lpszFileName) return Refuse(why, FileOpenFailure::kNotFound);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(lpszFileName, GetFileExInfoStandard, &data)) {
        return Refuse(why, IsMissing(GetLastError()) ? FileOpenFailure::kNotFound
                                                     : FileOpenFailure::kUnreadable);
    }
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return Refuse(why, FileOpenFailure::kNotRegular);
    std::FILE *file = std::fopen(lpszFileName, "rb");
    if (!file) return Refuse(why, FileOpenFailure::kUnreadable);
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        std::fclose(file);
        return Refuse(why, FileOpenFailure::kNotRegular);
    }
    return file;
}

// Reads through the descriptor, so the stream's own buffer never holds font
// bytes that could go stale between calls.
size_t ReadFileRange(std::FILE *file, uint64_t offset, void *dst, size_t count) {
    if (file == nullptr || offset > uint64_t(INT64_MAX)) return 0;
    const int fd = _fileno(file);
    if (_lseeki64(fd, int64_t(offset), SEEK_SET) < 0) return 0;
    auto *out = static_cast<char *>(dst);
    size_t done = 0;
    while (done < count) {
        const size_t piece = count - done < 0x40000000u ? count - done : 0x40000000u;
        const int got = _read(fd, out + done, unsigned(piece));
        if (got <= 0) break;
        done += size_t(got);
    }
    return done;
}

int64_t FileLength(std::FILE *file) {
    if (file == nullptr) return -1;
    __int64 length = _filelengthi64(_fileno(file));
    return length < 0 ? -1 : int64_t(length);
}

}  // namespace kelmor
