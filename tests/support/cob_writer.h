// Small Shift-JIS concordance (.cob) images for tests and example runs that
// need only a few characters: a header and the items, no range or delta
// records.  Item i is the Unicode value of Shift-JIS position i (row of the
// lead byte x 192 + trail - 0x40); positions not given hold 0.
#ifndef KELMOR_TESTS_COB_WRITER_H
#define KELMOR_TESTS_COB_WRITER_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kelmor_test {

// Shift-JIS code (lead byte x 256 + trail byte) -> Unicode value.
std::vector<uint8_t> ShiftJisConcordance(const std::map<uint16_t, uint32_t> &codes);

// The text "日本語のテキスト" in Shift-JIS and the concordance entries it needs.
extern const char kJapaneseLineSjis[];
const std::map<uint16_t, uint32_t> &JapaneseLineCodes();

}  // namespace kelmor_test

#endif
