// LVGL's C font format (lv_font_fmt_txt): glyph bitmaps as one bit stream
// per glyph, glyph descriptors, character maps in the compact forms LVGL
// reads, and the font's line metrics, written as lv_font_conv writes them
// (without compression and kerning).
#ifndef KELMOR_TOOL_LVGL_FONT_H
#define KELMOR_TOOL_LVGL_FONT_H

#include <cstdint>
#include <string>
#include <vector>

namespace kelmor {

struct LvglGlyph {
    uint32_t code;     // Unicode
    int32_t advance;   // 1/16 pixel
    int32_t boxWidth, boxHeight;
    int32_t offsetX;   // the box's left edge right of the origin
    int32_t offsetY;   // the box's bottom edge above the baseline
    std::vector<uint8_t> levels;  // 8-bit levels, rows top to bottom
};

struct LvglFont {
    std::string name;     // the C name of the lv_font_t
    std::string command;  // shown in the header comment
    int size = 0;         // pixels per em
    int bpp = 4;
    int underlinePosition = 0, underlineThickness = 0;  // pixels
    std::vector<LvglGlyph> glyphs;  // ascending codes, without repeats
};

// How LVGL finds glyphs for a run of codes: one character-map record.
enum class LvglMapKind { kFormat0Tiny, kFormat0Full, kSparseTiny };
struct LvglMap {
    LvglMapKind kind;
    size_t first, last;  // indexes into the ascending codes
};

// The smallest set of records for ascending codes whose glyph numbers run
// 1, 2, 3 ... with them: a record of up to 256 consecutive codes costs 16
// bytes (16 plus one per code when the run has gaps), a sparse one 16 plus
// two per code, over up to 65,536 codes.
std::vector<LvglMap> PlanLvglMaps(const std::vector<uint32_t> &codes);

// The glyph's levels at `bpp` bits (top bits), one stream, leftmost pixel
// in the high bits, the last byte filled with zeros.
std::vector<uint8_t> PackLvglBitmap(const std::vector<uint8_t> &levels, int bpp);

// The C source of the font.
std::string LvglSource(const LvglFont &font);

}  // namespace kelmor

#endif
