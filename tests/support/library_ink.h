// The library's bitmap for one character as the set of its ink pixels around
// the glyph origin, with its advance: what the export tests compare with the
// files they read back.
#ifndef KELMOR_TESTS_LIBRARY_INK_H
#define KELMOR_TESTS_LIBRARY_INK_H

#include <cstdint>
#include <set>
#include <utility>

namespace kelmor_test {

// Pixels as (x, y): x right of the origin, y up from the baseline (the row
// just above the baseline is y = 0).
using InkSet = std::set<std::pair<int, int>>;

struct LibraryGlyph {
    bool rendered = false;
    InkSet ink;
    int advance = 0;
};

// GetBitmap and GetGlyphMetrics for the bytes `ps` in the handle's encoding;
// not rendered when either fails.
LibraryGlyph LibraryInk(int32_t handle, const char *ps);

}  // namespace kelmor_test

#endif
