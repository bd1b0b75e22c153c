// The sfnt container: opening the file, the table directory, whole tables as
// length-prefixed blocks, and the fixed-layout tables head, hhea, maxp, loca
// and name.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>

#include "platform/files.h"
#include "ttf/records/ttf_records.h"
#include "ttf/sfnt/debug_log.h"
#include "ttf/sfnt/file_cache.h"
#include "ttf/sfnt/sfnt.h"
#include "ttf/sfnt/ttf_read.h"

namespace kelmor {

char sfntTableTags[kMaxTables][4];

namespace {

constexpr uint32_t kLocaPieceSize = 32768;
constexpr int kNameLineSize = 512;

const char kKnownTagNames[kKnownTags][5] = {"cmap", "glyf", "head", "hhea", "hmtx", "loca",
                                            "maxp", "name", "post", "cvt ", "fpgm", "hdmx",
                                            "kern", "prep", "LTSH", "OS/2", "VDMX", "mort"};

// maxp's fields after its version, in file order.
constexpr uint16_t leMaxpHeader::*kMaxpFields[] = {
    &leMaxpHeader::numGlyphs,          &leMaxpHeader::maxPoints,
    &leMaxpHeader::maxContours,        &leMaxpHeader::maxComponentPoints,
    &leMaxpHeader::maxComponentContours, &leMaxpHeader::maxZones,
    &leMaxpHeader::maxTwilightPoints,  &leMaxpHeader::maxStorage,
    &leMaxpHeader::maxFunctionDefs,    &leMaxpHeader::maxInstructionDefs,
    &leMaxpHeader::maxStackElements,   &leMaxpHeader::maxSizeOfInstructions,
    &leMaxpHeader::maxComponentElements, &leMaxpHeader::maxComponentDepth};
static_assert(sizeof(kMaxpFields) / sizeof(kMaxpFields[0]) * 2 + sizeof(Fixed) ==
                  sizeof(maxpHeader),
              "every maxp word is converted");

// The file's length as the directory checks use it; a file past 4 GiB is
// measured as 4 GiB, which no 32-bit table offset can reach beyond anyway.
uint32_t MeasureFileSize(FILE *file) {
    int64_t length = FileLength(file);
    return length > 0 ? uint32_t(std::min<int64_t>(length, UINT32_MAX)) : 0;
}

// Reads the start of a table into a fixed record.  A table shorter than the
// record fills only its own bytes and leaves the rest zero, rather than
// borrowing the bytes of whatever follows it in the file.
int32_t ReadFixedTable(_TTFont *pF, const TableDirectoryStruct *pEntry, void *record, size_t size) {
    if (!TableInFile(pF, pEntry)) return 0;
    std::memset(record, 0, size);
    size_t wanted = std::min<size_t>(size, TableLength(pEntry));
    return int32_t(ReadFileAt(pF, TableOffset(pEntry), record, wanted));
}

// A whole table in a fresh buffer, or null when it is absent, empty, outside
// the file or cannot be read.  `extra` bytes are reserved in front of it.
uint8_t *ReadWholeTable(_TTFont *pF, const TableDirectoryStruct *pEntry, size_t extra) {
    if (!TableInFile(pF, pEntry) || TableLength(pEntry) == 0) return nullptr;
    size_t length = TableLength(pEntry);
    uint8_t *buffer = static_cast<uint8_t *>(std::malloc(length + extra));
    if (buffer == nullptr) return nullptr;
    if (ReadFileAt(pF, TableOffset(pEntry), buffer + extra, length) != length) {
        std::free(buffer);
        return nullptr;
    }
    return buffer;
}

// A string laid over the header or the records is not a name; it counts as
// outside the table.
bool NameStringInTable(const _TTFont *pF, const _nameRecord *r) {
    uint64_t recordsEnd =
        sizeof(_nameHeader) + uint64_t(pF->lpNameTable->uNameRecs) * sizeof(_nameRecord);
    uint64_t start = uint64_t(pF->lpNameTable->uStrings) + r->beStringOffset;
    return start >= recordsEnd && SpanInside(start, r->beStringLength, uint64_t(pF->NameTableSize));
}

void LogNameRecord(const _TTFont *pF, const _nameRecord *r) {
    char line[kNameLineSize];
    NameRecordText(pF, r, line, sizeof line);
    LogPrintf(kLogNames, "%4d %4d %4d %4d %s\n", r->bePlatformID, r->bePlatformEncodingID,
                 r->beLanguageID & 255, r->beNameID, line);
}

// Where one stored string's compacted copy lies in the area after the table.
struct CompactedString {
    uint32_t offset;  // from the start of the area
    int32_t length;   // -1 until the string has been compacted
};

// (offset, length) of a record's stored string, as one key.
uint32_t StoredStringKey(const _nameRecord *r) {
    return (uint32_t(r->beStringOffset) << 16) | r->beStringLength;
}

// Places every distinct stored string in the compacted area; returns the
// area's size.  Offsets are 16-bit, so a string that would start beyond
// them gets no place and reads as empty.
uint32_t PlanCompactedStrings(_TTFont *pF, std::map<uint32_t, CompactedString> *places) {
    uint32_t areaSize = 0;
    for (uint16_t i = 0; i < pF->lpNameTable->uNameRecs; ++i) {
        _nameRecord *r = &pF->lpNameRecords[i];
        FieldsToHost16(r);
        if (!NameStringInTable(pF, r) || areaSize > 0xFFFF) continue;
        if (places->emplace(StoredStringKey(r), CompactedString{areaSize, -1}).second)
            areaSize += r->beStringLength;
    }
    return areaSize;
}

// Drops the zero bytes of every record's string.  Records often share one
// stored string (the same name in several languages), or name part of
// another's (a style name inside a full name); compacting in place would
// rewrite bytes that another record still reads.  So each distinct string is
// compacted once into an area after the table, which then holds every
// record's text, and each record is pointed there.  A string outside the
// table, or one the area has no room for, reads as empty.
void CompactNameStrings(_TTFont *pF, bool logNames) {
    std::map<uint32_t, CompactedString> places;
    uint32_t areaSize = PlanCompactedStrings(pF, &places);
    size_t tableSize = size_t(pF->NameTableSize);
    auto *table = static_cast<uint8_t *>(std::realloc(pF->lpNameTable, tableSize + areaSize + 1));
    if (table == nullptr) places.clear();  // no room: the old table stays, every name empty
    if (table != nullptr) {
        pF->lpNameTable = reinterpret_cast<_nameHeader *>(table);
        pF->lpNameRecords = reinterpret_cast<_nameRecord *>(table + sizeof(_nameHeader));
    }
    const char *stored = reinterpret_cast<char *>(pF->lpNameTable) +
                         std::min<size_t>(pF->lpNameTable->uStrings, tableSize);
    char *area = reinterpret_cast<char *>(pF->lpNameTable) + (table != nullptr ? tableSize : 0);
    pF->lpNameStrings = area;
    for (uint16_t i = 0; i < pF->lpNameTable->uNameRecs; ++i) {
        _nameRecord *r = &pF->lpNameRecords[i];
        auto place = places.find(StoredStringKey(r));
        if (place == places.end()) {
            r->beStringOffset = r->beStringLength = 0;
        } else {
            CompactedString &copy = place->second;
            if (copy.length < 0)
                copy.length = r->beStringLength -
                               CopySingleBytes(area + copy.offset, stored + r->beStringOffset,
                                               r->beStringLength);
            r->beStringOffset = uint16_t(copy.offset);
            r->beStringLength = uint16_t(copy.length);
        }
        if (logNames) LogNameRecord(pF, r);
    }
}

void CompactNames(_TTFont *pF, bool logNames) {
    CompactNameStrings(pF, logNames);  // may move the table
    pF->NamesCompacted = 1;
}

bool WildcardMatch(const int *lpiWanted, uint16_t actual) {
    return lpiWanted == nullptr || *lpiWanted == -1 || *lpiWanted == actual;
}

void ReportID(int *lpi, uint16_t value) {
    if (lpi != nullptr) *lpi = value;
}

}  // namespace

// ------------------------------------------------------------ file helpers

uint32_t TableOffset(const TableDirectoryStruct *pEntry) { return ui32ToULong(&pEntry->offset); }
uint32_t TableLength(const TableDirectoryStruct *pEntry) { return ui32ToULong(&pEntry->length); }

bool TableInFile(const _TTFont *pF, const TableDirectoryStruct *pEntry) {
    return pEntry != nullptr && SpanInside(TableOffset(pEntry), TableLength(pEntry), pF->FileSize);
}

const TableDirectoryStruct *TableTagged(const _TTFont *pF, const char tag[4]) {
    for (int i = 0; i < pF->NumTables && i < kMaxTables; ++i)
        if (std::memcmp(pF->TableDirectory[i].tag, tag, 4) == 0) return &pF->TableDirectory[i];
    return nullptr;
}

size_t ReadFileAt(_TTFont *pF, uint32_t offset, void *dst, size_t count) {
    if (pF->InFile == nullptr || count == 0 || offset > pF->FileSize) return 0;
    return ReadThroughCache(&pF->FileWindows, pF->InFile, offset, dst, count);
}

// ----------------------------------------------------------- the directory

FILE *OpenTTFFile(const char *lpszFileName, FileOpenFailure *why) {
    return OpenRegularFile(lpszFileName, why);
}

bool KnownSfntVersion(const _TTFont *pF) {
    switch (FixedToULong(pF->OffsetTable.version)) {
        case 0x00010000: case 0x74727565 /* true */: case 0x4F54544F /* OTTO */: return true;
        default: return false;
    }
}

// The list never changes once filled, and fonts are opened on any thread:
// it is filled once, and every later call finds it ready without writing.
void InitsfntTables() {
    static std::once_flag filled;
    std::call_once(filled, [] {
        std::memset(sfntTableTags, 0, sizeof sfntTableTags);
        for (int i = 0; i < kKnownTags; ++i) std::memcpy(sfntTableTags[i], kKnownTagNames[i], 4);
    });
}

// A collection's header:
//
//   offset  size      field
//   0       4         'ttcf'
//   4       4         version (1.0 or 2.0; 2.0 adds a signature after the offsets)
//   8       4         numFonts
//   12      4 * n     offsets of each face's offset table, from the file's start
//
// Where face pF->FaceIndex's offset table starts: 0 for a single font (whose
// only face is 0).  False for a face the file does not have, a count past
// kMaxFaces, or an offset table that would not fit in the file.
bool LocateFace(_TTFont *pF, uint32_t *at) {
    uint8_t header[12];
    pF->FaceCount = 0;
    if (ReadFileAt(pF, 0, header, sizeof header) < 4) return false;
    if (std::memcmp(header, "ttcf", 4) != 0) {
        pF->FaceCount = 1;
        *at = 0;
        return pF->FaceIndex == 0;
    }
    const uint32_t faces = ReadBE32(header + 8);
    if (faces == 0 || faces > kMaxFaces) return false;
    pF->FaceCount = faces;
    uint8_t offset[4];
    if (pF->FaceIndex >= faces ||
        ReadFileAt(pF, 12 + 4 * pF->FaceIndex, offset, sizeof offset) != sizeof offset)
        return false;
    *at = ReadBE32(offset);
    return SpanInside(*at, sizeof(OffsetTableStruct), pF->FileSize);
}

// Only whole directory entries count: a file cut inside its directory keeps
// the entries before the cut.
int ReadTTFHeaders(_TTFont *pF) {
    pF->NumTables = 0;
    pF->FileSize = MeasureFileSize(pF->InFile);
    std::memset(&pF->OffsetTable, 0, sizeof pF->OffsetTable);
    uint32_t at = 0;
    if (!LocateFace(pF, &at)) return -1;
    if (ReadFileAt(pF, at, &pF->OffsetTable, sizeof pF->OffsetTable) == 0) return -1;
    size_t wanted = std::min<uint32_t>(ui16ToUint(pF->OffsetTable.numTables), kMaxTables);
    size_t got = ReadFileAt(pF, at + uint32_t(sizeof(OffsetTableStruct)), pF->TableDirectory,
                            wanted * sizeof(TableDirectoryStruct));
    pF->NumTables = int32_t(got / sizeof(TableDirectoryStruct));
    return pF->NumTables;
}

const char *ForeignOutlineTag(const _TTFont *pF) {
    // "CFF " outlines are drawn (the CFF stage, which refuses a table it
    // cannot read with its own reason), beside any strikes; CFF2's are not.
    if (pF->lpsfntTable[kSlotGlyf] != nullptr || FindTable(pF, "CFF ") != nullptr) return nullptr;
    static const char *const kForeign[] = {"CFF2", "EBDT", "bdat", "CBDT", "sbix"};
    for (int j = 0; j < std::min(pF->NumTables, kMaxTables); ++j) {
        for (const char *tag : kForeign)
            if (std::memcmp(pF->TableDirectory[j].tag, tag, 4) == 0) return tag;
    }
    return nullptr;
}

const TableDirectoryStruct *FindTable(const _TTFont *pF, const char tag[4]) {
    for (int i = 0; i < pF->NumTables && i < kMaxTables; ++i) {
        if (std::memcmp(pF->TableDirectory[i].tag, tag, 4) == 0) return &pF->TableDirectory[i];
    }
    return nullptr;
}

void ListTables(_TTFont *pF, int NumTables) {
    std::fill(std::begin(pF->lpsfntTable), std::end(pF->lpsfntTable), nullptr);
    for (int j = 0; j < std::min(NumTables, kMaxTables); ++j) {
        for (int i = 0; i < kMaxTables; ++i) {
            if (std::memcmp(pF->TableDirectory[j].tag, sfntTableTags[i], 4) == 0) {
                pF->lpsfntTable[i] = &pF->TableDirectory[j];
                break;
            }
        }
    }
}

// A table that does not lie wholly inside the file counts as absent.
void *FreeBuffer(void *p) {
    std::free(p);
    return nullptr;
}

uint8_t *GetTable(_TTFont *pF, const TableDirectoryStruct *pEntry) {
    uint8_t *block = ReadWholeTable(pF, pEntry, sizeof(int32_t));
    if (block == nullptr) return nullptr;
    int32_t length = int32_t(TableLength(pEntry));
    std::memcpy(block, &length, sizeof length);
    return block;
}

int32_t BlockLength(const uint8_t *block) {
    if (block == nullptr) return 0;
    int32_t length;
    std::memcpy(&length, block, sizeof length);
    return length;
}

const uint8_t *BlockBytes(const uint8_t *block) {
    return block == nullptr ? nullptr : block + sizeof(int32_t);
}

// ------------------------------------------------------ head, hhea, maxp

int32_t GetheadHeader(_TTFont *pF, const TableDirectoryStruct *pEntry) {
    int32_t got = ReadFixedTable(pF, pEntry, &pF->FontHeader, sizeof pF->FontHeader);
    const headHeader &h = pF->FontHeader;
    pF->UnitsPerEm = int16_t(ui16ToUint(h.unitsPerEm));
    pF->LowestRecPPEM = int16_t(ui16ToUint(h.lowestRecPPEM));
    pF->xMin = int16_t(i16ToInt(h.xMin));
    pF->yMin = int16_t(i16ToInt(h.yMin));
    pF->xMax = int16_t(i16ToInt(h.xMax));
    pF->yMax = int16_t(i16ToInt(h.yMax));
    return got;
}

int32_t GetHorizontalHeader(_TTFont *pF, const TableDirectoryStruct *pEntry) {
    int32_t got = ReadFixedTable(pF, pEntry, &pF->HorizHeader, sizeof pF->HorizHeader);
    horizontalHeader &h = pF->HorizHeader;
    h.Ascender = int16_t(HostOrder16(uint16_t(h.Ascender)));
    h.Descender = int16_t(HostOrder16(uint16_t(h.Descender)));
    h.LineGap = int16_t(HostOrder16(uint16_t(h.LineGap)));
    return got;
}

int32_t GetmaxpHeader(_TTFont *pF, const TableDirectoryStruct *pEntry) {
    maxpHeader raw;
    int32_t got = ReadFixedTable(pF, pEntry, &raw, sizeof raw);
    if (got == 0) return 0;
    leMaxpHeader &m = pF->leMaximumProfile;
    m.version = FixedToULong(raw.version);
    // The 16-bit words after the version, in file order.
    const uint8_t *words = reinterpret_cast<const uint8_t *>(&raw) + sizeof raw.version;
    for (size_t i = 0; i < std::size(kMaxpFields); ++i)
        m.*kMaxpFields[i] = uint16_t(ReadBE16(words + 2 * i));
    return got;
}

// ------------------------------------------------------------------- loca

// The buffer is cleared first, so entries a short read leaves unfilled read
// as empty glyphs.
int32_t Getloca(_TTFont *pF, const TableDirectoryStruct *pEntry) {
    if (pEntry == nullptr || pF->LocaBuffer == nullptr || pF->LocaSize <= 0) return 0;
    std::memset(pF->LocaBuffer, 0, size_t(pF->LocaSize));
    uint32_t total = uint32_t(pF->LocaSize);
    uint32_t offset = TableOffset(pEntry);
    if (offset > pF->FileSize) return 0;
    for (uint32_t done = 0; done < total;) {
        uint32_t piece = std::min(total - done, kLocaPieceSize);
        if (ReadFileAt(pF, offset + done, pF->LocaBuffer + done, piece) != piece) return 0;
        done += piece;
    }
    return pF->LocaSize;
}

namespace {

// `count` bytes of loca at file offset `at`, through the font's loca
// stretches; on a miss the least recently used one is refilled with the
// aligned stretch around them.
bool ReadLocaBytes(_TTFont *pF, uint64_t at, uint8_t *dst, uint32_t count) {
    LocaStretch *use = &pF->Loca[0];
    for (LocaStretch &s : pF->Loca) {
        if (s.length > 0 && at >= s.start && at + count <= uint64_t(s.start) + s.length) {
            use = &s;
            break;
        }
        if (s.lastUse < use->lastUse) use = &s;
    }
    if (!(use->length > 0 && at >= use->start && at + count <= uint64_t(use->start) + use->length)) {
        const uint64_t start = at - at % kLocaStretchSize;
        if (start > UINT32_MAX) return false;
        use->start = uint32_t(start);
        use->length = uint32_t(ReadFileRange(pF->InFile, start, use->bytes, kLocaStretchSize));
        // An entry that straddles two stretches is read on its own.
        if (at + count > start + use->length)
            return ReadFileRange(pF->InFile, at, dst, count) == count;
    }
    use->lastUse = ++pF->LocaClock;
    std::memcpy(dst, use->bytes + (at - use->start), count);
    return true;
}

// Loca entry `GlyphNo` as a byte offset into glyf: from the entries held in
// memory when a font was given them, else read from the file.  Entries past
// numGlyphs + 1, or that the file does not hold, are 0 (empty glyphs).
uint32_t LocaEntry(_TTFont *pF, uint32_t GlyphNo) {
    const uint32_t entrySize = pF->LocaLength == 2 ? 2 : 4;
    const uint64_t entryOffset = uint64_t(GlyphNo) * entrySize;
    if (!SpanInside(entryOffset, entrySize, uint64_t(std::max(pF->LocaSize, 0)))) return 0;
    uint8_t bytes[4] = {};
    const uint8_t *entry = bytes;
    if (pF->LocaBuffer != nullptr) {
        entry = pF->LocaBuffer + entryOffset;
    } else {
        const TableDirectoryStruct *loca = pF->lpsfntTable[kSlotLoca];
        if (loca == nullptr || !ReadLocaBytes(pF, TableOffset(loca) + entryOffset, bytes, entrySize))
            return 0;
    }
    return entrySize == 2 ? 2 * ReadBE16(entry) : ReadBE32(entry);
}

}  // namespace

// The answer always lies inside the glyf table (and the file): an entry that
// points past its end is pulled back to the end, so the glyph reads as empty
// or short instead of reaching into other tables.  Without glyf every glyph
// is empty.  This clamp is our own guard against a lying loca table; a font
// whose loca is honest never meets it.
int32_t GetGlyphIndex(_TTFont *pF, uint32_t GlyphNo) {
    const TableDirectoryStruct *glyf = pF->lpsfntTable[kSlotGlyf];
    if (glyf == nullptr) return 0;
    if (GlyphNo > pF->leMaximumProfile.numGlyphs) GlyphNo = 0;
    uint32_t offset = LocaEntry(pF, GlyphNo);
    uint64_t glyfStart = std::min<uint64_t>(TableOffset(glyf), pF->FileSize);
    uint64_t glyfEnd =
        std::min<uint64_t>(uint64_t(TableOffset(glyf)) + TableLength(glyf), pF->FileSize);
    return int32_t(std::min<uint64_t>(glyfStart + offset, glyfEnd));
}

// ------------------------------------------------------------------- name

int32_t CopySingleBytes(char *pD, const char *pC, int32_t j) {
    int32_t dropped = 0;
    int32_t written = 0;
    for (int32_t i = 0; i < j; ++i) {
        if (pC[i] == 0)
            ++dropped;
        else
            pD[written++] = pC[i];
    }
    if (dropped > 0) pD[written] = 0;
    return dropped;
}

// Only records that lie wholly inside the table are counted, so the record
// count can be trusted by everyone who walks the records later.
int32_t GetName(_TTFont *pF, const TableDirectoryStruct *pEntry) {
    if (pEntry == nullptr) return 0;
    if (!TableInFile(pF, pEntry) || TableLength(pEntry) < sizeof(_nameHeader)) return 0;
    uint8_t *table = ReadWholeTable(pF, pEntry, 0);
    if (table == nullptr) return -1;
    pF->lpNameTable = reinterpret_cast<_nameHeader *>(table);
    pF->NameTableSize = int32_t(TableLength(pEntry));
    _nameHeader *h = pF->lpNameTable;
    FieldsToHost16(h);
    uint32_t recordsInTable =
        (uint32_t(pF->NameTableSize) - sizeof(_nameHeader)) / sizeof(_nameRecord);
    h->uNameRecs = uint16_t(std::min<uint32_t>(h->uNameRecs, recordsInTable));
    pF->lpNameRecords = reinterpret_cast<_nameRecord *>(table + sizeof(_nameHeader));
    pF->lpNameStrings = reinterpret_cast<char *>(table) +
                        std::min<uint32_t>(h->uStrings, uint32_t(pF->NameTableSize));

    pF->NamesCompacted = 0;
    // Compacting costs more than the rest of opening a font with a long
    // licence text, and most fonts are opened only to draw: it waits for the
    // first question about names, unless the names are to be listed now.
    if (LogWants(kLogNames)) {
        LogPrintf(kLogNames, "Names:\n");
        CompactNames(pF, true);
    }
    return pF->lpNameTable->uNameRecs;
}

const _nameRecord *CompactedNameRecords(_TTFont *pF) {
    if (pF->lpNameTable == nullptr) return nullptr;
    if (!pF->NamesCompacted) CompactNames(pF, false);
    return pF->lpNameRecords;
}

void NameRecordText(const _TTFont *pF, const _nameRecord *r, char *buf, size_t size) {
    if (size == 0) return;
    size_t n = std::min<size_t>(r->beStringLength, size - 1);
    if (n > 0) std::memcpy(buf, pF->lpNameStrings + r->beStringOffset, n);
    buf[n] = '\0';
}

int32_t FontNames(_TTFont *pF, int *lpiPlatformID, int *lpiEncodingID, int *lpiLanguageID,
                  int iNameID, char *lpszBuf, int iSize) {
    if (lpszBuf == nullptr) return 0;
    // A buffer of no bytes cannot even take the terminator.
    if (iSize > 0) lpszBuf[0] = '\0';
    if (pF == nullptr) return 0;
    const _nameRecord *records = CompactedNameRecords(pF);
    if (records == nullptr) return 0;
    for (uint16_t i = 0; i < pF->lpNameTable->uNameRecs; ++i) {
        const _nameRecord *r = &records[i];
        if (!WildcardMatch(lpiPlatformID, r->bePlatformID) ||
            !WildcardMatch(lpiEncodingID, r->bePlatformEncodingID) ||
            !WildcardMatch(lpiLanguageID, r->beLanguageID) || iNameID != r->beNameID)
            continue;
        int32_t n = iSize > 1 ? std::min<int32_t>(r->beStringLength, iSize - 1) : 0;
        if (n > 0) CopySingleBytes(lpszBuf, pF->lpNameStrings + r->beStringOffset, n);
        if (iSize > 0) lpszBuf[n] = '\0';
        ReportID(lpiPlatformID, r->bePlatformID);
        ReportID(lpiEncodingID, r->bePlatformEncodingID);
        ReportID(lpiLanguageID, r->beLanguageID);
        return n;
    }
    return 0;
}

}  // namespace kelmor
