// Big-endian field records and byte-order conversion.
//
// Records that mirror the font file keep its byte order; each field is
// converted where it is used.  Every record here has exactly the layout of
// its bytes in the file and an alignment of at most 2.
#ifndef KELMOR_TTF_BIGEND_H
#define KELMOR_TTF_BIGEND_H

#include <cstdint>

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
uint32_t ui32ToULong(const uint32 *p);
uint32_t ui16ToUint(uint16 v);
int32_t i16ToInt(int16 v);

// Reading big-endian values straight from a byte buffer (no alignment needed).
inline uint32_t ReadBE16(const uint8_t *p) { return (uint32_t(p[0]) << 8) | p[1]; }
inline uint32_t ReadBE32(const uint8_t *p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

}  // namespace kelmor

#endif
