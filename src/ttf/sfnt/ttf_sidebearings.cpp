// A glyph's side bearings and advances in font units, from which the
// faithful mode places its phantom points: hmtx for the horizontal pair;
// vhea/vmtx for the vertical pair when the font has them, otherwise the
// typographic ascender and descender of OS/2 (or hhea's) as a stand-in.
//
// hmtx holds numberOfHMetrics records {uint16 advance, int16 bearing},
// then bare bearings for the glyphs after them, which take the last
// record's advance; vmtx is laid out the same.  The counts are read from
// the headers (offset 34 of hhea and vhea).  Every read is held against its
// table's length; what a table cannot give is 0.
//
// hdmx: version 0, a count of records and their size; each record is a
// pixels-per-em byte, a maximum width byte and one advance byte per glyph.
#include <cstring>

#include "common/bytes.h"
#include "ttf/records/ttf_records.h"
#include "ttf/sfnt/sfnt.h"
#include "ttf/sfnt/ttf_read.h"

namespace kelmor {

namespace {

constexpr uint32_t kLongMetricsCountOffset = 34;
constexpr uint32_t kTypoAscenderOffset = 68;  // in OS/2, followed by the descender
constexpr uint32_t kOS2Version0Bytes = 78;
constexpr uint32_t kIsFixedPitchOffset = 12;  // in post, a 32-bit flag
constexpr uint32_t kHdmxHeaderBytes = 8;
constexpr uint32_t kMaxHdmxRecords = 255;
constexpr uint32_t kMaxHdmxRecordBytes = 0x10001;

bool ReadBytes(_TTFont *pF, const TableDirectoryStruct *table, uint32_t at, uint8_t *bytes,
               uint32_t count) {
    return table != nullptr && TableInFile(pF, table) &&
           SpanInside(at, count, TableLength(table)) &&
           ReadFileAt(pF, TableOffset(table) + at, bytes, count) == count;
}

bool ReadWord(_TTFont *pF, const TableDirectoryStruct *table, uint32_t at, uint32_t *value) {
    uint8_t bytes[2];
    if (!ReadBytes(pF, table, at, bytes, 2)) return false;
    *value = ReadBE16(bytes);
    return true;
}

struct BearingAndAdvance {
    int32_t bearing = 0;
    int32_t advance = 0;
};

// False when the font has no usable pair of header and metrics table.
bool ReadMetrics(_TTFont *pF, const TableDirectoryStruct *header,
                 const TableDirectoryStruct *metrics, uint32_t glyph, BearingAndAdvance *out) {
    uint32_t longMetrics = 0;
    if (!ReadWord(pF, header, kLongMetricsCountOffset, &longMetrics) || metrics == nullptr ||
        !TableInFile(pF, metrics))
        return false;
    if (longMetrics == 0) return true;
    uint32_t advance = 0, bearing = 0;
    if (glyph < longMetrics) {
        ReadWord(pF, metrics, glyph * 4, &advance);
        ReadWord(pF, metrics, glyph * 4 + 2, &bearing);
    } else {
        ReadWord(pF, metrics, (longMetrics - 1) * 4, &advance);
        ReadWord(pF, metrics, longMetrics * 4 + (glyph - longMetrics) * 2, &bearing);
    }
    out->advance = int32_t(advance);
    out->bearing = int16_t(bearing);
    return true;
}

// The typographic ascender and descender: OS/2's when the table is whole,
// else hhea's.
void DefaultAscent(_TTFont *pF, int32_t *ascender, int32_t *descender) {
    const TableDirectoryStruct *os2 = pF->lpsfntTable[kSlotOS2];
    uint32_t a = 0, d = 0;
    if (os2 != nullptr && TableLength(os2) >= kOS2Version0Bytes &&
        ReadWord(pF, os2, kTypoAscenderOffset, &a) &&
        ReadWord(pF, os2, kTypoAscenderOffset + 2, &d)) {
        *ascender = int16_t(a);
        *descender = int16_t(d);
        return;
    }
    *ascender = pF->HorizHeader.Ascender;
    *descender = pF->HorizHeader.Descender;
}

bool IsFixedPitch(_TTFont *pF) {
    uint32_t high = 0, low = 0;
    const TableDirectoryStruct *post = pF->lpsfntTable[kSlotPost];
    return ReadWord(pF, post, kIsFixedPitchOffset, &high) &&
           ReadWord(pF, post, kIsFixedPitchOffset + 2, &low) && (high | low) != 0;
}

}  // namespace

bool DeviceAdvance(_TTFont *pF, uint32_t glyph, int32_t ppem, int32_t *pixels) {
    const TableDirectoryStruct *hdmx = pF->lpsfntTable[kSlotHdmx];
    uint32_t version = 0, records = 0, sizeHigh = 0, sizeLow = 0;
    if (IsFixedPitch(pF) || !ReadWord(pF, hdmx, 0, &version) ||
        !ReadWord(pF, hdmx, 2, &records) || !ReadWord(pF, hdmx, 4, &sizeHigh) ||
        !ReadWord(pF, hdmx, 6, &sizeLow))
        return false;
    const uint32_t recordBytes = (sizeHigh << 16) | sizeLow;
    if (version != 0 || records > kMaxHdmxRecords || recordBytes < 4 ||
        recordBytes > kMaxHdmxRecordBytes || glyph >= recordBytes - 2)
        return false;
    for (uint32_t i = 0; i < records; ++i) {
        const uint32_t at = kHdmxHeaderBytes + i * recordBytes;
        uint8_t size = 0, width = 0;
        if (!ReadBytes(pF, hdmx, at, &size, 1)) return false;
        if (size != ppem) continue;
        if (!ReadBytes(pF, hdmx, at + 2 + glyph, &width, 1)) return false;
        *pixels = width;
        return true;
    }
    return false;
}

GlyphSideMetrics SideMetrics(_TTFont *pF, uint32_t glyph, int32_t yMax) {
    GlyphSideMetrics m = {};
    BearingAndAdvance h, v;
    ReadMetrics(pF, pF->lpsfntTable[kSlotHhea], pF->lpsfntTable[kSlotHmtx], glyph, &h);
    m.leftSideBearing = h.bearing;
    m.advanceWidth = h.advance;
    if (ReadMetrics(pF, TableTagged(pF, "vhea"), TableTagged(pF, "vmtx"), glyph, &v)) {
        m.topSideBearing = v.bearing;
        m.advanceHeight = v.advance;
        return m;
    }
    int32_t ascender = 0, descender = 0;
    DefaultAscent(pF, &ascender, &descender);
    m.topSideBearing = ascender - yMax;
    m.advanceHeight = ascender >= descender ? ascender - descender : descender - ascender;
    return m;
}

}  // namespace kelmor
