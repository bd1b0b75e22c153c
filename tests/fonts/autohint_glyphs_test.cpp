// Glyphs of a font without hinting programs that lost strokes before the
// auto-hinter: thin horizontals between two pixel centres vanished at 12 px
// (AR PL UMing's 二 kept one of its two strokes).  Each is drawn now as
// FreeType's default rendering draws it, row for row and in the same place.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "glyph_agreement.h"
#include "kelmor.h"

namespace kelmor_test {
namespace {

struct GlyphRows {
    const char *character;
    int32_t glyph;
    int ppem;
    int left, top;  // the top-left pixel, from the origin (top: the row above the baseline + 1)
    std::vector<std::string> rows;
};

const GlyphRows kCases[] = {
        {"U+4E8C", 2285, 12, 1, 9,
         {"..........",
          ".########.",
          "..........",
          "..........",
          "..........",
          "..........",
          "..........",
          ".........#",
          "##########"}},
        {"U+6771", 7869, 12, 0, 11,
         {".....#.....",
          ".....#.....",
          ".##########",
          ".....#..#..",
          "..#######..",
          "..#######..",
          "..#..#..#..",
          "..#######..",
          "..#.###.#..",
          "...#.#.#...",
          "..#..#..#..",
          "##...#...#.",
          ".....#....."}},
        {"U+770B", 11368, 12, 0, 11,
         {"...........",
          "..#######..",
          "....#......",
          ".#########.",
          "....#.....#",
          ".###.#####.",
          "...######..",
          "..##....#..",
          ".#.######..",
          "...######..",
          "...#....#..",
          "...######..",
          "...#....#.."}},
        {"U+97F3", 18763, 12, 1, 11,
         {"..........",
          "....#...#.",
          ".#########",
          "...#..#...",
          "...#.#...#",
          "##########",
          "..........",
          "..######..",
          "..#....#..",
          "..######..",
          "..#....#..",
          "..######..",
          "..#....#.."}},
};

std::vector<std::string> RowsOf(const PixelGrid &g, int left, int top, int width, int height) {
    std::vector<std::string> rows;
    for (int y = top - 1; y > top - 1 - height; --y) {
        std::string row;
        for (int x = left; x < left + width; ++x) row += g.Inside(x, y) && g.Ink(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(AutohintGlyphs, ThinHorizontalsBetweenPixelCentresAreKept) {
    const char *path = "/usr/share/fonts/truetype/arphic/uming.ttc";
    if (!std::ifstream(path).good()) GTEST_SKIP() << "AR PL UMing is not installed";
    LibraryFont font(path, true, true);
    ASSERT_NE(font.Handle(), 0);
    for (const GlyphRows &c : kCases) {
        SCOPED_TRACE(c.character);
        ASSERT_TRUE(font.SetPixelsPerEm(c.ppem));
        PixelGrid grid;
        ASSERT_TRUE(font.Render(c.glyph, &grid));
        const int width = int(c.rows[0].size());
        EXPECT_EQ(RowsOf(grid, c.left, c.top, width, int(c.rows.size())), c.rows);
        // Nothing drawn outside the expected box.
        EXPECT_GE(grid.left, c.left);
        EXPECT_LE(grid.left + grid.width, c.left + width);
    }
}

}  // namespace
}  // namespace kelmor_test
