// The Linux profile store: ini files read and rewritten by the library itself.
#include "platform/profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/posix/ini_text.h"

namespace kelmor {

namespace {

// Ini files are small; anything larger is not one of ours and is neither
// read nor rewritten.  The limit only bounds the memory a stray file takes:
// a list of many thousand fonts still fits far below it.
constexpr off_t kMaxIniFileBytes = 64 * 1024 * 1024;

thread_local int lastError = 0;

// Records why a change failed and returns false, for `return Fail(...)`.
bool Fail(int error) {
    lastError = error ? error : EIO;
    return false;
}

enum class Load { Loaded, Missing, Unreadable };

std::string EnvironmentValue(const char *name) {
    const char *value = std::getenv(name);
    return value ? value : "";
}

std::string UserProfilePath() {
    std::string explicitPath = EnvironmentValue("KELMOR_PROFILE");
    if (!explicitPath.empty()) return explicitPath;
    // Relative XDG paths are invalid and ignored.
    std::string config = EnvironmentValue("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') {
        std::string home = EnvironmentValue("HOME");
        if (home.empty()) return "";
        config = home + "/.config";
    }
    return config + "/kelmor/profile.ini";
}

std::string StorePath(const char *lpszFileName) {
    return lpszFileName ? std::string(lpszFileName) : UserProfilePath();
}

// Unreadable leaves its cause in lastError.
Load LoadFile(const std::string &path, std::string *content) {
    content->clear();
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return Load::Missing;
        Fail(errno);
        return Load::Unreadable;
    }
    if (!S_ISREG(info.st_mode) || info.st_size > kMaxIniFileBytes) {
        Fail(S_ISREG(info.st_mode) ? EFBIG : EISDIR);
        return Load::Unreadable;
    }
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        Fail(errno);
        return Load::Unreadable;
    }
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0 &&
           content->size() <= size_t(kMaxIniFileBytes))
        content->append(chunk, got);
    bool failed = std::ferror(file) != 0 || content->size() > size_t(kMaxIniFileBytes);
    if (failed) Fail(std::ferror(file) ? EIO : EFBIG);
    std::fclose(file);
    return failed ? Load::Unreadable : Load::Loaded;
}

std::string DirectoryOf(const std::string &path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Writing through a symbolic link must update the file it names, not
// replace the link, also when that file does not exist yet (a link made
// before its file is).  Links are followed as the system would, at most 40;
// false (ELOOP) beyond that.
bool ResolvedTarget(const std::string &path, std::string *target) {
    *target = path;
    for (int hop = 0; hop < 40; ++hop) {
        char link[PATH_MAX];
        ssize_t length = readlink(target->c_str(), link, sizeof link - 1);
        if (length < 0) return true;  // not a link: the file itself
        std::string next(link, size_t(length));
        *target = next[0] == '/' ? next : DirectoryOf(*target) + "/" + next;
    }
    return Fail(ELOOP);
}

bool WriteAll(int fd, const std::string &content) {
    size_t done = 0;
    while (done < content.size()) {
        ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

// Writes the new text over the file's own bytes and cuts what is left: the
// way to change a file whose directory takes no new files or which has
// other names (hard links) that a replacement would part from it.  The
// whole text is ready before the first byte is written; should a write
// fail, the old text is put back.
bool RewriteInPlace(const std::string &target, const std::string &content,
                    const std::string &oldContent) {
    int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return Fail(errno);
    auto writeWhole = [fd](const std::string &text) {
        return lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, text) &&
               ftruncate(fd, off_t(text.size())) == 0 && fsync(fd) == 0;
    };
    bool written = writeWhole(content);
    int error = errno;
    if (!written) (void)writeWhole(oldContent);
    if (close(fd) != 0 && written) return Fail(errno);
    return written || Fail(error);
}

// Creates a fresh temporary file beside `target` with the owner and mode of
// the file it replaces (`original`, null for a new file, which gets the
// umask's mode).  -1 when no such file can be made.
int CreateTemporary(const std::string &target, const struct stat *original,
                    std::string *tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *tempPath = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        int fd = open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return -1;
        if (!original) return fd;
        struct stat made;
        bool sameOwner = fstat(fd, &made) == 0 && made.st_uid == original->st_uid &&
                         made.st_gid == original->st_gid;
        if ((sameOwner || fchown(fd, original->st_uid, original->st_gid) == 0) &&
            fchmod(fd, original->st_mode & 07777) == 0)
            return fd;
        close(fd);
        unlink(tempPath->c_str());
        return -1;
    }
    return -1;
}

void SyncDirectory(const std::string &directory) {
    int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)fsync(fd);
    close(fd);
}

// The new text reaches the disk under a temporary name first; the rename
// then swaps it in, so readers see either the old file or the new one.
// Where that cannot be done (see RewriteInPlace) an existing file is
// rewritten in place.
bool ReplaceFile(const std::string &target, const std::string &content,
                 const std::string &oldContent) {
    struct stat info;
    bool existed = stat(target.c_str(), &info) == 0;
    if (existed && info.st_nlink > 1) return RewriteInPlace(target, content, oldContent);
    std::string tempPath;
    int fd = CreateTemporary(target, existed ? &info : nullptr, &tempPath);
    if (fd < 0) return existed ? RewriteInPlace(target, content, oldContent) : Fail(errno);
    bool written = WriteAll(fd, content) && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && rename(tempPath.c_str(), target.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        unlink(tempPath.c_str());
        return Fail(error);
    }
    SyncDirectory(DirectoryOf(target));
    return true;
}

void CreateDirectories(const std::string &directory) {
    for (size_t slash = directory.find('/', 1); ; slash = directory.find('/', slash + 1)) {
        (void)mkdir(directory.substr(0, slash).c_str(), 0777);
        if (slash == std::string::npos) return;
    }
}

// Writers of one ini file take turns: each holds an advisory lock on the
// file from reading it to writing it back, so that two processes editing
// different keys at once both keep their change.  A replaced file is a new
// file, so a lock won on the old one is given up and taken again on the
// new; while the file does not exist, its directory is locked instead.
class WriterLock {
public:
    ~WriterLock() {
        if (fd_ >= 0) close(fd_);  // closing releases the lock
    }
    bool Acquire(const std::string &target) {
        for (int attempt = 0; attempt < 1000; ++attempt) {
            bool onDirectory = false;
            int fd = open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0 && errno == ENOENT) {
                onDirectory = true;
                fd = open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            }
            if (fd < 0) return false;
            int locked;
            while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {}
            if (locked == 0 && StillCurrent(fd, target, onDirectory)) {
                fd_ = fd;
                return true;
            }
            close(fd);
            if (locked != 0) return false;
        }
        return false;
    }

private:
    static bool StillCurrent(int fd, const std::string &target, bool onDirectory) {
        struct stat now;
        if (stat(target.c_str(), &now) != 0) return onDirectory && errno == ENOENT;
        struct stat held;
        return !onDirectory && fstat(fd, &held) == 0 && held.st_dev == now.st_dev &&
               held.st_ino == now.st_ino;
    }

    int fd_ = -1;
};

// A file the caller may not write is left alone, as the system's own
// profile calls leave a read-only file.
bool MayWrite(const std::string &target, Load load) {
    return load == Load::Missing || access(target.c_str(), W_OK) == 0 || Fail(errno);
}

// Reads, changes and writes back the file under one lock, so that no other
// writer's change falls between the read and the write.
template <typename Edit>
bool EditFile(const char *lpszFileName, Edit edit) {
    lastError = 0;
    std::string path = StorePath(lpszFileName);
    if (path.empty()) return Fail(ENOENT);
    if (!lpszFileName) CreateDirectories(DirectoryOf(path));
    std::string target;
    if (!ResolvedTarget(path, &target)) return false;
    WriterLock lock;
    if (!lock.Acquire(target)) return Fail(errno);
    std::string content;
    Load load = LoadFile(target, &content);
    if (load == Load::Unreadable) return Fail(lastError);
    lastError = 0;
    IniText ini(content);
    if (!edit(ini)) return true;
    return MayWrite(target, load) && ReplaceFile(target, ini.Text(), content);
}

// The file last read, kept parsed while it stays the same file with the same
// size and time stamp: reading a section asks for every key in turn.
struct ParsedFile {
    std::string path;
    struct stat info = {};
    IniText text{""};
};

bool SameFileState(const struct stat &a, const struct stat &b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The cache is per thread: fonts are opened (and read their setting) on
// any thread, and a text another thread replaced under a reader would be
// freed beneath it.
const IniText &ReadStore(const char *lpszFileName) {
    static thread_local ParsedFile cached;
    static const IniText empty("");
    std::string path = StorePath(lpszFileName);
    struct stat info;
    if (path.empty() || stat(path.c_str(), &info) != 0) return empty;
    if (path == cached.path && SameFileState(info, cached.info)) return cached.text;
    // A writer that must rewrite the file in place holds its lock until the
    // whole text is there; a shared lock waits for it.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) (void)flock(fd, LOCK_SH);
    std::string content;
    int writeError = lastError;  // a read does not change what the last write reported
    Load load = LoadFile(path, &content);
    lastError = writeError;
    if (fd >= 0) close(fd);
    if (load != Load::Loaded) return empty;
    cached.path = path;
    cached.info = info;
    cached.text = IniText(content);
    return cached.text;
}

uint32_t CopyCut(const std::string &text, char *lpBuffer, uint32_t uSize) {
    uint32_t length = uint32_t(std::min<size_t>(text.size(), uSize - 1));
    std::copy(text.begin(), text.begin() + length, lpBuffer);
    lpBuffer[length] = '\0';
    return length;
}

}  // namespace

int ProfileLastError() { return lastError; }
void ProfileSetLastError(int error) { lastError = error; }

uint32_t ProfileReadKeyNames(const char *lpszFileName, const char *lpszSection, char *lpBuffer,
                             uint32_t uSize) {
    if (!lpBuffer || uSize == 0) return 0;
    lpBuffer[0] = '\0';
    if (uSize < 2 || !lpszSection) return 0;
    uint32_t used = 0;
    for (const std::string &name : ReadStore(lpszFileName).KeyNames(lpszSection)) {
        if (used + name.size() + 2 > uSize) {
            // Cut the name that does not fit and end the list after it.
            uint32_t room = uSize - 1 - used;
            if (room > 0) CopyCut(name, lpBuffer + used, room);
            lpBuffer[uSize - 1] = '\0';
            return uSize - 2;
        }
        used += CopyCut(name, lpBuffer + used, uSize - used) + 1;
    }
    lpBuffer[used] = '\0';
    return used;
}

uint32_t ProfileReadString(const char *lpszFileName, const char *lpszSection, const char *lpszKey,
                           const char *lpszDefault, char *lpBuffer, uint32_t uSize) {
    if (!lpBuffer || uSize == 0) return 0;
    std::string value;
    if (!lpszSection || !lpszKey ||
        !ReadStore(lpszFileName).FindValue(lpszSection, lpszKey, &value))
        value = lpszDefault ? lpszDefault : "";
    return CopyCut(value, lpBuffer, uSize);
}

bool ProfileApplyChanges(const char *lpszFileName, const char *lpszSection,
                         const ProfileChange *pChanges, size_t uCount) {
    bool allAccepted = true;
    bool written = EditFile(lpszFileName, [&](IniText &ini) {
        bool changed = false;
        for (size_t i = 0; i < uCount; ++i) {
            const ProfileChange &change = pChanges[i];
            if (!ProfileTextIsWritable(lpszSection, change.lpszKey, change.lpszValue)) {
                allAccepted = false;
                continue;
            }
            bool changedNow =
                change.lpszValue
                    ? ini.SetValue(lpszSection, change.lpszKey, ProfileStoredValue(change.lpszValue))
                    : ini.DeleteKey(lpszSection, change.lpszKey);
            changed = changedNow || changed;
        }
        return changed;
    });
    if (written && !allAccepted) return Fail(EINVAL);
    return written;
}

bool ProfileReplaceSection(const char *lpszFileName, const char *lpszSection,
                           const ProfileChange *pEntries, size_t uCount) {
    lastError = 0;
    std::vector<IniText::Entry> entries;
    for (size_t i = 0; i < uCount; ++i) {
        if (!pEntries[i].lpszValue ||
            !ProfileTextIsWritable(lpszSection, pEntries[i].lpszKey, pEntries[i].lpszValue))
            return Fail(EINVAL);
        entries.push_back({pEntries[i].lpszKey, ProfileStoredValue(pEntries[i].lpszValue)});
    }
    if (!ProfileSectionIsWritable(lpszSection)) return Fail(EINVAL);
    return EditFile(lpszFileName,
                    [&](IniText &ini) { return ini.ReplaceSection(lpszSection, entries); });
}

}  // namespace kelmor
