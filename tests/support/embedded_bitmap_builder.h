// A writer of embedded bitmap tables (EBLC and EBDT) for tests and fuzz
// seeds: strikes of glyph images drawn as rows of '#' (ink) and '.', stored
// with the index and image formats a case names.
//
//   SbitStrike strike{12, {SbitSubTable{1, 2, {SbitImage{5, {"#.#", ".#."}, 0, 2, 4}}}}};
//   EmbeddedTables t = BuildEmbeddedBitmaps({strike});
#ifndef KELMOR_TESTS_EMBEDDED_BITMAP_BUILDER_H
#define KELMOR_TESTS_EMBEDDED_BITMAP_BUILDER_H

#include <cstdint>
#include <string>
#include <vector>

namespace kelmor_test {

using SbitBytes = std::vector<uint8_t>;

// A component of a composite image (image formats 8 and 9): glyph `glyph`
// with its top-left pixel at (x, y) from the composite's top-left pixel.
struct SbitComponent {
    uint16_t glyph;
    int8_t x, y;
};

struct SbitImage {
    uint16_t glyph;
    std::vector<std::string> rows;  // all the same length; a composite's give its box
    int8_t left = 0, top = 0;       // bearings: the top-left pixel's corner from the origin
    uint8_t advance = 0;
    std::vector<SbitComponent> components = {};  // image formats 8 and 9
};

// One index sub-table: its formats and its images in glyph order.  Formats
// 1 and 3 cover every glyph from the first image's to the last's (the ones
// between without an image get none); formats 2 and 5 store every image at
// the first one's size and metrics.
struct SbitSubTable {
    uint16_t indexFormat;
    uint16_t imageFormat;
    std::vector<SbitImage> images;
};

struct SbitStrike {
    uint8_t ppem;
    std::vector<SbitSubTable> subTables;
    uint8_t bitDepth = 1;
    uint8_t ppemY = 0;  // 0: the same as ppem
};

struct EmbeddedTables {
    SbitBytes eblc, ebdt;
};

EmbeddedTables BuildEmbeddedBitmaps(const std::vector<SbitStrike> &strikes);

}  // namespace kelmor_test

#endif
