// Writes the font fuzzer's seed corpus: small fonts that carry every table
// and record the readers know (cmap formats 0, 2 and 4, mort, simple and
// composite glyphs, font, control-value and glyph programs, names, vertical
// metrics, GSUB vertical forms, an embedded bitmap strike in every index
// and image format, a format-12 map alone, CFF outlines beside a strike, a
// collection), so that mutations start past the table directory.
//
//   build-fuzz/fuzz/seed_fonts fuzz/corpus/font
//
// The corpus in the tree was made this way; run it again after changing the
// font builder.
#include <cstdio>
#include <string>
#include <vector>

#include "cff_builder.h"
#include "embedded_bitmap_builder.h"
#include "font_builder.h"
#include "gsub_builder.h"
#include "ttasm.h"

using namespace kelmor_test;

namespace {

Glyph Square(int16_t size, Bytes program = {}) {
    return Glyph::Simple({{{0, 0}, {0, size}, {size, size}, {size, 0}}}, std::move(program));
}

Glyph Curved() {
    return Glyph::Simple({{{100, 0}, {0, 300, false}, {300, 600}, {600, 300, false}, {500, 0}},
                          {{200, 200}, {400, 200}, {300, 400}}});
}

FontBuilder Base() {
    FontBuilder b;
    b.UnitsPerEm(1024).BoundingBox(0, -128, 1024, 896).Hhea(896, -128);
    b.AddGlyph(Square(600)).AddGlyph(Curved());
    b.NameUtf16(3, 1, 0x409, 1, "Seed").NameUtf16(3, 1, 0x409, 4, "Seed Regular");
    b.Name(1, 0, 0, 4, {'S', 'e', 'e', 'd'});
    b.Cmap4(3, 1, {{0x41, 1}, {0x42, 2}, {0x4E00, 3}});
    return b;
}

FontBuilder Composites() {
    FontBuilder b = Base();
    Component offset{1, 100, -50};
    Component scaled{2, 0, 0};
    scaled.scale = {0x2000};
    Component matrix{2, 10, 10};
    matrix.scale = {0x4000, 0x1000, 0, 0x4000};
    matrix.extraFlags = kRoundXYToGrid | kUseMyMetrics;
    Component matched{1, 2, 0};
    matched.argsAreXY = false;
    b.AddGlyph(Glyph::Composite({offset, scaled}, Assemble("SVTCA[1] PUSHB 0 MDAP[1] IUP[1]")));
    b.AddGlyph(Glyph::Composite({matrix, matched}));
    b.AddGlyph(Glyph::Composite({Component{3, 5, 5}, Component{4, 0, 0}}));  // nested
    return b;
}

FontBuilder Hinted() {
    FontBuilder b = Base();
    b.Fpgm(Assemble("PUSHB 0 FDEF SVTCA[0] PUSHB 1 SHPIX ENDF PUSHB 1 FDEF DUP MDAP[1] ENDF"));
    b.Prep(Assemble("PUSHB 0 PUSHB 2 SCANCTRL PUSHW 511 SCANCTRL PUSHB 5 SCANTYPE "
                    "PUSHB 70 SMD PUSHB 0 RCVT POP"));
    b.Cvt({0, 64, 128, 600, -128});
    b.SetGlyph(1, Square(600, Assemble("SVTCA[1] PUSHB 0 3 MIRP[11101] PUSHB 1 MDAP[1] "
                                       "PUSHB 2 3 IP IUP[0] IUP[1] PUSHB 0 CALL "
                                       "PUSHB 1 0 DELTAP1")));
    b.SetGlyph(2, Glyph::Simple(Curved().contours,
                                Assemble("SVTCA[0] PUSHB 0 1 MIAP[1] PUSHB 5 0 MIRP[10110] "
                                         "PUSHB 1 1 LOOPCALL SRP0 PUSHB 3 MSIRP[0] ROUND[00]")));
    return b;
}

FontBuilder DoubleByte() {
    FontBuilder b = Base();
    b.Cmap2(3, 2, {{0x41, 1}, {0x889F, 2}, {0x93FA, 1}});
    b.Cmap0(1, 0, {{0x41, 1}, {0x42, 2}});
    b.Mort({{1, 2}, {2, 1}});
    return b;
}

FontBuilder Vertical() {
    FontBuilder b = Base();
    // vhea: version, ascent, descent, line gap, advance max, three extents,
    // caret (3), reserved (4), format, count of long metrics.
    b.RawTable("vhea", {0, 1, 0, 0, 2, 0, 0xFF, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 1, 0,
                        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2});
    b.RawTable("vmtx", {4, 0, 0, 100, 3, 0, 0, 50, 0, 25});
    return b;
}

// Vertical forms from GSUB: scripts with their own rules and a default, a
// language system, extension and plain single substitutions of both
// formats, and a ligature lookup the reader passes over.
FontBuilder Substituted() {
    FontBuilder b = Vertical();
    b.AddGlyph(Square(300)).AddGlyph(Square(200));
    b.Cmap4(3, 1, {{0x41, 1}, {0x3042, 2}, {0x300C, 3}, {0x4E00, 3}});
    b.RawTable("GSUB",
               GsubTable({{"hani", {0}, true, {{"JAN ", {0, 2}}}}, {"kana", {1}}, {"DFLT", {1}}},
                         {{"vert", {0, 1}}, {"vert", {1}}, {"ccmp", {2}}},
                         {{7, {Extension(1, SingleSubst1({1, 2}, 2, 2))}},
                          {1, {SingleSubst2({{2, 4}, {3, 1}}), SingleSubst1({4}, -1)}},
                          {4, {SingleSubst2({{1, 2}})}}}));
    return b;
}

// A 12-pixel strike for glyphs 1 to 4 and 10 to 19, one index sub-table
// per index format and between them every image format, composites too.
FontBuilder EmbeddedBitmaps() {
    FontBuilder b = Base();
    const std::vector<std::string> rows = {"..#..", ".###.", "#.#.#", "..#.."};
    auto image = [&](uint16_t glyph) { return SbitImage{glyph, rows, 1, 8, 7}; };
    SbitImage eight{16, {"......", "......", "......", "......", "......"}, 0, 9, 7};
    eight.components = {{10, 0, 0}, {11, 1, 1}};
    SbitImage nine = eight;
    nine.glyph = 17;
    const EmbeddedTables t = BuildEmbeddedBitmaps({SbitStrike{
        12,
        {SbitSubTable{1, 1, {image(1), image(3)}}, SbitSubTable{2, 5, {image(10), image(11)}},
         SbitSubTable{3, 2, {image(12), image(13)}}, SbitSubTable{4, 6, {image(14), image(15)}},
         SbitSubTable{1, 8, {eight}}, SbitSubTable{3, 9, {nine}},
         SbitSubTable{5, 5, {image(18), image(19)}}, SbitSubTable{1, 7, {image(4)}}}}});
    while (b.GlyphCount() < 20) b.AddGlyph(Square(300));
    b.RawTable("EBLC", t.eblc).RawTable("EBDT", t.ebdt);
    return b;
}

// A map of format 12 alone, the font's only Unicode map.
FontBuilder Format12Only() {
    FontBuilder b;
    b.AddGlyph(Curved()).AddGlyph(Square(400));
    const Bytes groups = {0, 12, 0, 0, 0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0, 2,
                          0, 0, 0, 0x41, 0, 0, 0, 0x42, 0, 0, 0, 1,
                          0, 2, 0x0B, 0x9F, 0, 2, 0x0B, 0x9F, 0, 0, 0, 2};
    return b.CmapRaw(3, 10, groups);
}

// CFF outlines with global and local subroutines, and a strike beside them.
FontBuilder CffOutlines() {
    CffTable cff;
    cff.charStrings = {Charstring("endchar"),
                       Charstring("100 0 rmoveto -107 callsubr -107 callgsubr endchar"),
                       Charstring("0 0 rmoveto 1 2 3 4 5 6 rrcurveto 10 20 rlineto endchar")};
    cff.globalSubrs = {Charstring("0 500 rlineto return")};
    cff.fdLocalSubrs = {{Charstring("500 0 rlineto return")}, {Charstring("0 5 rlineto return")}};
    cff.fdOfGlyph = {0, 1, 0};
    const EmbeddedTables t = BuildEmbeddedBitmaps(
        {SbitStrike{12, {SbitSubTable{1, 2, {SbitImage{1, {"#.#", ".#."}, 0, 2, 4}}}}}});
    return CffFont(cff).Cmap4(3, 1, {{0x41, 1}, {0x42, 2}}).RawTable("EBLC", t.eblc)
        .RawTable("EBDT", t.ebdt);
}

// Two faces, the second with GSUB vertical forms; the last byte picks the
// face the fuzzer opens (1).
Bytes TwoFaces() {
    Bytes collection = Collection({Base().Build(), Substituted().Build()});
    collection.push_back(1);
    return collection;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_fonts DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::vector<std::pair<const char *, FontBuilder>> seeds = {
        {"simple.ttf", Base()},        {"composite.ttf", Composites()},
        {"hinted.ttf", Hinted()},      {"dbcs.ttf", DoubleByte()},
        {"vertical.ttf", Vertical()},  {"gsub.ttf", Substituted()},
        {"bitmaps.ttf", EmbeddedBitmaps()}, {"format12.ttf", Format12Only()},
        {"cff.otf", CffOutlines()},
    };
    for (const auto &[name, builder] : seeds) builder.WriteTo(dir + "/" + name);
    WriteBytes(TwoFaces(), dir + "/collection.ttc");
    return 0;
}
