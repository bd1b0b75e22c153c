#include "cob_writer.h"

#include <algorithm>
#include <cstring>

namespace kelmor_test {

namespace {

void PutLE32(std::vector<uint8_t> &image, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) image[at + i] = uint8_t(value >> (8 * i));
}

uint32_t ShiftJisIndex(uint16_t code) {
    uint32_t lead = code >> 8, trail = code & 0xFF;
    uint32_t row = lead < 0xA0 ? lead - 0x81 : lead - 0xC1;
    return row * 192 + (trail - 0x40);
}

}  // namespace

std::vector<uint8_t> ShiftJisConcordance(const std::map<uint16_t, uint32_t> &codes) {
    uint32_t items = 0;
    for (const auto &code : codes) items = std::max(items, ShiftJisIndex(code.first) + 1);
    std::vector<uint8_t> image(64 + 4 * size_t(items), 0);
    std::memcpy(image.data(), "Conc", 4);
    PutLE32(image, 4, 64);
    PutLE32(image, 8, uint32_t(image.size()));
    image[12] = 128;
    std::strcpy(reinterpret_cast<char *>(&image[13]), "SJIS");
    image[22] = 137;
    std::strcpy(reinterpret_cast<char *>(&image[23]), "Unicode");
    PutLE32(image, 36, items - 1);
    PutLE32(image, 56, items);
    for (const auto &code : codes) PutLE32(image, 64 + 4 * size_t(ShiftJisIndex(code.first)), code.second);
    return image;
}

const char kJapaneseLineSjis[] =
    "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67";

const std::map<uint16_t, uint32_t> &JapaneseLineCodes() {
    static const std::map<uint16_t, uint32_t> codes = {
        {0x93FA, 0x65E5}, {0x967B, 0x672C}, {0x8CEA, 0x8A9E}, {0x82CC, 0x306E},
        {0x8365, 0x30C6}, {0x834C, 0x30AD}, {0x8358, 0x30B9}, {0x8367, 0x30C8},
    };
    return codes;
}

}  // namespace kelmor_test
