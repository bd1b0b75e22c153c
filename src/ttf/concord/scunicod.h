// Concordances: tables loaded from .cob files that give the Unicode value of
// every position of a double-byte code space (Shift-JIS, Big5, GB 2312), and
// the conversions that read them.
//
// A .cob file is a 64-byte header, then the range records, the delta records
// and the items, packed, every integer 32-bit little-endian.  The file's
// length must be exactly what the header's three counts imply.  The ranges
// and deltas are carried for the producer's benefit; conversion reads only
// the items (item i = Unicode value of table index i).
#ifndef KELMOR_TTF_CONCORD_SCUNICOD_H
#define KELMOR_TTF_CONCORD_SCUNICOD_H

#include <cstdint>
#include <memory>

namespace kelmor {

// Layout of the file's header and records.
constexpr uint32_t kConcordHeadSize = 64;
constexpr uint32_t kRangeRecordSize = 18;
constexpr uint32_t kDeltaRecordSize = 12;
constexpr uint32_t kItemSize = 4;
constexpr int kConcordNameSize = 9;  // szFrName, szToName, szModeName (NUL included)

// The four bytes "Conc" read as one little-endian value.
constexpr uint32_t kMagicConc = uint32_t('C') | (uint32_t('o') << 8) |
                                (uint32_t('n') << 16) | (uint32_t('c') << 24);

// Real concordances are well under 100 KB (the largest code space, Big5, has
// fewer than 15000 positions); anything above this is not read at all.
constexpr uint32_t kMaxConcordFileSize = 4u << 20;

// A loaded concordance.  The header fields are decoded from the file image
// into host order.  In the file lpRT, lpDT and lpIT are meaningless 32-bit
// fields; here they are real pointers into the image (null when the count is
// 0), which is why the image is kept beside the header instead of being the
// header itself.
struct ConcordParams {
    uint32_t lMagic = 0;
    int32_t lHeadSize = 0;
    int32_t lTotalSize = 0;  // as written by the producer; not trusted
    uint8_t cFrIOCode = 0;
    char szFrName[kConcordNameSize] = {};
    uint8_t cToIOCode = 0;
    char szToName[kConcordNameSize] = {};
    int32_t iFirstCode = 0;
    int32_t iLastCode = 0;  // highest table index a conversion may read
    int32_t iNumRanges = 0;
    const uint8_t *lpRT = nullptr;  // first range record
    int32_t iNumDeltas = 0;
    const uint8_t *lpDT = nullptr;  // first delta record
    int32_t iNumItems = 0;
    const uint8_t *lpIT = nullptr;  // first item

    std::unique_ptr<uint8_t[]> cData;  // the whole file image, header included
};

// One range record (18 bytes in the file), decoded.
struct RangeTable {
    uint8_t cModeNum;
    char szModeName[kConcordNameSize];
    int32_t iOffset;
    int32_t iLength;
};

// One delta record (12 bytes in the file), decoded.
struct DeltaTable {
    int32_t iFirstCode;
    int32_t iLastCode;
    int32_t iDelta;
};

// Slot numbers of puUniBuffer.
constexpr int kSlotShiftJis = 1;
constexpr int kSlotBig5 = 2;
constexpr int kSlotGB = 3;
constexpr int kSlotGBK = 4;
constexpr int kSlotWansung = 5;
constexpr int kNumConcordSlots = 6;

// The loaded concordances, shared by every font; slot 0 may be loaded but no
// conversion reads it.  A view for inspection on one thread: the
// conversions below take their own reference under a lock, so that loading
// on one thread never frees a concordance another thread is reading.
extern ConcordParams *puUniBuffer[kNumConcordSlots];

// Loads the .cob file into slot iCode (0-5), replacing what the slot held.
// Null when the code is out of range or the file is missing, too large or not
// a valid concordance; the slot then keeps its previous concordance.
ConcordParams *UniBuffer_new(const char *lpszFileName, int iCode);
// Releases the concordance of slot iCode and empties it; other codes are ignored.
void UniBuffer_delete(int iCode);
void UniBuffers_delete();

// Checks the image held in pCP->cData (lLength bytes), decodes its header and
// locates the three arrays.  0 valid; 1 no image; 2 wrong magic; 3 header
// size not 64; 4 length differs from what the counts imply.
int VerifypCP(ConcordParams *pCP, uint32_t lLength);

// Decoders of one record of a verified concordance; i must be below the count.
RangeTable ReadRangeRecord(const ConcordParams *pCP, uint32_t i);
DeltaTable ReadDeltaRecord(const ConcordParams *pCP, uint32_t i);

// Unicode value of the two bytes at ps (lead, trail), or 0 when the slot is
// empty or the bytes do not name a position of the table.
uint32_t ShiftJis2Unicode(const char *ps);
uint32_t Big5_Unicode(const char *ps);
uint32_t GB2Unicode(const char *ps);
uint32_t GBK_Unicode(const char *ps);
uint32_t Wansung_Unicode(const char *ps);

// The single-byte half of a code space, which no concordance holds: a caller
// passes such a character with a zero lead byte, as a font whose own map is
// the code space takes it.  Shift-JIS (slot 1) has ASCII 0x20-0x7E and the
// half-width katakana 0xA1-0xDF (U+FF61-U+FF9F); the others have ASCII.
// 0x5C and 0x7E are the backslash and the tilde, as Windows' code page 932
// (which the Shift-JIS concordance follows) has them, not JIS X 0201's yen
// sign and overline.  0 for control codes and bytes outside these runs.
uint32_t SingleByteUnicode(int iSlot, uint8_t byte);

// A character of the code space of slot iSlot (1-5) as Unicode: a zero lead
// byte names a single-byte character, anything else goes through the slot's
// concordance.  0 when neither has a value for it.
uint32_t DbcsToUnicode(int iSlot, const char *ps);


}  // namespace kelmor

#endif
