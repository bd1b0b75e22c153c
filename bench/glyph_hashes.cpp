// Hashes every glyph of a font at a set of sizes in each rendering mode, one
// line per (font, size, mode): the bitmap bits, their size and the glyph's
// metrics.  Two builds that print the same lines draw the same glyphs, so a
// change that must not move a pixel is checked by running this before and
// after it.
//   glyph_hashes [--face N] FONT SIZE...
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kelmor.h"

namespace {

struct Mode {
    const char *name;
    int options;
};

constexpr Mode kModes[] = {
    {"classic-hinted", 0},
    {"classic-unhinted", KELMOR_NO_HINTING},
    {"faithful-hinted", KELMOR_FAITHFUL},
    {"faithful-unhinted", KELMOR_FAITHFUL | KELMOR_NO_HINTING},
    {"classic-strikes", KELMOR_EMBEDDED_BITMAPS},
    {"faithful-strikes", KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS},
};

// FNV-1a, 64 bits: enough to tell two glyph sets apart.
struct Hash {
    uint64_t value = 1469598103934665603ull;
    void Add(const void *data, size_t size) {
        const auto *bytes = static_cast<const unsigned char *>(data);
        for (size_t i = 0; i < size; ++i) value = (value ^ bytes[i]) * 1099511628211ull;
    }
    void Add(int32_t v) { Add(&v, sizeof v); }
};

void HashGlyph(int32_t font, uint32_t glyph, Hash &h) {
    const char *code = reinterpret_cast<const char *>(&glyph);
    int width = 0, height = 0;
    const unsigned char *bits = GetBitmap(font, code, &width, &height, 0);
    if (bits == nullptr) {
        h.Add(-1);
        return;
    }
    h.Add(width), h.Add(height);
    h.Add(bits, size_t((width + 15) / 16 * 2) * size_t(height));
    KelmorGlyphMetrics m;
    std::memset(&m, 0, sizeof m);
    if (GetGlyphMetrics(font, code, &m) == 1) h.Add(&m, sizeof m);
}

int GlyphCount(int32_t font) {
    // The glyph numbers past the font's last map to glyph 0: find the end
    // by the index the library gives back.
    int lo = 1, hi = 65536;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        uint32_t g = uint32_t(mid);
        if (GetGlyphIndex(font, reinterpret_cast<const char *>(&g)) > 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

}  // namespace

int main(int argc, char **argv) {
    int face = 0, first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--face") == 0) face = std::atoi(argv[2]), first = 3;
    if (argc - first < 2) {
        std::fprintf(stderr, "usage: glyph_hashes [--face N] FONT SIZE...\n");
        return 2;
    }
    const char *path = argv[first];
    const int32_t font = OpenTTFontFace(path, face);
    if (font == 0) {
        std::fprintf(stderr, "glyph_hashes: cannot open %s\n", path);
        return 1;
    }
    SetEncoding(font, KELMOR_CHARSET_GLYPHNUMBER);
    const int glyphs = GlyphCount(font);
    for (int a = first + 1; a < argc; ++a) {
        const int size = std::atoi(argv[a]);
        for (const Mode &mode : kModes) {
            SetRenderOptions(font, mode.options);
            SetPointSize(font, size, 72);
            Hash h;
            for (int g = 0; g < glyphs; ++g) HashGlyph(font, uint32_t(g), h);
            std::printf("%s face %d %d px %s %d glyphs %016" PRIx64 "\n", path, face, size,
                        mode.name, glyphs, h.value);
        }
    }
    CloseTTFont(font);
    return 0;
}
