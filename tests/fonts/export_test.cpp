// kelmor bdf and kelmor carray, checked by reading their files back with
// other people's code: FreeType's BDF driver, and a C program that walks a
// GFX header's bits the way Adafruit GFX draws them.  Every glyph must put
// exactly the ink pixels GetBitmap gives on the same places around the
// origin, and advance as GetGlyphMetrics says.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H

#include <cstdio>
#include <functional>
#include <map>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "font_builder.h"
#include "kelmor.h"
#include "library_ink.h"
#include "test_paths.h"
#include "ttf/api/handles.h"
#include "ttf/font/ttf.h"

using namespace kelmor_test;

namespace {

std::string Quoted(const std::string &s) {
    std::string quoted = "'";
    for (char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a command line; its exit code, with stdout in *out when asked.
int Shell(const std::string &command, std::string *out = nullptr) {
    const std::string file = ScratchDir("export_shell") + "/out";
    const int status = std::system((command + " >" + file + " 2>&1").c_str());
    if (out != nullptr) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        *out = text.str();
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Tool(const std::vector<std::string> &args, std::string *out = nullptr) {
    std::string command = Quoted(KELMOR_TOOL_BINARY);
    for (const std::string &arg : args) command += " " + Quoted(arg);
    return Shell(command, out);
}

// The library's own answer for the bytes `ps`, placed around the origin, in
// the faithful mode the tool draws in, with the font's embedded bitmaps.
class Library {
public:
    Library(const std::string &font, int points, int charset) {
        handle_ = OpenTTFont(font.c_str());
        EXPECT_NE(handle_, 0) << font;
        SetRenderOptions(handle_, KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS);
        EXPECT_EQ(SetPointSize(handle_, points, 72), 1);
        SetEncoding(handle_, charset);
    }
    ~Library() { CloseTTFont(handle_); }
    kelmor::_TTFont *Font() const { return kelmor::FontFromHandle(handle_); }
    void SetOptions(int32_t options) const { SetRenderOptions(handle_, options); }

    LibraryGlyph Glyph(const char *ps) const { return LibraryInk(handle_, ps); }

private:
    int32_t handle_ = 0;
};

// The ink of the glyph FreeType has loaded, around the origin.
InkSet InkOfSlot(FT_GlyphSlot slot) {
    InkSet ink;
    const FT_Bitmap &b = slot->bitmap;
    for (unsigned y = 0; y < b.rows; ++y)
        for (unsigned x = 0; x < b.width; ++x)
            if (b.buffer[y * unsigned(b.pitch) + x / 8] & (0x80 >> (x % 8)))
                ink.insert({slot->bitmap_left + int(x), slot->bitmap_top - 1 - int(y)});
    return ink;
}

std::string Unicode(uint32_t code) {
    return std::string(reinterpret_cast<const char *>(&code), sizeof code);
}
std::string TwoBytes(uint32_t code) { return {char(code >> 8), char(code & 0xFF)}; }

// ---------------------------------------------------------------- BDF

struct BdfCase {
    const char *font;  // below /usr/share/fonts, or "" for the synthetic one
    const char *encoding;
    const char *range;
    int points;
    const char *registry;
    int libraryCharset;
    uint32_t (*CodeOfEncoding)(uint32_t);  // BDF ENCODING back to our code
};

uint32_t Same(uint32_t e) { return e; }
uint32_t GbOfRowCell(uint32_t e) { return e | 0x8080; }
uint32_t ShiftJisOfJis(uint32_t e) {
    const uint32_t row = e >> 8, cell = e & 0xFF;
    const uint32_t lead = (row + 1) / 2 + (row <= 0x5E ? 0x70 : 0xB0);
    const uint32_t trail = (row & 1) ? cell + 0x1F + (cell >= 0x60 ? 1 : 0) : cell + 0x7E;
    return lead << 8 | trail;
}

// Renders a synthetic Shift-JIS font: the square at 889F and 8140, and F040,
// a user-defined code JIS X 0208 has no row and cell for.
std::string ShiftJisFont() {
    return FontBuilder()
        .BoundingBox(0, 0, 1000, 1000)
        .AddGlyph(Glyph::Simple({{{100, 0}, {100, 500}, {600, 500}, {600, 0}}}))
        .AddGlyph(Glyph::Simple({{{0, -200}, {0, 700}, {300, 700}, {300, -200}}}))
        .Cmap2(3, 2, {{0x889F, 1}, {0x8140, 2}, {0xF040, 1}})
        .WriteTo(ScratchDir("export_sjis") + "/sjis.ttf");
}

// Double-byte codes reach Unicode fonts through concordances: built once with
// the tool and registered in an ini file that this process and the tool
// find through KELMOR_PROFILE.
void RegisterConcordances() {
    static bool done = false;
    if (done) return;
    const std::string dir = ScratchDir("export_concordances");
    std::string out;
    ASSERT_EQ(Tool({"cob", "--out", dir + "/cob", "--register", dir + "/Kelmor.ini"}, &out), 0)
        << out;
    std::ofstream(dir + "/profile.ini")
        << "[Kelmor Type Font Interface 1.0]\nIniPath=" << dir << "/Kelmor.ini\n";
    setenv("KELMOR_PROFILE", (dir + "/profile.ini").c_str(), 1);
    KelmoRegisterApp(nullptr);
    done = true;
}

void CheckBdf(const BdfCase &c) {
    const std::string font = *c.font ? DebianFont(c.font) : ShiftJisFont();
    if (font.empty()) GTEST_SKIP() << c.font << " is not installed";
    RegisterConcordances();
    const std::string bdf = ScratchDir("export_bdf") + "/out.bdf";
    std::string output;
    ASSERT_EQ(Tool({"bdf", font, "--size", std::to_string(c.points), "--encoding", c.encoding,
                    "--range", c.range, "-o", bdf},
                   &output),
              0)
        << output;

    FT_Library ft;
    ASSERT_EQ(FT_Init_FreeType(&ft), 0);
    FT_Face face;
    ASSERT_EQ(FT_New_Face(ft, bdf.c_str(), 0, &face), 0) << "FreeType cannot read " << bdf;
    const char *registry = nullptr, *encoding = nullptr;
    ASSERT_EQ(FT_Get_BDF_Charset_ID(face, &encoding, &registry), 0);
    EXPECT_STREQ(registry, c.registry);
    ASSERT_GT(face->num_charmaps, 0);
    FT_Set_Charmap(face, face->charmaps[0]);

    Library library(font, c.points, c.libraryCharset);
    long checked = 0;
    FT_UInt index = 0;
    for (FT_ULong e = FT_Get_First_Char(face, &index); index != 0;
         e = FT_Get_Next_Char(face, e, &index)) {
        ASSERT_EQ(FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO), 0);
        const FT_GlyphSlot slot = face->glyph;
        const InkSet theirs = InkOfSlot(slot);
        const uint32_t code = c.CodeOfEncoding(uint32_t(e));
        const std::string ps = c.libraryCharset == 137 ? Unicode(code) : TwoBytes(code);
        const LibraryGlyph ours = library.Glyph(ps.c_str());
        EXPECT_EQ(theirs, ours.ink) << std::hex << "code " << code;
        EXPECT_EQ(slot->advance.x, ours.advance * 64) << std::hex << "code " << code;
        ++checked;
    }
    EXPECT_EQ(checked + 1, face->num_glyphs);  // FreeType adds a default glyph
    EXPECT_GT(checked, 0);
    FT_Done_Face(face);
    FT_Done_FreeType(ft);
}

class Bdf : public ::testing::TestWithParam<BdfCase> {};

TEST_P(Bdf, FreeTypeReadsEveryGlyphAsTheLibraryDrawsIt) { CheckBdf(GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    Fonts, Bdf,
    ::testing::Values(BdfCase{"truetype/dejavu/DejaVuSans.ttf", "unicode", "20-7E", 16, "ISO10646",
                              137, Same},
                      BdfCase{"opentype/ipafont-gothic/ipag.ttf", "unicode", "3041-30FF", 12,
                              "ISO10646", 137, Same},
                      BdfCase{"truetype/unfonts-core/UnDotum.ttf", "unicode", "AC00-AC7F", 12,
                              "ISO10646", 137, Same},
                      BdfCase{"truetype/arphic-bsmi00lp/bsmi00lp.ttf", "big5", "A440-A4FE", 16,
                              "BIG5", 136, Same},
                      BdfCase{"truetype/arphic-gbsn00lp/gbsn00lp.ttf", "gb", "B0A1-B0FE", 16,
                              "GB2312.1980", 134, GbOfRowCell},
                      BdfCase{"truetype/arphic/uming.ttc", "unicode", "4E00-4E7F", 12,
                              "ISO10646", 137, Same},
                      BdfCase{"", "sjis", "8140-F040", 10, "JISX0208.1983", 128, ShiftJisOfJis}));

// JIS row and cell for Shift-JIS input; codes JIS X 0208 cannot hold are
// left out rather than given a wrong number.
TEST(BdfFile, ShiftJisCodesBecomeJisRowAndCell) {
    const std::string bdf = ScratchDir("export_bdf_sjis") + "/sjis.bdf";
    ASSERT_EQ(Tool({"bdf", ShiftJisFont(), "--size", "10", "--encoding", "sjis", "-o", bdf}), 0);
    std::ifstream in(bdf);
    std::stringstream text;
    text << in.rdbuf();
    const std::string file = text.str();
    EXPECT_NE(file.find("ENCODING 12321\n"), std::string::npos);  // 889F -> 0x3021
    EXPECT_NE(file.find("ENCODING 8481\n"), std::string::npos);   // 8140 -> 0x2121
    EXPECT_NE(file.find("CHARS 2\n"), std::string::npos);         // not F040
    // The font names no maker: the foundry is "Unknown", never the library.
    EXPECT_NE(file.find("FONT -Unknown-KT-Medium-R-Normal--10-100-72-72-P-"), std::string::npos);
    EXPECT_NE(file.find("CHARSET_REGISTRY \"JISX0208.1983\""), std::string::npos);
}

// Bad command lines exit 2, failures 1, with one message.
TEST(ExportCommands, ExitCodes) {
    const std::string font = ShiftJisFont();
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char *says;
    } cases[] = {
        {{"bdf", font}, 2, "--size is required"},
        {{"bdf", font, "--size", "10", "--range", "9000-8000", "--encoding", "sjis"}, 2, "--range"},
        {{"bdf", font, "--size", "10", "--encoding", "latin1"}, 2, "--encoding is"},
        {{"bdf", font, "--size", "10"}, 1, "not Unicode"},
        {{"bdf", font + ".none", "--size", "10"}, 1, "cannot open"},
        {{"bdf", font, "--size", "10", "--encoding", "sjis", "--range", "A0-A1"}, 1, "no glyph"},
        {{"carray", font, "--size", "10", "--encoding", "sjis"}, 2, "are required"},
        {{"carray", font, "--size", "10", "--encoding", "sjis", "--range", "8140-8141", "-o",
          "/nonexistent/x.h"},
         1,
         "cannot write"},
    };
    for (const Case &c : cases) {
        std::string out;
        EXPECT_EQ(Tool(c.args, &out), c.exitCode) << c.args[0] << " " << c.says << "\n" << out;
        EXPECT_NE(out.find(c.says), std::string::npos) << out;
    }
}

// -------------------------------------------------------------- C array

// Writes the header, builds the decoder against it and returns its output.
std::string DecodeGfx(const std::string &font, const std::vector<std::string> &options) {
    const std::string dir = ScratchDir("export_carray");
    std::vector<std::string> args = {"carray", font, "-o", dir + "/glyphs.h"};
    args.insert(args.end(), options.begin(), options.end());
    std::string out;
    EXPECT_EQ(Tool(args, &out), 0) << out;
    const std::string build = Quoted(KELMOR_C_COMPILER) + " -std=c99 -Wall -Werror -o " +
                              Quoted(dir + "/decode") + " -DFONT_HEADER='\"" + dir +
                              "/glyphs.h\"' -DFONT=glyphs_" + options[1] + "pt " +
                              Quoted(KELMOR_GFX_DECODER);
    EXPECT_EQ(Shell(build, &out), 0) << build << "\n" << out;
    EXPECT_EQ(Shell(Quoted(dir + "/decode"), &out), 0);
    return out;
}

void CheckCarray(const std::string &font, int points, int charset, const char *encoding,
                 uint32_t first, uint32_t last) {
    char range[32];
    std::snprintf(range, sizeof range, "%X-%X", unsigned(first), unsigned(last));
    std::istringstream decoded(DecodeGfx(
        font, {"--size", std::to_string(points), "--encoding", encoding, "--range", range}));
    unsigned gotFirst = 0, gotLast = 0, yAdvance = 0;
    decoded >> gotFirst >> gotLast >> yAdvance;
    EXPECT_EQ(gotFirst, first);
    ASSERT_EQ(gotLast, last);
    EXPECT_GT(yAdvance, 0u);
    Library library(font, points, charset);
    for (uint32_t code = first; code <= last; ++code) {
        unsigned gotCode = 0, width = 0, height = 0, advance = 0;
        int xOffset = 0, yOffset = 0;
        decoded >> gotCode >> width >> height >> advance >> xOffset >> yOffset;
        ASSERT_EQ(gotCode, code);
        InkSet theirs;
        for (unsigned y = 0; y < height; ++y) {
            std::string row;
            decoded >> row;
            ASSERT_EQ(row.size(), width);
            for (unsigned x = 0; x < width; ++x)
                if (row[x] == '#') theirs.insert({xOffset + int(x), -(yOffset + int(y)) - 1});
        }
        const std::string ps = charset == 137 ? Unicode(code) : TwoBytes(code);
        const bool present = kelmor::GetGlyphNo(library.Font(), code) != 0;
        const LibraryGlyph ours = present ? library.Glyph(ps.c_str()) : LibraryGlyph{};
        EXPECT_EQ(theirs, ours.ink) << std::hex << "code " << code;
        EXPECT_EQ(int(advance), ours.advance) << std::hex << "code " << code;
    }
}

TEST(CArray, DecodesBackToTheLibrarysGlyphs) {
    CheckCarray(ShiftJisFont(), 10, 128, "sjis", 0x889D, 0x88A0);
    const std::string ipa = DebianFont("opentype/ipafont-gothic/ipag.ttf");
    if (ipa.empty()) GTEST_SKIP() << "IPA Gothic is not installed";
    CheckCarray(ipa, 12, 137, "unicode", 0x3041, 0x3096);
    CheckCarray(ipa, 16, 137, "unicode", 0x20, 0x7E);
    const std::string uming = DebianFont("truetype/arphic/uming.ttc");
    if (!uming.empty()) CheckCarray(uming, 16, 137, "unicode", 0x6C00, 0x6C7F);  // a strike
}

// Where a font has embedded bitmaps, the exported glyphs are FreeType's
// images of them: same ink around the origin, same advance.  (Glyphs the
// strike lacks are outlines, which the BDF cases above check.)
TEST(BdfFile, EmbeddedBitmapsAsFreeTypeDrawsThem) {
    const std::string uming = DebianFont("truetype/arphic/uming.ttc");
    if (uming.empty()) GTEST_SKIP() << "AR PL UMing is not installed";
    const std::string bdf = ScratchDir("export_bdf_strike") + "/uming.bdf";
    std::string output;
    ASSERT_EQ(Tool({"bdf", uming, "--face", "1", "--size", "13", "--range", "5000-50FF", "-o",
                    bdf},
                   &output),
              0)
        << output;
    FT_Library ft;
    ASSERT_EQ(FT_Init_FreeType(&ft), 0);
    FT_Face written, font;
    ASSERT_EQ(FT_New_Face(ft, bdf.c_str(), 0, &written), 0);
    ASSERT_EQ(FT_New_Face(ft, uming.c_str(), 1, &font), 0);
    ASSERT_EQ(FT_Set_Char_Size(font, 0, 13 * 64, 72, 72), 0);
    FT_Set_Charmap(written, written->charmaps[0]);
    long images = 0;
    FT_UInt index = 0;
    for (FT_ULong code = FT_Get_First_Char(written, &index); index != 0;
         code = FT_Get_Next_Char(written, code, &index)) {
        ASSERT_EQ(FT_Load_Glyph(written, index, FT_LOAD_TARGET_MONO), 0);
        const InkSet exported = InkOfSlot(written->glyph);
        const FT_Pos exportedAdvance = written->glyph->advance.x;
        const FT_UInt glyph = FT_Get_Char_Index(font, code);
        ASSERT_EQ(FT_Load_Glyph(font, glyph, FT_LOAD_TARGET_MONO), 0);
        if (font->glyph->format != FT_GLYPH_FORMAT_BITMAP) continue;
        ++images;
        ASSERT_EQ(FT_Load_Glyph(font, glyph, FT_LOAD_TARGET_MONO | FT_LOAD_RENDER), 0);
        EXPECT_EQ(exported, InkOfSlot(font->glyph)) << std::hex << "code " << code;
        EXPECT_EQ(exportedAdvance, font->glyph->advance.x) << std::hex << "code " << code;
    }
    EXPECT_GT(images, 150);  // of 256 codes
    FT_Done_Face(written);
    FT_Done_Face(font);
    FT_Done_FreeType(ft);
}

// The drawing commands take a strike's images unless --no-bitmaps; at a
// size no strike has, the flag changes nothing.  info lists the strikes.
TEST(ToolOptions, NoBitmapsDrawsTheOutline) {
    const std::string uming = DebianFont("truetype/arphic/uming.ttc");
    if (uming.empty()) GTEST_SKIP() << "AR PL UMing is not installed";
    auto render = [&](const char *size, bool noBitmaps) {
        std::vector<std::string> args = {"render", uming, "--size", size, "--ascii",
                                         "\xe4\xb8\xad"};  // U+4E2D
        if (noBitmaps) args.push_back("--no-bitmaps");
        std::string out;
        EXPECT_EQ(Tool(args, &out), 0) << out;
        return out;
    };
    EXPECT_NE(render("12", false), render("12", true));
    EXPECT_EQ(render("17", false), render("17", true));
    std::string info;
    ASSERT_EQ(Tool({"info", uming, "--face", "3"}, &info), 0);
    EXPECT_NE(info.find("Embedded bitmaps: 6 strikes\n  11 px     1 bit, glyphs 0 to 27122"),
              std::string::npos)
        << info;
}

// ------------------------------------------------------------- subsets

std::string FileText(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The ENCODING lines of a BDF file, in order.
std::vector<uint32_t> BdfEncodings(const std::string &bdf) {
    std::vector<uint32_t> encodings;
    std::istringstream in(bdf);
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, 9, "ENCODING ") == 0)
            encodings.push_back(uint32_t(std::stoul(line.substr(9))));
    return encodings;
}

size_t Count(const std::string &text, const std::string &what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Ranges, single codes, characters and files of characters make one sorted
// set; repeats and codes the font lacks are named once, on one line each.
TEST(Subsets, RangesCharactersAndFilesMakeOneSortedSet) {
    const std::string ipa = DebianFont("opentype/ipafont-gothic/ipag.ttf");
    if (ipa.empty()) GTEST_SKIP() << "IPA Gothic is not installed";
    RegisterConcordances();
    const std::string dir = ScratchDir("export_subsets");
    std::ofstream(dir + "/utf8.txt")
        << "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC\n\xE6\x97\xA5\r\n";  // BOM 日本 日
    std::ofstream(dir + "/sjis.txt", std::ios::binary)
        << "\x93\xFA\x96\x7B\n\x8C\xEA";  // 日本 語
    struct Case {
        std::vector<std::string> args;
        std::vector<uint32_t> encodings;
        std::vector<const char *> notes;  // each exactly once on stderr
    } cases[] = {
        {{"--range", "4E00"}, {0x4E00}, {}},
        {{"--range", "3042,3041-3043", "--range", "3097", "--chars", "A\xE3\x81\x82"},
         {0x41, 0x3041, 0x3042, 0x3043},
         {"1 code asked for more than once: 3042\n", "the font lacks 1 code asked for: 3097\n"}},
        {{"--chars-file", dir + "/utf8.txt", "--range", "65E5"},
         {0x65E5, 0x672C},
         {"1 code asked for more than once: 65E5\n"}},
        {{"--encoding", "sjis", "--chars-file", dir + "/sjis.txt", "--chars",
          "\xE6\x97\xA5\xC3\xA9"},
         {0x386C, 0x467C, 0x4B5C},  // JIS row/cell of 語 日 本, ascending Shift-JIS
         {"1 code asked for more than once: 93FA\n",
          "1 character without a Shift-JIS code left out: U+00E9\n"}},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args = {"bdf", ipa, "--size", "12", "-o", dir + "/out.bdf"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string out;
        ASSERT_EQ(Tool(args, &out), 0) << out;
        EXPECT_EQ(BdfEncodings(FileText(dir + "/out.bdf")), c.encodings) << c.args[1];
        for (const char *note : c.notes) EXPECT_EQ(Count(out, note), 1u) << out;
        EXPECT_EQ(Count(out, "kelmor bdf: note:"), c.notes.size()) << out;
    }
}

// The Shift-JIS BDF holds JIS X 0208's rows only: Windows' NEC and IBM rows
// are left out (and said so), so that the charset name tells the truth.
TEST(Subsets, ShiftJisBdfKeepsToJisX0208) {
    const std::string ipa = DebianFont("opentype/ipafont-gothic/ipag.ttf");
    if (ipa.empty()) GTEST_SKIP() << "IPA Gothic is not installed";
    RegisterConcordances();
    const std::string bdf = ScratchDir("export_jis") + "/jis.bdf";
    std::string out;
    ASSERT_EQ(Tool({"bdf", ipa, "--size", "12", "--encoding", "sjis", "-o", bdf}, &out), 0) << out;
    EXPECT_NE(out.find("have no place in JISX0208.1983-0 and are left out (--encoding unicode "
                       "keeps them): 8740-"),
              std::string::npos)
        << out;
    // Values of the range such as C140 (C1 is a single byte) are no codes:
    // they once reached 8140's glyph and were listed as the font's codes.
    EXPECT_EQ(out.find("C140"), std::string::npos) << out;
    EXPECT_EQ(out.find("the font's codes"), std::string::npos) << out;
    const std::string two = ScratchDir("export_jis_codes") + "/two.bdf";
    ASSERT_EQ(Tool({"bdf", ipa, "--size", "12", "--encoding", "sjis", "--range", "C140,889F",
                    "-o", two}, &out), 0) << out;
    EXPECT_NE(out.find("1 value left out, not Shift-JIS codes (no lead and trail byte): C140"),
              std::string::npos) << out;
    EXPECT_EQ(BdfEncodings(FileText(two)), std::vector<uint32_t>{0x3021}) << out;
    const std::vector<uint32_t> encodings = BdfEncodings(FileText(bdf));
    EXPECT_GT(encodings.size(), 6800u);
    EXPECT_LE(encodings.size(), 6879u);  // the characters JIS X 0208 defines
    for (uint32_t e : encodings) {
        const uint32_t row = (e >> 8) - 0x20;
        EXPECT_TRUE((row >= 1 && row <= 8) || (row >= 16 && row <= 84)) << std::hex << e;
    }
}

// The BBX line of a BDF glyph, as {width, height}.
std::pair<int, int> BdfBox(const std::string &bdf, const std::string &name) {
    std::istringstream in(bdf.substr(bdf.find("STARTCHAR " + name + "\n")));
    int width = -1, height = -1;
    for (std::string line; std::getline(in, line);)
        if (std::sscanf(line.c_str(), "BBX %d %d", &width, &height) == 2) break;
    return {width, height};
}

std::string BdfGlyph(const std::string &bdf, const std::string &name) {
    const size_t start = bdf.find("STARTCHAR " + name + "\n");
    return start == std::string::npos ? "" : bdf.substr(start, bdf.find("ENDCHAR", start) - start);
}

// The properties of a BDF file, name to value as written.
std::map<std::string, std::string> BdfProperties(const std::string &bdf) {
    std::map<std::string, std::string> properties;
    std::istringstream in(bdf.substr(bdf.find("STARTPROPERTIES")));
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line) && line != "ENDPROPERTIES")
        properties[line.substr(0, line.find(' '))] = line.substr(line.find(' ') + 1);
    return properties;
}

// The BDF named KELMOR as the foundry and left out the font's copyright,
// which the fonts' licences expect to travel with fonts made from them.
TEST(Subsets, BdfCarriesTheFontsNoticesAndFoundry) {
    const Bytes copyright = {0x00, 0xA9, 0x00, ' ', 0x00, '2', 0x00, '4', 0x00, ' ',
                             0x00, '"', 0x00, 'Q', 0x00, '"'};  // (c) 24 "Q" in UTF-16
    Bytes os2(96, 0);
    std::copy_n("ABCD", 4, os2.begin() + 58);
    struct Case {
        const char *what;
        std::function<void(FontBuilder &)> names;
        std::map<std::string, std::string> expected;  // "" = no such property
    };
    const Case cases[] = {
        {"every name",
         [&](FontBuilder &b) {
             b.Name(3, 1, 0x409, 0, copyright).NameUtf16(3, 1, 0x409, 8, "Maker Works")
                 .NameUtf16(3, 1, 0x409, 13, "Licence text").NameUtf16(3, 1, 0x409, 7, "TM");
         },
         {{"FOUNDRY", "\"Maker Works\""}, {"COPYRIGHT", "\"(c) 24 \"\"Q\"\"\""},
          {"NOTICE", "\"Licence text\""}}},
        {"vendor ID and trademark",
         [&](FontBuilder &b) { b.RawTable("OS/2", os2).NameUtf16(3, 1, 0x409, 7, "TM"); },
         {{"FOUNDRY", "\"ABCD\""}, {"COPYRIGHT", ""}, {"NOTICE", "\"TM\""}}},
        {"no names", [](FontBuilder &) {},
         {{"FOUNDRY", "\"Unknown\""}, {"COPYRIGHT", ""}, {"NOTICE", ""}}},
    };
    const std::string dir = ScratchDir("export_notices");
    for (const Case &c : cases) {
        FontBuilder b;
        b.BoundingBox(0, 0, 1000, 1000)
            .AddGlyph(Glyph::Simple({{{100, 0}, {100, 500}, {600, 500}, {600, 0}}}))
            .Cmap4(3, 1, {{'A', 1}})
            .NameUtf16(3, 1, 0x409, 1, "Fam");
        c.names(b);
        const std::string font = b.WriteTo(dir + "/font.ttf");
        std::string out;
        ASSERT_EQ(Tool({"bdf", font, "--size", "10", "--range", "41", "-o", dir + "/f.bdf"}, &out),
                  0) << c.what << ": " << out;
        const std::string bdf = FileText(dir + "/f.bdf");
        const auto properties = BdfProperties(bdf);
        for (const auto &[name, value] : c.expected) {
            const auto found = properties.find(name);
            EXPECT_EQ(found == properties.end() ? "" : found->second, value) << c.what << " " << name;
        }
        EXPECT_NE(bdf.find("STARTPROPERTIES " + std::to_string(properties.size()) + "\n"),
                  std::string::npos) << c.what;
        const std::string foundry = c.expected.at("FOUNDRY");
        EXPECT_NE(bdf.find("FONT -" + foundry.substr(1, foundry.size() - 2) + "-Fam-"),
                  std::string::npos) << c.what;
    }
}

// A label printer that prints vertically needs the turned brackets and the
// moved 、 and 。 in its font file: bdf and carray had no --vertical.
TEST(Subsets, VerticalExportsCarryTheVerticalForms) {
    const std::string ipa = DebianFont("opentype/ipafont-gothic/ipag.ttf");
    if (ipa.empty()) GTEST_SKIP() << "IPA Gothic is not installed";
    const std::string dir = ScratchDir("export_vertical");
    const std::vector<std::string> common = {ipa, "--size", "16", "--encoding", "unicode",
                                             "--range", "3001,FF08,65E5"};
    std::string out;
    const auto run = [&](const char *command, const std::string &file, bool vertical) {
        std::vector<std::string> args = {command};
        args.insert(args.end(), common.begin(), common.end());
        args.insert(args.end(), {"-o", dir + "/" + file});
        if (vertical) args.push_back("--vertical");
        EXPECT_EQ(Tool(args, &out), 0) << out;
        return FileText(dir + "/" + file);
    };
    const std::string upright = run("bdf", "h.bdf", false);
    const std::string turned = run("bdf", "v.bdf", true);
    EXPECT_NE(out.find("1 code without a vertical form in the font stays upright: 65E5"),
              std::string::npos) << out;
    EXPECT_NE(BdfGlyph(turned, "3001"), BdfGlyph(upright, "3001"));
    const auto across = BdfBox(upright, "FF08"), along = BdfBox(turned, "FF08");
    EXPECT_GT(across.second, across.first);  // （ is tall
    EXPECT_GT(along.first, along.second);    // ︵ lies on its side
    EXPECT_EQ(BdfGlyph(turned, "65E5"), BdfGlyph(upright, "65E5"));
    EXPECT_NE(run("carray", "h.h", false), run("carray", "v.h", true));
}

// FONT_ASCENT and FONT_DESCENT are FreeType's ascender and descender at the
// size; --no-hinting draws the plain outlines.
TEST(Subsets, LineMetricsAndUnhintedGlyphs) {
    const std::string ipa = DebianFont("opentype/ipafont-gothic/ipag.ttf");
    if (ipa.empty()) GTEST_SKIP() << "IPA Gothic is not installed";
    const std::string dir = ScratchDir("export_line");
    std::string out;
    ASSERT_EQ(
        Tool({"bdf", ipa, "--size", "16", "--range", "3042", "-o", dir + "/hinted.bdf"}, &out), 0);
    ASSERT_EQ(Tool({"bdf", ipa, "--size", "16", "--range", "3042", "--no-hinting", "-o",
                    dir + "/plain.bdf"},
                   &out),
              0);
    const std::string hinted = FileText(dir + "/hinted.bdf");
    EXPECT_NE(hinted.find("FONT_ASCENT 15\nFONT_DESCENT 2\n"), std::string::npos) << hinted;

    Library library(ipa, 16, 137);
    library.SetOptions(KELMOR_FAITHFUL | KELMOR_NO_HINTING);
    const LibraryGlyph plain = library.Glyph(Unicode(0x3042).c_str());
    const std::string bitmap = FileText(dir + "/plain.bdf");
    EXPECT_NE(bitmap, hinted);
    FT_Library ft;
    FT_Face face;
    ASSERT_EQ(FT_Init_FreeType(&ft), 0);
    ASSERT_EQ(FT_New_Face(ft, (dir + "/plain.bdf").c_str(), 0, &face), 0);
    ASSERT_EQ(FT_Load_Char(face, 0x3042, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO), 0);
    InkSet theirs;
    const FT_Bitmap &b = face->glyph->bitmap;
    for (unsigned y = 0; y < b.rows; ++y)
        for (unsigned x = 0; x < b.width; ++x)
            if (b.buffer[y * unsigned(b.pitch) + x / 8] & (0x80 >> (x % 8)))
                theirs.insert(
                    {face->glyph->bitmap_left + int(x), face->glyph->bitmap_top - 1 - int(y)});
    EXPECT_EQ(theirs, plain.ink);
    FT_Done_Face(face);
    FT_Done_FreeType(ft);
}

// A run that fails leaves no file behind, and an older file as it was.
TEST(Subsets, FailedCarrayLeavesNoFile) {
    const std::string ipa = DebianFont("opentype/ipafont-gothic/ipag.ttf");
    if (ipa.empty()) GTEST_SKIP() << "IPA Gothic is not installed";
    const std::string dir = ScratchDir("export_failed");
    std::remove((dir + "/new.h").c_str());
    std::ofstream(dir + "/old.h") << "old\n";
    std::string out;
    for (const char *name : {"/new.h", "/old.h"}) {
        EXPECT_EQ(Tool({"carray", ipa, "--size", "290", "--encoding", "unicode", "--range", "4E00",
                        "-o", dir + name},
                       &out),
                  1);
        EXPECT_NE(out.find("code 4E00 is larger than 255 pixels"), std::string::npos) << out;
    }
    EXPECT_FALSE(std::ifstream(dir + "/new.h").good());
    EXPECT_EQ(FileText(dir + "/old.h"), "old\n");
    std::string listing;
    Shell("ls " + Quoted(dir), &listing);
    EXPECT_EQ(listing, "old.h\n");  // no temporary file either
}

}  // namespace
