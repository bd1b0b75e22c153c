// Paired speed comparison: for each font and size, rounds of "render the
// 2000 benchmark glyphs with KELMOR, then the same glyphs with FreeType"
// (v35 hinting, monochrome), each round timed back to back.  The ratio of
// one round's two rates is little disturbed by a busy or throttled machine,
// which moves both halves of a round alike; the program prints the median
// ratio over the rounds with the median rates.
//
//   build-bench/bench/render_ratio [rounds] [--no-hinting] [--faithful] [--cff] [--autohint] [--gray]
//
// --autohint times fonts without hinting programs (AR PL UMing and UKai at
// 12, 16 and 24 ppem, outlines only): ours in the faithful mode, which
// auto-hints them, against FreeType's default monochrome loading, which
// does too.
//
// --cff times the fonts with CFF outlines instead (Noto Sans and Serif CJK
// JP at 12, 16 and 24 ppem), unhinted in both libraries.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_fonts.h"
#include "kelmor.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Render>
double GlyphsPerSecond(const std::vector<int32_t> &glyphs, Render render) {
    const Clock::time_point start = Clock::now();
    for (int32_t glyph : glyphs) render(glyph);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return seconds > 0 ? double(glyphs.size()) / seconds : 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Rates {
    double kelmor, freetype, ratio;
};

// The auto-hint row: FreeType picks its hinter itself (FT_LOAD_MONOCHROME
// without FT_LOAD_NO_AUTOHINT), as an application asking for mono does.
const bench::BenchFont kAutohintFonts[] = {
    {"AR PL UMing", "/usr/share/fonts/truetype/arphic/uming.ttc"},
    {"AR PL UKai", "/usr/share/fonts/truetype/arphic/ukai.ttc"},
};
const int kAutohintSizes[] = {12, 16, 24};
bool autohintRow = false;
// --gray: grey levels, GetGrayBitmap against FreeType's smooth renderer
// (its default loading for a grey target, or unhinted).
bool grayRow = false;

bool Compare(const bench::BenchFont &font, int ppem, bool hinted, bool faithful, int rounds,
             Rates *out) {
    bench::FreeTypeFace ft(font.path);
    FT_Face face = ft.Face();
    const int32_t handle = OpenTTFont(font.path);
    const bool ready = face != nullptr && handle != 0 &&
                       FT_Set_Pixel_Sizes(face, 0, FT_UInt(ppem)) == 0 &&
                       SetPointSize(handle, ppem, 72) != 0;
    if (!ready) {
        CloseTTFont(handle);
        return false;
    }
    SetEncoding(handle, KELMOR_CHARSET_GLYPHNUMBER);
    SetRenderOptions(handle, (hinted ? 0 : KELMOR_NO_HINTING) | (faithful ? KELMOR_FAITHFUL : 0));
    const std::vector<int32_t> glyphs = bench::SpreadGlyphs(face->num_glyphs);
    const FT_Int32 flags = grayRow       ? FT_LOAD_NO_BITMAP | (hinted ? FT_LOAD_DEFAULT : FT_LOAD_NO_HINTING)
                           : autohintRow ? FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME | FT_LOAD_NO_BITMAP
                                         : bench::FreeTypeLoadFlags(hinted);
    int width = 0, height = 0;
    const auto kelmor = [&](int32_t glyph) {
        if (grayRow)
            GetGrayBitmap(handle, reinterpret_cast<const char *>(&glyph), &width, &height, 0, 8, nullptr);
        else
            GetBitmap(handle, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
    };
    const FT_Render_Mode mode = grayRow ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;
    const auto freetype = [&](int32_t glyph) {
        if (FT_Load_Glyph(face, FT_UInt(glyph), flags) == 0) FT_Render_Glyph(face->glyph, mode);
    };
    GlyphsPerSecond(glyphs, kelmor);  // warm both caches once
    GlyphsPerSecond(glyphs, freetype);
    std::vector<double> ours, theirs, ratios;
    for (int r = 0; r < rounds; ++r) {
        ours.push_back(GlyphsPerSecond(glyphs, kelmor));
        theirs.push_back(GlyphsPerSecond(glyphs, freetype));
        ratios.push_back(theirs.back() > 0 ? ours.back() / theirs.back() : 0);
    }
    CloseTTFont(handle);
    *out = Rates{Median(ours), Median(theirs), Median(ratios)};
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    int rounds = 15;
    bool hinted = true, faithful = false, cff = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-hinting") == 0)
            hinted = false;
        else if (std::strcmp(argv[i], "--cff") == 0)
            cff = true, hinted = false;
        else if (std::strcmp(argv[i], "--faithful") == 0)
            faithful = true;
        else if (std::strcmp(argv[i], "--gray") == 0)
            grayRow = faithful = true;
        else if (std::strcmp(argv[i], "--autohint") == 0)
            autohintRow = faithful = true;
        else
            rounds = std::max(1, std::atoi(argv[i]));
    }
    std::printf("%-14s %5s %14s %14s %8s\n", "font", "ppem", "KELMOR g/s", "FreeType g/s",
                "ratio");
    std::vector<bench::BenchFont> fonts =
        cff ? std::vector<bench::BenchFont>(std::begin(bench::kCffFonts), std::end(bench::kCffFonts))
            : std::vector<bench::BenchFont>(std::begin(bench::kFonts), std::end(bench::kFonts));
    std::vector<int> sizes =
        cff ? std::vector<int>(std::begin(bench::kCffSizes), std::end(bench::kCffSizes))
            : std::vector<int>(std::begin(bench::kSizes), std::end(bench::kSizes));
    if (autohintRow) {
        fonts.assign(std::begin(kAutohintFonts), std::end(kAutohintFonts));
        sizes.assign(std::begin(kAutohintSizes), std::end(kAutohintSizes));
    }
    for (const bench::BenchFont &font : fonts) {
        for (int ppem : sizes) {
            Rates r;
            if (!Compare(font, ppem, hinted, faithful, rounds, &r)) {
                std::printf("%-14s %5d   cannot be opened or sized\n", font.name, ppem);
                continue;
            }
            std::printf("%-14s %5d %14.0f %14.0f %8.2f\n", font.name, ppem, r.kelmor, r.freetype,
                        r.ratio);
        }
    }
    return 0;
}
