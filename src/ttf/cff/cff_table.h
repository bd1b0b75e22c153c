// The CFF table's building blocks: bounded reads of the table through the
// font's read-ahead windows, INDEXes and DICTs.  Shared by the CFF stage's
// own files.
#ifndef KELMOR_TTF_CFF_CFF_TABLE_H
#define KELMOR_TTF_CFF_CFF_TABLE_H

#include <cstddef>
#include <cstdint>

#include "ttf/records/ttf_records.h"

namespace kelmor {

namespace cff {

// The table's bytes, read on demand: every read is held against the table's
// length, so an offset from the table can never reach outside it.
struct TableSource {
    _TTFont *pF;
    uint32_t base;    // the table's offset in the file
    uint32_t length;  // its length

    bool Read(uint32_t at, void *dst, uint32_t count) const;
    bool U8(uint32_t at, uint32_t *v) const;
    bool U16(uint32_t at, uint32_t *v) const;
    // An offset of `size` (1-4) bytes.
    bool Offset(uint32_t at, uint32_t size, uint32_t *v) const;
};

// An INDEX:
//
//   card16   count          (an empty INDEX is these two bytes alone)
//   offSize  offSize        1-4
//   Offset   offset[count + 1]   from the byte before the data; offset[0] is 1
//   uint8    data[]
//
// Only the header is read when the INDEX is found; an element's two offsets
// are read when it is asked for, and checked to lie in order inside the
// data.
struct Index {
    uint32_t count;
    uint32_t offSize;
    uint32_t offsets;  // where offset[0] lies
    uint32_t data;     // where the data starts (offset 1)
    uint32_t dataSize; // offset[count] - 1, checked to lie inside the table
    uint32_t end;      // the first byte after the INDEX
};

// Reads the INDEX at `at`; false when it does not fit in the table.
bool ReadIndex(const TableSource &src, uint32_t at, Index *index);
// Where element `i` lies and how long it is; false for an element past the
// count or with offsets out of order or outside the data.
bool IndexElement(const TableSource &src, const Index &index, uint32_t i, uint32_t *at,
                  uint32_t *size);

// The same from a copy of the INDEX in memory: `bytes` holds it from its
// offset array to its end (index.end - index.offsets bytes); `*at` is then
// an offset into `bytes`.
bool IndexElementInMemory(const uint8_t *bytes, const Index &index, uint32_t i, uint32_t *at,
                          uint32_t *size);

// Subroutine numbers are stored biased so that small encodings reach them.
int32_t SubrBias(uint32_t count);

// ------------------------------------------------------------------- DICTs

// A DICT is operands (numbers) then an operator, repeatedly.  The parser
// keeps the operands of the last operator only; a DICT with more than
// kMaxDictOperands before one operator, a truncated number or an unknown
// number encoding is damaged.
constexpr int kMaxDictOperands = 48;
// Two-byte operators are 12 x; they are numbered 1200 + x here.
constexpr int kEscapedDictOperator = 1200;

struct DictEntry {
    int op;
    int count;                        // operands
    double operands[kMaxDictOperands];
};

// Receives every operator of a DICT with its operands, in order.
class DictVisitor {
public:
    virtual ~DictVisitor() = default;
    virtual void Entry(const DictEntry &entry) = 0;
};
// Visits the DICT of `size` bytes at `at`; false when it is damaged
// (nothing after the damage is visited).  Real DICTs are a few hundred
// bytes; one longer than kMaxDictBytes is damaged too.
constexpr uint32_t kMaxDictBytes = 4096;
bool ParseDict(const TableSource &src, uint32_t at, uint32_t size, DictVisitor &visitor);

}  // namespace cff

}  // namespace kelmor

#endif
