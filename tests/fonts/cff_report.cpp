// CFF outlines against FreeType: every glyph of face 0 of each font (Noto
// Sans CJK JP and Noto Serif CJK JP by default) drawn by the library
// (unhinted, the only way it draws CFF glyphs) and by FreeType unhinted in
// monochrome, compared pixel by pixel on the glyph origin.  Not a test: the
// two fonts have 65,535 glyphs each and take a few minutes.
//
//   build/tests/cff_report [--sizes 12,16,24] [--step N] [--worst N] [FONT...]
//
// One line per font and size: glyphs, the mean of each glyph's agreement
// (ink in common over ink in either; two blank glyphs agree fully), the
// agreement over all pixels together, the share of bit-identical glyphs,
// pixels only we set and only FreeType sets, glyphs FreeType or we could not
// draw, and both libraries' time.  Then the glyphs that agree least, and
// the heap each library's open face holds (after opening, and after 500
// glyphs spread over the font at 48 ppem).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <string>
#include <vector>

#include "freetype_reference.h"

namespace {

const char *const kDefaultFonts[] = {
    "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
    "/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc",
};

struct Options {
    std::vector<int> sizes = {12, 16, 24};
    int step = 1;
    int worst = 10;
    std::vector<std::string> fonts;
};

const char *BaseName(const std::string &path) {
    const size_t slash = path.rfind('/');
    return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct SizeFigures {
    kelmor_test::Tally total;
    double iouSum = 0;
    long failures = 0;
    double ourSeconds = 0, theirSeconds = 0;
    std::vector<std::pair<double, unsigned>> worst;
};

bool Compare(const std::string &path, int ppem, const Options &o, SizeFigures *f) {
    kelmor_test::LibraryFont ours(path, false, true);
    kelmor_test::FreeTypeFont theirs(path);
    if (ours.Handle() == 0 || !theirs.Ok() || !ours.SetPixelsPerEm(ppem) ||
        !theirs.SetPixelsPerEm(ppem))
        return false;
    std::vector<unsigned char> store;
    for (long g = 0; g < theirs.GlyphCount(); g += o.step) {
        kelmor_test::PixelGrid mine{}, ref{};
        auto start = std::chrono::steady_clock::now();
        const bool drew = ours.Render(int32_t(g), &mine);
        f->ourSeconds += Seconds(start);
        start = std::chrono::steady_clock::now();
        const bool referenced = theirs.Render(unsigned(g), false, &store, &ref);
        f->theirSeconds += Seconds(start);
        if (!drew || !referenced) {
            ++f->failures;
            continue;
        }
        kelmor_test::Tally one;
        kelmor_test::CompareGlyph(mine, ref, one);
        const double iou = one.Agreement();
        f->iouSum += iou;
        f->total += one;
        f->worst.emplace_back(iou, unsigned(g));
    }
    std::sort(f->worst.begin(), f->worst.end());
    if (f->worst.size() > size_t(o.worst)) f->worst.resize(size_t(o.worst));
    return true;
}

long HeapBytes() { return long(mallinfo2().uordblks); }

// Heap held by one open face of each library: after opening, and after 500
// glyphs at 48 ppem.
void PrintMemory(const std::string &path) {
    const long before = HeapBytes();
    long ourOpen = 0, ourDrawn = 0, theirOpen = 0, theirDrawn = 0;
    {
        kelmor_test::LibraryFont ours(path, false, true);
        ourOpen = HeapBytes() - before;
        kelmor_test::PixelGrid grid{};
        if (ours.SetPixelsPerEm(48))
            for (int32_t g = 1; g < 65535; g += 131) ours.Render(g, &grid);
        ourDrawn = HeapBytes() - before;
    }
    {
        const long start = HeapBytes();
        kelmor_test::FreeTypeFont theirs(path);
        theirOpen = HeapBytes() - start;
        std::vector<unsigned char> store;
        kelmor_test::PixelGrid grid{};
        if (theirs.SetPixelsPerEm(48))
            for (unsigned g = 1; g < 65535; g += 131) theirs.Render(g, false, &store, &grid);
        theirDrawn = HeapBytes() - start - long(store.capacity());
    }
    std::printf("%s: heap per open face %ld KiB at open, %ld KiB after 500 glyphs at 48 ppem "
                "(FreeType: %ld KiB, %ld KiB)\n",
                BaseName(path), ourOpen / 1024, ourDrawn / 1024, theirOpen / 1024,
                theirDrawn / 1024);
}

std::vector<int> ParseSizes(const char *text) {
    std::vector<int> sizes;
    for (const char *p = text; *p != '\0';) {
        sizes.push_back(std::atoi(p));
        p = std::strchr(p, ',');
        if (p == nullptr) break;
        ++p;
    }
    return sizes;
}

}  // namespace

int main(int argc, char **argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sizes") == 0 && i + 1 < argc)
            o.sizes = ParseSizes(argv[++i]);
        else if (std::strcmp(argv[i], "--step") == 0 && i + 1 < argc)
            o.step = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--worst") == 0 && i + 1 < argc)
            o.worst = std::max(0, std::atoi(argv[++i]));
        else
            o.fonts.push_back(argv[i]);
    }
    if (o.fonts.empty()) o.fonts.assign(std::begin(kDefaultFonts), std::end(kDefaultFonts));
    std::printf("| font | ppem | glyphs | mean agreement | pooled agreement | identical | "
                "ours only | FreeType only | not drawn | ours s | FreeType s |\n"
                "|---|---|---|---|---|---|---|---|---|---|---|\n");
    std::string listing;
    for (const std::string &font : o.fonts) {
        for (int ppem : o.sizes) {
            SizeFigures f;
            if (!Compare(font, ppem, o, &f)) {
                std::printf("| %s | %d | cannot open or size |\n", BaseName(font), ppem);
                continue;
            }
            const kelmor_test::Tally &t = f.total;
            const long glyphs = t.glyphs > 0 ? t.glyphs : 1;
            std::printf("| %s | %d | %ld | %.4f | %.4f | %.1f%% | %ld | %ld | %ld | %.2f | %.2f |\n",
                        BaseName(font), ppem, t.glyphs, f.iouSum / double(glyphs), t.Agreement(),
                        100.0 * double(t.identical) / double(glyphs), t.oursOnly,
                        t.theirsOnly + t.outside, f.failures, f.ourSeconds, f.theirSeconds);
            std::fflush(stdout);
            listing += std::string(BaseName(font)) + " " + std::to_string(ppem) + " ppem:";
            for (const auto &[iou, glyph] : f.worst) {
                char item[48];
                std::snprintf(item, sizeof item, " %u (%.3f)", glyph, iou);
                listing += item;
            }
            listing += "\n";
        }
    }
    std::printf("\nLeast agreement, glyph (agreement):\n%s\n", listing.c_str());
    for (const std::string &font : o.fonts) PrintMemory(font);
    return 0;
}
