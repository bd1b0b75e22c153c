// Unicode lookups for the auto-hinter's style coverage and reference
// characters.  Every offset and count comes from the file and is checked
// against the table's length before it is used; a sub-table that does not
// fit is not chosen.
//
// Format 4: segCountX2, then endCode[], a pad, startCode[], idDelta[] and
// idRangeOffset[] (16 bits each, one per segment); a non-zero range offset
// points, from its own position, into glyphIdArray.
// Format 12: nGroups groups of (startCharCode, endCharCode, startGlyphID),
// 32 bits each.
//
// Why the stage reads the map itself rather than through the font's cmap
// reader (src/ttf/sfnt/ttf_cmap.cpp): that reader serves the font's
// character set as the library's callers select it (the sub-table its
// encoding asks for, the first or last of each format by its own rules,
// format 2 for double-byte sets, the codes it accepts on input) and
// answers one code at a time.  The auto-hinter must see the map FreeType's
// auto-hinter sees: the sub-table FreeType picks for Unicode whatever the
// encoding the host set, and every code-to-glyph pair of it in ascending
// code order (the style coverage walks the whole map, as FT_Get_Next_Char
// does).  Neither the choice nor the walk can be had from the sfnt reader
// without adding a second selection and an iterator there, so the stage
// keeps this small, read-only walk over the same bytes.
#include "ttf/autohint/autohint_unicode_map.h"

namespace kelmor {
namespace autohint {

namespace {

bool IsUnicode(uint32_t platform, uint32_t encoding) {
    return platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
}

bool IsFullUnicode(uint32_t platform, uint32_t encoding) {
    return (platform == 3 && encoding == 10) || (platform == 0 && encoding == 4);
}

}  // namespace

uint32_t UnicodeMap::Read16(size_t pos) const {
    if (pos + 2 > length_) return 0;
    return uint32_t(data_[pos]) << 8 | data_[pos + 1];
}

uint32_t UnicodeMap::Read32(size_t pos) const { return Read16(pos) << 16 | Read16(pos + 2); }

UnicodeMap::UnicodeMap(const uint8_t *cmap, size_t length) : data_(cmap), length_(cmap ? length : 0) {
    const uint32_t tables = Read16(2);
    if (size_t(4) + size_t(tables) * 8 > length_) return;
    // FreeType looks from the last record back: the last UCS-4 sub-table,
    // else the last Unicode one, among those it can read.
    for (int pass = 0; pass < 2 && format_ == 0; ++pass) {
        for (uint32_t i = tables; i-- > 0;) {
            const size_t rec = 4 + size_t(i) * 8;
            const uint32_t platform = Read16(rec), encoding = Read16(rec + 2);
            if (!IsUnicode(platform, encoding) || (pass == 0 && !IsFullUnicode(platform, encoding))) continue;
            const size_t offset = Read32(rec + 4);
            const uint32_t format = Read16(offset);
            if (format == 4 && offset + 14 <= length_) {
                const uint32_t segments = Read16(offset + 6) / 2;
                if (offset + 16 + size_t(segments) * 8 > length_ || segments == 0) continue;
                table_ = offset;
                count_ = segments;
                format_ = 4;
                break;
            }
            if (format == 12 && offset + 16 <= length_) {
                const uint32_t groups = Read32(offset + 12);
                if (groups > (length_ - offset - 16) / 12) continue;
                table_ = offset;
                count_ = groups;
                format_ = 12;
                break;
            }
        }
    }
}

uint32_t UnicodeMap::Format4Glyph(uint32_t seg, uint32_t code) const {
    const size_t ends = table_ + 14;
    const size_t starts = ends + size_t(count_) * 2 + 2;
    const size_t deltas = starts + size_t(count_) * 2;
    const size_t ranges = deltas + size_t(count_) * 2;
    const uint32_t delta = Read16(deltas + seg * 2);
    const uint32_t rangeOffset = Read16(ranges + seg * 2);
    if (rangeOffset == 0) return (code + delta) & 0xFFFF;
    const size_t at = ranges + seg * 2 + rangeOffset + (code - Read16(starts + seg * 2)) * 2;
    uint32_t glyph = Read16(at);
    return glyph == 0 ? 0 : (glyph + delta) & 0xFFFF;
}

uint32_t UnicodeMap::Lookup(uint32_t code) const {
    if (format_ == 4) {
        if (code > 0xFFFF) return 0;
        const size_t ends = table_ + 14;
        const size_t starts = ends + size_t(count_) * 2 + 2;
        uint32_t lo = 0, hi = count_;
        while (lo < hi) {
            uint32_t mid = (lo + hi) / 2;
            if (Read16(ends + mid * 2) < code)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo >= count_ || Read16(starts + lo * 2) > code) return 0;
        return Format4Glyph(lo, code);
    }
    if (format_ == 12) {
        uint32_t lo = 0, hi = count_;
        while (lo < hi) {
            uint32_t mid = (lo + hi) / 2;
            const size_t g = table_ + 16 + size_t(mid) * 12;
            if (Read32(g + 4) < code)
                lo = mid + 1;
            else if (Read32(g) > code)
                hi = mid;
            else
                return Read32(g + 8) + (code - Read32(g));
        }
    }
    return 0;
}

bool UnicodeMap::Next4(uint32_t code, uint32_t *next, uint32_t *glyph) const {
    const size_t ends = table_ + 14;
    const size_t starts = ends + size_t(count_) * 2 + 2;
    // The first segment ending above `code` (ends ascend).
    uint32_t lo = 0, hi = count_;
    while (lo < hi) {
        uint32_t mid = (lo + hi) / 2;
        if (Read16(ends + mid * 2) <= code)
            lo = mid + 1;
        else
            hi = mid;
    }
    for (uint32_t seg = lo; seg < count_; ++seg) {
        const uint32_t end = Read16(ends + seg * 2);
        if (end <= code) continue;
        uint32_t c = Read16(starts + seg * 2);
        if (c <= code) c = code + 1;
        for (; c <= end; ++c) {
            const uint32_t g = Format4Glyph(seg, c);
            if (g != 0) {
                *next = c;
                *glyph = g;
                return true;
            }
        }
    }
    return false;
}

bool UnicodeMap::Next12(uint32_t code, uint32_t *next, uint32_t *glyph) const {
    for (uint32_t i = 0; i < count_; ++i) {
        const size_t g = table_ + 16 + size_t(i) * 12;
        const uint32_t start = Read32(g), end = Read32(g + 4), first = Read32(g + 8);
        if (end <= code || end < start) continue;
        uint32_t c = start > code ? start : code + 1;
        // A group starting at glyph 0 maps its first code to nothing.
        if (first + (c - start) == 0) {
            if (c == end) continue;
            ++c;
        }
        *next = c;
        *glyph = first + (c - start);
        return true;
    }
    return false;
}

bool UnicodeMap::Next(uint32_t code, uint32_t *next, uint32_t *glyph) const {
    if (format_ == 4) return Next4(code, next, glyph);
    if (format_ == 12) return Next12(code, next, glyph);
    return false;
}

}  // namespace autohint
}  // namespace kelmor
