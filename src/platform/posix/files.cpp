#include "platform/files.h"

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelmor {

// Opening without blocking lets a FIFO be seen for what it is instead of
// waiting for its writer; the check is made on the descriptor, so the file
// cannot be swapped between the check and the read.
namespace {

std::FILE *Refuse(FileOpenFailure *why, FileOpenFailure reason) {
    if (why != nullptr) *why = reason;
    return nullptr;
}

}  // namespace

std::FILE *OpenRegularFile(const char *lpszFileName, FileOpenFailure *why) {
    if (!lpszFileName) return Refuse(why, FileOpenFailure::kNotFound);
    int fd = open(lpszFileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        return Refuse(why, missing ? FileOpenFailure::kNotFound : FileOpenFailure::kUnreadable);
    }
    struct stat info;
    const bool measured = fstat(fd, &info) == 0;
    if (!measured || !S_ISREG(info.st_mode)) {
        close(fd);
        return Refuse(why, measured ? FileOpenFailure::kNotRegular : FileOpenFailure::kUnreadable);
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        return Refuse(why, FileOpenFailure::kUnreadable);
    }
    std::FILE *file = fdopen(fd, "rb");
    if (!file) {
        close(fd);
        return Refuse(why, FileOpenFailure::kUnreadable);
    }
    return file;
}

// One positioned read per call: no seek, and the descriptor's offset stays
// where it was.
size_t ReadFileRange(std::FILE *file, uint64_t offset, void *dst, size_t count) {
    if (file == nullptr || offset > uint64_t(LLONG_MAX)) return 0;
    const int fd = fileno(file);
    auto *out = static_cast<char *>(dst);
    size_t done = 0;
    while (done < count) {
        const ssize_t got = pread(fd, out + done, count - done, off_t(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += size_t(got);
    }
    return done;
}

int64_t FileLength(std::FILE *file) {
    struct stat info;
    if (file == nullptr || fstat(fileno(file), &info) != 0 || info.st_size < 0) return -1;
    return int64_t(info.st_size);
}

}  // namespace kelmor
