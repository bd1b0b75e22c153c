// Which codes each cmap sub-table maps to a glyph, as runs of consecutive
// codes (what `kelmor info --coverage` lists).  Every sub-table is read on
// its own, whether or not the library uses it; offsets and counts from the
// file are checked against the cmap table's bytes.
#ifndef KELMOR_TOOL_CMAP_COVERAGE_H
#define KELMOR_TOOL_CMAP_COVERAGE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelmor {

struct CodeRange {
    uint32_t first, last;
};

// The runs of codes the sub-table at `offset` maps to a glyph other than 0.
// Formats 0, 2, 4, 6 and 12 are read; false for any other format or for a
// sub-table whose header lies outside the cmap.
bool SubTableCoverage(const uint8_t *cmap, size_t size, uint32_t offset,
                      std::vector<CodeRange> *ranges);

}  // namespace kelmor

#endif
