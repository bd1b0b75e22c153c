// Reading numbers out of bytes that came from a file: big-endian (sfnt) and
// little-endian (MZ/NE executables, concordance files) values at a pointer,
// and one cursor that walks a buffer of known length and fails softly.
#ifndef KELMOR_COMMON_BYTES_H
#define KELMOR_COMMON_BYTES_H

#include <cstddef>
#include <cstdint>

namespace kelmor {

// Values at p, no alignment needed.  The caller has checked that the bytes
// are there; ByteCursor is for reads that must check as they go.
inline uint32_t ReadBE16(const uint8_t *p) { return (uint32_t(p[0]) << 8) | p[1]; }
inline uint32_t ReadBE32(const uint8_t *p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline uint32_t ReadLE16(const uint8_t *p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }
inline uint32_t ReadLE32(const uint8_t *p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
           (uint32_t(p[3]) << 24);
}

// Takes values one after the other from `length` bytes.  A read past the
// end yields 0 and marks the cursor failed, and every later read fails too,
// so a parser checks ok() once per record instead of once per field.
class ByteCursor {
public:
    ByteCursor(const uint8_t *data, size_t length) : pos_(data), end_(data + length) {}

    bool ok() const { return ok_; }
    size_t remaining() const { return size_t(end_ - pos_); }

    uint32_t U8() { return Take(1) ? pos_[-1] : 0; }
    int32_t I8() { return int8_t(U8()); }
    uint32_t U16() { return Take(2) ? ReadBE16(pos_ - 2) : 0; }
    int32_t I16() { return int16_t(U16()); }
    uint32_t U32() { return Take(4) ? ReadBE32(pos_ - 4) : 0; }
    uint32_t LE16() { return Take(2) ? ReadLE16(pos_ - 2) : 0; }
    uint32_t LE32() { return Take(4) ? ReadLE32(pos_ - 4) : 0; }
    // The next `n` bytes, or null when fewer remain.
    const uint8_t *Bytes(size_t n) { return Take(n) ? pos_ - n : nullptr; }

private:
    bool Take(size_t n) {
        if (!ok_ || remaining() < n) {
            ok_ = false;
            return false;
        }
        pos_ += n;
        return true;
    }

    const uint8_t *pos_;
    const uint8_t *end_;
    bool ok_ = true;
};

}  // namespace kelmor

#endif
