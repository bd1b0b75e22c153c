// Bounded reads of the CFF table, its INDEXes and its DICTs.
#include "ttf/cff/cff_table.h"

#include "common/bytes.h"
#include "ttf/sfnt/ttf_read.h"

namespace kelmor {

namespace cff {

bool TableSource::Read(uint32_t at, void *dst, uint32_t count) const {
    if (!SpanInside(at, count, length)) return false;
    return ReadFileAt(pF, base + at, dst, count) == count;
}

bool TableSource::U8(uint32_t at, uint32_t *v) const {
    uint8_t b;
    if (!Read(at, &b, 1)) return false;
    *v = b;
    return true;
}

bool TableSource::U16(uint32_t at, uint32_t *v) const {
    uint8_t b[2];
    if (!Read(at, b, 2)) return false;
    *v = ReadBE16(b);
    return true;
}

bool TableSource::Offset(uint32_t at, uint32_t size, uint32_t *v) const {
    uint8_t b[4];
    if (size < 1 || size > 4 || !Read(at, b, size)) return false;
    uint32_t value = 0;
    for (uint32_t i = 0; i < size; ++i) value = (value << 8) | b[i];
    *v = value;
    return true;
}

bool ReadIndex(const TableSource &src, uint32_t at, Index *index) {
    *index = Index{};
    uint32_t count = 0;
    if (!src.U16(at, &count)) return false;
    index->count = count;
    if (count == 0) {
        index->end = at + 2;
        return true;
    }
    uint32_t offSize = 0, first = 0, last = 0;
    if (!src.U8(at + 2, &offSize) || offSize < 1 || offSize > 4) return false;
    const uint64_t offsets = uint64_t(at) + 3;
    const uint64_t data = offsets + uint64_t(count + 1) * offSize;
    if (data > src.length) return false;
    if (!src.Offset(uint32_t(offsets), offSize, &first) || first != 1) return false;
    if (!src.Offset(uint32_t(offsets + uint64_t(count) * offSize), offSize, &last) || last < 1)
        return false;
    if (!SpanInside(data, uint64_t(last) - 1, src.length)) return false;
    index->offSize = offSize;
    index->offsets = uint32_t(offsets);
    index->data = uint32_t(data);
    index->dataSize = last - 1;
    index->end = uint32_t(data + last - 1);
    return true;
}

namespace {

// Element i's place in the data from its two offsets (`n` bytes each at
// `offsets`); false when they are out of order or outside the data.
bool ElementFromOffsets(const uint8_t *offsets, const Index &index, uint32_t *from,
                        uint32_t *size) {
    const uint32_t n = index.offSize;
    uint32_t a = 0, b = 0;
    for (uint32_t k = 0; k < n; ++k) {
        a = (a << 8) | offsets[k];
        b = (b << 8) | offsets[n + k];
    }
    if (a < 1 || b < a || b - 1 > index.dataSize) return false;
    *from = a - 1;
    *size = b - a;
    return true;
}

}  // namespace

bool IndexElement(const TableSource &src, const Index &index, uint32_t i, uint32_t *at,
                  uint32_t *size) {
    if (i >= index.count) return false;
    uint8_t b[8];
    uint32_t from = 0;
    if (!src.Read(index.offsets + i * index.offSize, b, 2 * index.offSize) ||
        !ElementFromOffsets(b, index, &from, size))
        return false;
    *at = index.data + from;
    return true;
}

bool IndexElementInMemory(const uint8_t *bytes, const Index &index, uint32_t i, uint32_t *at,
                          uint32_t *size) {
    uint32_t from = 0;
    if (i >= index.count || !ElementFromOffsets(bytes + i * index.offSize, index, &from, size))
        return false;
    *at = index.data - index.offsets + from;
    return true;
}

int32_t SubrBias(uint32_t count) {
    if (count < 1240) return 107;
    if (count < 33900) return 1131;
    return 32768;
}

// ------------------------------------------------------------------- DICTs

namespace {

// A real number: nibbles, two to a byte, up to the 0xF nibble.
//   0-9 digits, a '.', b 'E', c 'E-', e '-'; d never appears.
bool ParseReal(ByteCursor &in, double *value) {
    double mantissa = 0, fraction = 1;
    int exponent = 0, exponentSign = 1, digits = 0;
    bool negative = false, inFraction = false, inExponent = false;
    for (;;) {
        const uint32_t byte = in.U8();
        if (!in.ok()) return false;
        const uint32_t nibbles[2] = {byte >> 4, byte & 0xFu};
        for (uint32_t nibble : nibbles) {
            if (nibble <= 9) {
                if (inExponent) {
                    if (exponent < 1000) exponent = exponent * 10 + int(nibble);
                } else if (++digits <= 20) {
                    if (inFraction) fraction /= 10;
                    mantissa = inFraction ? mantissa + nibble * fraction : mantissa * 10 + nibble;
                }
            } else if (nibble == 0xA) {
                inFraction = true;
            } else if (nibble == 0xB || nibble == 0xC) {
                inExponent = true;
                exponentSign = nibble == 0xC ? -1 : 1;
            } else if (nibble == 0xE) {
                negative = true;
            } else if (nibble == 0xF) {
                double v = mantissa;
                for (int e = 0; e < exponent && v != 0 && v < 1e30 && v > 1e-30; ++e)
                    v = exponentSign > 0 ? v * 10 : v / 10;
                *value = negative ? -v : v;
                return true;
            } else {
                return false;
            }
        }
    }
}

// One operand, whose first byte `b0` is already taken; false when the
// encoding is unknown or cut short.
bool ParseOperand(ByteCursor &in, uint32_t b0, double *value) {
    if (b0 >= 32 && b0 <= 246) {
        *value = int32_t(b0) - 139;
    } else if (b0 >= 247 && b0 <= 250) {
        *value = (int32_t(b0) - 247) * 256 + int32_t(in.U8()) + 108;
    } else if (b0 >= 251 && b0 <= 254) {
        *value = -(int32_t(b0) - 251) * 256 - int32_t(in.U8()) - 108;
    } else if (b0 == 28) {
        *value = int16_t(in.U16());
    } else if (b0 == 29) {
        *value = int32_t(in.U32());
    } else if (b0 == 30) {
        return ParseReal(in, value);
    } else {
        return false;
    }
    return in.ok();
}

}  // namespace

bool ParseDict(const TableSource &src, uint32_t at, uint32_t size, DictVisitor &visitor) {
    if (size > kMaxDictBytes) return false;
    uint8_t bytes[kMaxDictBytes];
    if (size > 0 && !src.Read(at, bytes, size)) return false;
    ByteCursor in(bytes, size);
    DictEntry entry{};
    while (in.remaining() > 0) {
        const uint32_t b0 = in.U8();
        if (b0 <= 21) {
            entry.op = int(b0);
            if (b0 == 12) entry.op = kEscapedDictOperator + int(in.U8());
            if (!in.ok()) return false;
            visitor.Entry(entry);
            entry.count = 0;
            continue;
        }
        if (entry.count == kMaxDictOperands) return false;
        if (!ParseOperand(in, b0, &entry.operands[entry.count])) return false;
        ++entry.count;
    }
    return true;
}

}  // namespace cff

}  // namespace kelmor
