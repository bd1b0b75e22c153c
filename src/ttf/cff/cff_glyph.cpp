// Drawing one CFF glyph: its font DICT (CID-keyed fonts), its charstring
// run into a cubic outline scaled to 26.6, and the two glyphs an accented
// glyph is built of.
#include <cstdlib>

#include "ttf/cff/cff.h"
#include "ttf/cff/cff_face.h"
#include "ttf/sfnt/debug_log.h"
#include "ttf/sfnt/sfnt.h"

namespace kelmor {

namespace {

using namespace cff;

// Points one glyph may have: real CJK glyphs have a few hundred.
constexpr int32_t kMaxCubicPoints = 1 << 16;
constexpr int32_t kMaxCubicContours = 1 << 14;

// ------------------------------------------------------------- font DICTs

// The font DICT of `glyph` in a CID-keyed font; false when FDSelect names
// none that exists.
bool FontDictOf(const CffFace &face, uint32_t glyph, uint32_t *fd) {
    const FdSelect &sel = face.fdSelect;
    uint32_t value = 0;
    if (sel.format == 0) {
        if (!face.src.U8(sel.at + glyph, &value)) return false;
    } else {
        // The last range whose first glyph is at or below `glyph`.
        uint32_t lo = 0, hi = sel.ranges - 1;
        while (lo < hi) {
            const uint32_t mid = (lo + hi + 1) / 2;
            uint32_t first = 0;
            if (!face.src.U16(sel.at + 2 + 3 * mid, &first)) return false;
            if (first <= glyph)
                lo = mid;
            else
                hi = mid - 1;
        }
        if (!face.src.U8(sel.at + 2 + 3 * lo + 2, &value)) return false;
    }
    *fd = value;
    return value < face.fdCount;
}

// Subroutines are called from all over their INDEX, a few dozen bytes at a
// time: read through the file, each call would cost a read of its own.  An
// INDEX is copied into memory the first time a glyph calls into it, once
// however many font DICTs name it, up to this much per face (Noto Sans
// CJK's ideographs use about 1.1 MB); past that, the rest are read through
// the file, each glyph no more than kMaxBytesReadPerGlyph of them.
constexpr size_t kSubrMemoryBudget = size_t(4) << 20;

uint8_t *CopyIndex(CffFace &face, const Index &index) {
    const size_t bytes = index.end - index.offsets;
    if (index.count == 0 || face.subrBytes + bytes > kSubrMemoryBudget) return nullptr;
    uint8_t *copy = static_cast<uint8_t *>(std::malloc(bytes));
    if (copy == nullptr || !face.src.Read(index.offsets, copy, uint32_t(bytes))) {
        std::free(copy);
        return nullptr;
    }
    face.subrBytes += bytes;
    return copy;
}

bool SameIndex(const Index &a, const Index &b) { return a.offsets == b.offsets && a.end == b.end; }

// The copy another font DICT made of this INDEX: font DICTs may all name
// one INDEX, and a copy each would use up the budget with the same bytes.
uint8_t *CopyOfAnotherFontDict(const CffFace &face, const Index &index) {
    for (uint32_t fd = 0; fd < face.fdCount; ++fd) {
        const PrivateDict &other = face.privates[fd];
        if (other.memory != nullptr && SameIndex(other.subrs, index)) return other.memory;
    }
    return nullptr;
}

void CopyLocalSubrs(CffFace &face, PrivateDict &p) {
    p.memory = CopyOfAnotherFontDict(face, p.subrs);
    p.ownsMemory = p.memory == nullptr;
    if (p.memory == nullptr) p.memory = CopyIndex(face, p.subrs);
}

Subroutines SubroutinesOf(CffFace &face, uint32_t fd) {
    PrivateDict &p = face.privates[fd];
    if (face.globalMemory == nullptr) face.globalMemory = CopyIndex(face, face.globalSubrs);
    if (p.hasSubrs && p.memory == nullptr) CopyLocalSubrs(face, p);
    return Subroutines{SubrIndex{&face.globalSubrs, face.globalBias, face.globalMemory},
                       SubrIndex{p.hasSubrs ? &p.subrs : nullptr, p.bias, p.memory}};
}

// ----------------------------------------------------------- the outline

bool Grow(void **block, int32_t *capacity, int32_t wanted, size_t unit, int32_t limit) {
    if (wanted <= *capacity) return true;
    if (wanted > limit) return false;
    int32_t grown = *capacity > 0 ? *capacity : 64;
    while (grown < wanted) grown *= 2;
    if (grown > limit) grown = limit;
    void *p = std::realloc(*block, size_t(grown) * unit);
    if (p == nullptr) return false;
    *block = p;
    *capacity = grown;
    return true;
}

// Scales the charstring's points into the glyph's cubic outline as the
// faithful mode scales TrueType points: whole font units (the 16.16 value
// floored) times the 16.16 scale, rounded.
class ScaledOutline : public PathSink {
public:
    ScaledOutline(CubicOutline *out, int32_t scale) : out_(out), scale_(scale) {}

    void MoveTo(int32_t x, int32_t y) override {
        EndContour();
        Add(x, y, kCubicOn);
    }
    void LineTo(int32_t x, int32_t y) override { Add(x, y, kCubicOn); }
    void CurveTo(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                 int32_t y3) override {
        Add(x1, y1, kCubicControl);
        Add(x2, y2, kCubicControl);
        Add(x3, y3, kCubicOn);
    }
    // A contour of one point draws nothing and is dropped.
    void EndContour() {
        const int32_t start = out_->NumContours > 0 ? out_->ContourEnds[out_->NumContours - 1] : 0;
        if (out_->NumPoints - start < 2) {
            out_->NumPoints = start;
            return;
        }
        void *ends = out_->ContourEnds;
        if (!Grow(&ends, &out_->ContourCapacity, out_->NumContours + 1, sizeof(int32_t),
                  kMaxCubicContours)) {
            overflow_ = true;
            out_->NumPoints = start;
            return;
        }
        out_->ContourEnds = static_cast<int32_t *>(ends);
        out_->ContourEnds[out_->NumContours++] = out_->NumPoints;
    }
    bool Overflowed() const { return overflow_; }

private:
    void Add(int32_t x, int32_t y, uint8_t kind) {
        if (overflow_ || !Reserve(out_->NumPoints + 1)) {
            overflow_ = true;
            return;
        }
        out_->Points[out_->NumPoints] = longpointtype{ScaleFUnitsRounded(x >> 16, scale_),
                                                      ScaleFUnitsRounded(y >> 16, scale_)};
        out_->Kinds[out_->NumPoints++] = kind;
    }

    bool Reserve(int32_t points) {
        if (points <= out_->PointCapacity) return true;
        int32_t capacity = out_->PointCapacity;
        void *p = out_->Points, *k = out_->Kinds;
        if (!Grow(&p, &capacity, points, sizeof(longpointtype), kMaxCubicPoints)) return false;
        out_->Points = static_cast<longpointtype *>(p);
        int32_t kindCapacity = out_->PointCapacity;
        if (!Grow(&k, &kindCapacity, points, 1, kMaxCubicPoints)) return false;
        out_->Kinds = static_cast<uint8_t *>(k);
        out_->PointCapacity = capacity;
        return true;
    }

    CubicOutline *out_;
    int32_t scale_;
    bool overflow_ = false;
};

// ------------------------------------------------------- accented glyphs

// The standard encoding's codes 161 and up whose glyphs have the string ids
// 96, 97, ... in this order; codes 32-126 have ids code - 31.
constexpr uint8_t kStandardHighCodes[] = {
    161, 162, 163, 164, 165, 166, 167, 168, 169, 170, 171, 172, 173, 174, 175, 177, 178, 179,
    180, 182, 183, 184, 185, 186, 187, 188, 189, 191, 193, 194, 195, 196, 197, 198, 199, 200,
    202, 203, 205, 206, 207, 208, 225, 227, 232, 233, 234, 235, 241, 245, 248, 249, 250, 251};
static_assert(sizeof kStandardHighCodes == 54, "string ids 96-149");

// The string id the standard encoding gives `code`; 0 for none.
uint32_t StandardSid(int32_t code) {
    if (code >= 32 && code <= 126) return uint32_t(code - 31);
    for (uint32_t i = 0; i < sizeof kStandardHighCodes; ++i)
        if (kStandardHighCodes[i] == code) return 96 + i;
    return 0;
}

// The glyph the charset names with `sid`, read from the file.
//   format 0: SID glyph[nGlyphs - 1]             (glyph 0 is .notdef)
//   format 1: {SID first; card8 nLeft}[]
//   format 2: {SID first; card16 nLeft}[]
bool GlyphOfSid(const CffFace &face, uint32_t sid, uint32_t *glyph) {
    const uint32_t glyphs = face.charStrings.count;
    if (face.charset == kIsoAdobeCharset) {
        *glyph = sid;
        return sid < glyphs;
    }
    if (face.charset < 3) return false;  // the expert charsets have no accented letters
    uint32_t format = 0;
    const TableSource &src = face.src;
    if (!src.U8(face.charset, &format)) return false;
    uint32_t at = face.charset + 1, g = 1;
    while (g < glyphs) {
        uint32_t first = 0, left = 0;
        if (format == 0) {
            if (!src.U16(at, &first)) return false;
            at += 2;
        } else if (format == 1 || format == 2) {
            if (!src.U16(at, &first)) return false;
            if (format == 1 ? !src.U8(at + 2, &left) : !src.U16(at + 2, &left)) return false;
            at += format == 1 ? 3 : 4;
        } else {
            return false;
        }
        if (sid >= first && sid - first <= left) {
            *glyph = g + (sid - first);
            return *glyph < glyphs;
        }
        g += left + 1;
    }
    return false;
}

// ------------------------------------------------------------- loading

CharstringStatus RunGlyph(CffFace &face, uint32_t glyph, int32_t dx, int32_t dy,
                          ScaledOutline &sink, AccentRequest *accent) {
    uint32_t fd = 0, at = 0, size = 0;
    if (face.cid && !FontDictOf(face, glyph, &fd)) return kCharstringUnreadable;
    if (!IndexElement(face.src, face.charStrings, glyph, &at, &size)) return kCharstringUnreadable;
    const CharstringStatus status =
        RunCharstring(face.src, at, size, SubroutinesOf(face, fd), &face.buffers, dx, dy, sink,
                      accent);
    sink.EndContour();
    return status;
}

// An accented glyph: its own outline gives way to the base glyph and the
// accent, which may not be accented glyphs themselves.
CharstringStatus DrawAccented(CffFace &face, const AccentRequest &request, ScaledOutline &sink,
                              CubicOutline *out) {
    uint32_t base = 0, accent = 0;
    if (face.cid || !GlyphOfSid(face, StandardSid(request.baseCode), &base) ||
        !GlyphOfSid(face, StandardSid(request.accentCode), &accent))
        return kCharstringOperator;
    out->NumPoints = out->NumContours = 0;
    AccentRequest nested{};
    CharstringStatus status = RunGlyph(face, base, 0, 0, sink, &nested);
    if (status == kCharstringOk)
        status = RunGlyph(face, accent, request.adx, request.ady, sink, &nested);
    return status;
}

}  // namespace

bool LoadCffGlyph(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph) {
    CubicOutline *out = &pG->Cubic;
    out->NumPoints = out->NumContours = 0;
    CffFace *face = pF->Cff;
    if (face == nullptr) return false;
    face->problem = nullptr;
    if (glyph >= face->charStrings.count) return true;
    ScaledOutline sink(out, pG->Scale);
    AccentRequest accent{};
    CharstringStatus status = RunGlyph(*face, glyph, 0, 0, sink, &accent);
    if (status == kCharstringOk && accent.present) status = DrawAccented(*face, accent, sink, out);
    if (status == kCharstringOk && !sink.Overflowed()) return true;
    face->problem = sink.Overflowed() ? "its outline has too many points"
                                      : CharstringStatusText(status);
    LogPrintf(kLogErrors, "CFF glyph %u not drawn: %s\n", glyph, face->problem);
    out->NumPoints = out->NumContours = 0;
    return false;
}

void FreeCubicOutline(CubicOutline *outline) {
    std::free(outline->Points);
    std::free(outline->Kinds);
    std::free(outline->ContourEnds);
    *outline = CubicOutline{};
}

}  // namespace kelmor
