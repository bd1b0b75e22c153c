#include "hostile_collections.h"

#include <cstdint>

namespace kelmor_test {

namespace {

Bytes With32(Bytes b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
    return b;
}

}  // namespace

std::vector<HostileCollection> HostileCollectionHeaders(const Bytes &good) {
    const uint32_t cut = uint32_t(good.size() - 6);  // an offset table cut by the file's end
    return {
        {"no faces", With32(good, 8, 0), true},
        {"a count past any real collection", With32(good, 8, 0x7FFFFFFF), true},
        {"a face past the file", With32(good, 12, 0x7FFFFFF0), true},
        {"a face whose offset table is cut by the end of the file", With32(good, 12, cut), true},
        {"a header cut short of its offsets", Bytes(good.begin(), good.begin() + 14), true},
        {"more faces than offsets", With32(good, 8, 3), false},
        {"the second face past the file", With32(good, 16, 0x7FFFFFF0), false},
        {"the second face's offset table cut by the end of the file", With32(good, 16, cut),
         false},
    };
}

}  // namespace kelmor_test
