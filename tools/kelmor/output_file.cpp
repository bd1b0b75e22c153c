#include "output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kelmor {
namespace {

std::string Named(const std::string &path) {
    return path.empty() ? std::string("standard output") : "\"" + path + "\"";
}

std::string WithCause(const std::string &message, int error) {
    return error != 0 ? message + ": " + std::strerror(error) : message;
}

// The directory part of a path, with its final '/' ("" for a bare name).
std::string DirectoryOf(const std::string &path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a destination names: a symbolic link's target, followed through
// every link (one that does not exist yet is created), else the path itself.
bool FollowLinks(const std::string &destination, std::string *target, std::string *error) {
    constexpr int kMostLinks = 40;  // as the kernel's own limit
    std::string path = destination;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat status;
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            *target = path;
            return true;
        }
        char link[4096];
        const ssize_t length = readlink(path.c_str(), link, sizeof link);
        if (length < 0 || size_t(length) >= sizeof link) {
            *error = WithCause("cannot follow the symbolic link " + Named(path),
                               length < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        const std::string next(link, size_t(length));
        path = next[0] == '/' ? next : DirectoryOf(path) + next;
    }
    *error = WithCause("cannot follow the symbolic link " + Named(destination), ELOOP);
    return false;
}

// Whether `rest` is "PID.N" and PID names no running process.
bool OfAGoneProcess(const std::string &rest) {
    const size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string::npos || dot > 9 || dot + 1 == rest.size() ||
        rest.find_first_not_of("0123456789", dot + 1) != std::string::npos ||
        rest.find_first_not_of("0123456789") != dot)
        return false;
    const pid_t pid = pid_t(std::stol(rest.substr(0, dot)));
    return pid > 0 && pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH;
}

// Removes the temporary files of this destination (NAME.tmpPID.N) that a
// run killed before it could remove them left behind.
void RemoveStaleTemporaries(const std::string &destination) {
    const std::string directory = DirectoryOf(destination);
    const std::string prefix = destination.substr(directory.size()) + ".tmp";
    DIR *listing = opendir(directory.empty() ? "." : directory.c_str());
    if (listing == nullptr) return;
    while (const dirent *entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) == 0 &&
            OfAGoneProcess(name.substr(prefix.size())))
            unlink((directory + name).c_str());
    }
    closedir(listing);
}

// The stream's bytes go to the temporary file's descriptor; the first
// failure's errno is kept, since the stream keeps only that one happened.
ssize_t WriteToSink(void *cookie, const char *bytes, size_t size) {
    auto *sink = static_cast<OutputFile::Sink *>(cookie);
    for (size_t done = 0; done < size;) {
        const ssize_t wrote = write(sink->fd, bytes + done, size - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            if (sink->error == 0) sink->error = wrote < 0 ? errno : EIO;
            return -1;
        }
        done += size_t(wrote);
    }
    return ssize_t(size);
}

int CloseSink(void *cookie) {
    auto *sink = static_cast<OutputFile::Sink *>(cookie);
    const int result = close(sink->fd);
    if (result != 0 && sink->error == 0) sink->error = errno;
    sink->fd = -1;
    return result;
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
    if (!FollowLinks(path_, &target_, error)) return false;
    RemoveStaleTemporaries(target_);
    return OpenTemporary(target_, error);
}

// Created the way fopen would create the file itself (0666 less the umask),
// or with the permissions of the file it replaces, under a name no other
// run uses.
bool OutputFile::OpenTemporary(const std::string &destination, std::string *error) {
    struct stat existing;
    const bool replaces = stat(destination.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    for (int attempt = 0; attempt < 100 && stream_ == nullptr; ++attempt) {
        const std::string name = destination + ".tmp" + std::to_string(getpid()) + "." +
                                 std::to_string(attempt);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) break;
        if (replaces) fchmod(fd, existing.st_mode & 07777);
        sink_ = Sink{fd, 0};
        stream_ = fopencookie(&sink_, "w", cookie_io_functions_t{nullptr, WriteToSink, nullptr,
                                                                  CloseSink});
        if (stream_ == nullptr) {
            close(fd);
            unlink(name.c_str());
            break;
        }
        temporary_ = name;
    }
    if (stream_ == nullptr) *error = WithCause("cannot write " + Named(path_), errno);
    return stream_ != nullptr;
}

bool OutputFile::Commit(std::string *error) {
    if (stream_ == stdout) {
        const bool failed = std::ferror(stdout) != 0 || std::fflush(stdout) != 0;
        if (failed) *error = WithCause("writing standard output failed", errno);
        return !failed;
    }
    bool failed = stream_ == nullptr || std::ferror(stream_) != 0;
    if (stream_ != nullptr && std::fclose(stream_) != 0) failed = true;
    stream_ = nullptr;
    if (failed) {
        *error = WithCause("writing " + Named(path_) + " failed", sink_.error);
        return false;
    }
    if (rename(temporary_.c_str(), target_.c_str()) != 0) {
        *error = WithCause("cannot write " + Named(path_), errno);
        return false;
    }
    temporary_.clear();
    return true;
}

}  // namespace kelmor
