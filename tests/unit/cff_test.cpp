// CFF outlines: Type 2 charstrings run into outlines (every path operator,
// hints, widths, subroutines, arithmetic, accented glyphs), name-keyed and
// CID-keyed fonts, and damaged tables and charstrings, which fail the glyph
// or refuse the font and never read outside the table.  Fonts are built for
// each case; at 64 units per em and 64 pixels per em one unit is one pixel,
// so outlines read back in font units.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cff_builder.h"
#include "embedded_bitmap_builder.h"
#include "kelmor.h"
#include "test_paths.h"
#include "ttf/api/handles.h"
#include "ttf/cff/cff.h"
#include "ttf/cff/cff_charstring.h"
#include "ttf/font/ttf.h"
#include "ttf/raster/scexact_crossings.h"

using namespace kelmor_test;

namespace {

constexpr int kPpem = 64;

// The glyph's outline as text: points in font units, "c" before a curve's
// control points, "|" after each contour.
std::string OutlineText(const kelmor::CubicOutline &o) {
    std::string text;
    int contour = 0;
    for (int32_t i = 0; i < o.NumPoints; ++i) {
        if (!text.empty()) text += ' ';
        if (o.Kinds[i] == kelmor::kCubicControl) text += 'c';
        text += "(" + std::to_string(o.Points[i].x / 64) + "," + std::to_string(o.Points[i].y / 64) +
                ")";
        if (contour < o.NumContours && o.ContourEnds[contour] == i + 1) {
            text += " |";
            ++contour;
        }
    }
    return text;
}

class CffGlyphs : public ::testing::Test {
protected:
    ~CffGlyphs() override {
        for (int32_t h : handles_) CloseTTFont(h);
    }

    // The font at 64 ppem by glyph number; 0 when it was refused.
    int32_t Open(const CffTable &cff) {
        FontBuilder font = CffFont(cff);
        font.UnitsPerEm(64).BoundingBox(0, -13, 64, 51);
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::string path = font.WriteTo(ScratchDir("cff_" + name) + "/" +
                                              std::to_string(handles_.size()) + ".otf");
        const int32_t handle = OpenTTFont(path.c_str());
        if (handle == 0) return 0;
        handles_.push_back(handle);
        EXPECT_EQ(1, SetPointSize(handle, kPpem, 72));
        SetEncoding(handle, KELMOR_CHARSET_GLYPHNUMBER);
        return handle;
    }

    // Draws `glyph` and returns its outline as text ("" when it failed).
    std::string Draw(int32_t handle, int32_t glyph, const char **problem = nullptr) {
        int width = 0, height = 0;
        GetBitmap(handle, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
        kelmor::_TTFont *pF = kelmor::FontFromHandle(handle);
        if (problem != nullptr) *problem = kelmor::CffProblem(pF);
        return OutlineText(pF->G.Cubic);
    }

    std::string DrawOne(const std::string &charstring, std::vector<Bytes> localSubrs = {},
                        std::vector<Bytes> globalSubrs = {}, const char **problem = nullptr) {
        CffTable cff;
        cff.charStrings = {Charstring("endchar"), Charstring(charstring)};
        cff.localSubrs = std::move(localSubrs);
        cff.globalSubrs = std::move(globalSubrs);
        const int32_t handle = Open(cff);
        EXPECT_NE(0, handle);
        return handle == 0 ? "(refused)" : Draw(handle, 1, problem);
    }

    std::vector<int32_t> handles_;
};

TEST_F(CffGlyphs, PathOperatorsDrawTheirOutlines) {
    const struct {
        const char *name, *charstring, *outline;
    } cases[] = {
        {"rlineto", "10 20 rmoveto 30 0 0 40 rlineto endchar", "(10,20) (40,20) (40,60) |"},
        {"width before rmoveto", "500 10 20 rmoveto 30 0 rlineto endchar", "(10,20) (40,20) |"},
        {"width before hmoveto", "500 10 hmoveto 5 7 3 vlineto endchar",
         "(10,0) (10,5) (17,5) (17,8) |"},
        {"vmoveto", "9 vmoveto 4 hlineto endchar", "(0,9) (4,9) |"},
        {"hlineto alternates", "0 0 rmoveto 10 20 30 hlineto endchar",
         "(0,0) (10,0) (10,20) (40,20) |"},
        {"rrcurveto", "0 0 rmoveto 1 2 3 4 5 6 rrcurveto endchar", "(0,0) c(1,2) c(4,6) (9,12) |"},
        {"hhcurveto with dy1", "0 0 rmoveto 7 1 2 3 4 hhcurveto endchar",
         "(0,0) c(1,7) c(3,10) (7,10) |"},
        {"vvcurveto with dx1", "0 0 rmoveto 7 1 2 3 4 vvcurveto endchar",
         "(0,0) c(7,1) c(9,4) (9,8) |"},
        {"hvcurveto with a last operand", "0 0 rmoveto 1 2 3 4 5 hvcurveto endchar",
         "(0,0) c(1,0) c(3,3) (8,7) |"},
        {"vhcurveto two curves", "0 0 rmoveto 1 2 3 4 5 6 7 8 vhcurveto endchar",
         "(0,0) c(0,1) c(2,4) (6,4) c(11,4) c(17,11) (17,19) |"},
        {"rcurveline", "0 0 rmoveto 1 2 3 4 5 6 7 8 rcurveline endchar",
         "(0,0) c(1,2) c(4,6) (9,12) (16,20) |"},
        {"rlinecurve", "0 0 rmoveto 1 2 1 2 3 4 5 6 rlinecurve endchar",
         "(0,0) (1,2) c(2,4) c(5,8) (10,14) |"},
        {"flex", "0 0 rmoveto 1 1 2 2 3 3 4 -4 5 -5 6 -6 50 flex endchar",
         "(0,0) c(1,1) c(3,3) (6,6) c(10,2) c(15,-3) (21,-9) |"},
        {"hflex", "0 0 rmoveto 1 2 3 4 5 6 7 hflex endchar",
         "(0,0) c(1,0) c(3,3) (7,3) c(12,3) c(18,0) (25,0) |"},
        {"hflex1", "0 0 rmoveto 1 2 3 4 5 6 7 8 9 hflex1 endchar",
         "(0,0) c(1,2) c(4,6) (9,6) c(15,6) c(22,14) (31,0) |"},
        {"flex1 mostly along x", "0 0 rmoveto 10 1 10 1 10 1 10 -1 10 -1 5 flex1 endchar",
         "(0,0) c(10,1) c(20,2) (30,3) c(40,2) c(50,1) (55,0) |"},
        {"flex1 mostly along y", "0 0 rmoveto 1 10 1 10 1 10 -1 10 -1 10 5 flex1 endchar",
         "(0,0) c(1,10) c(2,20) (3,30) c(2,40) c(1,50) (0,55) |"},
        {"moveto closes a contour", "0 0 rmoveto 10 0 rlineto 0 10 rmoveto 5 0 rlineto endchar",
         "(0,0) (10,0) | (10,10) (15,10) |"},
        {"a path starts at the origin", "10 0 rlineto 0 10 rlineto endchar",
         "(0,0) (10,0) (10,10) |"},
        {"fractions are floored", "10.75 0 rmoveto 1.5 0 rlineto endchar", "(10,0) (12,0) |"},
        {"a lone moveto draws nothing", "5 5 rmoveto 0 0 rmoveto 3 0 rlineto endchar",
         "(5,5) (8,5) |"},
        {"stems and a hint mask are skipped",
         "10 20 30 40 50 hstemhm 1 2 hintmask #C0 0 0 rmoveto 5 0 rlineto endchar",
         "(0,0) (5,0) |"},
        {"nine stems take two mask bytes",
         "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 hstem cntrmask #FF #80 0 0 rmoveto 5 0 "
         "rlineto endchar",
         "(0,0) (5,0) |"},
        {"no endchar ends the glyph", "0 0 rmoveto 5 0 rlineto", "(0,0) (5,0) |"},
    };
    for (const auto &c : cases) EXPECT_EQ(c.outline, DrawOne(c.charstring)) << c.name;
}

TEST_F(CffGlyphs, ArithmeticOperatorsComputeOperands) {
    const struct {
        const char *name, *operands, *end;
    } cases[] = {
        {"add sub", "3 4 add 10 2 sub", "(7,8)"},
        {"div neg", "6 3 div 2 neg", "(2,-2)"},
        {"mul of a fraction", "2.5 4 mul 0", "(10,0)"},
        {"abs sqrt", "-4 abs 16 sqrt", "(4,4)"},
        {"exch", "1 2 exch", "(2,1)"},
        {"dup", "5 dup", "(5,5)"},
        {"roll drop", "1 2 3 3 1 roll drop", "(3,1)"},
        {"index", "7 0 index", "(7,7)"},
        {"put get", "9 0 put 0 get 0 get", "(9,9)"},
        {"ifelse", "1 2 5 6 ifelse 0", "(1,0)"},
        {"eq and or not", "3 3 eq 5 mul 0 1 and 0 0 or not add", "(5,1)"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(std::string("(0,0) ") + c.end + " |",
                  DrawOne(std::string("0 0 rmoveto ") + c.operands + " rlineto endchar"))
            << c.name;
    }
}

// Subroutine numbers are stored minus a bias that depends on how many there
// are: 107 below 1240, 1131 below 33900.
TEST_F(CffGlyphs, SubroutinesAreCalledWithTheirBias) {
    EXPECT_EQ("(0,0) (30,0) |",
              DrawOne("0 0 rmoveto -107 callsubr endchar", {Charstring("30 0 rlineto return")}));
    EXPECT_EQ("(0,0) (0,30) |", DrawOne("0 0 rmoveto -107 callgsubr endchar", {},
                                        {Charstring("0 30 rlineto return")}));
    std::vector<Bytes> many(1240, Charstring("return"));
    many[1131 - 1131] = Charstring("4 0 rlineto return");
    many[1131 + 5] = Charstring("0 4 rlineto return");
    EXPECT_EQ("(0,0) (4,0) (4,4) |",
              DrawOne("0 0 rmoveto -1131 callsubr 5 callsubr endchar", many));
    // A subroutine may end the glyph, and one without return returns.
    EXPECT_EQ("(0,0) (2,0) (2,2) |",
              DrawOne("0 0 rmoveto -107 callsubr -106 callsubr",
                      {Charstring("2 0 rlineto"), Charstring("0 2 rlineto endchar")}));
}

// Each font DICT of a CID-keyed font has its own local subroutines;
// FDSelect (both formats) says which a glyph uses.
TEST_F(CffGlyphs, CidKeyedFontsTakeLocalSubroutinesFromTheGlyphsFontDict) {
    for (int format : {0, 3}) {
        CffTable cff;
        const Bytes calls = Charstring("0 0 rmoveto -107 callsubr endchar");
        cff.charStrings = {Charstring("endchar"), calls, calls, calls};
        cff.fdLocalSubrs = {{Charstring("10 0 rlineto return")},
                            {Charstring("0 20 rlineto return")}};
        cff.fdOfGlyph = {0, 0, 1, 1};
        cff.fdSelectFormat = format;
        const int32_t handle = Open(cff);
        ASSERT_NE(0, handle) << "format " << format;
        EXPECT_EQ("(0,0) (10,0) |", Draw(handle, 1)) << "format " << format;
        EXPECT_EQ("(0,0) (0,20) |", Draw(handle, 2)) << "format " << format;
        EXPECT_EQ("(0,0) (0,20) |", Draw(handle, 3)) << "format " << format;
    }
}

// endchar with four operands builds the glyph of two standard-encoding
// characters, found through the charset: "A" (code 65, string id 34) and
// "grave" (code 193, string id 124), the accent moved by (10, 20).
TEST_F(CffGlyphs, AccentedGlyphsAreBuiltFromTwoGlyphs) {
    CffTable cff;
    cff.charStrings = {Charstring("endchar"), Charstring("0 0 rmoveto 8 0 rlineto endchar"),
                       Charstring("1 1 rmoveto 2 2 rlineto endchar"),
                       Charstring("300 10 20 65 193 endchar")};
    cff.charset = {34, 124, 200};
    const int32_t handle = Open(cff);
    ASSERT_NE(0, handle);
    EXPECT_EQ("(0,0) (8,0) | (11,21) (13,23) |", Draw(handle, 3));
    // Codes the charset has no glyph for fail the glyph.
    cff.charStrings[3] = Charstring("10 20 65 66 endchar");
    const char *problem = nullptr;
    EXPECT_EQ("", Draw(Open(cff), 3, &problem));
    EXPECT_NE(nullptr, problem);
}

// A damaged charstring fails its glyph alone: it draws blank, the reason
// is kept, and the next glyph draws.
TEST_F(CffGlyphs, DamagedCharstringsFailTheirGlyph) {
    std::string fortyNine;
    for (int i = 0; i < 49; ++i) fortyNine += "1 ";
    std::vector<Bytes> exponential;  // each level calls the next four times
    for (int level = 0; level < 10; ++level) {
        const std::string call = std::to_string(level + 1 - 107) + " callgsubr ";
        exponential.push_back(Charstring(level == 9 ? "return" : call + call + call + call + "return"));
    }
    const struct {
        const char *name;
        std::string charstring;
        std::vector<Bytes> globals;
        const char *why;
    } cases[] = {
        {"49 operands", fortyNine + "rlineto endchar", {}, "too many or too few"},
        {"too few operands", "0 0 rmoveto 5 rlineto endchar", {}, "too many or too few"},
        {"flex short of operands", "0 0 rmoveto 1 2 3 flex endchar", {}, "too many or too few"},
        {"no local subroutines", "0 callsubr endchar", {}, "subroutine"},
        {"global number past the INDEX", "50 callgsubr endchar", {Charstring("return")}, "subroutine"},
        {"a subroutine calling itself", "-107 callgsubr endchar",
         {Charstring("-107 callgsubr return")}, "nests"},
        {"four calls at every level", "-107 callgsubr endchar", exponential, "too many operators"},
        {"a number cut short", "0 0 rmoveto #FF #00", {}, "outside"},
        {"a hint mask cut short", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 hstem hintmask #FF",
         {}, "hint mask"},
        {"a reserved operator", "0 0 rmoveto #02 endchar", {}, "unknown operator"},
        {"a reserved escape", "0 0 rmoveto #0C #FF endchar", {}, "unknown operator"},
        {"put past the transient array", "1 40 put endchar", {}, "too many or too few"},
    };
    for (const auto &c : cases) {
        CffTable cff;
        cff.charStrings = {Charstring("endchar"), Charstring(c.charstring),
                           Charstring("0 0 rmoveto 1 0 rlineto endchar")};
        cff.globalSubrs = c.globals;
        const int32_t handle = Open(cff);
        ASSERT_NE(0, handle) << c.name;
        const char *problem = nullptr;
        EXPECT_EQ("", Draw(handle, 1, &problem)) << c.name;
        ASSERT_NE(nullptr, problem) << c.name;
        EXPECT_NE(std::string::npos, std::string(problem).find(c.why)) << c.name << ": " << problem;
        EXPECT_EQ("(0,0) (1,0) |", Draw(handle, 2, &problem)) << c.name;
        EXPECT_EQ(nullptr, problem) << c.name;
    }
}

// Curves are halved only around the bitmap's lines, and only so far: a
// glyph of hundreds of curves running thousands of pixels past its bitmap
// still draws, from a bounded path.
TEST_F(CffGlyphs, HugeCurvesStayBounded) {
    std::string text = "0 0 rmoveto";
    for (int i = 0; i < 150; ++i)
        text += " 0 30000 30000 -30000 1 30000 0 -30000 -30000 30000 -1 -30000 rrcurveto";
    CffTable cff;
    cff.charStrings = {Charstring("endchar"), Charstring(text + " endchar")};
    const int32_t handle = Open(cff);
    ASSERT_NE(0, handle);
    EXPECT_NE("", Draw(handle, 1));
    const kelmor::ExactScanner *scanner = kelmor::FontFromHandle(handle)->G.S.Exact;
    ASSERT_NE(nullptr, scanner);
    EXPECT_LE(scanner->path.size(), size_t(1) << 21);
}

// Glyph numbers past the CharStrings INDEX draw blank without a failure.
TEST_F(CffGlyphs, GlyphsPastTheCharStringsAreBlank) {
    CffTable cff;
    cff.charStrings = {Charstring("endchar")};
    const int32_t handle = Open(cff);
    ASSERT_NE(0, handle);
    const char *problem = "unset";
    EXPECT_EQ("", Draw(handle, 7, &problem));
    EXPECT_EQ(nullptr, problem);
}

// What opening checks: a damaged header, Top DICT, Private DICT, FDArray or
// FDSelect refuses the font.
TEST_F(CffGlyphs, DamagedTablesRefuseTheFont) {
    const Bytes square = Charstring("0 0 rmoveto 5 0 rlineto endchar");
    CffTable good;
    good.charStrings = {Charstring("endchar"), square};
    ASSERT_NE(0, Open(good));
    CffTable cid = good;
    cid.fdLocalSubrs = {{Charstring("return")}};
    ASSERT_NE(0, Open(cid));
    CffTable operands48 = good;  // as many operands as a DICT may have
    operands48.extraTopDict = {{std::vector<int32_t>(48, 0), 1234}};
    EXPECT_NE(0, Open(operands48));

    CffTable type1 = good;
    type1.extraTopDict = {{{1}, 1206}};  // CharstringType 1
    CffTable charStringsOutside = good;
    charStringsOutside.extraTopDict = {{{1 << 30}, 17}};
    CffTable privateOutside = good;
    privateOutside.extraTopDict = {{{100, 1 << 20}, 18}};
    CffTable fdSelectFormat1 = cid;
    fdSelectFormat1.fdSelectFormat = 1;
    CffTable noCharStrings = good;
    noCharStrings.charStrings = {};
    CffTable operands49 = good;
    operands49.extraTopDict = {{std::vector<int32_t>(49, 0), 1234}};
    CffTable negativeOffset = good;
    negativeOffset.extraTopDict = {{{-5}, 17}};
    for (const auto &[name, table] :
         std::vector<std::pair<const char *, CffTable>>{{"Type 1 charstrings", type1},
                                                        {"CharStrings outside", charStringsOutside},
                                                        {"Private outside", privateOutside},
                                                        {"FDSelect format 1", fdSelectFormat1},
                                                        {"no CharStrings", noCharStrings},
                                                        {"49 DICT operands", operands49},
                                                        {"a negative offset", negativeOffset}})
        EXPECT_EQ(0, Open(table)) << name;
}

// Every prefix of a CID-keyed table, and every table with one byte changed
// to 0xFF, opens or is refused, and draws or fails its glyphs, without
// reading outside the table (AddressSanitizer watches the builds that run
// this).
TEST_F(CffGlyphs, CutAndChangedTablesNeverReadOutside) {
    CffTable cff;
    cff.charStrings = {Charstring("endchar"), Charstring("0 0 rmoveto -107 callsubr endchar"),
                       Charstring("0 0 rmoveto -107 callgsubr 1 2 3 4 5 6 rrcurveto endchar")};
    cff.globalSubrs = {Charstring("5 0 rlineto return")};
    cff.fdLocalSubrs = {{Charstring("0 5 rlineto return")}, {Charstring("5 5 rlineto return")}};
    cff.fdOfGlyph = {0, 1, 0};
    const Bytes table = cff.Build();
    int opened = 0;
    for (size_t n = 0; n <= table.size(); ++n) {
        for (int change = 0; change < 2; ++change) {
            Bytes bytes(table.begin(), table.begin() + long(n));
            if (change == 1) {
                if (n == table.size()) continue;
                bytes = table;
                bytes[n] = 0xFF;
            }
            FontBuilder font = CffFont(cff);
            font.UnitsPerEm(64).RawTable("CFF ", bytes);
            const std::string path =
                font.WriteTo(ScratchDir("cff_cut") + "/" + std::to_string(n) + ".otf");
            const int32_t handle = OpenTTFont(path.c_str());
            if (handle == 0) continue;
            ++opened;
            SetPointSize(handle, 16, 72);
            SetEncoding(handle, KELMOR_CHARSET_GLYPHNUMBER);
            for (int32_t glyph = 0; glyph < 4; ++glyph) {
                int width = 0, height = 0;
                GetBitmap(handle, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
            }
            CloseTTFont(handle);
        }
    }
    EXPECT_GT(opened, 0);
}

// Nothing per glyph is read at open: the face holds its records, one
// Private DICT record per font DICT, and the buffers of the glyphs drawn.
TEST_F(CffGlyphs, AnOpenFaceHoldsLittle) {
    CffTable cff;
    cff.charStrings.assign(5000, Charstring("0 0 rmoveto 5 0 rlineto endchar"));
    cff.fdLocalSubrs.assign(3, {Charstring("return")});
    const int32_t handle = Open(cff);
    ASSERT_NE(0, handle);
    EXPECT_LT(kelmor::CffFaceBytes(kelmor::FontFromHandle(handle)), size_t(2048));
}

// A CFF font that also carried strikes was refused as a font of embedded
// images only.  It opens with any of them, draws its outlines, and draws a
// strike's image where asked.
TEST(CffWithStrikes, OpenAndDrawOutlinesOrTheStrikesImage) {
    CffTable cff;
    cff.charStrings = {Charstring("endchar"),
                       Charstring("8 8 rmoveto 48 0 rlineto 0 48 rlineto -48 0 rlineto endchar")};
    const std::vector<std::string> image = {"#.#", ".#.", "#.#"};
    const EmbeddedTables strike = BuildEmbeddedBitmaps(
        {SbitStrike{16, {SbitSubTable{1, 2, {SbitImage{1, image, 0, 3, 4}}}}}});
    const struct {
        const char *location, *data;
    } tables[] = {{"EBLC", "EBDT"}, {"bloc", "bdat"}, {"CBLC", "CBDT"}, {"sbix", "sbix"}};
    for (const auto &t : tables) {
        FontBuilder font = CffFont(cff);
        font.UnitsPerEm(64).BoundingBox(0, -13, 64, 51);
        font.RawTable(t.location, strike.eblc).RawTable(t.data, strike.ebdt);
        const std::string path = font.WriteTo(ScratchDir("cff_strikes") + "/" + t.data + ".otf");
        const int32_t handle = OpenTTFontFace(path.c_str(), 0);
        ASSERT_NE(0, handle) << t.data << ": " << GetFontErrorText(GetLastFontError());
        SetEncoding(handle, KELMOR_CHARSET_GLYPHNUMBER);
        SetPointSize(handle, 16, 72);
        const int32_t glyph = 1;
        for (int32_t options : {0, KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS}) {
            SetRenderOptions(handle, options);
            int width = 0, height = 0;
            const unsigned char *bits =
                GetBitmap(handle, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
            ASSERT_NE(nullptr, bits);
            // EBDT and bdat strikes are drawn; colour and sbix images are not.
            const std::string data = t.data;
            const bool strikeImage = options != 0 && (data == "EBDT" || data == "bdat");
            EXPECT_EQ(strikeImage, width == 3 && height == 3) << t.data << ", options " << options;
            int ink = 0;
            for (int i = 0; i < (width + 15) / 16 * 2 * height; ++i)
                for (int bit = 0; bit < 8; ++bit) ink += (bits[i] >> bit & 1) == 0;
            EXPECT_EQ(strikeImage ? 5 : 12 * 12, ink) << t.data << ", options " << options;
        }
        CloseTTFont(handle);
    }
}

// A subroutine of about 64 KiB that draws a line up and returns at once.
Bytes LargeSubroutine(int32_t up) {
    Bytes subr = Charstring("0 " + std::to_string(up) + " rlineto return");
    subr.resize(65000, 139);  // never run: the number 0
    return subr;
}

// A CID-keyed font whose glyph g (from 1) belongs to font DICT g - 1 and
// calls that font DICT's subroutine `calls` times.
CffTable CallingEveryFontDict(uint32_t fontDicts, int calls) {
    CffTable cff;
    std::string program = "0 0 rmoveto";
    for (int i = 0; i < calls; ++i) program += " -107 callsubr";
    cff.charStrings.assign(fontDicts + 1, Charstring(program + " endchar"));
    cff.charStrings[0] = Charstring("endchar");
    cff.fdOfGlyph.push_back(0);
    for (uint32_t fd = 0; fd < fontDicts; ++fd) {
        cff.fdLocalSubrs.push_back({LargeSubroutine(int32_t(1 + fd % 7))});
        cff.fdOfGlyph.push_back(uint8_t(fd));
    }
    return cff;
}

// Subroutine INDEXes were copied per font DICT, not per INDEX: 256 font
// DICTs naming one 64 KiB INDEX used up the 4 MiB the face may copy, and
// every later call read the whole subroutine through the file.
TEST_F(CffGlyphs, AnIndexThatEveryFontDictNamesIsCopiedOnce) {
    CffTable cff = CallingEveryFontDict(256, 1);
    cff.shareFdSubrs = true;
    const int32_t handle = Open(cff);
    ASSERT_NE(0, handle);
    for (int32_t glyph = 1; glyph <= 256; ++glyph)
        ASSERT_EQ("(0,0) (0,1) |", Draw(handle, glyph)) << glyph;
    EXPECT_LT(kelmor::CffFaceBytes(kelmor::FontFromHandle(handle)), size_t(2 * 65536));
}

// Past what a face may copy, subroutines are read through the file at each
// call; a glyph may read no more than a bound, as it may run no more than
// so many operators, and one that would fails instead of reading on.
TEST_F(CffGlyphs, SubroutinesReadThroughTheFileAreBoundedPerGlyph) {
    constexpr uint32_t kFontDicts = 70;  // 4.5 MB of subroutines: the last few are not copied
    constexpr int kCallsWithinTheBound = int(kelmor::cff::kMaxBytesReadPerGlyph / 65000) - 1;
    const CffTable within = CallingEveryFontDict(kFontDicts, kCallsWithinTheBound);
    const CffTable past = CallingEveryFontDict(kFontDicts, kCallsWithinTheBound + 2);
    for (const CffTable *cff : {&within, &past}) {
        const int32_t handle = Open(*cff);
        ASSERT_NE(0, handle);
        for (int32_t glyph = 1; glyph < int32_t(kFontDicts); ++glyph) Draw(handle, glyph);
        const char *problem = nullptr;
        const std::string outline = Draw(handle, kFontDicts, &problem);
        if (cff == &within) {
            EXPECT_EQ(nullptr, problem);
            EXPECT_NE("", outline);
        } else {
            ASSERT_NE(nullptr, problem);
            EXPECT_NE(std::string(problem).find("too many bytes"), std::string::npos) << problem;
        }
    }
}

}  // namespace
