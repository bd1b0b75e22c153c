#include "scratch_font.h"

#include <cstdio>

#include <unistd.h>

namespace kelmor_fuzz {

const std::string &ScratchFontPath() {
    static const std::string path = "/tmp/kelmor-fuzz-" + std::to_string(getpid()) + ".ttf";
    return path;
}

bool WriteScratchFont(const uint8_t *data, size_t size) {
    std::FILE *f = std::fopen(ScratchFontPath().c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace kelmor_fuzz
