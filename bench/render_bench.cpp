// Glyph rendering speed: KELMOR's GetBitmap against FreeType's monochrome
// rendering of the same glyphs of the same fonts, in one run.  Hinted runs
// set FreeType's TrueType interpreter to version 35, the classic one that
// executes the same programs we do; unhinted runs draw the plain outlines.
//
//   build-bench/bench/render_bench [--benchmark_filter=...]
//
// Each benchmark renders 2000 glyphs spread evenly over the font (so that
// ideographs, kana, hangul and Latin all take part) and reports glyphs per
// second as items_per_second.  Arguments: font (0 IPA Gothic, 1 AR PL
// Mingti, 2 UnDotum), pixels per em, hinted (1) or not (0).
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_fonts.h"
#include "kelmor.h"

namespace {

using bench::FreeTypeFace;
using bench::kGlyphsPerRun;
using bench::SpreadGlyphs;

const char *FontOf(const benchmark::State &state) { return bench::kFonts[state.range(0)].path; }
int PpemOf(const benchmark::State &state) { return int(state.range(1)); }
bool HintedOf(const benchmark::State &state) { return state.range(2) != 0; }

void BM_Kelmor(benchmark::State &state) {
    const int32_t font = OpenTTFont(FontOf(state));
    if (font == 0 || !SetPointSize(font, PpemOf(state), 72)) {
        state.SkipWithError("font cannot be opened or sized");
        CloseTTFont(font);
        return;
    }
    FreeTypeFace counter(FontOf(state));  // only for the glyph count
    const std::vector<int32_t> glyphs =
        SpreadGlyphs(counter.Face() != nullptr ? counter.Face()->num_glyphs : kGlyphsPerRun);
    SetEncoding(font, KELMOR_CHARSET_GLYPHNUMBER);
    SetRenderOptions(font, HintedOf(state) ? 0 : KELMOR_NO_HINTING);
    int width = 0, height = 0;
    for (auto _ : state) {
        for (int32_t glyph : glyphs) {
            unsigned char *bits =
                GetBitmap(font, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
            benchmark::DoNotOptimize(bits);
        }
    }
    state.SetItemsProcessed(state.iterations() * kGlyphsPerRun);
    CloseTTFont(font);
}

void BM_FreeType(benchmark::State &state) {
    FreeTypeFace ft(FontOf(state));
    FT_Face face = ft.Face();
    if (face == nullptr || FT_Set_Pixel_Sizes(face, 0, FT_UInt(PpemOf(state))) != 0) {
        state.SkipWithError("font cannot be opened or sized");
        return;
    }
    const std::vector<int32_t> glyphs = SpreadGlyphs(face->num_glyphs);
    const FT_Int32 flags = bench::FreeTypeLoadFlags(HintedOf(state));
    for (auto _ : state) {
        for (int32_t glyph : glyphs) {
            FT_Load_Glyph(face, FT_UInt(glyph), flags);
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    }
    state.SetItemsProcessed(state.iterations() * kGlyphsPerRun);
}

// Fonts x sizes x {hinted, unhinted}, hinted first.
void Cases(benchmark::internal::Benchmark *b) {
    for (int hinted : {1, 0})
        for (int font = 0; font < bench::kFontCount; ++font)
            for (int ppem : bench::kSizes) b->Args({font, ppem, hinted});
    b->ArgNames({"font", "ppem", "hinted"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Kelmor)->Apply(Cases);
BENCHMARK(BM_FreeType)->Apply(Cases);

}  // namespace

BENCHMARK_MAIN();
