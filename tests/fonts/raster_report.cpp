// The faithful scan converter against FreeType's monochrome rasterizer:
// every glyph of each font at 9, 12, 16, 24 and 48 ppem, compared pixel by
// pixel on the glyph origin.  Not a test: it takes a minute or two.
//
//   build/tests/raster_report [--hinted] [--worst N] [--step N] [FONT...]
//
// Two comparisons per glyph.  "scan": FreeType's own outline (unhinted, or
// hinted with --hinted) scanned by our faithful scan converter, so that
// only the two scan converters differ.  "library": the glyph as our library
// draws it in the faithful mode (its own loading and hinting).  Prints one
// line per font and size: glyphs, agreement (ink in common over ink in
// either) and the share of bit-identical glyphs for each, the scan's pixels
// only we set and only FreeType sets; then the glyphs whose scan differs
// most.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "freetype_reference.h"
#include "ttf/raster/scbitmap.h"
#include "ttf/raster/scexact.h"
#include "ttf/raster/scscan.h"

namespace {

const char *const kDefaultFonts[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/truetype/arphic-bsmi00lp/bsmi00lp.ttf",
    "/usr/share/fonts/truetype/unfonts-core/UnDotum.ttf",
    "/usr/share/fonts/truetype/nanum/NanumGothic.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};
constexpr int kSizes[] = {9, 12, 16, 24, 48};

struct Options {
    bool hinted = false;
    int worst = 0;
    int step = 1;
    int show = 0;
    int size = 0;  // one size instead of the five  // pictures of the first glyphs that differ
    std::vector<std::string> fonts;
};

const char *BaseName(const std::string &path) {
    const size_t slash = path.rfind('/');
    return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

// FreeType's outline of one glyph, scanned by our faithful scan converter.
class OutlineScanner {
public:
    OutlineScanner(const std::string &path, bool hinted) : hinted_(hinted) {
        FT_Init_FreeType(&library_);
        if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) face_ = nullptr;
    }
    ~OutlineScanner() {
        kelmor::FreeScanBuffer(&S_);
        kelmor::FreelpChar(&BM_);
        if (face_ != nullptr) FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    bool SetPixelsPerEm(int ppem) {
        // The font's own programs are not run here: the hinted outline comes
        // from FreeType, with the dropout control its programs asked for
        // standing in as "smart, with stubs" unless told otherwise.
        S_.Dropout = kelmor::DropoutFor(hinted_, hinted_ ? 0x1FF | (4 << 14) : 0, ppem);
        S_.Ppem = ppem;
        return face_ != nullptr && FT_Set_Char_Size(face_, 0, ppem * 64, 72, 72) == 0;
    }
    bool Render(unsigned glyph, kelmor_test::PixelGrid *grid) {
        const FT_Int32 flags = FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT |
                               (hinted_ ? 0 : FT_LOAD_NO_HINTING);
        if (FT_Load_Glyph(face_, glyph, flags) != 0) return false;
        const FT_Outline &o = face_->glyph->outline;
        points_.assign(size_t(o.n_points), kelmor::TTFCoord{});
        for (int i = 0; i < o.n_points; ++i) {
            points_[size_t(i)].Cur = {int32_t(o.points[i].x), int32_t(o.points[i].y)};
            points_[size_t(i)].Flags = (o.tags[i] & 1) ? kelmor::kOnCurve : 0;
        }
        ends_.assign(o.contours, o.contours + o.n_contours);
        kelmor::ZapBitMap(&BM_);
        kelmor::ScanOutlineExactly(&S_, unsigned(ends_.size()), ends_.data(), points_.data(), &BM_);
        *grid = {BM_.lpChar, BM_.CharHBytes, BM_.FitsInk ? BM_.CharHPixels : 0,
                 BM_.FitsInk ? BM_.CharVLines : 0, -BM_.OriginX, BM_.OriginY - 1, false};
        return true;
    }

private:
    bool hinted_;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    kelmor::ScanInfo S_{};
    kelmor::_GlyphBitMap BM_{};
    std::vector<kelmor::TTFCoord> points_;
    std::vector<int16_t> ends_;
};

// Both renderings of one glyph on one grid: '#' ink in both, 'o' ours only,
// 'x' FreeType's only.
void PrintDifference(const kelmor_test::PixelGrid &ours, const kelmor_test::PixelGrid &theirs) {
    const int left = std::min(ours.left, theirs.left);
    const int right = std::max(ours.left + ours.width, theirs.left + theirs.width);
    const int top = std::max(ours.top, theirs.top);
    const int bottom = std::min(ours.top - ours.height, theirs.top - theirs.height);
    for (int y = top; y > bottom; --y) {
        std::string line = "      ";
        for (int x = left; x < right; ++x) {
            const bool a = ours.Ink(x, y), b = theirs.Ink(x, y);
            line += a && b ? '#' : a ? 'o' : b ? 'x' : '.';
        }
        std::printf("%s\n", line.c_str());
    }
}

struct GlyphDifference {
    long glyph;
    long differing;
};

double Percent(const kelmor_test::Tally &t) {
    return 100.0 * double(t.identical) / double(t.glyphs > 0 ? t.glyphs : 1);
}

bool ReportSize(const std::string &path, int ppem, const Options &o) {
    kelmor_test::LibraryFont ours(path, o.hinted, true);
    kelmor_test::FreeTypeFont reference(path);
    OutlineScanner scanner(path, o.hinted);
    if (ours.Handle() == 0 || !reference.Ok() || !ours.SetPixelsPerEm(ppem) ||
        !reference.SetPixelsPerEm(ppem) || !scanner.SetPixelsPerEm(ppem)) {
        std::fprintf(stderr, "raster_report: %s does not open or size\n", path.c_str());
        return false;
    }
    kelmor_test::Tally total, library;
    long boxesDiffer = 0;  // glyphs whose scanned bitmap is placed or sized otherwise
    std::vector<unsigned char> store;
    std::vector<GlyphDifference> worst;
    const auto start = std::chrono::steady_clock::now();
    for (long glyph = 0; glyph < reference.GlyphCount(); glyph += o.step) {
        kelmor_test::PixelGrid theirs{}, mine{}, scanned{};
        if (!reference.Render(unsigned(glyph), o.hinted, &store, &theirs)) continue;
        if (ours.Render(int32_t(glyph), &mine)) kelmor_test::CompareGlyph(mine, theirs, library);
        if (!scanner.Render(unsigned(glyph), &scanned)) continue;
        kelmor_test::Tally one;
        kelmor_test::CompareGlyph(scanned, theirs, one);
        const bool sameBox = scanned.left == theirs.left && scanned.top == theirs.top &&
                             scanned.width == theirs.width && scanned.height == theirs.height;
        boxesDiffer += !sameBox && theirs.width > 0;
        if (one.identical == 0) worst.push_back({glyph, one.Differing() + one.outside});
        if (one.identical == 0 && o.show > 0) {
            --const_cast<Options &>(o).show;
            std::printf("    glyph %ld at %d ppem:\n", glyph, ppem);
            PrintDifference(scanned, theirs);
        }
        total += one;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("| %-16s | %2d | %6ld | %.4f | %5.1f%% | %ld | %ld | %ld | %ld | %.4f | %5.1f%% | %5.1f s |\n",
                BaseName(path), ppem, total.glyphs, total.Agreement(), Percent(total),
                total.oursOnly, total.theirsOnly, total.outside, boxesDiffer, library.Agreement(),
                Percent(library), seconds);
    std::sort(worst.begin(), worst.end(),
              [](const GlyphDifference &a, const GlyphDifference &b) { return a.differing > b.differing; });
    for (int i = 0; i < o.worst && i < int(worst.size()); ++i)
        std::printf("    glyph %ld: %ld pixels differ\n", worst[size_t(i)].glyph,
                    worst[size_t(i)].differing);
    std::fflush(stdout);
    return true;
}

Options ParseOptions(int argc, char **argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--hinted") == 0) {
            o.hinted = true;
        } else if (std::strcmp(argv[i], "--worst") == 0 && i + 1 < argc) {
            o.worst = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--show") == 0 && i + 1 < argc) {
            o.show = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
            o.size = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--step") == 0 && i + 1 < argc) {
            o.step = std::max(1, std::atoi(argv[++i]));
        } else {
            o.fonts.emplace_back(argv[i]);
        }
    }
    if (o.fonts.empty()) o.fonts.assign(std::begin(kDefaultFonts), std::end(kDefaultFonts));
    return o;
}

}  // namespace

int main(int argc, char **argv) {
    const Options o = ParseOptions(argc, argv);
    std::printf("| font | ppem | glyphs | scan agreement | scan identical | ours only | "
                "FreeType only | outside our bitmap | other box | library agreement | "
                "library identical | time |\n|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    bool ok = true;
    for (const std::string &font : o.fonts)
        for (int ppem : kSizes)
            if (o.size == 0 || o.size == ppem) ok = ReportSize(font, ppem, o) && ok;
    return ok ? 0 : 1;
}
