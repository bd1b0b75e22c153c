#include "line_metrics.h"

#include <cstdlib>

namespace kelmor {
namespace {

// OS/2 fields, each 16 bits, and the length of the table's first version.
constexpr uint32_t kTypoAscender = 68, kTypoDescender = 70, kTypoLineGap = 72;
constexpr uint32_t kWinAscent = 74, kWinDescent = 76;
constexpr uint32_t kFsSelection = 62;
constexpr uint16_t kUseTypoMetrics = 1 << 7;
constexpr uint32_t kOS2Version0Bytes = 78;

// (a * b) / 65536 rounded to the nearest, halves away from zero.
int64_t MulFix(int64_t a, int64_t b) {
    const int64_t product = std::llabs(a * b);
    const int64_t rounded = (product + 0x8000) >> 16;
    return (a < 0) != (b < 0) ? -rounded : rounded;
}

// (a * 65536) / b rounded to the nearest; b > 0.
int64_t DivFix(int64_t a, int64_t b) {
    const int64_t quotient = (std::llabs(a) * 65536 + b / 2) / b;
    return a < 0 ? -quotient : quotient;
}

int32_t PixelCeil(int64_t x) { return int32_t((x + 63) & ~int64_t(63)); }
int32_t PixelFloor(int64_t x) { return int32_t(x & ~int64_t(63)); }
int32_t PixelRound(int64_t x) { return int32_t((x + 32) & ~int64_t(63)); }

// The OS/2 table's first 78 bytes, or false when it is missing or shorter.
bool ReadOS2(_TTFont *font, uint8_t (&bytes)[kOS2Version0Bytes]) {
    const TableDirectoryStruct *os2 = font->lpsfntTable[kSlotOS2];
    return os2 != nullptr && TableLength(os2) >= kOS2Version0Bytes &&
           ReadFileAt(font, TableOffset(os2), bytes, sizeof bytes) == sizeof bytes;
}

uint16_t Word(const uint8_t *bytes, uint32_t at) {
    return uint16_t(bytes[at] << 8 | bytes[at + 1]);
}

}  // namespace

LineUnits FontLineUnits(_TTFont *font) {
    const horizontalHeader &hhea = font->HorizHeader;
    LineUnits units{hhea.Ascender, hhea.Descender,
                    int32_t(hhea.Ascender) - hhea.Descender + hhea.LineGap};
    uint8_t os2[kOS2Version0Bytes];
    if (!ReadOS2(font, os2)) return units;
    const bool useTypo = (Word(os2, kFsSelection) & kUseTypoMetrics) != 0;
    if (!useTypo && (units.ascender != 0 || units.descender != 0)) return units;
    const int16_t typoAscender = int16_t(Word(os2, kTypoAscender));
    const int16_t typoDescender = int16_t(Word(os2, kTypoDescender));
    if (useTypo || typoAscender != 0 || typoDescender != 0) {
        const int16_t gap = int16_t(Word(os2, kTypoLineGap));
        return {typoAscender, typoDescender, int32_t(typoAscender) - typoDescender + gap};
    }
    const int32_t winAscent = int16_t(Word(os2, kWinAscent));
    const int32_t winDescent = -int32_t(int16_t(Word(os2, kWinDescent)));
    return {winAscent, winDescent, winAscent - winDescent};
}

LineMetrics ScaleLineUnits(const LineUnits &units, int32_t unitsPerEm, int points, int dpi) {
    if (unitsPerEm <= 0) return {};
    const int64_t size = (int64_t(points) * 64 * dpi + 36) / 72;  // 26.6 pixels per em
    const int64_t scale = DivFix(size, unitsPerEm);
    return {PixelCeil(MulFix(units.ascender, scale)), PixelFloor(MulFix(units.descender, scale)),
            PixelRound(MulFix(units.height, scale))};
}

}  // namespace kelmor
