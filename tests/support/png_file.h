// Writes RGB pictures as PNG files without any library: the image data is
// stored uncompressed inside the zlib stream, which every PNG reader
// accepts.  For screenshots the tests leave in the build tree.
#ifndef KELMOR_TESTS_PNG_FILE_H
#define KELMOR_TESTS_PNG_FILE_H

#include <cstdint>
#include <string>
#include <vector>

namespace kelmor_test {

// rgb holds height rows of width pixels, 3 bytes each, top row first.
bool WritePng(const std::string &path, int width, int height, const std::vector<uint8_t> &rgb);

}  // namespace kelmor_test

#endif
