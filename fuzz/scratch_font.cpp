#include "scratch_font.h"

#include <cstdio>

#include <unistd.h>

namespace kelmor_fuzz {

namespace {

// Memory-backed when the system offers it: each run writes a file.
std::string ScratchDirectory() {
    return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

}  // namespace

const std::string &ScratchFontPath() {
    static const std::string path =
        ScratchDirectory() + "/kelmor-fuzz-" + std::to_string(getpid()) + ".ttf";
    return path;
}

bool WriteScratchFont(const uint8_t *data, size_t size) {
    std::FILE *f = std::fopen(ScratchFontPath().c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace kelmor_fuzz
