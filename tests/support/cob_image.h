// Concordance (.cob) images for tests.
#ifndef KELMOR_TEST_COB_IMAGE_H
#define KELMOR_TEST_COB_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelmor_test {

void PutLE32(std::vector<uint8_t> &image, size_t at, uint32_t value);

// A well-formed image: item i holds itemBase + i, so every conversion result
// tells which index it read.  The range and delta records carry recognisable
// values so that misplaced arrays show.
std::vector<uint8_t> CobImage(uint32_t nRanges, uint32_t nDeltas, uint32_t nItems,
                              uint32_t itemBase = 0x10000);

}  // namespace kelmor_test

#endif
