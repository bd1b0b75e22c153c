// Concordance loading and DBCS-to-Unicode conversion.
#include "ttf/concord/scunicod.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "common/bytes.h"
#include "platform/files.h"

namespace kelmor {

ConcordParams *puUniBuffer[kNumConcordSlots] = {};

namespace {

// The slots are shared by every font, and fonts may be used on several
// threads: each slot's concordance is owned here, changed under the lock,
// and a conversion holds its own reference while it reads, so that a
// concordance replaced by another thread is freed only after its last reader
// is done.  puUniBuffer mirrors the owners for callers that inspect them.
std::mutex slotLock;
std::shared_ptr<const ConcordParams> slotOwners[kNumConcordSlots];

std::shared_ptr<const ConcordParams> SlotConcordance(int iCode) {
    std::lock_guard<std::mutex> hold(slotLock);
    return slotOwners[iCode];
}

void ReplaceSlot(int iCode, ConcordParams *pCP) {
    std::lock_guard<std::mutex> hold(slotLock);
    slotOwners[iCode].reset(pCP);
    puUniBuffer[iCode] = pCP;
}

// Header field offsets in the file.
constexpr uint32_t kOffHeadSize = 4;
constexpr uint32_t kOffTotalSize = 8;
constexpr uint32_t kOffFrIOCode = 12;
constexpr uint32_t kOffFrName = 13;
constexpr uint32_t kOffToIOCode = 22;
constexpr uint32_t kOffToName = 23;
constexpr uint32_t kOffFirstCode = 32;
constexpr uint32_t kOffLastCode = 36;
constexpr uint32_t kOffNumRanges = 40;
constexpr uint32_t kOffNumDeltas = 48;
constexpr uint32_t kOffNumItems = 56;

int32_t ReadLE32Signed(const uint8_t *p) { return static_cast<int32_t>(ReadLE32(p)); }

// Copies a fixed-size name field and makes sure it ends in a NUL even when
// the file's does not.
void CopyName(char (&to)[kConcordNameSize], const uint8_t *from) {
    std::memcpy(to, from, kConcordNameSize);
    to[kConcordNameSize - 1] = '\0';
}

void DecodeHeader(ConcordParams *pCP, const uint8_t *image) {
    pCP->lTotalSize = ReadLE32Signed(image + kOffTotalSize);
    pCP->cFrIOCode = image[kOffFrIOCode];
    CopyName(pCP->szFrName, image + kOffFrName);
    pCP->cToIOCode = image[kOffToIOCode];
    CopyName(pCP->szToName, image + kOffToName);
    pCP->iFirstCode = ReadLE32Signed(image + kOffFirstCode);
    pCP->iLastCode = ReadLE32Signed(image + kOffLastCode);
    pCP->iNumRanges = ReadLE32Signed(image + kOffNumRanges);
    pCP->iNumDeltas = ReadLE32Signed(image + kOffNumDeltas);
    pCP->iNumItems = ReadLE32Signed(image + kOffNumItems);
}

// The counts are taken as unsigned and summed in 64 bits, so no count, however
// large or negative, can wrap the total back onto the file's real length.
uint64_t ImpliedLength(const uint8_t *image) {
    return uint64_t(kConcordHeadSize) +
           uint64_t(kRangeRecordSize) * ReadLE32(image + kOffNumRanges) +
           uint64_t(kDeltaRecordSize) * ReadLE32(image + kOffNumDeltas) +
           uint64_t(kItemSize) * ReadLE32(image + kOffNumItems);
}

const uint8_t *ArrayStart(const uint8_t *at, int32_t count) {
    return count == 0 ? nullptr : at;
}

void LocateArrays(ConcordParams *pCP, const uint8_t *image) {
    const uint8_t *ranges = image + kConcordHeadSize;
    const uint8_t *deltas = ranges + kRangeRecordSize * uint32_t(pCP->iNumRanges);
    const uint8_t *items = deltas + kDeltaRecordSize * uint32_t(pCP->iNumDeltas);
    pCP->lpRT = ArrayStart(ranges, pCP->iNumRanges);
    pCP->lpDT = ArrayStart(deltas, pCP->iNumDeltas);
    pCP->lpIT = ArrayStart(items, pCP->iNumItems);
}


// Reads up to fileLength + 1 bytes into a new concordance's image: the spare
// byte makes a file that grew since its length was taken read longer than
// its header says, so it fails the check instead of being cut to fit.
ConcordParams *ReadImage(std::FILE *f, size_t fileLength, uint32_t *lpLength) {
    std::unique_ptr<ConcordParams> pCP(new (std::nothrow) ConcordParams);
    if (!pCP) return nullptr;
    pCP->cData.reset(new (std::nothrow) uint8_t[fileLength + 1]);
    if (!pCP->cData) return nullptr;
    *lpLength = uint32_t(std::fread(pCP->cData.get(), 1, fileLength + 1, f));
    return pCP.release();
}

// Reads the whole file into a new concordance, or null.  The length is capped
// before anything is allocated, and what was actually read is what gets
// verified, so a short read cannot pass for a whole file.
ConcordParams *ReadConcordFile(const char *lpszFileName, uint32_t *lpLength) {
    std::FILE *f = OpenRegularFile(lpszFileName);
    if (!f) return nullptr;
    ConcordParams *pCP = nullptr;
    int64_t fileLength = FileLength(f);
    if (fileLength >= 0 && uint64_t(fileLength) <= kMaxConcordFileSize) {
        pCP = ReadImage(f, size_t(fileLength), lpLength);
    }
    std::fclose(f);
    return pCP;
}

// Item `index` of the slot's concordance, or 0 when the slot is empty or the
// index lies above iLastCode (as unsigned: a negative index is rejected too)
// or beyond the items.
uint32_t ConcordItem(int iCode, int32_t index) {
    const std::shared_ptr<const ConcordParams> held = SlotConcordance(iCode);
    const ConcordParams *pCP = held.get();
    if (!pCP || !pCP->lpIT) return 0;
    uint32_t uIndex = static_cast<uint32_t>(index);
    if (uIndex > static_cast<uint32_t>(pCP->iLastCode)) return 0;
    if (uIndex >= static_cast<uint32_t>(pCP->iNumItems)) return 0;
    return ReadLE32(pCP->lpIT + size_t(uIndex) * kItemSize);
}

uint8_t LeadByte(const char *ps) { return static_cast<uint8_t>(ps[0]); }
uint8_t TrailByte(const char *ps) { return static_cast<uint8_t>(ps[1]); }

}  // namespace

int VerifypCP(ConcordParams *pCP, uint32_t lLength) {
    if (!pCP || !pCP->cData) return 1;
    const uint8_t *image = pCP->cData.get();
    if (lLength < 4 || ReadLE32(image) != kMagicConc) return 2;
    if (lLength < 8 || ReadLE32(image + kOffHeadSize) != kConcordHeadSize) return 3;
    if (lLength < kConcordHeadSize || ImpliedLength(image) != lLength) return 4;
    pCP->lMagic = kMagicConc;
    pCP->lHeadSize = int32_t(kConcordHeadSize);
    DecodeHeader(pCP, image);
    LocateArrays(pCP, image);
    return 0;
}

RangeTable ReadRangeRecord(const ConcordParams *pCP, uint32_t i) {
    const uint8_t *p = pCP->lpRT + size_t(i) * kRangeRecordSize;
    RangeTable r;
    r.cModeNum = p[0];
    CopyName(r.szModeName, p + 1);
    r.iOffset = ReadLE32Signed(p + 10);
    r.iLength = ReadLE32Signed(p + 14);
    return r;
}

DeltaTable ReadDeltaRecord(const ConcordParams *pCP, uint32_t i) {
    const uint8_t *p = pCP->lpDT + size_t(i) * kDeltaRecordSize;
    return DeltaTable{ReadLE32Signed(p), ReadLE32Signed(p + 4), ReadLE32Signed(p + 8)};
}

ConcordParams *UniBuffer_new(const char *lpszFileName, int iCode) {
    if (iCode < 0 || iCode >= kNumConcordSlots) return nullptr;
    uint32_t length = 0;
    ConcordParams *pCP = ReadConcordFile(lpszFileName, &length);
    if (!pCP) return nullptr;
    if (VerifypCP(pCP, length) != 0) {
        delete pCP;
        return nullptr;
    }
    ReplaceSlot(iCode, pCP);
    return pCP;
}

void UniBuffer_delete(int iCode) {
    if (iCode < 0 || iCode >= kNumConcordSlots) return;
    ReplaceSlot(iCode, nullptr);
}

void UniBuffers_delete() {
    for (int iCode = 0; iCode < kNumConcordSlots; ++iCode) UniBuffer_delete(iCode);
}

// Shift-JIS: 192 positions per lead byte (trail 0x40-0xFF); leads 0x81-0x9F
// are rows 0-30 and leads from 0xE0 rows 31 on.  Leads 0xA0-0xC0 (single-byte
// katakana territory) give a negative row and so no character.  A trail below
// 0x40 would otherwise reach back into the previous row and return another
// character, so it is refused.
uint32_t ShiftJis2Unicode(const char *ps) {
    int32_t lead = LeadByte(ps);
    int32_t trail = TrailByte(ps);
    if (trail < 0x40) return 0;
    int32_t row = lead < 0xA0 ? lead - 0x81 : lead - 0xC1;
    return ConcordItem(kSlotShiftJis, row * 192 + (trail - 0x40));
}

// Big5: 157 positions per lead byte from 0xA1; trail 0x40-0x7E at 0-62 and
// 0xA1-0xFE at 63-156.  Trails between the two runs, and 0xFF, would land on
// positions that belong to other trail bytes, so they are refused.
uint32_t Big5_Unicode(const char *ps) {
    int32_t lead = LeadByte(ps);
    int32_t trail = TrailByte(ps);
    if (lead < 0xA1 || trail < 0x40 || (trail > 0x7E && trail < 0xA1) || trail > 0xFE) return 0;
    int32_t column = trail < 0xA1 ? trail - 0x40 : trail - 0x62;
    return ConcordItem(kSlotBig5, (lead - 0xA1) * 157 + column);
}

// GB 2312 (EUC-CN bytes): 94 positions per lead byte from 0xA1, trail
// 0xA1-0xFE.  A trail of 0xFF would land on the next row's first position.
uint32_t GB2Unicode(const char *ps) {
    int32_t lead = LeadByte(ps);
    int32_t trail = TrailByte(ps);
    if (lead < 0xA1 || trail < 0xA1 || trail > 0xFE) return 0;
    return ConcordItem(kSlotGB, (lead - 0xA1) * 94 + (trail - 0xA1));
}

// GBK (code page 936): 190 positions per lead byte from 0x81 to 0xFE; trail
// 0x40-0x7E at 0-62 and 0x80-0xFE at 63-189.  0x7F and 0xFF are no trail
// bytes and would land on a neighbour's position.  GB 2312's codes keep
// their characters: GBK is its superset.
uint32_t GBK_Unicode(const char *ps) {
    int32_t lead = LeadByte(ps);
    int32_t trail = TrailByte(ps);
    if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail == 0x7F || trail > 0xFE) return 0;
    int32_t column = trail < 0x7F ? trail - 0x40 : trail - 0x41;
    return ConcordItem(kSlotGBK, (lead - 0x81) * 190 + column);
}

// Wansung as code page 949 writes it (EUC-KR's KS X 1001 codes and the
// Unified Hangul Code's extra syllables): 190 positions per lead byte from
// 0x81 to 0xFE, trail 0x41-0xFE at 0-189.  Trails in the gaps (0x5B-0x60,
// 0x7B-0x80) hold no character in the table.
uint32_t Wansung_Unicode(const char *ps) {
    int32_t lead = LeadByte(ps);
    int32_t trail = TrailByte(ps);
    if (lead < 0x81 || lead > 0xFE || trail < 0x41 || trail > 0xFE) return 0;
    return ConcordItem(kSlotWansung, (lead - 0x81) * 190 + (trail - 0x41));
}

uint32_t SingleByteUnicode(int iSlot, uint8_t byte) {
    if (byte >= 0x20 && byte <= 0x7E) return byte;
    if (iSlot == kSlotShiftJis && byte >= 0xA1 && byte <= 0xDF) return 0xFF61u + (byte - 0xA1u);
    return 0;
}

uint32_t DbcsToUnicode(int iSlot, const char *ps) {
    if (LeadByte(ps) == 0) return SingleByteUnicode(iSlot, uint8_t(TrailByte(ps)));
    switch (iSlot) {
        case kSlotShiftJis: return ShiftJis2Unicode(ps);
        case kSlotBig5: return Big5_Unicode(ps);
        case kSlotGB: return GB2Unicode(ps);
        case kSlotGBK: return GBK_Unicode(ps);
        case kSlotWansung: return Wansung_Unicode(ps);
        default: return 0;
    }
}

}  // namespace kelmor
