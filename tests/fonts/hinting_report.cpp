// The whole-font hinting report: every glyph of the CJK fonts the agreement
// test samples, at 12, 16 and 24 ppem, against FreeType's hinted monochrome
// rendering (interpreter version 35).  Not a test: it takes minutes.
//
//   build/tests/hinting_report [--faithful] [--step N] [--sizes 9,12,...] [FONT...]
//
// Prints one line per font and size with three agreements (ink in common
// over ink in either, both bitmaps on the glyph origin): ours hinted, ours
// unhinted and FreeType unhinted, each against FreeType hinted; the share of
// our hinted glyphs identical to FreeType's; ours unhinted against FreeType
// unhinted (agreement and identical share); the glyphs that hinting makes
// worse by more than 0.2.  Then the worst glyphs of each font and size, and
// the program runs of our hinted rendering that recorded a fault, by
// instruction.  --faithful renders ours in the faithful mode.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "freetype_reference.h"

namespace {

const char *const kDefaultFonts[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/truetype/arphic-bsmi00lp/bsmi00lp.ttf",
    "/usr/share/fonts/truetype/unfonts-core/UnDotum.ttf",
    "/usr/share/fonts/truetype/nanum/NanumGothic.ttf",
    "/usr/share/fonts/truetype/baekmuk/gulim.ttf",
};
std::vector<int> sizes = {12, 16, 24};
bool faithful = false;
std::string worstGlyphs;  // the listing printed after the table

double Percent(long part, long whole) { return 100.0 * double(part) / double(whole > 0 ? whole : 1); }

const char *BaseName(const std::string &path) {
    const size_t slash = path.rfind('/');
    return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

// Per font, summed over the sizes.
std::vector<std::pair<std::string, kelmor_test::FaultTable>> faultsByFont;

void PrintFaults() {
    std::printf("\nProgram runs that recorded a fault (a run counts once per kind of fault "
                "in it; the font program ran once per size)\n\n"
                "| font | program | instruction | fault | runs | faults |\n"
                "|---|---|---|---|---|---|\n");
    for (const auto &[font, table] : faultsByFont) {
        if (table.empty()) std::printf("| %s | - | - | - | 0 | 0 |\n", font.c_str());
        for (const auto &[key, count] : table) {
            std::printf("| %s | %s | %s | %s | %ld | %ld |\n", font.c_str(),
                        kelmor_test::ProgramTitle(key.program), key.group.c_str(),
                        key.code == kelmor::kFaultPoint ? "point" : "argument", count.runs,
                        count.faults);
        }
    }
}

bool ReportFont(const std::string &path, int step) {
    faultsByFont.emplace_back(BaseName(path), kelmor_test::FaultTable());
    for (int ppem : sizes) {
        kelmor_test::HintingFigures f;
        std::string error;
        if (!kelmor_test::CompareHinting(path, ppem, step, &f, &error, faithful)) {
            std::fprintf(stderr, "hinting_report: %s\n", error.c_str());
            return false;
        }
        std::printf("| %-16s | %2d | %6ld | %.4f | %.4f | %.4f | %5.1f%% | %.4f | %5.1f%% | %ld | "
                    "%ld | %5.1f s |\n",
                    BaseName(path), ppem, f.oursHinted.glyphs, f.oursHinted.Agreement(),
                    f.oursUnhinted.Agreement(), f.freeTypeUnhinted.Agreement(),
                    Percent(f.oursHinted.identical, f.oursHinted.glyphs),
                    f.unhintedPair.Agreement(),
                    Percent(f.unhintedPair.identical, f.unhintedPair.glyphs), f.hintingHurts,
                    f.referenceFailures, f.seconds);
        worstGlyphs += std::string("| ") + BaseName(path) + " | " + std::to_string(ppem) + " |";
        for (const auto &[agreement, glyph] : f.worst) {
            char item[48];
            std::snprintf(item, sizeof item, " %u (%.2f)", glyph, agreement);
            worstGlyphs += item;
        }
        worstGlyphs += " |\n";
        std::fflush(stdout);
        kelmor_test::MergeFaults(f.faults, &faultsByFont.back().second);
    }
    return true;
}

}  // namespace

// "9,12,16" into the sizes; false when it is not such a list.
bool ParseSizes(const char *text) {
    sizes.clear();
    for (const char *p = text; *p;) {
        char *end = nullptr;
        const long ppem = std::strtol(p, &end, 10);
        if (end == p || ppem < 1 || ppem > 1000) return false;
        sizes.push_back(int(ppem));
        p = *end == ',' ? end + 1 : end;
        if (*end != ',' && *end != '\0') return false;
    }
    return !sizes.empty();
}

int main(int argc, char **argv) {
    int step = 1;
    std::vector<std::string> fonts;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--step") == 0 && i + 1 < argc) {
            step = std::atoi(argv[++i]);
            if (step < 1) step = 1;
        } else if (std::strcmp(argv[i], "--sizes") == 0 && i + 1 < argc) {
            if (!ParseSizes(argv[++i])) {
                std::fprintf(stderr, "hinting_report: --sizes takes a list like 9,12,16\n");
                return 2;
            }
        } else if (std::strcmp(argv[i], "--faithful") == 0) {
            faithful = true;
        } else {
            fonts.emplace_back(argv[i]);
        }
    }
    if (fonts.empty()) fonts.assign(std::begin(kDefaultFonts), std::end(kDefaultFonts));
    std::printf("| font | ppem | glyphs | ours hinted | ours unhinted | FreeType unhinted | "
                "ours hinted identical | unhinted pair | unhinted pair identical | "
                "hinting hurts | FreeType failures | time |\n"
                "|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    bool ok = true;
    for (const std::string &font : fonts) ok = ReportFont(font, step) && ok;
    std::printf("\nLowest hinted agreement: glyph (agreement)\n\n| font | ppem | glyphs |\n"
                "|---|---|---|\n%s",
                worstGlyphs.c_str());
    PrintFaults();
    return ok ? 0 : 1;
}
