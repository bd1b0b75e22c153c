#include "library_ink.h"

#include "kelmor.h"

namespace kelmor_test {

LibraryGlyph LibraryInk(int32_t handle, const char *ps) {
    LibraryGlyph glyph;
    int width = 0, height = 0;
    const unsigned char *bits = GetBitmap(handle, ps, &width, &height, 0);
    KelmorGlyphMetrics m;
    if (bits == nullptr || GetGlyphMetrics(handle, ps, &m) == 0) return glyph;
    const int rowBytes = (width + 15) / 16 * 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (!(bits[y * rowBytes + x / 8] & (0x80 >> (x % 8))))
                glyph.ink.insert({x - m.iOriginX, m.iOriginY - 1 - y});
    glyph.advance = m.iAdvance;
    glyph.rendered = true;
    return glyph;
}

}  // namespace kelmor_test
