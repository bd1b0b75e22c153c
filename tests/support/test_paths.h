// Locations shared by the test programs.
#ifndef KELMOR_TESTS_TEST_PATHS_H
#define KELMOR_TESTS_TEST_PATHS_H

#include <string>

namespace kelmor_test {

// What joins a directory and a file name in the paths the tests build.
#ifdef _WIN32
constexpr char kDirSeparator = '\\';
#else
constexpr char kDirSeparator = '/';
#endif

// A fresh, empty directory for one test's files (removed by the next run).
std::string ScratchDir(const std::string &name);

// Full path of a font shipped by a Debian package, or "" when absent.
std::string DebianFont(const std::string &relativeToFontsDir);

}  // namespace kelmor_test

#endif
