// Character mapping: choosing the cmap sub-tables, looking codes up in the
// high-byte (format 2) and segment (format 4) sub-tables, and the vertical
// substitution pairs of the mort table.
//
// Lookups work on the table bytes in CmapBuffer.  Every position they read is
// computed from numbers in the file, so each read is checked against the
// buffer first; a read that would fall outside answers glyph 0, the same as
// an unmapped code.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ttf/records/ttf_records.h"
#include "ttf/sfnt/debug_log.h"
#include "ttf/sfnt/sfnt.h"
#include "ttf/sfnt/ttf_read.h"

namespace kelmor {

namespace {

constexpr uint32_t kFormat0Size = 6 + 256;
constexpr uint32_t kFormat2KeysEnd = 6 + 2 * 256;  // where the sub-headers start
constexpr uint32_t kFormat4HeaderSize = 14;
constexpr uint32_t kSubHeaderSize = 8;
constexpr uint16_t kVerticalEntrySize = 4;
constexpr uint32_t kFormat12HeaderSize = 16;
constexpr uint32_t kGroupSize = 12;

// Offset of a pointer into CmapBuffer from its start.
uint64_t CmapPosition(const _TTFont *pF, const uint8_t *p) { return uint64_t(p - pF->CmapBuffer); }

// The 16-bit value at `pos` in CmapBuffer, or nothing when it lies outside.
bool ReadCmap16(const _TTFont *pF, uint64_t pos, uint32_t *value) {
    if (!SpanInside(pos, 2, uint64_t(pF->CmapSize))) return false;
    *value = ReadBE16(pF->CmapBuffer + pos);
    return true;
}

// Bytes of the fixed part of a sub-table of this format (format 0's glyph
// array, format 2's sub-header keys, format 4's header and segment arrays),
// which lookups read without further checks; 0 for other formats or when
// the segment count cannot be read.
uint64_t FixedPartSize(const _TTFont *pF, uint32_t offset, uint32_t format) {
    uint32_t segCountX2 = 0;
    switch (format) {
    case 0: return kFormat0Size;
    case 2: return kFormat2KeysEnd;
    case 4:
        if (!ReadCmap16(pF, uint64_t(offset) + 6, &segCountX2)) return 0;
        // header, end codes, pad, start codes, deltas, range offsets
        return kFormat4HeaderSize + 4ull * segCountX2 + 2;
    default: return 0;
    }
}

// Whether the fixed part of a sub-table of this format fits the buffer.
bool SubTableFits(const _TTFont *pF, uint32_t offset, uint32_t format) {
    const uint64_t size = FixedPartSize(pF, offset, format);
    return size > 0 && SpanInside(offset, size, uint64_t(pF->CmapSize));
}

void UseFormat4(_TTFont *pF, const uint8_t *table, const cmapSubTableDirectory &record) {
    pF->lpcmapSeg2DeltaValues = table;
    pF->uDeltaPlatform = record.PlatformID;
    pF->uDeltaEncoding = record.SpecificEncodingID;
    uint32_t s = ReadBE16(table + 6);
    pF->endCount = table + kFormat4HeaderSize;
    pF->startCount = pF->endCount + s + 2;
    pF->idDelta = pF->startCount + s;
    pF->idRangeOffset = pF->idDelta + s;
    pF->glyphIndexArray = pF->idRangeOffset + s;
}

// Format 12, segmented coverage of all of Unicode:
//
//   offset  size      field
//   0       2         format (12)
//   2       2         reserved
//   4       4         length
//   8       4         language
//   12      4         numGroups
//   16      12 * n    groups: startCharCode, endCharCode, startGlyphID
//
// Groups must be sorted by start and may not overlap: the lookup is a binary
// search, and a table that breaks the order could answer differently from
// what a reader scanning it in order would.  Such a table is not used.
bool GroupsInOrder(const uint8_t *groups, uint32_t count) {
    uint32_t nextAllowed = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t *g = groups + uint64_t(i) * kGroupSize;
        const uint32_t start = ReadBE32(g), end = ReadBE32(g + 4);
        if (start > end || (i > 0 && start < nextAllowed)) return false;
        if (end == UINT32_MAX) return i + 1 == count;
        nextAllowed = end + 1;
    }
    return true;
}

// Unicode's full repertoire: (3, 10), or Unicode platform encodings 4 and 6.
bool FullUnicodeRecord(const cmapSubTableDirectory &record) {
    return (record.PlatformID == 3 && record.SpecificEncodingID == 10) ||
           (record.PlatformID == 0 &&
            (record.SpecificEncodingID == 4 || record.SpecificEncodingID == 6));
}

void UseFormat12(_TTFont *pF, const cmapSubTableDirectory &record, uint32_t tableOffset) {
    uint32_t high = 0, low = 0;
    const uint64_t countAt = uint64_t(record.Offset) + 12;
    if (!FullUnicodeRecord(record) || !ReadCmap16(pF, countAt, &high) ||
        !ReadCmap16(pF, countAt + 2, &low))
        return;
    const uint32_t count = (high << 16) | low;
    const uint64_t groupsAt = uint64_t(record.Offset) + kFormat12HeaderSize;
    if (!SpanInside(groupsAt, uint64_t(count) * kGroupSize, uint64_t(pF->CmapSize))) return;
    if (!GroupsInOrder(pF->CmapBuffer + groupsAt, count)) return;
    // The groups stay in the file: the sub-table is often the largest part
    // of a CJK font's map, and codes above U+FFFF are rare in text.
    pF->uGroupsOffset = uint32_t(tableOffset + groupsAt);
    pF->uGroups = count;
}

// Where a chosen sub-table of `format` may end: at the next sub-table, or
// at the end of the table.  Declared lengths are not trusted for this, since
// a format-4 sub-table past 64 KiB cannot declare its own; nor is a
// sub-table that starts inside this one's fixed part, which lookups read
// whole.
uint32_t SubTableExtentEnd(const _TTFont *pF, uint32_t count, const uint8_t *table,
                           uint32_t format) {
    if (table == nullptr) return 0;
    const uint32_t start = uint32_t(table - pF->CmapBuffer);
    const uint64_t fixedEnd = start + FixedPartSize(pF, start, format);
    uint32_t end = uint32_t(pF->CmapSize);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = pF->lpcmapSubTableDirectory[i].Offset;
        if (offset >= fixedEnd && offset < end) end = offset;
    }
    return end;
}

// Moves a pointer into the cmap buffer to the same place in `moved`.
template <typename T>
void Rebase(T *&p, const uint8_t *old, uint8_t *moved) {
    if (p != nullptr)
        p = reinterpret_cast<T *>(moved + (reinterpret_cast<const uint8_t *>(p) - old));
}

// Keeps only the part of the table the chosen 16-bit sub-tables (and the
// directory) lie in: sub-tables never looked up after them, often the
// largest part of a CJK font's map, are not held in memory.
void TrimCmapBuffer(_TTFont *pF, uint32_t count) {
    uint32_t keep = uint32_t(sizeof(cmapHeader) + count * sizeof(cmapSubTableDirectory));
    keep = std::max(keep, SubTableExtentEnd(pF, count, pF->lpcmapStandardTable, 0));
    keep = std::max(keep, SubTableExtentEnd(pF, count, pF->lpcmapHighByteTable, 2));
    keep = std::max(keep, SubTableExtentEnd(pF, count, pF->lpcmapSeg2DeltaValues, 4));
    if (keep >= uint32_t(pF->CmapSize)) return;
    uint8_t *old = pF->CmapBuffer;
    auto *moved = static_cast<uint8_t *>(std::malloc(keep));
    if (moved == nullptr) return;  // the whole table stays
    std::memcpy(moved, old, keep);
    pF->CmapBuffer = moved;
    pF->CmapSize = int32_t(keep);
    Rebase(pF->lpcmapHeader, old, moved);
    Rebase(pF->lpcmapSubTableDirectory, old, moved);
    for (const uint8_t **p : {&pF->lpcmapStandardTable, &pF->lpcmapHighByteTable,
                              &pF->lpcmapSeg2DeltaValues, &pF->endCount, &pF->startCount,
                              &pF->idDelta, &pF->idRangeOffset, &pF->glyphIndexArray})
        Rebase(*p, old, moved);
    std::free(old);
}

// Records this sub-table when it is of a format we look codes up in; for each
// format the last record in the directory wins.  A sub-table whose fixed part
// (format 0's glyph array, format 2's sub-header keys, format 4's header and
// segment arrays) does not fit the table is passed over, our own guard
// against a lying offset: an earlier record of the same format, if any,
// stays in use, and the lookups never read past the table's end.
void ChooseSubTable(_TTFont *pF, const cmapSubTableDirectory &record, uint32_t tableOffset) {
    uint32_t format = 0;
    if (!ReadCmap16(pF, record.Offset, &format)) return;
    LogPrintf(kLogCmap, "C-Map %d: platform = %02x, encoding = %02x\n", int(format),
              unsigned(record.PlatformID), unsigned(record.SpecificEncodingID));
    if (format == 12) return UseFormat12(pF, record, tableOffset);
    if (!SubTableFits(pF, record.Offset, format)) return;
    const uint8_t *table = pF->CmapBuffer + record.Offset;
    if (format == 0) {
        pF->lpcmapStandardTable = table;
    } else if (format == 2) {
        pF->lpcmapHighByteTable = table;
        pF->uHiBytePlatform = record.PlatformID;
        pF->uHiByteEncoding = record.SpecificEncodingID;
    } else {
        UseFormat4(pF, table, record);
    }
}

// The glyph stored `byteDistance` bytes past the field at `field`, with the
// delta applied to a non-zero value; 0 when that lies outside the table.
uint32_t GlyphAtRangeOffset(const _TTFont *pF, const uint8_t *field, uint64_t byteDistance,
                            int32_t delta) {
    uint32_t glyph = 0;
    if (!ReadCmap16(pF, CmapPosition(pF, field) + byteDistance, &glyph) || glyph == 0) return 0;
    return uint32_t(int32_t(glyph) + delta) & 0xFFFF;
}

// The first segment whose end code is not below c, or -1.
int32_t FindSegment(const _TTFont *pF, uint32_t c) {
    uint32_t segCount = ReadBE16(pF->lpcmapSeg2DeltaValues + 6) / 2;
    for (uint32_t i = 0; i < segCount; ++i) {
        if (ReadBE16(pF->endCount + 2 * i) >= c) return int32_t(i);
    }
    return -1;
}

bool PairsFitTable(const TableDirectoryStruct *pEntry, uint32_t nEntries) {
    return SpanInside(sizeof(_mortHeader), uint64_t(nEntries) * kVerticalEntrySize,
                      TableLength(pEntry));
}

void ConvertPairs(_TTFont *pF, uint16_t nEntries) {
    for (uint16_t i = 0; i < nEntries; ++i) {
        _LookupSingleLE &pair = pF->lpLookupSingle[i];
        FieldsToHost16(&pair);
        pF->uMinGlyph = std::min<uint32_t>(pF->uMinGlyph, pair.glyphid1);
    }
    uint16_t last = pF->lpLookupSingle[nEntries - 1].glyphid1;
    if (last > 0) pF->uMaxGlyph = last;
}

int32_t DropMort(_TTFont *pF) {
    std::free(pF->lpMortHeader);
    std::free(pF->lpLookupSingle);
    pF->lpMortHeader = nullptr;
    pF->lpLookupSingle = nullptr;
    return 0;
}

}  // namespace

int16_t CharsetFromEncodingID(uint32_t encodingID) {
    switch (encodingID) {
    case 1: return csUnicode;
    case 2: return csShiftJIS;
    case 3: return csGB2312;
    case 4: return csBig5;
    default: return csSingleByte;
    }
}

// A table that does not lie wholly inside the file counts as absent.  Only
// the sub-table records that fit the table are counted.
int32_t GetCmap(_TTFont *pF, const TableDirectoryStruct *pEntry) {
    if (pEntry == nullptr || !TableInFile(pF, pEntry) || TableLength(pEntry) < sizeof(cmapHeader))
        return 0;
    pF->CmapSize = int32_t(TableLength(pEntry));
    pF->CmapBuffer = static_cast<uint8_t *>(std::malloc(size_t(pF->CmapSize)));
    if (pF->CmapBuffer == nullptr) return -1;
    if (ReadFileAt(pF, TableOffset(pEntry), pF->CmapBuffer, size_t(pF->CmapSize)) !=
        size_t(pF->CmapSize)) {
        std::free(pF->CmapBuffer);
        pF->CmapBuffer = nullptr;
        pF->CmapSize = 0;
        return 0;
    }
    pF->lpcmapHeader = reinterpret_cast<cmapHeader *>(pF->CmapBuffer);
    pF->lpcmapSubTableDirectory =
        reinterpret_cast<cmapSubTableDirectory *>(pF->CmapBuffer + sizeof(cmapHeader));
    uint32_t recordsInTable =
        (uint32_t(pF->CmapSize) - sizeof(cmapHeader)) / sizeof(cmapSubTableDirectory);
    uint32_t count = std::min(ui16ToUint(pF->lpcmapHeader->EncodingTables), recordsInTable);
    // A lying file can overlap records and sub-tables; all records are
    // converted before any sub-table is checked, so the checked bytes are
    // the bytes later lookups read.
    for (uint32_t i = 0; i < count; ++i) {
        cmapSubTableDirectory &record = pF->lpcmapSubTableDirectory[i];
        record.PlatformID = HostOrder16(record.PlatformID);
        record.SpecificEncodingID = HostOrder16(record.SpecificEncodingID);
        record.Offset = HostOrder32(record.Offset);
    }
    for (uint32_t i = 0; i < count; ++i)
        ChooseSubTable(pF, pF->lpcmapSubTableDirectory[i], TableOffset(pEntry));
    TrimCmapBuffer(pF, count);
    return int32_t(count);
}

bool CharsetFromSegmentTable(const _TTFont *pF) {
    return pF->lpcmapSeg2DeltaValues != nullptr && pF->uDeltaEncoding != 0;
}

namespace {

// A full-Unicode format-12 map with no Unicode or double-byte segment table
// beside it (a subset or recent font may carry nothing else): its groups
// serve every code, those of the Basic Multilingual Plane too.
bool GroupsServeEveryCode(const _TTFont *pF) {
    return pF->uGroupsOffset != 0 && !CharsetFromSegmentTable(pF);
}

constexpr uint32_t kUnicodeEncodingID = 1;

}  // namespace

uint32_t FontEncodingID(const _TTFont *pF) {
    if (CharsetFromSegmentTable(pF)) return pF->uDeltaEncoding;
    return GroupsServeEveryCode(pF) ? kUnicodeEncodingID : pF->uHiByteEncoding;
}

// Codes are looked up in the sub-table that gave the font its character
// set.  A Unicode font that also carries a Mac high-byte table (Korean
// fonts often do) would otherwise have its Unicode codes read as Mac ones
// and miss; a high-byte table is used first only when it gives the font's
// own code space.
bool LooksUpInHighByteTable(const _TTFont *pF) {
    return pF->lpcmapHighByteTable != nullptr && !CharsetFromSegmentTable(pF) &&
           !GroupsServeEveryCode(pF);
}

// The glyph of a code above U+FFFF from the format-12 groups; 0 when no
// group holds it or it names a glyph the font does not have.
uint32_t GetGlyphNoFromGroups(_TTFont *pF, uint32_t c) {
    uint32_t lowest = 0, highest = pF->uGroups;
    while (lowest < highest) {
        const uint32_t middle = lowest + (highest - lowest) / 2;
        uint8_t g[kGroupSize];
        if (ReadFileAt(pF, pF->uGroupsOffset + middle * kGroupSize, g, sizeof g) != sizeof g)
            return 0;
        if (c < ReadBE32(g)) {
            highest = middle;
        } else if (c > ReadBE32(g + 4)) {
            lowest = middle + 1;
        } else {
            const uint64_t glyph = uint64_t(ReadBE32(g + 8)) + (c - ReadBE32(g));
            return glyph < pF->leMaximumProfile.numGlyphs ? uint32_t(glyph) : 0;
        }
    }
    return 0;
}

uint32_t GetGlyphNo(_TTFont *pF, uint32_t c) {
    if (LooksUpInHighByteTable(pF)) return GetGlyphNoFromHiLo(pF, c);
    // Codes beyond the Basic Multilingual Plane have no place in the
    // 16-bit tables.
    if (c > 0xFFFF || GroupsServeEveryCode(pF)) return GetGlyphNoFromGroups(pF, c);
    if (pF->lpcmapSeg2DeltaValues == nullptr) return 0;
    int32_t i = FindSegment(pF, c);
    if (i < 0) return 0;
    uint32_t start = ReadBE16(pF->startCount + 2 * i);
    if (c < start) return 0;
    int32_t delta = int16_t(ReadBE16(pF->idDelta + 2 * i));
    const uint8_t *rangeField = pF->idRangeOffset + 2 * i;
    uint32_t r = ReadBE16(rangeField);
    if (r == 0) return (c + uint32_t(delta)) & 0xFFFF;
    return GlyphAtRangeOffset(pF, rangeField, uint64_t(r) + 2 * (c - start), delta);
}

// Format 2, the high-byte mapping of double-byte code spaces:
//
//   offset  size         field
//   0       2            format (2)
//   2       2            length
//   4       2            language
//   6       2 * 256      subHeaderKeys[256]: for each high byte, 8 times the
//                        index of its sub-header (0: a single-byte code)
//   518     8 * n        subHeaders: firstCode, entryCount, idDelta (signed),
//                        idRangeOffset; idRangeOffset counts in bytes from
//                        the idRangeOffset field itself into
//   ...                  glyphIndexArray
//
// A code's low byte must lie in firstCode .. firstCode + entryCount - 1;
// a non-zero entry of glyphIndexArray plus idDelta (mod 65536) is the glyph.
uint32_t GetGlyphNoFromHiLo(_TTFont *pF, uint32_t c) {
    const uint8_t *table = pF->lpcmapHighByteTable;
    if (table == nullptr || c > 0xFFFF) return 0;
    uint32_t high = c / 256;
    uint32_t low = c % 256;
    uint32_t key = ReadBE16(table + 6 + 2 * high);
    uint64_t subHeaderPos = CmapPosition(pF, table) + kFormat2KeysEnd + (key / 8) * kSubHeaderSize;
    if (!SpanInside(subHeaderPos, kSubHeaderSize, uint64_t(pF->CmapSize))) return 0;
    const uint8_t *subHeader = pF->CmapBuffer + subHeaderPos;
    int32_t d = int32_t(low) - int32_t(ReadBE16(subHeader));
    if (d < 0 || uint32_t(d) >= ReadBE16(subHeader + 2)) return 0;
    int32_t delta = int16_t(ReadBE16(subHeader + 4));
    const uint8_t *rangeField = subHeader + 6;
    return GlyphAtRangeOffset(pF, rangeField, uint64_t(ReadBE16(rangeField)) + 2 * uint32_t(d),
                              delta);
}

// The mort table as vertical fonts carry it: one chain with one
// non-contextual substitution sub-table of lookup format 6 (single glyphs).
// Only its binary-search header at byte 66 and the pairs after it matter:
//
//   offset  size        field
//   0       76          version, chain, feature and sub-table headers
//                       (_mortHeader; the constants are not checked)
//   66      10          binary-search header: entrySize (4), nEntries,
//                       searchRange, entrySelector, rangeShift
//   76      4 * n       pairs: horizontal glyph, its vertical form
//
// Pairs that would run past the end of the mort table are not trusted: the
// whole substitution is left off.  This is our own guard: when nEntries
// claims more pairs than the table holds, we would rather draw horizontal
// forms than substitute glyphs read from whatever follows the table.
int32_t Getmort(_TTFont *pF, const TableDirectoryStruct *pEntry) {
    pF->uMinGlyph = 65535;
    pF->uMaxGlyph = 0;
    if (pEntry == nullptr) return 0;
    if (!TableInFile(pF, pEntry) || TableLength(pEntry) < sizeof(_mortHeader)) return 0;
    pF->lpMortHeader = static_cast<_mortHeader *>(std::malloc(sizeof(_mortHeader)));
    if (pF->lpMortHeader == nullptr || ReadFileAt(pF, TableOffset(pEntry), pF->lpMortHeader,
                                                  sizeof(_mortHeader)) != sizeof(_mortHeader))
        return DropMort(pF);
    _BinSrchHeaderLE &header = pF->lpMortHeader->binSrchHeader;
    FieldsToHost16(&header);
    if (header.entrySize != kVerticalEntrySize || header.nEntries == 0 ||
        !PairsFitTable(pEntry, header.nEntries))
        return DropMort(pF);
    size_t bytes = size_t(header.nEntries) * kVerticalEntrySize;
    pF->lpLookupSingle = static_cast<_LookupSingleLE *>(std::malloc(bytes));
    if (pF->lpLookupSingle == nullptr || ReadFileAt(pF, TableOffset(pEntry) + sizeof(_mortHeader),
                                                    pF->lpLookupSingle, bytes) != bytes)
        return DropMort(pF);
    ConvertPairs(pF, header.nEntries);
    return int32_t(bytes);
}

uint32_t GetVertical(_TTFont *pF, uint32_t uGlyphNo) {
    if (pF->iVertical == 0 || pF->lpLookupSingle == nullptr || pF->lpMortHeader == nullptr)
        return uGlyphNo;
    if (uGlyphNo < pF->uMinGlyph || uGlyphNo > pF->uMaxGlyph) return uGlyphNo;
    uint16_t nEntries = pF->lpMortHeader->binSrchHeader.nEntries;
    for (uint16_t i = 0; i < nEntries; ++i) {
        if (pF->lpLookupSingle[i].glyphid1 == uGlyphNo) return pF->lpLookupSingle[i].glyphid2;
    }
    return uGlyphNo;
}

}  // namespace kelmor
