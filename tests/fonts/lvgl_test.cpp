// kelmor lvgl against lv_font_conv 1.5.3 (where it is installed): for the
// same font, size, characters and bpp, the character maps, advances and
// underline must be the same; boxes, line height and bitmaps follow each
// tool's rasterization (the library's faithful hinting, lv_font_conv's
// forced light auto-hinting), so their agreement is counted, not required.
// Merging fonts and collections need only the tool.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char *const kIpaGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
const char *const kUnDotum = "/usr/share/fonts/truetype/unfonts-core/UnDotum.ttf";
const char *const kUming = "/usr/share/fonts/truetype/arphic/uming.ttc";

bool Exists(const char *path) {
    std::ifstream f(path);
    return f.good();
}

std::string ReadFile(const std::string &path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

int Shell(const std::string &command) { return std::system((command + " 2>/dev/null").c_str()); }

std::string Between(const std::string &text, const std::string &from, const std::string &to) {
    const size_t a = text.find(from);
    const size_t b = a == std::string::npos ? a : text.find(to, a);
    return a == std::string::npos || b == std::string::npos ? "" : text.substr(a, b - a);
}

std::vector<std::string> All(const std::string &text, const std::string &pattern) {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (std::sregex_iterator i(text.begin(), text.end(), re), end; i != end; ++i) found.push_back((*i)[1]);
    return found;
}

std::string Tool() { return KELMOR_TOOL_BINARY; }

struct ConverterCase {
    const char *font;
    int size, bpp;
    const char *chars;  // UTF-8
};

TEST(Lvgl, MapsAdvancesAndUnderlineEqualLvFontConvs) {
    if (Shell("lv_font_conv --help >/dev/null") != 0)
        GTEST_SKIP() << "lv_font_conv is not installed (npm install -g lv_font_conv@1.5.3)";
    const ConverterCase cases[] = {
        {kIpaGothic, 16, 4, "ABCxyz0123あいうえおかきくけこアイウエオ日本語漢字東京都一二三四五六七八九十百千万円"},
        {kUnDotum, 12, 2, "가각간갇갈감갑강개객한국어글꼴시험ABC"},
        {kIpaGothic, 24, 8, "永東京あア"},
    };
    for (const ConverterCase &c : cases) {
        if (!Exists(c.font)) continue;
        SCOPED_TRACE(std::string(c.font) + " " + std::to_string(c.size) + " px " + std::to_string(c.bpp) + " bpp");
        const std::string ours = ::testing::TempDir() + "kelmor_lvgl.c", theirs = ::testing::TempDir() + "ref_lvgl.c";
        const std::string common = std::string(" --size ") + std::to_string(c.size) + " --bpp " + std::to_string(c.bpp);
        ASSERT_EQ(0, Shell(Tool() + " lvgl " + c.font + common + " --chars '" + c.chars + "' -o " + ours));
        ASSERT_EQ(0, Shell(std::string("lv_font_conv --font ") + c.font + common + " --symbols '" + c.chars +
                         "' --format lvgl --no-compress --no-kerning -o " + theirs));
        const std::string a = ReadFile(ours), b = ReadFile(theirs);
        EXPECT_EQ(Between(b, "CHARACTER MAPPING", "ALL CUSTOM DATA"), Between(a, "CHARACTER MAPPING", "ALL CUSTOM DATA"));
        EXPECT_EQ(All(b, R"(\.adv_w = (\d+))"), All(a, R"(\.adv_w = (\d+))"));
        EXPECT_EQ(All(b, R"(\.underline_\w+ = (-?\d+))"), All(a, R"(\.underline_\w+ = (-?\d+))"));
        EXPECT_EQ(All(b, R"(\.bpp = (\d+))"), All(a, R"(\.bpp = (\d+))"));
        // The boxes and bitmaps where the two rasterizations agree.
        const auto boxesA = All(a, R"((\.box_w = .*\.ofs_y = -?\d+))"), boxesB = All(b, R"((\.box_w = .*\.ofs_y = -?\d+))");
        const auto bitmapsA = All(a, R"((/\* U\+[0-9A-F]+ [^\n]*\n[^/]*))"), bitmapsB = All(b, R"((/\* U\+[0-9A-F]+ [^\n]*\n[^/]*))");
        ASSERT_EQ(boxesA.size(), boxesB.size());
        size_t sameBox = 0, sameBitmap = 0;
        for (size_t i = 0; i < boxesA.size(); ++i) sameBox += boxesA[i] == boxesB[i];
        for (size_t i = 0; i < bitmapsA.size() && i < bitmapsB.size(); ++i) sameBitmap += bitmapsA[i] == bitmapsB[i];
        std::printf("%s %d px %d bpp: %zu glyphs, %zu same box, %zu same bitmap as lv_font_conv\n", c.font, c.size,
                    c.bpp, boxesA.size(), sameBox, sameBitmap);
    }
}

// A second font draws the characters the first lacks; a face of a
// collection (which lv_font_conv cannot read) is drawn like any font.
TEST(Lvgl, FontsMergeAndCollectionsOpen) {
    if (!Exists(kIpaGothic) || !Exists(kUnDotum)) GTEST_SKIP() << "IPA Gothic or UnDotum is not installed";
    const std::string out = ::testing::TempDir() + "merged_lvgl.c";
    ASSERT_EQ(0, Shell(Tool() + " lvgl " + kIpaGothic + " --size 16 --bpp 4 --range 41-42,AC00 --font " + kUnDotum +
                     " --range AC00-AC01 -o " + out));
    const std::string text = ReadFile(out);
    EXPECT_EQ((std::vector<std::string>{"0041", "0042", "AC00", "AC01"}), All(text, R"(/\* U\+([0-9A-F]+) )"));
    EXPECT_NE(std::string::npos, text.find("const lv_font_t merged_lvgl = {"));
    if (Exists(kUming)) {
        ASSERT_EQ(0, Shell(Tool() + " lvgl " + kUming + " --face 1 --size 16 --bpp 2 --range 4E00-4E0F -o " + out));
        EXPECT_EQ(16u, All(ReadFile(out), R"((\.bitmap_index = \d+, \.adv_w = [1-9]))").size());
    }
    // Nothing asked for that any font has: a failure, and no file.
    std::remove(out.c_str());
    EXPECT_NE(0, Shell(Tool() + " lvgl " + kIpaGothic + " --size 16 --range E000 -o " + out));
    EXPECT_FALSE(Exists(out.c_str()));
}

}  // namespace
