// Reader of MZ/NE executable headers and their resource table: what a
// Windows font resource file (.FOT) is made of.  Everything is read from the
// file with explicit offsets and every offset, length, shift and count found
// in it is checked against the file's size before use.
#ifndef KELMOR_TTF_INSTALL_EXEHDR_H
#define KELMOR_TTF_INSTALL_EXEHDR_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace kelmor {

// Results of LoadExeInfo and ReadResourceTable.
constexpr int32_t kExeCannotOpen = -1;
constexpr int32_t kExeBadSignature = -2;
constexpr int32_t kExeShortRead = -3;
constexpr int32_t kExeNoMemory = -4;

constexpr uint16_t kMzSignature = 0x5A4D;  // "MZ"
constexpr uint16_t kNeSignature = 0x454E;  // "NE"
constexpr uint8_t kExeTypeWindows = 2;
constexpr uint16_t kResourceIdIsNumber = 0x8000;

// The old (MZ) header, 64 bytes at offset 0, little-endian.
struct OLDEXE {
    uint16_t wFileSignature;
    uint16_t wLengthMod512;
    uint16_t wLength;
    uint16_t wRelocationTableItems;
    uint16_t wHeaderSize;
    uint16_t wMinAbove;
    uint16_t wDesiredAbove;
    uint16_t wStackDisplacement;
    uint16_t wSP;
    uint16_t wCheckSum;
    uint16_t wIP;
    uint16_t wCodeDisplacement;
    uint16_t wFirstRelocationItem;  // 0x40 or more: a new-format executable
    uint16_t wOverlayNumber;
    uint16_t wReserved[16];
    uint32_t lNewExeOffset;  // where the NE header is
};

// The new (NE) header, 64 bytes at lNewExeOffset.  Table offsets are
// relative to the header itself.
struct NEWEXE {
    uint16_t wNewSignature;
    uint8_t cLinkerVer;
    uint8_t cLinkerRev;
    uint16_t wEntryOffset;
    uint16_t wEntrySize;
    uint32_t lChecksum;
    uint16_t wFlags;
    uint16_t wAutoDataSegment;
    uint16_t wHeapInit;
    uint16_t wStackInit;
    uint16_t wIPInit;
    uint16_t wCSInit;
    uint16_t wSPInit;
    uint16_t wSSInit;
    uint16_t wSegEntries;
    uint16_t wModEntries;
    uint16_t wNonResSize;
    uint16_t wSegOffset;
    uint16_t wResourceOffset;  // the resource table; none when equal to wResOffset
    uint16_t wResOffset;       // the resident-name table
    uint16_t wModOffset;
    uint16_t wImportOffset;
    uint32_t lNonResOffset;
    uint16_t wMoveableEntry;
    uint16_t wAlign;
    uint16_t wResourceSegs;
    uint8_t bExeType;  // 2: Windows, the only kind whose resources are read
    uint8_t bAdditionalFlags;
    uint16_t wFastOffset;
    uint16_t wFastSize;
    uint16_t wReserved;
    uint16_t wExpVersion;  // 0x0300 or more for a resource to be shown
};

struct SEGENTRY {
    uint16_t wSector;
    uint16_t wLength;
    uint16_t wFlags;
    uint16_t wMinAlloc;
};

struct tgNAME {
    tgNAME *pNext;
    uint16_t wOrdinal;
    char *szName;
};

// One resource.  Offset and length count alignment units from the file's
// start; an id with kResourceIdIsNumber set is a number, otherwise the
// offset of its name in the resource table.
struct RESINFO2 {
    uint16_t wOffset;
    uint16_t wLength;
    uint16_t wFlags;
    uint16_t wID;
    char *pResourceName;  // null for a numbered resource
    uint16_t wReserved;
};

// One resource type, with its resources, in file order.
struct tgRESTYPE {
    uint16_t wType;
    uint16_t wCount;
    uint32_t lReserved;
    char *pResourceType;      // null for a numbered type
    RESINFO2 *pResInfoArray;  // wCount records (null when wCount is 0)
    tgRESTYPE *pNext;
};

// One loaded executable; owns everything it points to.
struct EXEINFO {
    char *pFilename;
    OLDEXE OldHdr;
    NEWEXE NewHdr;  // wNewSignature 0 for a plain MZ file
    uint8_t *pEntryTable;
    SEGENTRY *pSegTable;  // not read
    uint16_t wShiftCount;
    tgRESTYPE *pResTable;
    tgNAME *pResidentNames;     // not read
    tgNAME *pImportedNames;     // not read
    tgNAME *pNonResidentNames;  // not read
};

// A zero-filled block, or null.
void *ClrMalloc(size_t bytes);

// Loads the headers and, for a Windows NE file, the resource table.  0 and
// *lppExeInfo set, or one of the negative kExe... codes with *lppExeInfo
// null.
int32_t LoadExeInfo(const char *lpFile, EXEINFO **lppExeInfo);
// Reads the resource table of an open file into pExeInfo->pResTable: 0, or
// kExeShortRead / kExeNoMemory (the caller releases what was built).
int32_t ReadResourceTable(std::FILE *fp, EXEINFO *pExeInfo);
void FreeExeInfoMemory(EXEINFO *pExeInfo);

// The bytes of one resource: offset and length scaled by the alignment
// shift.  False when the shift is 16 or more (no 16-bit executable aligns
// that coarsely) or the resource does not lie within the file.
bool ReadResourceBytes(const EXEINFO *pExeInfo, const RESINFO2 *pRes,
                       std::vector<uint8_t> *bytes);

// A numbered type or resource id (without its number flag), or -1 for a
// named one.
inline int32_t ResourceNumber(uint16_t id) {
    return (id & kResourceIdIsNumber) ? int32_t(id & 0x7FFF) : -1;
}

}  // namespace kelmor

#endif
