// Which codes a command asks for: ranges ("3041-3096", a single "4E00"),
// characters and files of characters, merged into one sorted list, with the
// codes asked for more than once counted so that they can be reported once.
#ifndef KELMOR_TOOL_CODE_SET_H
#define KELMOR_TOOL_CODE_SET_H

#include <cstdint>
#include <string>
#include <vector>

namespace kelmor {

struct CodeRange {
    uint32_t first, last;
};

// A comma-separated list of codes and FIRST-LAST ranges in `base` (16: "0x"
// and "U+" prefixes allowed; 10), each at most `highest`.  Appends to
// *ranges; false with *error for a malformed item or a range running
// backwards.
bool ParseRangeList(const std::string &text, int base, uint32_t highest,
                    std::vector<CodeRange> *ranges, std::string *error);

// The same list expanded in the order given (render draws codes in that
// order); at most `limit` codes in all.
bool ExpandCodeList(const std::string &text, int base, uint32_t highest,
                    std::vector<uint32_t> *codes, std::string *error, size_t limit = 65536);

// The codes of the ranges, then of `singles`, in one ascending list without
// repeats; the codes that came more than once go to *repeated (each once).
std::vector<uint32_t> MergeCodes(const std::vector<CodeRange> &ranges,
                                 const std::vector<uint32_t> &singles,
                                 std::vector<uint32_t> *repeated);

// Ascending codes written compactly, runs as FIRST-LAST: "3041-3096, 4E00".
// After `limit` items the rest is counted: ", ... and 12 more".
std::string CompactCodes(const std::vector<uint32_t> &codes, int base, size_t limit = 16);

// True when the ascending codes leave no gap.
bool Contiguous(const std::vector<uint32_t> &codes);

}  // namespace kelmor

#endif
