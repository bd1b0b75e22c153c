// A writer of small CFF tables for tests, and the fonts that carry them.
//
// Charstrings are written as text, numbers and operator names in the order
// a charstring holds them; a token #XX is the byte 0xXX as it stands (a
// hint mask's bytes, a damaged number):
//
//   CffTable cff;
//   cff.charStrings = {Charstring("endchar"),
//                      Charstring("100 0 rmoveto 500 hlineto 500 vlineto -500 hlineto endchar")};
//   auto bytes = CffFont(cff).Cmap4(3, 1, {{0x41, 1}}).Build();
#ifndef KELMOR_TESTS_CFF_BUILDER_H
#define KELMOR_TESTS_CFF_BUILDER_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "font_builder.h"

namespace kelmor_test {

// A charstring from its text; an unknown word stops the program with a
// message (it is a mistake in the test).
Bytes Charstring(const std::string &text);

// An INDEX of the given elements, with the smallest offset size.
Bytes CffIndex(const std::vector<Bytes> &items);

struct CffTable {
    std::vector<Bytes> charStrings;
    std::vector<Bytes> globalSubrs;
    std::vector<Bytes> localSubrs;  // a name-keyed font's Private DICT
    // CID-keyed (a ROS entry, FDArray and FDSelect) when fdLocalSubrs has
    // entries: each font DICT's local subroutines, and the font DICT of
    // each glyph (glyphs past the list take font DICT 0).
    std::vector<std::vector<Bytes>> fdLocalSubrs;
    std::vector<uint8_t> fdOfGlyph;
    // Every font DICT's Private DICT names one INDEX, fdLocalSubrs[0]'s.
    bool shareFdSubrs = false;
    int fdSelectFormat = 3;
    // A name-keyed font's charset: the string ids of glyphs 1, 2, ...
    // (format 0); empty for the predefined ISOAdobe charset (glyph = id).
    std::vector<uint16_t> charset;
    // More Top DICT entries, written after the others: operands and the
    // operator (12 x as 1200 + x).
    std::vector<std::pair<std::vector<int32_t>, int>> extraTopDict;

    Bytes Build() const;
};

// A font whose outlines are `cff`: no glyf or loca, maxp version 0.5, one
// empty glyph record per charstring for the other tables' sake.
FontBuilder CffFont(const CffTable &cff);

}  // namespace kelmor_test

#endif
