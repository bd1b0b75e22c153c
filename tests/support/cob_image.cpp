#include "cob_image.h"

#include <cstring>

namespace kelmor_test {

namespace {

// Header offsets of the counts and iLastCode.
constexpr size_t kHeadSizeAt = 4, kLastCodeAt = 36, kRangesAt = 40, kDeltasAt = 48,
                 kItemsAt = 56;

}  // namespace

void PutLE32(std::vector<uint8_t> &image, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) image[at + i] = uint8_t(value >> (8 * i));
}

std::vector<uint8_t> CobImage(uint32_t nRanges, uint32_t nDeltas, uint32_t nItems,
                              uint32_t itemBase) {
    std::vector<uint8_t> image(64 + 18 * nRanges + 12 * nDeltas + 4 * nItems);
    std::memcpy(image.data(), "Conc", 4);
    PutLE32(image, kHeadSizeAt, 64);
    PutLE32(image, 8, uint32_t(image.size()));
    std::strcpy(reinterpret_cast<char *>(&image[13]), "SJIS");
    std::strcpy(reinterpret_cast<char *>(&image[23]), "Unicode");
    PutLE32(image, kLastCodeAt, nItems - 1);
    PutLE32(image, kRangesAt, nRanges);
    PutLE32(image, 44, 0xDEADBEEF);  // stale pointer fields must be ignored
    PutLE32(image, kDeltasAt, nDeltas);
    PutLE32(image, kItemsAt, nItems);
    size_t at = 64;
    for (uint32_t r = 0; r < nRanges; ++r, at += 18) {
        image[at] = uint8_t(r + 1);
        std::strcpy(reinterpret_cast<char *>(&image[at + 1]), "row");
        PutLE32(image, at + 10, 100 * r);
        PutLE32(image, at + 14, 50);
    }
    for (uint32_t d = 0; d < nDeltas; ++d, at += 12) {
        PutLE32(image, at, 10 * d);
        PutLE32(image, at + 4, 10 * d + 9);
        PutLE32(image, at + 8, uint32_t(-int32_t(d)));
    }
    for (uint32_t i = 0; i < nItems; ++i, at += 4) PutLE32(image, at, itemBase + i);
    return image;
}

}  // namespace kelmor_test
