#include "cmap_coverage.h"

#include <algorithm>

#include "ttf/api/tool_internals.h"

namespace kelmor {
namespace {

// Bounded reads inside the cmap: 0 for anything outside it.
struct CmapBytes {
    const uint8_t *bytes;
    size_t size;
    uint32_t U16(uint64_t at) const { return SpanInside(at, 2, size) ? ReadBE16(bytes + at) : 0; }
    uint32_t U32(uint64_t at) const { return SpanInside(at, 4, size) ? ReadBE32(bytes + at) : 0; }
};

// Collects mapped codes in ascending order into runs.
class RangeCollector {
public:
    explicit RangeCollector(std::vector<CodeRange> *ranges) : ranges_(ranges) {}
    void Add(uint32_t code) {
        if (!ranges_->empty() && ranges_->back().last + 1 == code) {
            ranges_->back().last = code;
        } else {
            ranges_->push_back({code, code});
        }
    }

private:
    std::vector<CodeRange> *ranges_;
};

// format 0: {format, length, language}, then 256 glyph bytes.
void Format0(const CmapBytes &c, uint64_t t, RangeCollector &out) {
    for (uint32_t code = 0; code < 256; ++code)
        if (SpanInside(t + 6 + code, 1, c.size) && c.bytes[t + 6 + code] != 0) out.Add(code);
}

// A format-2 sub-header {firstCode, entryCount, idDelta, idRangeOffset} at
// `sub`: the glyph for low byte `low`, 0 when none.
uint32_t Format2Glyph(const CmapBytes &c, uint64_t sub, uint32_t low) {
    const uint32_t first = c.U16(sub), count = c.U16(sub + 2);
    if (low < first || low >= first + count) return 0;
    const uint32_t glyph = c.U16(sub + 6 + c.U16(sub + 6) + 2 * uint64_t(low - first));
    return glyph == 0 ? 0 : (glyph + c.U16(sub + 4)) & 0xFFFF;
}

// format 2: 256 sub-header keys (8 x index); key 0 marks a single-byte code.
void Format2(const CmapBytes &c, uint64_t t, RangeCollector &out) {
    const uint64_t subHeaders = t + 6 + 512;
    for (uint32_t high = 0; high < 256; ++high) {
        const uint32_t key = c.U16(t + 6 + 2 * high) / 8;
        const uint64_t sub = subHeaders + 8 * uint64_t(key);
        if (!SpanInside(sub, 8, c.size)) continue;
        if (key == 0) {
            if (Format2Glyph(c, sub, high) != 0) out.Add(high);
            continue;
        }
        for (uint32_t low = 0; low < 256; ++low)
            if (Format2Glyph(c, sub, low) != 0) out.Add(high << 8 | low);
    }
}

// format 4: segCountX2 at 6, then end codes, a pad, start codes, deltas and
// range offsets, segCountX2 bytes each.
void Format4(const CmapBytes &c, uint64_t t, RangeCollector &out) {
    const uint64_t segX2 = c.U16(t + 6);
    const uint64_t ends = t + 14, starts = ends + segX2 + 2, deltas = starts + segX2,
                   offsets = deltas + segX2;
    uint32_t next = 0;  // segments must ascend; a code is listed once
    for (uint64_t i = 0; i < segX2; i += 2) {
        const uint32_t end = c.U16(ends + i), start = c.U16(starts + i);
        const uint32_t delta = c.U16(deltas + i), rangeOffset = c.U16(offsets + i);
        for (uint32_t code = std::max(start, next); code <= end; ++code) {
            uint32_t glyph = code;
            if (rangeOffset != 0)
                glyph = c.U16(offsets + i + rangeOffset + 2 * uint64_t(code - start));
            if (glyph != 0 && ((glyph + delta) & 0xFFFF) != 0) out.Add(code);
        }
        next = std::max(next, end + 1);
    }
}

// format 6: firstCode at 6, entryCount at 8, then the glyphs.
void Format6(const CmapBytes &c, uint64_t t, RangeCollector &out) {
    const uint32_t first = c.U16(t + 6), count = c.U16(t + 8);
    for (uint32_t i = 0; i < count; ++i)
        if (c.U16(t + 10 + 2 * uint64_t(i)) != 0) out.Add(first + i);
}

// format 12: {format, reserved, length, language, nGroups} (16 bytes), then
// groups {startChar, endChar, startGlyph}.
void Format12(const CmapBytes &c, uint64_t t, std::vector<CodeRange> *ranges) {
    const uint32_t groups = c.U32(t + 12);
    for (uint64_t g = 0; g < groups && SpanInside(t + 16 + 12 * g, 12, c.size); ++g) {
        const uint32_t first = c.U32(t + 16 + 12 * g), last = c.U32(t + 20 + 12 * g);
        if (first <= last) ranges->push_back({first, last});
    }
}

}  // namespace

bool SubTableCoverage(const uint8_t *cmap, size_t size, uint32_t offset,
                      std::vector<CodeRange> *ranges) {
    const CmapBytes c{cmap, size};
    if (cmap == nullptr || !SpanInside(offset, 2, size)) return false;
    RangeCollector out(ranges);
    switch (c.U16(offset)) {
    case 0: Format0(c, offset, out); return true;
    case 2: Format2(c, offset, out); return true;
    case 4: Format4(c, offset, out); return true;
    case 6: Format6(c, offset, out); return true;
    case 12: Format12(c, offset, ranges); return true;
    }
    return false;
}

}  // namespace kelmor
