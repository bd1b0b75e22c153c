// The kelmor command-line tool: its own logic (text input, bitmaps, PNG,
// diagnosis of fonts that do not open or sizes that do not fit) in process,
// and the built program on synthetic and Debian fonts.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <map>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "args.h"
#include "cff_builder.h"
#include "code_set.h"
#include "font_builder.h"
#include "font_facts.h"
#include "glyph_image.h"
#include "kelmor.h"
#include "line_metrics.h"
#include "png_writer.h"
#include "render_plan.h"
#include "test_paths.h"
#include "text_input.h"
#include "ttasm.h"
#include "ttf/api/handles.h"

using namespace kelmor;
using namespace kelmor_test;

namespace {

const std::string kIpaGothic = "opentype/ipafont-gothic/ipag.ttf";

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct ToolRun {
    int exitCode;
    std::string out, err;
};

std::string ShellQuoted(const std::string &s) {
    std::string quoted = "'";
    for (char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ToolRun RunTool(const std::vector<std::string> &args, const std::string &environment = "") {
    const std::string dir = ScratchDir("tool_run");
    std::string command = environment + " " + ShellQuoted(KELMOR_TOOL_BINARY);
    for (const std::string &arg : args) command += " " + ShellQuoted(arg);
    command += " >" + dir + "/out 2>" + dir + "/err";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir + "/out"),
            ReadFile(dir + "/err")};
}

// Glyph 1 is a square from (100, 0) to (600, 500); the box is the em square
// moved down by the descender, so at 10 points and 72 dpi the bitmap is 11
// pixels wide and 10 rows tall.
FontBuilder SquareGlyph() {
    return FontBuilder()
        .BoundingBox(0, 0, 1000, 1000)
        .AddGlyph(Glyph::Simple({{{100, 0}, {100, 500}, {600, 500}, {600, 0}}}));
}

// The square mapped from 'A' by a Unicode map.
FontBuilder SquareFont() { return SquareGlyph().Cmap4(3, 1, {{0x41, 1}}); }

std::string WriteFont(const FontBuilder &font, const std::string &name) {
    return font.WriteTo(ScratchDir("tool_" + name) + "/font.ttf");
}

// ------------------------------------------------------------ text input

TEST(ToolTextInput, DecodesUtf8AndRefusesMalformedSequences) {
    std::vector<uint32_t> cps;
    std::string error;
    ASSERT_TRUE(DecodeUtf8("A\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", &cps, &error));
    EXPECT_EQ(cps, (std::vector<uint32_t>{0x41, 0xE9, 0x65E5, 0x1F600}));

    const char *bad[] = {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                         "ab\xE6\x97", "\x80", "\xE6\x41\x41"};
    for (const char *text : bad) EXPECT_FALSE(DecodeUtf8(text, &cps, &error)) << text;
    DecodeUtf8("ab\xFF", &cps, &error);
    EXPECT_NE(error.find("byte 3"), std::string::npos) << error;
}

TEST(ToolTextInput, ParsesCodeAndGlyphLists) {
    std::vector<uint32_t> values;
    std::string error;
    ASSERT_TRUE(ParseNumberList("889F,0x88a0,U+4E00", 16, 0xFFFF, &values, &error));
    EXPECT_EQ(values, (std::vector<uint32_t>{0x889F, 0x88A0, 0x4E00}));
    ASSERT_TRUE(ParseNumberList("0,65535", 10, 0xFFFF, &values, &error));
    EXPECT_EQ(values, (std::vector<uint32_t>{0, 65535}));

    for (const char *bad : {"", "1,,2", "1,", "10000", "88G0", "0x", "-1", "99999999999"}) {
        EXPECT_FALSE(ParseNumberList(bad, 16, 0xFFFF, &values, &error)) << bad;
    }
    EXPECT_FALSE(ParseNumberList("65536", 10, 0xFFFF, &values, &error));
    EXPECT_NE(error.find("65536"), std::string::npos) << error;
}

// The byte pairs are the ones the library's conversions index: Shift-JIS
// 93 FA is row 18, Big5 A4 A4 and GB B0 A1 the first rows of hanzi.
TEST(ToolTextInput, ConvertsTextIntoDoubleByteCodes) {
    std::vector<DbcsChar> chars;
    std::string error;
    ASSERT_TRUE(ConvertToEncoding({0x65E5, 0x672C, 0x41}, TextEncoding::kShiftJIS, &chars, &error))
        << error;
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].Code(), 0x93FAu);
    EXPECT_EQ(chars[1].Code(), 0x967Bu);
    EXPECT_EQ(chars[2].Code(), 0x0041u);  // single-byte: zero lead byte
    EXPECT_EQ(chars[0].codePoint, 0x65E5u);

    ASSERT_TRUE(ConvertToEncoding({0x4E2D}, TextEncoding::kBig5, &chars, &error));
    EXPECT_EQ(chars[0].Code(), 0xA4A4u);
    ASSERT_TRUE(ConvertToEncoding({0x554A}, TextEncoding::kGB2312, &chars, &error));
    EXPECT_EQ(chars[0].Code(), 0xB0A1u);

    EXPECT_FALSE(ConvertToEncoding({0x41, 0x1F600}, TextEncoding::kShiftJIS, &chars, &error));
    EXPECT_NE(error.find("U+1F600"), std::string::npos) << error;
}

// --chars-file and render --input read a file whole with no bound: /dev/zero
// ate memory until the allocation failed (exit 134).  Past the cap a file is
// refused with one line and exit 1.
TEST(ToolTextInput, InputFilesPastTheCapAreRefusedNotReadWhole) {
    const std::string dir = ScratchDir("tool_input_cap");
    const std::string atCap = dir + "/at_cap.txt", pastCap = dir + "/past_cap.txt";
    std::ofstream(atCap, std::ios::binary) << std::string(kMaxInputFileBytes, 'A');
    std::ofstream(pastCap, std::ios::binary) << std::string(kMaxInputFileBytes + 1, 'A');
    const struct {
        std::string path;
        bool read;
    } cases[] = {{atCap, true}, {pastCap, false}, {"/dev/zero", false}};
    for (const auto &c : cases) {
        std::string bytes, error;
        EXPECT_EQ(c.read, ReadWholeFile(c.path, &bytes, &error)) << c.path;
        EXPECT_EQ(c.read ? kMaxInputFileBytes : 0, bytes.size()) << c.path;
        if (!c.read) {
            EXPECT_NE(error.find("larger than 4 MiB"), std::string::npos) << error;
        }
    }
    const std::string font = WriteFont(SquareFont(), "input_cap");
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"render", font, "--encoding", "sjis", "--input", "/dev/zero"},
          {"carray", font, "--size", "10", "--encoding", "unicode", "--chars-file", "/dev/zero",
           "-o", dir + "/out.h"}}) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(1, run.exitCode) << args[0] << ": " << run.err;
        EXPECT_EQ(1u, Lines(run.err).size()) << run.err;
    }
}

TEST(ToolArgs, ReadsBothOptionFormsAndEndsOptionsAtDoubleDash) {
    const char *argv[] = {"render", "--size=12", "--dpi", "96", "--sizes", "--", "-x"};
    ArgCursor args(7, const_cast<char **>(argv));
    std::string value;
    ASSERT_TRUE(args.Value("--size", &value));
    EXPECT_EQ(value, "12");
    ASSERT_TRUE(args.Value("--dpi", &value));
    EXPECT_EQ(value, "96");
    EXPECT_FALSE(args.Value("--size", &value));  // "--sizes" is another option
    EXPECT_FALSE(args.Positional(&value));
    EXPECT_EQ(args.Take(), "--sizes");
    ASSERT_TRUE(args.Positional(&value));
    EXPECT_EQ(value, "-x");
    EXPECT_TRUE(args.Done());

    const char *dangling[] = {"render", "--png"};
    ArgCursor last(2, const_cast<char **>(dangling));
    EXPECT_TRUE(last.Value("--png", &value));
    EXPECT_FALSE(last.Error().empty());
}

// -------------------------------------------------------- bitmaps and PNG

TEST(ToolImage, UnpacksLibraryBitmapsAndSetsThemByAdvance) {
    // 17 pixels wide: 4 bytes per row; ink is 0; padding bits are 1.
    const unsigned char bits[] = {0x7F, 0xFF, 0x7F, 0xFF,   // x = 0 and x = 16 inked
                                  0xFF, 0xFE, 0xFF, 0xFF};  // x = 15 inked
    const InkImage glyph = FromLibraryBitmap(bits, 17, 2);
    ASSERT_EQ(glyph.width, 17);
    EXPECT_TRUE(glyph.At(0, 0) && glyph.At(16, 0) && glyph.At(15, 1));
    EXPECT_FALSE(glyph.At(1, 0) || glyph.At(16, 1) || glyph.At(14, 1));

    const unsigned char tall[] = {0x7F, 0xFF, 0x7F, 0xFF, 0x7F, 0xFF};  // 1 x 3, all ink
    const InkImage column = FromLibraryBitmap(tall, 1, 3);
    // The wide glyph advances 4 pixels and its ink reaches column 16; the
    // column glyph then lands at x = 4, inside the first glyph's box.
    KelmorGlyphMetrics wide{4, 256, 0, 2, 0, 0, 17, 2};
    KelmorGlyphMetrics thin{1, 64, 0, 2, 0, 0, 1, 3};
    const InkImage line = LayOutGlyphs({{glyph, wide}, {column, thin}}, false);
    EXPECT_EQ(line.width, 17);  // the first glyph's ink, not the sum of the boxes
    EXPECT_EQ(line.height, 3);
    EXPECT_TRUE(line.At(4, 2) && line.At(4, 0) && line.At(0, 0) && line.At(16, 0));
    EXPECT_FALSE(line.At(5, 2) || line.At(0, 2));
    const InkImage stack = LayOutGlyphs({{glyph, wide}, {column, thin}}, true);
    EXPECT_EQ(stack.width, 17);
    EXPECT_EQ(stack.height, 4 + 3);  // the second glyph's top at the pen, 4 rows down
    EXPECT_TRUE(stack.At(0, 4) && stack.At(0, 6) && stack.At(16, 0));
    EXPECT_FALSE(stack.At(0, 3) || stack.At(1, 4));
    // Runs wrap by advance: 4 + 1 fit 5 columns, a third glyph does not.
    const auto runs = WrapByAdvance({{glyph, wide}, {column, thin}, {column, thin}}, 5);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].size(), 2u);

    EXPECT_EQ(TerminalPicture(column, TerminalStyle::kAscii), "#\n#\n#\n");
    // Odd heights end with an upper half block.
    EXPECT_EQ(TerminalPicture(column, TerminalStyle::kHalfBlocks), "\u2588\n\u2580\n");
}

std::vector<uint8_t> ReadPngGrey(const std::string &path, int *width, int *height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_GRAY;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    *width = int(image.width);
    *height = int(image.height);
    return pixels;
}

TEST(ToolPng, WritesInkBlackOnWhiteAtBothDepths) {
    const unsigned char bits[] = {0x5F, 0xFF, 0xBF, 0xFF};  // 10 x 2: ink at (0,0), (2,0), (1,1)
    const InkImage image = FromLibraryBitmap(bits, 10, 2);
    const std::string dir = ScratchDir("tool_png");
    for (int depth : {1, 8}) {
        const std::string path = dir + "/line" + std::to_string(depth) + ".png";
        std::string error;
        ASSERT_TRUE(WritePng(path, image, depth, &error)) << error;
        int width = 0, height = 0;
        const std::vector<uint8_t> grey = ReadPngGrey(path, &width, &height);
        ASSERT_EQ(width, 10);
        ASSERT_EQ(height, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 10; ++x)
                EXPECT_EQ(grey[size_t(y * 10 + x)], image.At(x, y) ? 0 : 255) << x << "," << y;
    }
    std::string error;
    EXPECT_FALSE(WritePng(dir + "/missing/line.png", image, 1, &error));
    EXPECT_NE(error.find("missing/line.png"), std::string::npos) << error;
    EXPECT_FALSE(WritePng(dir + "/empty.png", InkImage(), 1, &error));
    EXPECT_FALSE(std::ifstream(dir + "/empty.png.tmp").good());
}

// ----------------------------------------------------- font diagnosis

TEST(ToolDiagnosis, NamesWhyAFontDoesNotOpen) {
    struct Case {
        const char *name;
        FontBuilder font;
        const char *expected;
    } cases[] = {
        {"zones", SquareFont().Maxp(&MaxpValues::maxZones, 3), "needs 3 zones"},
        // The tool opens fonts past the classic limits: instruction
        // definitions and 1,261 points are served, 32,764 points are not.
        {"points", SquareFont().Maxp(&MaxpValues::maxPoints, 32764), "at most 32763"},
        {"nocmap", SquareFont().RemoveTable("cmap"), "has no cmap table"},
        {"nohead", SquareFont().RemoveTable("head"), "has no head table"},
        {"nomaxp", SquareFont().RemoveTable("maxp"), "has no maxp table"},
        {"noname", SquareFont().RemoveTable("name"), "has no name table"},
        {"cff2", SquareFont().RemoveTable("glyf").RawTable("CFF2", {2, 0, 5, 0, 0}),
         "'CFF2' table"},
        {"cffheader", SquareFont().RemoveTable("glyf").RawTable("CFF ", {1, 0, 4, 1}),
         "CFF table the library cannot read: an INDEX"},
        {"cfftype1", SquareFont().RemoveTable("glyf").RawTable("CFF ", [] {
             CffTable cff;
             cff.charStrings = {Charstring("endchar")};
             cff.extraTopDict = {{{1}, 1206}};
             return cff.Build();
         }()),
         "not Type 2 charstrings"},
    };
    for (Case &c : cases) {
        const std::string path = WriteFont(c.font, c.name);
        ASSERT_EQ(OpenTTFont(path.c_str()), 0) << c.name;
        const std::string why = DiagnoseOpenFailure(path);
        EXPECT_NE(why.find(c.expected), std::string::npos) << c.name << ": " << why;
    }
    const std::string dir = ScratchDir("tool_files");
    EXPECT_NE(DiagnoseOpenFailure(dir + "/absent.ttf").find("No such file"), std::string::npos);
    EXPECT_NE(DiagnoseOpenFailure(dir).find("is a directory"), std::string::npos);
    std::ofstream(dir + "/woff.ttf") << "wOFF and then some bytes";
    EXPECT_NE(DiagnoseOpenFailure(dir + "/woff.ttf").find("WOFF"), std::string::npos);
}

// The diagnosis must agree with the library about where sizes stop fitting.
TEST(ToolDiagnosis, FindsTheSizeWhereTheFontBoxStopsFitting) {
    const std::string path = WriteFont(SquareFont(), "box");
    const int32_t handle = OpenTTFont(path.c_str());
    ASSERT_NE(handle, 0);
    const _TTFont &font = *FontFromHandle(handle);
    int largest = 0;
    for (int points = 380; points < 420; ++points) {
        const bool fits = FontBoxAt(font, points, 72).rows <= kMaxBoxRows;
        EXPECT_EQ(SetPointSize(handle, points, 72) != 0, fits) << points;
        if (fits) largest = points;
    }
    ASSERT_GT(largest, 0);
    EXPECT_EQ(DiagnoseSizeFailure(font, largest, 72), "");
    const std::string why = DiagnoseSizeFailure(font, largest + 1, 72);
    EXPECT_NE(why.find("at most 405"), std::string::npos) << why;
    CloseTTFont(handle);
}

// ------------------------------------------------------------- planning

TEST(ToolPlan, RoutesCodesByTheFontsOwnCharacterSet) {
    const std::string sjisPath =
        WriteFont(SquareGlyph().Cmap2(3, 2, {{0x889F, 1}}), "sjis");
    FontObject sjis = OpenFontObject(sjisPath);
    ASSERT_TRUE(sjis);
    ASSERT_EQ(sjis->csFont, csShiftJIS);
    RenderPlan plan;
    PlanCodes(*sjis, {0x889F, 0x88A0}, &plan);
    EXPECT_EQ(plan.charset, csShiftJIS);
    EXPECT_EQ(uint8_t(plan.items[0].input[0]), 0x88);
    EXPECT_EQ(uint8_t(plan.items[0].input[1]), 0x9F);
    EXPECT_EQ(plan.items[0].problem, "");
    EXPECT_NE(plan.items[1].problem.find("code 88A0"), std::string::npos);
    std::string error;
    EXPECT_FALSE(PlanUnicodeText(*sjis, {0x4E9C}, &plan, &error));

    FontObject unicode = OpenFontObject(WriteFont(SquareFont(), "unicode"));
    ASSERT_TRUE(unicode);
    // A Unicode font takes the code points themselves.
    ASSERT_TRUE(PlanUnicodeText(*unicode, {0x41, 0x42, 0x1F600}, &plan, &error));
    EXPECT_EQ(plan.charset, csUnicode);
    int32_t codePoint = -1;
    std::memcpy(&codePoint, plan.items[2].input, 4);
    EXPECT_EQ(codePoint, 0x1F600);
    EXPECT_EQ(plan.items[0].problem, "");
    EXPECT_NE(plan.items[1].problem.find("U+0042 'B' is not in the font"), std::string::npos);
    EXPECT_NE(plan.items[2].problem, "");

    PlanGlyphs(*unicode, {1, 2}, &plan);  // glyphs 0 and 1 exist
    EXPECT_EQ(plan.items[0].problem, "");
    EXPECT_NE(plan.items[1].problem.find("beyond the font's 2 glyphs"), std::string::npos);
}

// ------------------------------------------------------- the program

TEST(ToolProgram, HelpVersionAndBadCommandLines) {
    for (auto args : std::vector<std::vector<std::string>>{
             {"--help"}, {"--version"}, {"info", "--help"}, {"render", "--help"}}) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.exitCode, 0) << args[0];
        EXPECT_FALSE(run.out.empty());
    }
    EXPECT_EQ(RunTool({"paint"}).exitCode, 2);
    EXPECT_EQ(RunTool({"info"}).exitCode, 2);
    const ToolRun both = RunTool({"render", "font.ttf", "A", "--glyphs", "1"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_NE(both.err.find("exactly one"), std::string::npos);
    EXPECT_EQ(RunTool({"render", "font.ttf", "A", "--size", "400", "--dpi", "400"}).exitCode, 2);
}

// A font the library refuses is still shown; one line on stderr says why.
// -o replaced a symbolic link with a file of its own (the link's target went
// stale), turned an existing 0600 file into 0644, left NAME.tmpPID.N behind
// a run killed with -9, and said "writing failed" without the cause.
class ToolOutputFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = ScratchDir(std::string("tool_output_") +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
        font_ = SquareFont().WriteTo(dir_ + "/font.ttf");
    }
    ToolRun Bdf(const std::string &out, const std::string &environment = "") {
        // Large enough a size to write well over 1 KiB.
        return RunTool({"bdf", font_, "--size", "120", "-o", out}, environment);
    }
    std::string dir_, font_;
};

TEST_F(ToolOutputFile, WritesThroughASymbolicLink) {
    const std::string target = dir_ + "/target.bdf", link = dir_ + "/link.bdf",
                      chained = dir_ + "/chained.bdf", dangling = dir_ + "/dangling.bdf";
    std::ofstream(target) << "stale";
    ASSERT_EQ(0, symlink("target.bdf", link.c_str()));
    ASSERT_EQ(0, symlink(link.c_str(), chained.c_str()));
    ASSERT_EQ(0, symlink("new.bdf", dangling.c_str()));
    for (const std::string &out : {link, chained, dangling}) {
        ASSERT_EQ(0, Bdf(out).exitCode) << out;
        struct stat status;
        ASSERT_EQ(0, lstat(out.c_str(), &status));
        EXPECT_TRUE(S_ISLNK(status.st_mode)) << out;
        EXPECT_EQ(0u, ReadFile(out).find("STARTFONT")) << out;
    }
    EXPECT_EQ(ReadFile(target), ReadFile(dir_ + "/new.bdf"));
}

TEST_F(ToolOutputFile, KeepsAnExistingFilesPermissions) {
    for (mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0604)}) {
        const std::string out = dir_ + "/kept.bdf";
        std::ofstream(out) << "old";
        ASSERT_EQ(0, chmod(out.c_str(), mode));
        ASSERT_EQ(0, Bdf(out).exitCode);
        struct stat status;
        ASSERT_EQ(0, stat(out.c_str(), &status));
        EXPECT_EQ(mode, status.st_mode & 07777);
    }
}

TEST_F(ToolOutputFile, RemovesTemporariesThatKilledRunsLeft) {
    const pid_t gone = fork();  // a process that has certainly ended
    if (gone == 0) _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    const std::string out = dir_ + "/out.bdf";
    const std::string stale = out + ".tmp" + std::to_string(gone) + ".0";
    const std::string running = out + ".tmp" + std::to_string(getpid()) + ".0";
    const std::string other = out + ".tmp" + std::to_string(gone) + ".0.kept";
    for (const std::string &file : {stale, running, other}) std::ofstream(file) << "partial";
    ASSERT_EQ(0, Bdf(out).exitCode);
    EXPECT_FALSE(std::ifstream(stale).good());
    EXPECT_TRUE(std::ifstream(running).good()) << "a running process's file stays";
    EXPECT_TRUE(std::ifstream(other).good()) << "a name of another pattern stays";
}

TEST_F(ToolOutputFile, AFailedWriteSaysWhy) {
    // Files may grow to 1 KiB only: the write fails as on a full disk.
    const std::string out = dir_ + "/big.bdf";
    const ToolRun run = Bdf(out, "ulimit -f 1; trap '' XFSZ;");
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(run.err.find("\"" + out + "\" failed: " + std::strerror(EFBIG)), std::string::npos)
        << run.err;
    EXPECT_FALSE(std::ifstream(out).good());
}

TEST(ToolProgram, InfoShowsAFontWithoutCmapAndSaysWhyItDoesNotOpen) {
    const ToolRun run = RunTool({"info", WriteFont(SquareFont().RemoveTable("cmap"), "info")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Names: 2 records"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Character maps: 0 sub-tables"), std::string::npos) << run.out;
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find("has no cmap table"), std::string::npos);
    const ToolRun text = RunTool({"info", WriteFont(FontBuilder(), "info_text") + "x"});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_EQ(text.out, "");
}

// Names are decoded by platform and encoding: UTF-16 (with a surrogate
// pair), Mac Roman, and the language ID is shown whole.
TEST(ToolProgram, InfoDecodesNamesToUtf8) {
    const FontBuilder font =
        SquareFont()
            .Name(3, 1, 0x0411, 4, {0x30, 0xB4, 0x30, 0xB7, 0xD8, 0x3D, 0xDE, 0x00})
            .Name(1, 0, 0, 1, {'C', 'a', 'f', 0x8E})
            .Name(3, 1, 0x0804, 1, {0x00});  // a cut-off unit
    const ToolRun run = RunTool({"info", WriteFont(font, "info_names")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("0x0411 (ja-JP)                 4  \u30B4\u30B7\U0001F600"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Caf\u00E9"), std::string::npos);
    EXPECT_NE(run.out.find("0x0804 (zh-CN)                 1  \uFFFD"), std::string::npos);
}

// Each sub-table's codes as ranges, whichever one the library uses.
TEST(ToolProgram, InfoListsCoverageOfEverySubTable) {
    const FontBuilder font = SquareGlyph()
                                 .Cmap4(3, 1, {{0x41, 1}, {0x42, 1}, {0x43, 1}, {0x4E00, 1}})
                                 .Cmap2(3, 2, {{0x41, 1}, {0x889F, 1}, {0x88A0, 1}})
                                 .Cmap0(1, 0, {{0x20, 1}});
    const ToolRun run = RunTool({"info", WriteFont(font, "info_coverage"), "--coverage"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("(platform 3, encoding 1): 4 codes\n    0x0041-0x0043, 0x4E00\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("(platform 3, encoding 2): 3 codes\n    0x0041, 0x889F-0x88A0\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("(platform 1, encoding 0): 1 codes\n    0x0020\n"), std::string::npos);
}

TEST(ToolProgram, InfoShowsARealFont) {
    const std::string font = DebianFont(kIpaGothic);
    if (font.empty()) GTEST_SKIP() << "IPA Gothic is not installed";
    const ToolRun run = RunTool({"info", font});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("0x0411 (ja-JP)                 1  IPA\u30B4\u30B7\u30C3\u30AF"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Character set: 137 (Unicode; \"UNI\""), std::string::npos);
    EXPECT_NE(run.out.find("numGlyphs              12728"), std::string::npos);
}

// What the terminal and the PNG show is what GetBitmap returned.
TEST(ToolProgram, RenderShowsTheLibrarysBitmaps) {
    const std::string path = WriteFont(SquareFont(), "render");
    const int32_t handle = OpenTTFont(path.c_str());
    ASSERT_NE(handle, 0);
    ASSERT_EQ(SetPointSize(handle, 10, 72), 1);
    SetEncoding(handle, csGlyphNumber);
    const int32_t glyph = 1;
    int width = 0, height = 0;
    const unsigned char *bits =
        GetBitmap(handle, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
    ASSERT_NE(bits, nullptr);
    const InkImage expected = FromLibraryBitmap(bits, width, height);
    CloseTTFont(handle);

    const std::string png = ScratchDir("tool_render_png") + "/line.png";
    const ToolRun run = RunTool(
        {"render", path, "AB", "--size", "10", "--ascii", "--columns", "80", "--png", png});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("U+0042 'B' is not in the font"), std::string::npos) << run.err;
    const std::string square = TerminalPicture(expected, TerminalStyle::kAscii);
    const std::vector<std::string> rows = Lines(run.out), glyphRows = Lines(square);
    ASSERT_EQ(rows.size(), glyphRows.size());
    // Both glyphs advance 5 pixels (500 units); 'B' is the empty glyph 0.
    for (size_t y = 0; y < rows.size(); ++y) EXPECT_EQ(rows[y], glyphRows[y].substr(0, 10));
    int pngWidth = 0, pngHeight = 0;
    const std::vector<uint8_t> grey = ReadPngGrey(png, &pngWidth, &pngHeight);
    EXPECT_EQ(pngWidth, 10);
    EXPECT_EQ(pngHeight, height);
}

// A CFF glyph whose charstring breaks a rule is drawn blank, and render
// says why.
TEST(ToolProgram, RenderNamesCffGlyphsDrawnBlank) {
    CffTable cff;
    cff.charStrings = {Charstring("endchar"), Charstring("0 0 rmoveto 5 callsubr endchar")};
    FontBuilder font = CffFont(cff);
    font.Cmap4(3, 1, {{0x41, 1}});
    const ToolRun run = RunTool({"render", WriteFont(font, "cff_blank"), "A", "--ascii"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("is drawn blank: it calls a subroutine that does not exist"),
              std::string::npos)
        << run.err;
}

// The tool's commands on a font whose outlines are in CFF.
TEST(ToolProgram, DrawsFontsWithCffOutlines) {
    const std::string font = DebianFont("opentype/noto/NotoSansCJK-Regular.ttc");
    if (font.empty()) GTEST_SKIP() << "fonts-noto-cjk is not installed";
    const std::string dir = ScratchDir("tool_cff");
    const ToolRun info = RunTool({"info", font, "--face", "1"});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("this is face 1"), std::string::npos) << info.out;
    EXPECT_EQ(info.out.find("CFF        2972   15458582  (not read)"), std::string::npos);
    const ToolRun render =
        RunTool({"render", font, "\u65E5", "--size", "16", "--ascii", "--png", dir + "/l.png"});
    ASSERT_EQ(render.exitCode, 0) << render.err;
    EXPECT_NE(render.out.find('#'), std::string::npos);
    const ToolRun bdf =
        RunTool({"bdf", font, "--size", "12", "--range", "3041-3043", "-o", dir + "/k.bdf"});
    ASSERT_EQ(bdf.exitCode, 0) << bdf.err;
    EXPECT_NE(ReadFile(dir + "/k.bdf").find("CHARS 3"), std::string::npos);
    const ToolRun carray = RunTool({"carray", font, "--size", "12", "--encoding", "unicode",
                                    "--range", "3041-3043", "-o", dir + "/k.h"});
    ASSERT_EQ(carray.exitCode, 0) << carray.err;
    EXPECT_NE(ReadFile(dir + "/k.h").find("// 0x3043"), std::string::npos);
}

// bdf and carray take --autohint and --no-autohint as render does: a font
// without programs is auto-hinted by default (--autohint changes nothing,
// --no-autohint draws it scaled); a font with programs is auto-hinted only
// when forced.
TEST(ToolProgram, ExportsTakeTheAutohintOptions) {
    struct Case {
        const char *font;
        bool hasPrograms;
    };
    const Case cases[] = {{"truetype/arphic/uming.ttc", false},
                          {"truetype/liberation/LiberationSerif-Regular.ttf", true}};
    const std::string dir = ScratchDir("tool_autohint");
    for (const Case &c : cases) {
        const std::string font = DebianFont(c.font);
        if (font.empty()) continue;
        for (const std::string command : {"bdf", "carray"}) {
            std::map<std::string, std::string> outputs;
            for (const std::string option : {"", "--autohint", "--no-autohint"}) {
                // One file name for every run: carray names its arrays after it.
                const std::string out = dir + (command == "bdf" ? "/font.bdf" : "/font.h");
                std::vector<std::string> args = {command, font, "--size", "11", "--no-bitmaps", "--range", "41-7A",
                                                 "-o", out};
                if (command == "carray") args.insert(args.end(), {"--encoding", "unicode"});
                if (!option.empty()) args.push_back(option);
                const ToolRun run = RunTool(args);
                ASSERT_EQ(run.exitCode, 0) << c.font << " " << command << " " << option << ": " << run.err;
                outputs[option] = ReadFile(out);
                ASSERT_FALSE(outputs[option].empty());
            }
            const std::string &automatic = c.hasPrograms ? outputs["--no-autohint"] : outputs["--autohint"];
            const std::string &different = c.hasPrograms ? outputs["--autohint"] : outputs["--no-autohint"];
            EXPECT_EQ(outputs[""], automatic) << c.font << " " << command;
            EXPECT_NE(outputs[""], different) << c.font << " " << command;
        }
    }
}

// Lines break between glyphs to fit the terminal; vertical text takes the
// vertical forms and stacks them.
TEST(ToolProgram, RenderLaysOutLinesAndVerticalText) {
    const Glyph bar = Glyph::Simple({{{100, 0}, {100, 900}, {200, 900}, {200, 0}}});
    const std::string path =
        WriteFont(SquareFont().AddGlyph(bar).Mort({{1, 2}}), "layout");
    const std::vector<std::string> common = {"--size", "10", "--ascii"};
    auto render = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"render", path});
        args.insert(args.end(), common.begin(), common.end());
        return RunTool(args);
    };
    // Glyphs advance 5 pixels; the square's ink covers columns 1 to 5.
    const ToolRun wrapped = render({"AAA", "--columns", "12"});
    ASSERT_EQ(wrapped.exitCode, 0) << wrapped.err;
    const std::vector<std::string> rows = Lines(wrapped.out);
    ASSERT_EQ(rows.size(), 10u + 1 + 10);
    EXPECT_EQ(rows[0].size(), 11u);
    EXPECT_EQ(rows[10], "");
    EXPECT_EQ(rows[11].size(), 6u);

    const ToolRun vertical = render({"AA", "--vertical"});
    const ToolRun bars = render({"--glyphs", "2,2", "--vertical"});
    ASSERT_EQ(vertical.exitCode, 0) << vertical.err;
    // Without vmtx each glyph advances by the font's height: 9 pixels.
    EXPECT_EQ(Lines(vertical.out).size(), 18u);
    EXPECT_EQ(vertical.out, bars.out);
    EXPECT_NE(vertical.out, render({"AA", "--columns", "11"}).out);
}

// A Shift-JIS font takes its own codes through the library's Shift-JIS road.
TEST(ToolProgram, RenderTakesCodesOfAShiftJisFont) {
    const std::string path = WriteFont(SquareGlyph().Cmap2(3, 2, {{0x889F, 1}}), "sjiscode");
    const ToolRun code = RunTool({"render", path, "--code", "889F", "--ascii"});
    const ToolRun glyph = RunTool({"render", path, "--glyphs", "1", "--ascii"});
    ASSERT_EQ(code.exitCode, 0) << code.err;
    EXPECT_EQ(code.err, "");
    EXPECT_EQ(code.out, glyph.out);
    EXPECT_NE(code.out.find('#'), std::string::npos);
    const ToolRun text = RunTool({"render", path, "A"});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_NE(text.err.find("Shift-JIS, not Unicode"), std::string::npos) << text.err;
}

TEST(ToolProgram, RenderExplainsSizesThatDoNotFit) {
    const ToolRun run =
        RunTool({"render", WriteFont(SquareFont(), "big"), "A", "--size", "500"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("at most 405"), std::string::npos) << run.err;
}

// Shift-JIS text reaches a Unicode font through the concordance the ini
// file names: the same glyphs as the text looked up directly.
TEST(ToolProgram, RenderTakesShiftJisThroughTheConcordance) {
    const std::string font = DebianFont(kIpaGothic);
    if (font.empty()) GTEST_SKIP() << "IPA Gothic is not installed";
    const std::string dir = ScratchDir("tool_sjis");
    const std::string profile = "KELMOR_PROFILE=" + ShellQuoted(dir + "/profile.ini");
    const std::string text = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // 日本語

    const ToolRun none = RunTool({"render", font, "--encoding", "sjis", text}, profile);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("no Shift-JIS concordance"), std::string::npos) << none.err;
    EXPECT_NE(none.err.find("the ini file "), std::string::npos) << none.err;  // named

    ASSERT_EQ(RunTool({"cob", "--out", dir + "/cob", "--register", dir + "/Kelmor.ini"})
                  .exitCode, 0);
    std::ofstream(dir + "/profile.ini")
        << "[Kelmor Type Font Interface 1.0]\nIniPath=" << dir << "/Kelmor.ini\n";
    const ToolRun sjis = RunTool(
        {"render", font, "--encoding", "sjis", text + "A", "--ascii", "--columns", "1000"},
        profile);
    ASSERT_EQ(sjis.exitCode, 0) << sjis.err;
    EXPECT_EQ(sjis.err, "");
    // Single-byte characters reach the font's own map: 'A' is drawn as 'A'.
    const ToolRun direct = RunTool({"render", font, text + "A", "--ascii", "--columns", "1000"});
    ASSERT_EQ(direct.exitCode, 0) << direct.err;
    EXPECT_EQ(sjis.out, direct.out);

    // The same line as a printer gets it: raw Shift-JIS bytes with ASCII and
    // a half-width katakana mixed in, and the codes themselves.
    const std::string halfWidthKa = "\xEF\xBD\xB6";  // U+FF76
    const std::string raw = dir + "/line.sjis";
    std::ofstream(raw, std::ios::binary) << "\x93\xFA\x96\x7B\x8C\xEA"
                                            "A\xB6\r\n";
    const ToolRun bytes = RunTool(
        {"render", font, "--encoding", "sjis", "--input", raw, "--ascii", "--columns", "1000"},
        profile);
    const ToolRun codes = RunTool({"render", font, "--encoding", "sjis", "--code",
                                   "93FA,967B,8CEA,41,B6", "--ascii", "--columns", "1000"},
                                  profile);
    const ToolRun utf8 =
        RunTool({"render", font, text + "A" + halfWidthKa, "--ascii", "--columns", "1000"});
    ASSERT_EQ(bytes.exitCode, 0) << bytes.err;
    ASSERT_EQ(codes.exitCode, 0) << codes.err;
    EXPECT_EQ(bytes.out, utf8.out);
    EXPECT_EQ(codes.out, utf8.out);
    EXPECT_EQ(bytes.err + codes.err, "");

    // A lead byte without its trail byte is named, with its place.
    std::ofstream(raw, std::ios::binary) << "A\x93";
    const ToolRun broken = RunTool({"render", font, "--encoding", "sjis", "--input", raw}, profile);
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.err.find("at byte 2: lead byte 93 at the end"), std::string::npos)
        << broken.err;
}

// Chinese receipt printers get GBK and Korean ones EUC-KR, which the tool
// did not take ("lead byte E9 without a trail byte" for GBK): text in every
// double-byte code space draws as its UTF-8, as text and as raw bytes.
TEST(ToolProgram, EveryDoubleByteCodeSpaceDrawsAsItsUtf8) {
    const std::string dir = ScratchDir("tool_code_spaces");
    const std::string profile = "KELMOR_PROFILE=" + ShellQuoted(dir + "/profile.ini");
    std::ofstream(dir + "/profile.ini")
        << "[Kelmor Type Font Interface 1.0]\nIniPath=" << dir << "/Kelmor.ini\n";
    ASSERT_EQ(RunTool({"cob", "--out", dir + "/cob", "--register", dir + "/Kelmor.ini"})
                  .exitCode, 0);
    struct Case {
        const char *font, *encoding, *utf8, *bytes;
    };
    const Case cases[] = {
        {"truetype/arphic/uming.ttc", "big5", "\xE4\xB8\xAD\xE6\x96\x87", "\xA4\xA4\xA4\xE5"},
        {"truetype/arphic/uming.ttc", "gb", "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},
        // 丂 (8140) and 乂 (8156) are GBK's, not GB 2312's.
        {"truetype/arphic/uming.ttc", "gbk", "\xE4\xB8\x82\xE4\xB9\x82\xE4\xB8\xAD",
         "\x81\x40\x81\x56\xD6\xD0"},
        // 가 (B0A1) is KS X 1001's; 똠 (8C63) only code page 949's.
        {"truetype/unfonts-core/UnDotum.ttf", "euc-kr", "\xEA\xB0\x80\xEB\x98\xA0" "A",
         "\xB0\xA1\x8C\x63" "A"},
    };
    for (const Case &c : cases) {
        const std::string font = DebianFont(c.font);
        if (font.empty()) continue;
        // Without the auto-hinter's whole-font analysis, a second per run.
        const std::vector<std::string> look = {"--ascii", "--columns", "1000", "--no-autohint"};
        std::vector<std::string> direct = {"render", font, c.utf8};
        std::vector<std::string> text = {"render", font, "--encoding", c.encoding, c.utf8};
        const std::string raw = dir + "/line.bin";
        std::ofstream(raw, std::ios::binary) << c.bytes;
        std::vector<std::string> bytes = {"render", font, "--encoding", c.encoding, "--input", raw};
        for (auto *args : {&direct, &text, &bytes}) args->insert(args->end(), look.begin(), look.end());
        const ToolRun expected = RunTool(direct), converted = RunTool(text, profile),
                      received = RunTool(bytes, profile);
        ASSERT_EQ(expected.exitCode, 0) << c.encoding << ": " << expected.err;
        EXPECT_EQ(converted.exitCode, 0) << c.encoding << ": " << converted.err;
        EXPECT_EQ(received.exitCode, 0) << c.encoding << ": " << received.err;
        EXPECT_EQ(converted.out, expected.out) << c.encoding;
        EXPECT_EQ(received.out, expected.out) << c.encoding;
        EXPECT_EQ(converted.err + received.err, "") << c.encoding;
    }
}

// A receipt is more than one line: render --input dropped its line ends and
// stopped at one broken byte with nothing drawn, and a Shift-JIS --code C140
// (C1 is a half-width katakana byte, no lead byte) drew the blank of 8140
// without a word.  Each line is now drawn as that line alone; a broken byte
// is the missing glyph, named with its place, the rest drawn, exit 1.
TEST(ToolProgram, ReceiptLineEndsAndBrokenBytesAreDrawnAndNamed) {
    const std::string font = DebianFont(kIpaGothic);
    if (font.empty()) GTEST_SKIP() << "IPA Gothic is not installed";
    const std::string dir = ScratchDir("tool_receipt");
    const std::string profile = "KELMOR_PROFILE=" + ShellQuoted(dir + "/profile.ini");
    std::ofstream(dir + "/profile.ini")
        << "[Kelmor Type Font Interface 1.0]\nIniPath=" << dir << "/Kelmor.ini\n";
    ASSERT_EQ(RunTool({"cob", "--out", dir + "/cob", "--register", dir + "/Kelmor.ini"})
                  .exitCode, 0);
    const auto codes = [&](const std::string &list) {
        return RunTool({"render", font, "--encoding", "sjis", "--code", list, "--ascii",
                        "--columns", "1000"}, profile);
    };
    const auto file = [&](const std::string &bytes, const std::string &encoding) {
        const std::string path = dir + "/receipt.bin";
        std::ofstream(path, std::ios::binary) << bytes;
        std::vector<std::string> args = {"render", font, "--input", path, "--ascii",
                                         "--columns", "1000"};
        if (!encoding.empty()) args.insert(args.end(), {"--encoding", encoding});
        return RunTool(args, profile);
    };
    struct Case {
        const char *what, *bytes, *encoding;
        std::vector<std::string> lineCodes;  // each line as --code would draw it
        int exitCode;
        const char *note;
    };
    const Case cases[] = {
        {"CR LF, LF and CR end lines", "\x93\xFA\x96\x7B\r\nA\xB6\n\x82\xA0\r\x82\xA2\n", "sjis",
         {"93FA,967B", "41,B6", "82A0", "82A2"}, 0, ""},
        {"a lead byte before a line end", "\x93\xFA\x93\r\n\x82\xA0", "sjis",
         {"93FA,9300", "82A0"}, 1, "broken at byte 3: lead byte 93 without a trail byte"},
        {"a lead byte at the end", "A\x93", "sjis", {"41,9300"}, 1, "lead byte 93 at the end"},
        {"UTF-8 lines", "\xE6\x97\xA5\r\nA\n", "", {"93FA", "41"}, 0, ""},
    };
    for (const Case &c : cases) {
        const ToolRun run = file(c.bytes, c.encoding);
        std::string expected;
        for (const std::string &line : c.lineCodes)
            expected += (expected.empty() ? "" : "\n") + codes(line).out;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.err;
        EXPECT_EQ(run.out, expected) << c.what;
        EXPECT_NE(run.err.find(c.note), std::string::npos) << c.what << ": " << run.err;
        if (c.exitCode == 0) {
            EXPECT_EQ(run.err, "") << c.what;
        }
    }
    // C140 is no code: glyph 0 with a note, as 9300, not 8140's blank.
    const ToolRun katakanaLead = codes("C140");
    EXPECT_EQ(katakanaLead.exitCode, 0);
    EXPECT_EQ(katakanaLead.out, codes("9300").out);
    EXPECT_NE(katakanaLead.out, codes("8140").out);
    EXPECT_NE(katakanaLead.err.find("C140 is no Shift-JIS code (C1 is no lead byte)"),
              std::string::npos) << katakanaLead.err;
}

// Input the command line cannot give is a usage error (2), found before
// any font is opened, with a message.
TEST(ToolProgram, BadRenderInputIsAUsageError) {
    for (auto args : std::vector<std::vector<std::string>>{
             {"--code", "ZZ"},
             {"--glyphs", "-1"},
             {"--glyphs", "1,,2"},
             {"A", "--encoding", "euc"},
             {"\xFF\xFE"},
             {""},
             {"\xE4\xB8\x80\xF0\x9F\x98\x80", "--encoding", "sjis"},  // no emoji in Shift-JIS
         }) {
        args.insert(args.begin(), {"render", "no-such-font.ttf"});
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.exitCode, 2) << args[2];
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    }
}

}  // namespace

// The trace lists each program's instructions with the stack, the points
// they move and the faults they record.
TEST(ToolProgram, TraceListsInstructionsMovesAndFaults) {
    const FontBuilder font =
        FontBuilder()
            .BoundingBox(0, 0, 1000, 1000)
            .Fpgm(Assemble("PUSHB 0 FDEF PUSHB 0 64 SHPIX ENDF"))
            .Prep(Assemble("PUSHB 1 POP"))
            .AddGlyph(Glyph::Simple({{{100, 0}, {100, 500}, {600, 500}, {600, 0}}},
                                    Assemble("PUSHB 0 CALL  PUSHB 99 MDAP[1]")));
    const std::string path = WriteFont(font, "trace");
    const ToolRun run = RunTool({"trace", path, "--glyph", "1", "--size", "10", "--classic"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const char *expected[] = {
        "font program:\n  0000 PUSHB[000]     depth 0\n  0002 FDEF           depth 1: 0\n",
        "control-value program:\n  0000 PUSHB[000]     depth 0\n  0002 POP            depth 1: 1\n",
        "glyph program:\n  0000 PUSHB[000]     depth 0\n  0002 CALL           depth 1: 0\n"
        "    0000 PUSHB[001]     depth 0\n    0003 SHPIX          depth 2: 0 64\n"
        "      moved 1/0: (63, 0) -> (127, 0)\n",
        "  0005 MDAP[1]        depth 1: 99\n    fault 2 in MDAP[1]\n",
    };
    for (const char *text : expected) EXPECT_NE(run.out.find(text), std::string::npos) << text;

    const ToolRun stats = RunTool({"trace", path, "--stats", "--size", "10", "--classic"});
    EXPECT_EQ(stats.exitCode, 0) << stats.err;
    EXPECT_NE(stats.out.find("faults: glyph program          MDAP[1]        code 2: 1"),
              std::string::npos)
        << stats.out;
    EXPECT_EQ(RunTool({"trace", path}).exitCode, 2);
    EXPECT_EQ(RunTool({"trace", path, "--glyph", "x"}).exitCode, 2);
}

// ------------------------------------------- line metrics and code lists

namespace {

// An OS/2 table of the first version (78 bytes) with the typographic and
// Windows ascent and descent; the other fields stay 0.
Bytes OS2Table(int16_t typoAscender, int16_t typoDescender, int16_t typoLineGap, uint16_t winAscent,
               uint16_t winDescent) {
    Bytes os2(78, 0);
    auto put = [&](size_t at, uint16_t value) {
        os2[at] = uint8_t(value >> 8);
        os2[at + 1] = uint8_t(value);
    };
    put(68, uint16_t(typoAscender));
    put(70, uint16_t(typoDescender));
    put(72, uint16_t(typoLineGap));
    put(74, winAscent);
    put(76, winDescent);
    return os2;
}

struct FreeTypeLine {
    long ascender, descender, height;
};

FreeTypeLine FreeTypeLineAt(const std::string &path, int points, int dpi) {
    FT_Library ft;
    FT_Face face;
    FreeTypeLine line{-1, -1, -1};
    if (FT_Init_FreeType(&ft) != 0) return line;
    if (FT_New_Face(ft, path.c_str(), 0, &face) == 0) {
        FT_Set_Char_Size(face, 0, points * 64, FT_UInt(dpi), FT_UInt(dpi));
        line = {face->size->metrics.ascender, face->size->metrics.descender,
                face->size->metrics.height};
        FT_Done_Face(face);
    }
    FT_Done_FreeType(ft);
    return line;
}

}  // namespace

// FONT_ASCENT, FONT_DESCENT and the C array's line advance are FreeType's
// size metrics: real fonts at several sizes and resolutions, and synthetic
// ones whose hhea is empty (OS/2's typographic values, then its Windows
// ones) or whose units per em are odd.
TEST(LineMetrics, MatchFreeTypesSizeMetrics) {
    std::vector<std::string> fonts;
    for (const char *font :
         {"opentype/ipafont-gothic/ipag.ttf", "truetype/arphic-bsmi00lp/bsmi00lp.ttf",
          "truetype/unfonts-core/UnDotum.ttf", "truetype/nanum/NanumGothic.ttf",
          "truetype/dejavu/DejaVuSans.ttf", "truetype/droid/DroidSansFallbackFull.ttf"}) {
        const std::string path = DebianFont(font);
        if (!path.empty()) fonts.push_back(path);
    }
    fonts.push_back(WriteFont(SquareFont().Hhea(800, -200, 90), "line_hhea"));
    fonts.push_back(
        WriteFont(SquareFont().Hhea(0, 0, 0).RawTable("OS/2", OS2Table(700, -300, 100, 900, 250)),
                  "line_typo"));
    fonts.push_back(WriteFont(
        SquareFont().Hhea(0, 0, 0).RawTable("OS/2", OS2Table(0, 0, 0, 930, 270)), "line_win"));
    fonts.push_back(WriteFont(SquareFont().UnitsPerEm(1000).Hhea(877, -123, 0), "line_rounding"));
    // fsSelection bit 7 (USE_TYPO_METRICS) puts OS/2's typographic values
    // first, even when they are 0.
    for (int16_t typo : {700, 0}) {
        Bytes useTypoMetrics = OS2Table(typo, int16_t(-typo / 2), 100, 900, 250);
        useTypoMetrics[63] = 0x80;
        fonts.push_back(WriteFont(SquareFont().Hhea(850, -150, 0).RawTable("OS/2", useTypoMetrics),
                                  "line_use_typo" + std::to_string(typo)));
    }
    for (const std::string &path : fonts) {
        FontObject font = OpenFontObject(path);
        ASSERT_TRUE(font) << path;
        const LineUnits units = FontLineUnits(font.get());
        for (auto size : std::vector<std::pair<int, int>>{
                 {9, 72}, {12, 72}, {16, 72}, {24, 72}, {10, 96}, {11, 120}, {7, 100}}) {
            const LineMetrics ours =
                ScaleLineUnits(units, font->UnitsPerEm, size.first, size.second);
            const FreeTypeLine theirs = FreeTypeLineAt(path, size.first, size.second);
            const std::string where =
                path + " at " + std::to_string(size.first) + "/" + std::to_string(size.second);
            EXPECT_EQ(ours.ascender, theirs.ascender) << where;
            EXPECT_EQ(ours.descender, theirs.descender) << where;
            EXPECT_EQ(ours.height, theirs.height) << where;
        }
    }
}

TEST(CodeLists, RangesMergeAndPrintCompactly) {
    struct Case {
        const char *ranges;  // --range texts, ';' between options
        std::vector<uint32_t> singles;
        const char *codes;     // CompactCodes of the merged codes
        const char *repeated;  // of the codes asked for twice
    } cases[] = {
        {"4E00", {}, "4E00", ""},
        {"3041-3043;U+3042", {0x3043, 0x4E00}, "3041-3043, 4E00", "3042-3043"},
        {"0x41-0x43,45", {0x41}, "0041-0043, 0045", "0041"},
        {"10-12;20;30-31;40;50;60", {}, "0010-0012, 0020, 0030-0031, ... and 3 more", ""},
    };
    for (const Case &c : cases) {
        std::vector<CodeRange> ranges;
        std::string error, text = c.ranges;
        for (size_t start = 0, end; start <= text.size(); start = end + 1) {
            end = std::min(text.find(';', start), text.size());
            ASSERT_TRUE(
                ParseRangeList(text.substr(start, end - start), 16, 0x10FFFF, &ranges, &error))
                << error;
        }
        std::vector<uint32_t> repeated;
        const std::vector<uint32_t> codes = MergeCodes(ranges, c.singles, &repeated);
        EXPECT_EQ(CompactCodes(codes, 16, 3), c.codes) << c.ranges;
        EXPECT_EQ(CompactCodes(repeated, 16), c.repeated) << c.ranges;
    }
    std::vector<CodeRange> ranges;
    std::string error;
    for (const char *bad : {"4E10-4E00", "", "4E00-", "-4E00", "4E00,,4E01", "110000", "ZZ"}) {
        EXPECT_FALSE(ParseRangeList(bad, 16, 0x10FFFF, &ranges, &error)) << bad;
        EXPECT_NE(error, "") << bad;
    }
    std::vector<uint32_t> codes;
    EXPECT_TRUE(ExpandCodeList("4E01,3041-3042", 16, 0xFFFF, &codes, &error));
    EXPECT_EQ(codes, (std::vector<uint32_t>{0x4E01, 0x3041, 0x3042}));  // in the order given
    EXPECT_FALSE(ExpandCodeList("0-FFFF,0", 16, 0xFFFF, &codes, &error, 65536));
}

// Raw bytes of each code space split by its lead bytes: single bytes get a
// zero lead byte; a lead byte needs a proper trail byte.
TEST(CodeLists, EncodedBytesSplitByLeadBytes) {
    struct Case {
        TextEncoding space;
        std::string bytes;
        std::vector<uint32_t> codes;  // DbcsChar::Code(), or empty for an error
    } cases[] = {
        {TextEncoding::kShiftJIS, "A\x93\xFA\xB6\x5C", {0x41, 0x93FA, 0xB6, 0x5C}},
        {TextEncoding::kShiftJIS, "\xE0\x40\xFC\xFC", {0xE040, 0xFCFC}},
        {TextEncoding::kShiftJIS, "\x81\x7F", {}},  // 0x7F is no trail byte
        {TextEncoding::kShiftJIS, "\x81", {}},
        {TextEncoding::kBig5,
         "\xA4\x40"
         "a\xA4\xA1",
         {0xA440, 0x61, 0xA4A1}},
        {TextEncoding::kBig5, "\xA4\x80", {}},
        {TextEncoding::kGB2312,
         "\xB0\xA1"
         "1\x80",
         {0xB0A1, 0x31, 0x80}},
        {TextEncoding::kGB2312, "\xB0\x41", {}},
    };
    for (const Case &c : cases) {
        std::vector<DbcsChar> chars;
        std::string error;
        const bool decoded = DecodeEncodedBytes(c.bytes, c.space, &chars, &error);
        EXPECT_EQ(decoded, !c.codes.empty()) << error;
        std::vector<uint32_t> codes;
        for (const DbcsChar &one : chars) codes.push_back(one.Code());
        if (decoded) {
            EXPECT_EQ(codes, c.codes);
        }
    }
}
