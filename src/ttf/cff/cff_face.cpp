// Opening a CFF table: the header, the Top DICT, the Private DICTs (one, or
// one per font DICT of a CID-keyed font) and where the INDEXes lie.
//
// The table:
//
//   Header        card8 major (1), card8 minor, card8 hdrSize, offSize
//   Name INDEX    at hdrSize
//   Top DICT INDEX, String INDEX, Global Subr INDEX, one after the other
//   ...           the rest is found through offsets in the Top DICT:
//                 CharStrings INDEX, Private DICT (and its local Subrs
//                 INDEX, at an offset from the Private DICT), charset, and
//                 for CID-keyed fonts (a ROS entry) FDArray, an INDEX of
//                 font DICTs each with a Private DICT, and FDSelect.
#include "ttf/cff/cff.h"

#include <cstdlib>
#include <cstring>

#include "ttf/cff/cff_face.h"
#include "ttf/sfnt/debug_log.h"
#include "ttf/sfnt/ttf_read.h"

namespace kelmor {

namespace {

using namespace cff;

// DICT operators this reader uses.
constexpr int kOpCharset = 15;
constexpr int kOpCharStrings = 17;
constexpr int kOpPrivate = 18;
constexpr int kOpSubrs = 19;
constexpr int kOpCharstringType = kEscapedDictOperator + 6;
constexpr int kOpRos = kEscapedDictOperator + 30;
constexpr int kOpFdArray = kEscapedDictOperator + 36;
constexpr int kOpFdSelect = kEscapedDictOperator + 37;

// Font DICTs a CID-keyed font may have: FDSelect stores their numbers in a
// byte.
constexpr uint32_t kMaxFontDicts = 256;

// An operand used as an offset or size: a whole number inside the table.
bool AsOffset(const DictEntry &e, int i, uint32_t *v) {
    if (i >= e.count) return false;
    const double d = e.operands[i];
    if (!(d >= 0 && d <= double(UINT32_MAX)) || d != double(uint32_t(d))) return false;
    *v = uint32_t(d);
    return true;
}

// What the Top DICT (or a font DICT of FDArray) says.
struct TopDict : DictVisitor {
    bool damaged = false;
    bool hasCharStrings = false, hasPrivate = false, cid = false;
    bool hasFdArray = false, hasFdSelect = false;
    uint32_t charStrings = 0, privateSize = 0, privateAt = 0;
    uint32_t fdArray = 0, fdSelect = 0, charset = kIsoAdobeCharset;
    double charstringType = 2;

    void Entry(const DictEntry &e) override {
        switch (e.op) {
            case kOpCharStrings: hasCharStrings = Offset(e, 0, &charStrings); break;
            case kOpPrivate:
                hasPrivate = Offset(e, 0, &privateSize) && Offset(e, 1, &privateAt);
                break;
            case kOpCharset: Offset(e, 0, &charset); break;
            case kOpCharstringType: charstringType = e.count > 0 ? e.operands[0] : 0; break;
            case kOpRos: cid = true; break;
            case kOpFdArray: hasFdArray = Offset(e, 0, &fdArray); break;
            case kOpFdSelect: hasFdSelect = Offset(e, 0, &fdSelect); break;
            default: break;
        }
    }
    bool Offset(const DictEntry &e, int i, uint32_t *v) {
        if (AsOffset(e, i, v)) return true;
        damaged = true;
        return false;
    }
};

struct PrivateVisitor : DictVisitor {
    bool damaged = false, hasSubrs = false;
    uint32_t subrs = 0;
    void Entry(const DictEntry &e) override {
        if (e.op != kOpSubrs) return;
        hasSubrs = AsOffset(e, 0, &subrs);
        damaged = damaged || !hasSubrs;
    }
};

bool ReadTopDict(const TableSource &src, const Index &index, uint32_t i, TopDict *top) {
    uint32_t at = 0, size = 0;
    return IndexElement(src, index, i, &at, &size) && ParseDict(src, at, size, *top) &&
           !top->damaged;
}

// A Private DICT of `size` bytes at `at` and its local subroutines.
bool ReadPrivate(const TableSource &src, uint32_t size, uint32_t at, PrivateDict *p) {
    *p = PrivateDict{};
    if (!SpanInside(at, size, src.length)) return false;
    PrivateVisitor visitor;
    if (!ParseDict(src, at, size, visitor) || visitor.damaged) return false;
    if (!visitor.hasSubrs) return true;
    if (uint64_t(at) + visitor.subrs > src.length) return false;
    if (!ReadIndex(src, at + visitor.subrs, &p->subrs)) return false;
    p->hasSubrs = true;
    p->bias = SubrBias(p->subrs.count);
    return true;
}

// FDSelect's format and extent, checked against the glyph count; its
// entries are read when a glyph asks.
bool ReadFdSelect(const TableSource &src, uint32_t at, uint32_t glyphs, FdSelect *fd) {
    uint32_t format = 0;
    if (!src.U8(at, &format)) return false;
    fd->format = format;
    fd->at = at + 1;
    if (format == 0) return SpanInside(fd->at, glyphs, src.length);
    if (format != 3) return false;
    uint32_t ranges = 0, first = 0;
    if (!src.U16(fd->at, &ranges) || ranges == 0) return false;
    fd->ranges = ranges;
    // The ranges and the sentinel after them; the first range starts at 0.
    if (!SpanInside(fd->at + 2, uint64_t(ranges) * 3 + 2, src.length)) return false;
    return src.U16(fd->at + 2, &first) && first == 0;
}

bool ReadFontDicts(CffFace *face, const TopDict &top) {
    Index fdArray{};
    if (!top.hasFdArray || !top.hasFdSelect || !ReadIndex(face->src, top.fdArray, &fdArray) ||
        fdArray.count == 0 || fdArray.count > kMaxFontDicts)
        return false;
    if (!ReadFdSelect(face->src, top.fdSelect, face->charStrings.count, &face->fdSelect))
        return false;
    face->privates = static_cast<PrivateDict *>(std::calloc(fdArray.count, sizeof(PrivateDict)));
    if (face->privates == nullptr) return false;
    face->fdCount = fdArray.count;
    for (uint32_t i = 0; i < fdArray.count; ++i) {
        TopDict fontDict;
        if (!ReadTopDict(face->src, fdArray, i, &fontDict) || !fontDict.hasPrivate ||
            !ReadPrivate(face->src, fontDict.privateSize, fontDict.privateAt, &face->privates[i]))
            return false;
    }
    return true;
}

bool ReadNameKeyed(CffFace *face, const TopDict &top) {
    face->privates = static_cast<PrivateDict *>(std::calloc(1, sizeof(PrivateDict)));
    if (face->privates == nullptr) return false;
    face->fdCount = 1;
    face->charset = top.charset;
    // A font without a Private DICT has no local subroutines.
    return !top.hasPrivate || ReadPrivate(face->src, top.privateSize, top.privateAt,
                                          face->privates);
}

// The header and the four INDEXes that follow it, then what the Top DICT
// points to.  Why the table is refused, or null.
const char *ReadCffTable(CffFace *face) {
    const TableSource &src = face->src;
    uint32_t major = 0, headerSize = 0;
    if (!src.U8(0, &major) || !src.U8(2, &headerSize) || major != 1 || headerSize < 4)
        return "its CFF header is not a version 1 header";
    Index names{}, topDicts{}, strings{};
    if (!ReadIndex(src, headerSize, &names) || !ReadIndex(src, names.end, &topDicts) ||
        !ReadIndex(src, topDicts.end, &strings) ||
        !ReadIndex(src, strings.end, &face->globalSubrs))
        return "an INDEX of its CFF table runs past the table's end";
    face->globalBias = SubrBias(face->globalSubrs.count);
    TopDict top;
    if (topDicts.count == 0 || !ReadTopDict(src, topDicts, 0, &top))
        return "its CFF Top DICT is damaged";
    if (top.charstringType != 2) return "its charstrings are not Type 2 charstrings";
    if (!top.hasCharStrings || !ReadIndex(src, top.charStrings, &face->charStrings) ||
        face->charStrings.count == 0)
        return "its CFF table has no readable CharStrings INDEX";
    face->cid = top.cid;
    if (top.cid ? !ReadFontDicts(face, top) : !ReadNameKeyed(face, top))
        return "a Private DICT, FDArray or FDSelect of its CFF table is damaged";
    return nullptr;
}

const TableDirectoryStruct *CffEntry(const _TTFont *pF) {
    for (int i = 0; i < pF->NumTables && i < kMaxTables; ++i)
        if (std::memcmp(pF->TableDirectory[i].tag, "CFF ", 4) == 0) return &pF->TableDirectory[i];
    return nullptr;
}

void ReleaseFace(CffFace *face) {
    for (uint8_t *&bytes : face->buffers.bytes) {
        std::free(bytes);
        bytes = nullptr;
    }
    for (uint32_t i = 0; i < face->fdCount; ++i)
        if (face->privates[i].ownsMemory) std::free(face->privates[i].memory);
    std::free(face->privates);
    std::free(face->globalMemory);
    std::free(face);
}

// Why a font whose CFF table was refused could not open (the font object
// is gone by then; the tool asks again through CffProblem before that).
thread_local const char *refusal = nullptr;

}  // namespace

bool OpenCffOutlines(_TTFont *pF) {
    refusal = nullptr;
    const TableDirectoryStruct *entry = CffEntry(pF);
    if (entry == nullptr || pF->lpsfntTable[kSlotGlyf] != nullptr) return true;
    if (!TableInFile(pF, entry)) {
        refusal = "its CFF table lies outside the file";
        return false;
    }
    CffFace *face = static_cast<CffFace *>(std::calloc(1, sizeof(CffFace)));
    if (face == nullptr) return false;
    face->src = TableSource{pF, TableOffset(entry), TableLength(entry)};
    refusal = ReadCffTable(face);
    if (refusal != nullptr) {
        LogPrintf(kLogErrors, "CFF table refused: %s\n", refusal);
        ReleaseFace(face);
        return false;
    }
    pF->Cff = face;
    return true;
}

void CloseCffOutlines(_TTFont *pF) {
    if (pF->Cff == nullptr) return;
    ReleaseFace(pF->Cff);
    pF->Cff = nullptr;
    FreeCubicOutline(&pF->G.Cubic);
}

const char *CffProblem(const _TTFont *pF) {
    if (pF == nullptr) return refusal;
    return pF->Cff != nullptr ? pF->Cff->problem : nullptr;
}

size_t CffFaceBytes(const _TTFont *pF) {
    const CffFace *face = pF->Cff;
    if (face == nullptr) return 0;
    size_t bytes = sizeof(CffFace) + face->fdCount * sizeof(PrivateDict) + face->subrBytes;
    for (uint32_t size : face->buffers.size) bytes += size;
    const CubicOutline &c = pF->G.Cubic;
    bytes += size_t(c.PointCapacity) * (sizeof(longpointtype) + 1) +
             size_t(c.ContourCapacity) * sizeof(int32_t);
    return bytes;
}

}  // namespace kelmor
