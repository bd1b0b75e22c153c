// Whole-file reads and writes for tests that prepare or inspect text files.
#ifndef KELMOR_TESTS_TEXT_FILE_H
#define KELMOR_TESTS_TEXT_FILE_H

#include <string>

namespace kelmor_test {

// Writes `content` byte for byte (no line-end translation).
void WriteTextFile(const std::string &path, const std::string &content);
// The file's bytes, or "" when it cannot be read.
std::string ReadTextFile(const std::string &path);

}  // namespace kelmor_test

#endif
