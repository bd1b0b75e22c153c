#include "output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kelmor {
namespace {

std::string Named(const std::string &path) {
    return path.empty() ? std::string("standard output") : "\"" + path + "\"";
}

}  // namespace

OutputFile::~OutputFile() {
    if (stream_ != nullptr && stream_ != stdout) std::fclose(stream_);
    if (!temporary_.empty()) unlink(temporary_.c_str());
}

bool OutputFile::Open(std::string *error) {
    if (path_.empty()) {
        stream_ = stdout;
        return true;
    }
    // Created the way fopen would create the file itself (0666 less the
    // umask), under a name no other run uses.
    for (int attempt = 0; attempt < 100 && stream_ == nullptr; ++attempt) {
        const std::string name = path_ + ".tmp" + std::to_string(getpid()) + "." +
                                 std::to_string(attempt);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) break;
        stream_ = fdopen(fd, "w");
        if (stream_ == nullptr) {
            close(fd);
            unlink(name.c_str());
            break;
        }
        temporary_ = name;
    }
    if (stream_ == nullptr)
        *error = "cannot write " + Named(path_) + ": " + std::strerror(errno);
    return stream_ != nullptr;
}

bool OutputFile::Commit(std::string *error) {
    const bool failed = stream_ == nullptr || std::ferror(stream_) != 0;
    bool closeFailed = false;
    if (stream_ == stdout) {
        closeFailed = std::fflush(stdout) != 0;
    } else if (stream_ != nullptr) {
        closeFailed = std::fclose(stream_) != 0;
    }
    if (stream_ != stdout) stream_ = nullptr;
    if (failed || closeFailed) {
        *error = "writing " + Named(path_) + " failed";
        return false;
    }
    if (temporary_.empty()) return true;
    if (rename(temporary_.c_str(), path_.c_str()) != 0) {
        *error = "cannot write " + Named(path_) + ": " + std::strerror(errno);
        return false;
    }
    temporary_.clear();
    return true;
}

}  // namespace kelmor
