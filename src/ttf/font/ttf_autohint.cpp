// The font object's side of the auto-hinter: when it draws a glyph, and the
// font as the auto-hinter sees it (its Unicode map, its outlines in font
// units, its advances).
#include <cstdint>
#include <cstdlib>
#include <new>

#include "common/bytes.h"
#include "ttf/autohint/autohint.h"
#include "ttf/autohint/autohint_unicode_map.h"
#include "ttf/font/ttf.h"
#include "ttf/raster/scexact.h"
#include "ttf/sfnt/bigend.h"
#include "ttf/sfnt/ttf_read.h"

namespace kelmor {

namespace {

constexpr uint32_t kIsFixedPitchOffset = 12;  // in post: a 32-bit flag
constexpr uint32_t kMacStyleItalic = 0x0002;   // head.macStyle bit 1
constexpr uint32_t kFsSelectionOffset = 62;    // in OS/2: uint16
constexpr uint32_t kFsSelectionItalic = 0x0001;
constexpr uint32_t kFsSelectionOblique = 0x0200;
constexpr uint32_t kOS2NoTable = 0xFFFF;       // a version no table has
constexpr uint32_t kOS2Version0Bytes = 78;
constexpr uint32_t kOS2Version5Bytes = 100;

// The bytes FreeType reads of an OS/2 table of each version before it
// takes the table as present: the version 0 fields, then the code page
// ranges (version 1), the heights and characters (version 2), the optical
// sizes (version 5).
uint32_t OS2BytesNeeded(uint32_t version) {
    if (version >= 5) return kOS2Version5Bytes;
    if (version >= 2) return 96;
    if (version >= 1) return 86;
    return kOS2Version0Bytes;
}

// True when FreeType takes the font's OS/2 table as present; its version 0
// fields in `fields`.  FreeType reads the fields from the file at the
// table's start without holding them against the table's declared length:
// a short table followed by other data still counts, one that the end of
// the file cuts short does not, nor one of length 0.
bool ReadOS2Fields(_TTFont *pF, uint8_t (&fields)[kOS2Version0Bytes]) {
    const TableDirectoryStruct *os2 = pF->lpsfntTable[kSlotOS2];
    if (os2 == nullptr || TableLength(os2) == 0 || !TableInFile(pF, os2) ||
        ReadFileAt(pF, TableOffset(os2), fields, sizeof fields) != sizeof fields)
        return false;
    const uint32_t version = ReadBE16(fields);
    if (version == kOS2NoTable) return false;
    uint8_t rest[kOS2Version5Bytes - kOS2Version0Bytes];
    const uint32_t more = OS2BytesNeeded(version) - uint32_t(sizeof fields);
    return more == 0 || ReadFileAt(pF, TableOffset(os2) + uint32_t(sizeof fields), rest, more) == more;
}

// Whether the face is italic as FreeType's style flags say: fsSelection's
// italic or oblique bit where the font has an OS/2 table FreeType can
// read, otherwise the italic bit of head's macStyle.
bool FaceIsItalic(_TTFont *pF) {
    uint8_t os2[kOS2Version0Bytes];
    if (ReadOS2Fields(pF, os2))
        return (ReadBE16(os2 + kFsSelectionOffset) & (kFsSelectionItalic | kFsSelectionOblique)) != 0;
    return (ui16ToUint(pF->FontHeader.macStyle) & kMacStyleItalic) != 0;
}

// The auto-hinted outline carries no high-precision flag, so FreeType's
// scanner takes it at its coarse precision at every size: the precision
// the exact scanner uses from this size up.
constexpr int32_t kCoarsePrecisionPpem = 24;

// The font seen through the glyph loader at a scale of one: outlines come
// out in font units, composites assembled, the origin where hmtx puts it.
// The cmap table is read only when the styles or a style's reference
// characters ask for it, and released with this object.
class FontUnitsAccess : public autohint::FontAccess {
public:
    FontUnitsAccess(_TTFont *pF, _TtfGlyph *pG) : pF_(pF), pG_(pG) {}
    ~FontUnitsAccess() override { FreeBuffer(cmap_); }
    FontUnitsAccess(const FontUnitsAccess &) = delete;
    FontUnitsAccess &operator=(const FontUnitsAccess &) = delete;

    uint32_t UnitsPerEm() const override { return pF_->UnitsPerEm > 0 ? uint32_t(pF_->UnitsPerEm) : 0; }
    uint32_t GlyphCount() const override { return pF_->leMaximumProfile.numGlyphs; }
    bool HasUnicodeMap() override { return Map().Present(); }
    uint32_t GlyphForChar(uint32_t code) override { return Map().Lookup(code); }
    bool NextMappedChar(uint32_t code, uint32_t *next, uint32_t *glyph) override {
        return Map().Next(code, next, glyph);
    }
    bool LoadFontUnitOutline(uint32_t glyph, autohint::Outline *out) override;
    int32_t AdvanceWidth(uint32_t glyph) override { return SideMetrics(pF_, glyph, 0).advanceWidth; }
    int32_t LoadedAdvance(uint32_t glyph) override {
        return glyph == loadedGlyph_ ? loadedAdvance_ : AdvanceWidth(glyph);
    }
    bool IsItalic() override { return FaceIsItalic(pF_); }
    bool IsFixedPitch() override {
        const TableDirectoryStruct *post = pF_->lpsfntTable[kSlotPost];
        uint8_t flag[4] = {0, 0, 0, 0};
        if (post == nullptr || !TableInFile(pF_, post) || !SpanInside(kIsFixedPitchOffset, 4, TableLength(post)))
            return false;
        if (ReadFileAt(pF_, TableOffset(post) + kIsFixedPitchOffset, flag, 4) != 4) return false;
        return (flag[0] | flag[1] | flag[2] | flag[3]) != 0;
    }

private:
    const autohint::UnicodeMap &Map() {
        if (!map_) {
            const TableDirectoryStruct *entry = pF_->lpsfntTable[kSlotCmap];
            cmap_ = entry != nullptr ? GetTable(pF_, entry) : nullptr;
            map_ = new (mapStore_) autohint::UnicodeMap(BlockBytes(cmap_), size_t(BlockLength(cmap_)));
        }
        return *map_;
    }

    _TTFont *pF_;
    _TtfGlyph *pG_;
    uint8_t *cmap_ = nullptr;
    uint32_t loadedGlyph_ = UINT32_MAX;
    int32_t loadedAdvance_ = 0;
    autohint::UnicodeMap *map_ = nullptr;
    alignas(autohint::UnicodeMap) unsigned char mapStore_[sizeof(autohint::UnicodeMap)];
};

bool FontUnitsAccess::LoadFontUnitOutline(uint32_t glyph, autohint::Outline *out) {
    out->Clear();
    const int32_t scale = pG_->Scale;
    pG_->Scale = 0x10000;  // one: the loader's rounding leaves font units as they are
    const int lastPoint = LoadGlyphFaithfully(pF_, pG_, int(glyph), nullptr);
    pG_->Scale = scale;
    // At scale one the phantom points are in font units.  A glyph without
    // outline (a space) loads no points but keeps its advance; a load that
    // failed leaves none.
    loadedGlyph_ = glyph;
    loadedAdvance_ = pG_->Phantom[1].x - pG_->Phantom[0].x;
    if (lastPoint < 0) return loadedAdvance_ != 0;
    const int points = lastPoint + 1;
    const int contours = pG_->NumContours > 0 ? pG_->NumContours : 0;
    out->points.resize(size_t(points));
    out->tags.resize(size_t(points));
    for (int i = 0; i < points; ++i) {
        const TTFCoord &c = pG_->Zone1[i];
        out->points[size_t(i)] = {c.Cur.x, c.Cur.y};
        out->tags[size_t(i)] = (c.Flags & kOnCurve) ? autohint::kTagOnCurve : 0;
    }
    for (int c = 0; c < contours; ++c) out->contourEnds.push_back(pG_->EndPoints[c]);
    return true;
}

// Writes the hinted outline into the glyph zone, where the scanner reads it.
bool StoreOutline(_TtfGlyph *pG, const autohint::Outline &outline) {
    const size_t points = outline.points.size();
    if (points == 0 || points > size_t(pG->Zone1Slots) || outline.contourEnds.size() > size_t(pG->EndPointsSize))
        return false;
    for (size_t i = 0; i < points; ++i) {
        TTFCoord &c = pG->Zone1[i];
        c.Cur.x = c.Orig.x = c.Prev.x = outline.points[i].x;
        c.Cur.y = c.Orig.y = c.Prev.y = outline.points[i].y;
        c.Flags = (outline.tags[i] & autohint::kTagOnCurve) ? kOnCurve : 0;
    }
    for (size_t c = 0; c < outline.contourEnds.size(); ++c) pG->EndPoints[c] = int16_t(outline.contourEnds[c]);
    pG->NumContours = int16_t(outline.contourEnds.size());
    return true;
}

}  // namespace

bool FontHasNoPrograms(const _TTFont *pF) {
    return pF->Cff == nullptr && pF->LocaLength > 0 && BlockLength(pF->FontProgram) == 0 &&
           BlockLength(pF->PrepInstructions) == 0 && pF->leMaximumProfile.maxSizeOfInstructions == 0;
}

bool UsesAutohinter(const _TTFont *pF) {
    if (pF->Cff != nullptr || (pF->RenderOptions & (kNoAutohint | kNoHinting))) return false;
    return (pF->RenderOptions & kForceAutohint) || FontHasNoPrograms(pF);
}

bool LoadAutohinted(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph, AutohintTarget target) {
    if (pF->Autohint == nullptr) {
        pF->Autohint = new (std::nothrow) autohint::AutohintFace();
        if (pF->Autohint == nullptr) return false;
    }
    FontUnitsAccess font(pF, pG);
    autohint::HintedGlyph hinted;
    // Grey levels are hinted as FreeType's default loading hints them, for
    // its normal (anti-aliased) target.
    const autohint::RenderTarget hinterTarget =
        target == AutohintTarget::kGray ? autohint::RenderTarget::kNormal : autohint::RenderTarget::kMono;
    if (!autohint::AutohintGlyph(pF->Autohint, &font, glyph, PixelsPerEm(pG), hinterTarget, &hinted))
        return false;
    pG->AdvanceDrawn = 1;
    pG->DrawnAdvance = hinted.advance;
    return StoreOutline(pG, hinted.outline);
}

void DrawAutohinted(_TTFont *pF, _TtfGlyph *pG, uint32_t glyph) {
    if (!LoadAutohinted(pF, pG, glyph, AutohintTarget::kMono)) return;
    const int32_t ppem = PixelsPerEm(pG);
    SetExactScanMode(&pG->S, false, 0, ppem > kCoarsePrecisionPpem ? ppem : kCoarsePrecisionPpem);
    ScanOutlineExactly(&pG->S, unsigned(pG->NumContours), pG->EndPoints, pG->Zone1, &pG->BM);
}

void ReleaseAutohint(_TTFont *pF) {
    delete pF->Autohint;
    pF->Autohint = nullptr;
}

}  // namespace kelmor
