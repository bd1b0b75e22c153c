#include "test_paths.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace kelmor_test {

std::string ScratchDir(const std::string &name) {
    namespace fs = std::filesystem;
    fs::path dir = fs::current_path() / "scratch" / name;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir, ec);
    return dir.string();
}

std::string DebianFont(const std::string &relativeToFontsDir) {
    std::string path = "/usr/share/fonts/" + relativeToFontsDir;
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return "";
    std::fclose(f);
    return path;
}

}  // namespace kelmor_test
