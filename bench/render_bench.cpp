// Glyph rendering speed: KELMOR against FreeType's unhinted monochrome
// rendering of the same glyphs of the same font, in one run.
//
//   build-bench/bench/render_bench [--benchmark_filter=...]
// The font defaults to IPA Gothic; KELMOR_BENCH_FONT names another.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <string>

#include "kelmor.h"

namespace {

std::string BenchFont() {
    const char *env = std::getenv("KELMOR_BENCH_FONT");
    return env != nullptr ? env : "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
}

constexpr int kGlyphsPerRun = 2000;  // glyphs 1..2000 of the font

void BM_Kelmor(benchmark::State &state) {
    int32_t font = OpenTTFont(BenchFont().c_str());
    if (font == 0 || !SetPointSize(font, int(state.range(0)), 72)) {
        state.SkipWithError("font cannot be opened or sized");
        return;
    }
    SetEncoding(font, KELMOR_CHARSET_GLYPHNUMBER);
    int width = 0, height = 0;
    for (auto _ : state) {
        for (int32_t glyph = 1; glyph <= kGlyphsPerRun; ++glyph) {
            unsigned char *bits =
                GetBitmap(font, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
            benchmark::DoNotOptimize(bits);
        }
    }
    state.SetItemsProcessed(state.iterations() * kGlyphsPerRun);
    CloseTTFont(font);
}

void BM_FreeType(benchmark::State &state) {
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0) return;
    if (FT_New_Face(library, BenchFont().c_str(), 0, &face) != 0) {
        state.SkipWithError("font cannot be opened");
        FT_Done_FreeType(library);
        return;
    }
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(state.range(0)));
    for (auto _ : state) {
        for (FT_UInt glyph = 1; glyph <= kGlyphsPerRun; ++glyph) {
            FT_Load_Glyph(face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_TARGET_MONO);
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    }
    state.SetItemsProcessed(state.iterations() * kGlyphsPerRun);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

BENCHMARK(BM_Kelmor)->Arg(16)->Arg(24)->Arg(48)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeType)->Arg(16)->Arg(24)->Arg(48)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
