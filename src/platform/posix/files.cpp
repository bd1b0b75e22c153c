#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelmor {

// Opening without blocking lets a FIFO be seen for what it is instead of
// waiting for its writer; the check is made on the descriptor, so the file
// cannot be swapped between the check and the read.
std::FILE *OpenRegularFile(const char *lpszFileName) {
    if (!lpszFileName) return nullptr;
    int fd = open(lpszFileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    std::FILE *file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
}

}  // namespace kelmor
