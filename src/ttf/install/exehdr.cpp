#include "ttf/install/exehdr.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "common/bytes.h"
#include "common/text.h"
#include "platform/files.h"

namespace kelmor {

namespace {

constexpr size_t kHeaderBytes = 64;
constexpr uint16_t kNewFormatRelocation = 0x40;
constexpr size_t kTypeRecordBytes = 8;
constexpr size_t kResourceRecordBytes = 12;
constexpr uint16_t kMaxShift = 15;

// Exactly `count` bytes at `offset`, or false.
bool ReadAt(std::FILE *fp, uint64_t offset, void *buffer, size_t count) {
    if (offset > uint64_t(LONG_MAX) || std::fseek(fp, long(offset), SEEK_SET) != 0) return false;
    return std::fread(buffer, 1, count, fp) == count;
}

void DecodeOldHeader(const uint8_t *bytes, OLDEXE *h) {
    ByteCursor c(bytes, kHeaderBytes);
    h->wFileSignature = c.LE16();
    h->wLengthMod512 = c.LE16();
    h->wLength = c.LE16();
    h->wRelocationTableItems = c.LE16();
    h->wHeaderSize = c.LE16();
    h->wMinAbove = c.LE16();
    h->wDesiredAbove = c.LE16();
    h->wStackDisplacement = c.LE16();
    h->wSP = c.LE16();
    h->wCheckSum = c.LE16();
    h->wIP = c.LE16();
    h->wCodeDisplacement = c.LE16();
    h->wFirstRelocationItem = c.LE16();
    h->wOverlayNumber = c.LE16();
    for (uint16_t &word : h->wReserved) word = c.LE16();
    h->lNewExeOffset = c.LE32();
}

void DecodeNewHeader(const uint8_t *bytes, NEWEXE *h) {
    ByteCursor c(bytes, kHeaderBytes);
    h->wNewSignature = c.LE16();
    h->cLinkerVer = c.U8();
    h->cLinkerRev = c.U8();
    h->wEntryOffset = c.LE16();
    h->wEntrySize = c.LE16();
    h->lChecksum = c.LE32();
    h->wFlags = c.LE16();
    h->wAutoDataSegment = c.LE16();
    h->wHeapInit = c.LE16();
    h->wStackInit = c.LE16();
    h->wIPInit = c.LE16();
    h->wCSInit = c.LE16();
    h->wSPInit = c.LE16();
    h->wSSInit = c.LE16();
    h->wSegEntries = c.LE16();
    h->wModEntries = c.LE16();
    h->wNonResSize = c.LE16();
    h->wSegOffset = c.LE16();
    h->wResourceOffset = c.LE16();
    h->wResOffset = c.LE16();
    h->wModOffset = c.LE16();
    h->wImportOffset = c.LE16();
    h->lNonResOffset = c.LE32();
    h->wMoveableEntry = c.LE16();
    h->wAlign = c.LE16();
    h->wResourceSegs = c.LE16();
    h->bExeType = c.U8();
    h->bAdditionalFlags = c.U8();
    h->wFastOffset = c.LE16();
    h->wFastSize = c.LE16();
    h->wReserved = c.LE16();
    h->wExpVersion = c.LE16();
}

// A new-format file says so in wFirstRelocationItem; files written by some
// tools leave that word 0 but still point lNewExeOffset at an "NE" header,
// so the signature there counts as well.
bool IsNewFormat(std::FILE *fp, const OLDEXE &old) {
    if (old.wFirstRelocationItem >= kNewFormatRelocation) return true;
    uint8_t signature[2];
    return ReadAt(fp, old.lNewExeOffset, signature, sizeof signature) &&
           uint16_t(signature[0] | (signature[1] << 8)) == kNeSignature;
}

// The name at `offset` of the resource table: a length byte and that many
// characters, stored as a terminated heap string.
int32_t ReadName(std::FILE *fp, uint64_t offset, char **name) {
    uint8_t length;
    if (!ReadAt(fp, offset, &length, 1)) return kExeShortRead;
    char *text = static_cast<char *>(ClrMalloc(size_t(length) + 1));
    if (!text) return kExeNoMemory;
    if (!ReadAt(fp, offset + 1, text, length)) {
        std::free(text);
        return kExeShortRead;
    }
    *name = text;
    return 0;
}

int32_t ReadResourceName(std::FILE *fp, uint64_t table, uint16_t id, char **name) {
    if (id & kResourceIdIsNumber) return 0;
    return ReadName(fp, table + id, name);
}

// One type record and its resource entries at `offset`; *offset moves past
// them.  A type id of 0 ends the list and leaves *type null.
int32_t ReadTypeRecord(std::FILE *fp, uint64_t *offset, tgRESTYPE **type) {
    // The list's terminator is a lone 16-bit 0, which may be the last word
    // of the file: the rest of a record is read only after a non-zero id.
    uint8_t record[kTypeRecordBytes];
    *type = nullptr;
    if (!ReadAt(fp, *offset, record, 2)) return kExeShortRead;
    ByteCursor c(record, sizeof record);
    uint16_t wType = c.LE16();
    if (wType == 0) return 0;
    if (!ReadAt(fp, *offset + 2, record + 2, sizeof record - 2)) return kExeShortRead;
    *offset += sizeof record;

    tgRESTYPE *t = static_cast<tgRESTYPE *>(ClrMalloc(sizeof(tgRESTYPE)));
    if (!t) return kExeNoMemory;
    *type = t;
    t->wType = wType;
    t->wCount = c.LE16();
    t->lReserved = c.LE32();
    if (t->wCount == 0) return 0;

    // The entries are read before anything is allocated for them, so a
    // count larger than the file holds costs no memory.
    std::vector<uint8_t> entries(size_t(t->wCount) * kResourceRecordBytes);
    if (!ReadAt(fp, *offset, entries.data(), entries.size())) return kExeShortRead;
    *offset += entries.size();
    t->pResInfoArray = static_cast<RESINFO2 *>(ClrMalloc(t->wCount * sizeof(RESINFO2)));
    if (!t->pResInfoArray) return kExeNoMemory;
    ByteCursor e(entries.data(), entries.size());
    for (uint16_t i = 0; i < t->wCount; ++i) {
        RESINFO2 &r = t->pResInfoArray[i];
        r.wOffset = e.LE16();
        r.wLength = e.LE16();
        r.wFlags = e.LE16();
        r.wID = e.LE16();
        e.LE16();  // handle
        e.LE16();  // usage
    }
    return 0;
}

int32_t ResolveNames(std::FILE *fp, uint64_t table, tgRESTYPE *types) {
    for (tgRESTYPE *t = types; t; t = t->pNext) {
        if (int32_t rc = ReadResourceName(fp, table, t->wType, &t->pResourceType)) return rc;
        for (uint16_t i = 0; i < t->wCount; ++i) {
            RESINFO2 &r = t->pResInfoArray[i];
            if (int32_t rc = ReadResourceName(fp, table, r.wID, &r.pResourceName)) return rc;
        }
    }
    return 0;
}

void FreeResTypes(tgRESTYPE *types) {
    while (types) {
        tgRESTYPE *next = types->pNext;
        for (uint16_t i = 0; types->pResInfoArray && i < types->wCount; ++i)
            std::free(types->pResInfoArray[i].pResourceName);
        std::free(types->pResInfoArray);
        std::free(types->pResourceType);
        std::free(types);
        types = next;
    }
}

int32_t LoadHeaders(std::FILE *fp, EXEINFO *info) {
    uint8_t header[kHeaderBytes];
    if (!ReadAt(fp, 0, header, sizeof header)) return kExeShortRead;
    DecodeOldHeader(header, &info->OldHdr);
    if (info->OldHdr.wFileSignature != kMzSignature) return kExeBadSignature;
    if (!IsNewFormat(fp, info->OldHdr)) return 0;  // plain MZ: no resources

    uint64_t neStart = info->OldHdr.lNewExeOffset;
    if (!ReadAt(fp, neStart, header, sizeof header)) return kExeShortRead;
    DecodeNewHeader(header, &info->NewHdr);
    if (info->NewHdr.wNewSignature != kNeSignature) return kExeBadSignature;

    // An empty entry table is accepted: a font resource file has no code.
    if (uint16_t size = info->NewHdr.wEntrySize) {
        info->pEntryTable = static_cast<uint8_t *>(ClrMalloc(size));
        if (!info->pEntryTable) return kExeNoMemory;
        if (!ReadAt(fp, neStart + info->NewHdr.wEntryOffset, info->pEntryTable, size))
            return kExeShortRead;
    }
    if (info->NewHdr.bExeType == kExeTypeWindows) return ReadResourceTable(fp, info);
    return 0;
}

}  // namespace

void *ClrMalloc(size_t bytes) { return std::calloc(1, bytes ? bytes : 1); }

int32_t LoadExeInfo(const char *lpFile, EXEINFO **lppExeInfo) {
    *lppExeInfo = nullptr;
    EXEINFO *info = static_cast<EXEINFO *>(ClrMalloc(sizeof(EXEINFO)));
    if (!info) return kExeNoMemory;
    std::FILE *fp = lpFile ? std::fopen(lpFile, "rb") : nullptr;
    if (!fp) {
        FreeExeInfoMemory(info);
        return kExeCannotOpen;
    }
    info->pFilename = CopyString(lpFile);
    int32_t rc = info->pFilename ? LoadHeaders(fp, info) : kExeNoMemory;
    std::fclose(fp);
    if (rc < 0) {
        FreeExeInfoMemory(info);
        return rc;
    }
    *lppExeInfo = info;
    return 0;
}

int32_t ReadResourceTable(std::FILE *fp, EXEINFO *pExeInfo) {
    const NEWEXE &ne = pExeInfo->NewHdr;
    if (ne.wResourceOffset == ne.wResOffset) return 0;
    uint64_t table = uint64_t(pExeInfo->OldHdr.lNewExeOffset) + ne.wResourceOffset;
    uint8_t shift[2];
    if (!ReadAt(fp, table, shift, sizeof shift)) return kExeShortRead;
    pExeInfo->wShiftCount = uint16_t(shift[0] | (shift[1] << 8));

    // Types are appended in file order; the list ends at type 0, and a list
    // without its terminator ends in a short read at the end of the file.
    tgRESTYPE **tail = &pExeInfo->pResTable;
    uint64_t offset = table + sizeof shift;
    for (;;) {
        tgRESTYPE *type = nullptr;
        int32_t rc = ReadTypeRecord(fp, &offset, &type);
        if (type) {
            *tail = type;
            tail = &type->pNext;
        }
        if (rc < 0) return rc;
        if (!type) break;
    }
    return ResolveNames(fp, table, pExeInfo->pResTable);
}

void FreeExeInfoMemory(EXEINFO *pExeInfo) {
    if (!pExeInfo) return;
    std::free(pExeInfo->pFilename);
    std::free(pExeInfo->pEntryTable);
    std::free(pExeInfo->pSegTable);
    FreeResTypes(pExeInfo->pResTable);
    std::free(pExeInfo);
}

bool ReadResourceBytes(const EXEINFO *pExeInfo, const RESINFO2 *pRes,
                       std::vector<uint8_t> *bytes) {
    if (!pExeInfo || !pRes || !pExeInfo->pFilename || pExeInfo->wShiftCount > kMaxShift)
        return false;
    uint64_t offset = uint64_t(pRes->wOffset) << pExeInfo->wShiftCount;
    uint64_t length = uint64_t(pRes->wLength) << pExeInfo->wShiftCount;
    std::FILE *fp = std::fopen(pExeInfo->pFilename, "rb");
    if (!fp) return false;
    int64_t size = FileLength(fp);
    bool ok = size >= 0 && offset <= uint64_t(size) && length <= uint64_t(size) - offset;
    bytes->assign(size_t(ok ? length : 0), 0);
    if (ok && length > 0) ok = ReadAt(fp, offset, bytes->data(), bytes->size());
    std::fclose(fp);
    return ok;
}

}  // namespace kelmor
