// Big-endian field records and byte-order conversion.
//
// Records that mirror the font file keep its byte order; each field is
// converted where it is used.  Every record here has exactly the layout of
// its bytes in the file and an alignment of at most 2.
#ifndef KELMOR_TTF_BIGEND_H
#define KELMOR_TTF_BIGEND_H

#include <cstdint>
#include <cstring>

namespace kelmor {

struct uint16 {
    uint16_t BE;  // two bytes in file order
};
struct int16 {
    uint16_t BE;
};
struct uint32 {
    uint16_t BElo;  // first two bytes in the file: the high half of the value
    uint16_t BEhi;  // last two bytes
};
struct Fixed {
    int16 Integer;
    uint16 Fract;
};

static_assert(sizeof(uint16) == 2 && sizeof(int16) == 2, "uint16/int16 are 2 bytes");
static_assert(sizeof(uint32) == 4 && sizeof(Fixed) == 4, "uint32/Fixed are 4 bytes");

uint16_t Rev16(uint16_t src);
// A field that still holds the file's bytes, as a host-order value.
uint16_t HostOrder16(uint16_t rawField);
uint32_t HostOrder32(uint32_t rawField);
uint32_t ui32ToULong(const uint32 *p);
// The 32 bits of a 16.16 number as the file holds them (version fields).
uint32_t FixedToULong(Fixed v);
uint32_t ui16ToUint(uint16 v);
int32_t i16ToInt(int16 v);

// Converts in place a record made only of 16-bit fields that still hold the
// file's bytes.
template <typename Record>
void FieldsToHost16(Record *r) {
    static_assert(sizeof(Record) % 2 == 0, "a record of 16-bit fields");
    uint16_t words[sizeof(Record) / 2];
    std::memcpy(words, r, sizeof words);
    for (uint16_t &w : words) w = HostOrder16(w);
    std::memcpy(r, words, sizeof words);
}

// Reading big-endian values straight from a byte buffer (no alignment needed).
inline uint32_t ReadBE16(const uint8_t *p) { return (uint32_t(p[0]) << 8) | p[1]; }
inline uint32_t ReadBE32(const uint8_t *p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

}  // namespace kelmor

#endif
