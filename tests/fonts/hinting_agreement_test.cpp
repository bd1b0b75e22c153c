// Our hinted rendering against FreeType's hinted monochrome rendering
// (interpreter version 35) on real CJK fonts: hinting must bring us closer
// to it than the plain outline is, at every size.  A sample of each font's
// glyphs keeps this quick; the hinting_report program (tests/fonts) gives the whole-font figures.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "freetype_reference.h"
#include "sanitized_build.h"
#include "test_paths.h"

namespace {

using kelmor_test::HintingFigures;

// Every 7th glyph of each font, every 37th under the sanitizers.
constexpr int kGlyphStep = kelmor_test::kSanitizedBuild ? 37 : 7;

constexpr int kSizes[] = {12, 16, 24};

struct FontCase {
    const char *path;  // below /usr/share/fonts
    double floor[3];   // least hinted agreement accepted at each size (about 0.02
                       // below the figures of the sample and of the whole font)
};

class HintingAgreement : public ::testing::TestWithParam<FontCase> {};

// "ipag", "bsmi00lp", ...: the font file's name without directory and suffix.
std::string FontName(const ::testing::TestParamInfo<FontCase> &info) {
    std::string name = info.param.path;
    name = name.substr(name.rfind('/') + 1);
    return name.substr(0, name.find('.'));
}

TEST_P(HintingAgreement, HintingBringsUsCloserAtEverySize) {
    const std::string path = kelmor_test::DebianFont(GetParam().path);
    if (path.empty()) GTEST_SKIP() << GetParam().path << " is not installed";
    for (int i = 0; i < 3; ++i) {
        HintingFigures f;
        std::string error;
        ASSERT_TRUE(kelmor_test::CompareHinting(path, kSizes[i], kGlyphStep, &f, &error))
            << error;
        std::printf("%-40s %2d ppem: %5ld glyphs: ours hinted %.4f, ours unhinted %.4f, "
                    "FreeType unhinted %.4f; %.1f s\n",
                    GetParam().path, kSizes[i], f.oursHinted.glyphs, f.oursHinted.Agreement(),
                    f.oursUnhinted.Agreement(), f.freeTypeUnhinted.Agreement(), f.seconds);
        EXPECT_EQ(0, f.referenceFailures);
        EXPECT_GT(f.oursHinted.Agreement(), f.oursUnhinted.Agreement()) << kSizes[i] << " ppem";
        EXPECT_GE(f.oursHinted.Agreement(), GetParam().floor[i]) << kSizes[i] << " ppem";
    }
}

INSTANTIATE_TEST_SUITE_P(
    DebianFonts, HintingAgreement,
    ::testing::Values(FontCase{"opentype/ipafont-gothic/ipag.ttf", {0.875, 0.895, 0.92}},
                      FontCase{"truetype/arphic-bsmi00lp/bsmi00lp.ttf", {0.77, 0.80, 0.875}},
                      FontCase{"truetype/unfonts-core/UnDotum.ttf", {0.81, 0.815, 0.83}},
                      FontCase{"truetype/nanum/NanumGothic.ttf", {0.83, 0.89, 0.91}},
                      FontCase{"truetype/baekmuk/gulim.ttf", {0.745, 0.85, 0.91}}),
    FontName);

// The faithful mode against FreeType on a sample of each font: the hinted
// rendering's agreement and share of identical glyphs, and the unhinted
// rendering against FreeType's unhinted one.  The floors sit just below the
// figures measured on the sample, so that a change to the interpreter, the
// loader or the scan converter that costs agreement fails here.
struct FaithfulCase {
    const char *path;       // below /usr/share/fonts
    double hinted[3];       // least hinted agreement at 12, 16 and 24 ppem
    double identical[3];    // least share of hinted glyphs identical to FreeType's
};

class FaithfulAgreement : public ::testing::TestWithParam<FaithfulCase> {};

std::string FaithfulFontName(const ::testing::TestParamInfo<FaithfulCase> &info) {
    std::string name = info.param.path;
    name = name.substr(name.rfind('/') + 1);
    return name.substr(0, name.find('.'));
}

TEST_P(FaithfulAgreement, FaithfulModeMatchesFreeType) {
    const std::string path = kelmor_test::DebianFont(GetParam().path);
    if (path.empty()) GTEST_SKIP() << GetParam().path << " is not installed";
    for (int i = 0; i < 3; ++i) {
        HintingFigures f;
        std::string error;
        ASSERT_TRUE(kelmor_test::CompareHinting(path, kSizes[i], kGlyphStep, &f, &error, true))
            << error;
        const double identical = double(f.oursHinted.identical) / double(f.oursHinted.glyphs);
        const double plainIdentical =
            double(f.unhintedPair.identical) / double(f.unhintedPair.glyphs);
        std::printf("%-40s %2d ppem: hinted %.4f (%.1f%% identical), unhinted %.4f "
                    "(%.1f%% identical), hinting hurts %ld\n",
                    GetParam().path, kSizes[i], f.oursHinted.Agreement(), 100 * identical,
                    f.unhintedPair.Agreement(), 100 * plainIdentical, f.hintingHurts);
        EXPECT_GE(f.oursHinted.Agreement(), GetParam().hinted[i]) << kSizes[i] << " ppem";
        EXPECT_GE(identical, GetParam().identical[i]) << kSizes[i] << " ppem";
        EXPECT_GE(f.unhintedPair.Agreement(), 0.9998) << kSizes[i] << " ppem";
        EXPECT_GE(plainIdentical, 0.99) << kSizes[i] << " ppem";
        EXPECT_EQ(0, f.hintingHurts) << kSizes[i] << " ppem: glyphs that hinting makes much worse";
    }
}

INSTANTIATE_TEST_SUITE_P(
    DebianFonts, FaithfulAgreement,
    ::testing::Values(
        FaithfulCase{"opentype/ipafont-gothic/ipag.ttf", {0.9998, 0.9998, 0.9998},
                     {0.99, 0.99, 0.99}},
        FaithfulCase{"truetype/arphic-bsmi00lp/bsmi00lp.ttf", {0.9998, 0.9998, 0.9998},
                     {0.99, 0.99, 0.99}},
        FaithfulCase{"truetype/unfonts-core/UnDotum.ttf", {0.9998, 0.9998, 0.9998},
                     {0.99, 0.99, 0.99}},
        FaithfulCase{"truetype/nanum/NanumGothic.ttf", {0.9995, 0.9995, 0.9995},
                     {0.99, 0.99, 0.99}},
        FaithfulCase{"truetype/nanum/NanumMyeongjo.ttf", {0.9998, 0.9998, 0.9998},
                     {0.99, 0.99, 0.99}},
        FaithfulCase{"truetype/baekmuk/gulim.ttf", {0.9998, 0.9998, 0.9998},
                     {0.99, 0.99, 0.99}}),
    FaithfulFontName);

}  // namespace

namespace {

// Glyphs that once differed from FreeType's, each for a reason of its own:
// implied on-curve points halved as from the bitmap's lower left corner
// (NanumMyeongjo's rings below the baseline at 48 ppem), and a stub test
// whose next profile, when a contour's last profile crosses no line, is the
// outline's next one (AR PL KaitiM's stroke tips at 9 ppem).  IPA Gothic's
// three at 12 ppem, and AR PL Mingti's at 9, hold the order of crossings at
// one position, which decides the spans they bound: the order of the line
// before, a profile that starts on the line coming before carried ones that
// lay past the first pixel centre.  AR PL
// Mingti's glyph at 12 ppem has two contours overlapping in a sliver
// thinner than a pixel: the reference rasterizer pairs the k-th crossing
// going up with the k-th going down, so the sliver is two spans, neither of
// them a stroke's end, and gets its dropout pixel.  NanumGothic's glyph at
// 9 ppem has a contour whose first point is off the curve: it starts where
// its last arc starts, and a column's dropout at the end of that run is a
// stub.
TEST(FaithfulAgreementByGlyph, GlyphsThatOnceDifferedMatchFreeType) {
    struct Case {
        const char *path;
        int ppem;
        unsigned first, last;
    } cases[] = {
        {"truetype/nanum/NanumMyeongjo.ttf", 48, 539, 564},
        {"truetype/arphic-bkai00mp/bkai00mp.ttf", 9, 469, 520},
        {"opentype/ipafont-gothic/ipag.ttf", 12, 9989, 9989},
        {"opentype/ipafont-gothic/ipag.ttf", 12, 11528, 11528},
        {"opentype/ipafont-gothic/ipag.ttf", 12, 11848, 11848},
        {"truetype/arphic-bsmi00lp/bsmi00lp.ttf", 12, 7830, 7830},
        {"truetype/arphic-bsmi00lp/bsmi00lp.ttf", 9, 384, 384},
        {"truetype/nanum/NanumGothic.ttf", 9, 363, 363},
    };
    for (const Case &c : cases) {
        const std::string path = kelmor_test::DebianFont(c.path);
        if (path.empty()) continue;
        for (const bool hinted : {false, true}) {
            kelmor_test::LibraryFont ours(path, hinted, true);
            kelmor_test::FreeTypeFont reference(path);
            ASSERT_TRUE(ours.SetPixelsPerEm(c.ppem) && reference.SetPixelsPerEm(c.ppem));
            std::vector<unsigned char> store;
            for (unsigned glyph = c.first; glyph <= c.last; ++glyph) {
                kelmor_test::PixelGrid a{}, b{};
                ASSERT_TRUE(ours.Render(int32_t(glyph), &a) &&
                            reference.Render(glyph, hinted, &store, &b));
                kelmor_test::Tally t;
                kelmor_test::CompareGlyph(a, b, t);
                EXPECT_EQ(1, t.identical)
                    << c.path << " glyph " << glyph << (hinted ? " hinted" : " unhinted");
            }
        }
    }
}

}  // namespace
