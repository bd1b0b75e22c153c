#include "scratch_font.h"

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace kelmor_fuzz {

namespace {

// Memory-backed when the system offers it: each run writes a file.
std::string ScratchDirectory() {
    return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

// The file goes when the fuzzer exits normally; after a crash it stays
// behind with the input that caused it.  The path is never destroyed, so
// that the exit handler can still read it.
const std::string *NewScratchPath() {
    const auto *path = new std::string(ScratchDirectory() + "/kelmor-fuzz-" +
                                       std::to_string(getpid()) + ".ttf");
    std::atexit([] { std::remove(ScratchFontPath().c_str()); });
    return path;
}

}  // namespace

const std::string &ScratchFontPath() {
    static const std::string *const path = NewScratchPath();
    return *path;
}

bool WriteScratchFont(const uint8_t *data, size_t size) {
    std::FILE *f = std::fopen(ScratchFontPath().c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace kelmor_fuzz
