// Byte-order conversion of the file's big-endian fields on any host.
#include "ttf/bigend.h"

#include <cstring>

namespace kelmor {

uint16_t Rev16(uint16_t src) { return uint16_t((src >> 8) | (src << 8)); }

// A record field holds the file's bytes unchanged; read them back as bytes so
// the result does not depend on the host's byte order.
static uint32_t FieldBytesBE16(uint16_t field) {
    uint8_t b[2];
    std::memcpy(b, &field, 2);
    return ReadBE16(b);
}

uint32_t ui32ToULong(const uint32 *p) {
    return (FieldBytesBE16(p->BElo) << 16) | FieldBytesBE16(p->BEhi);
}

uint32_t ui16ToUint(uint16 v) { return FieldBytesBE16(v.BE); }

int32_t i16ToInt(int16 v) { return int16_t(FieldBytesBE16(v.BE)); }

}  // namespace kelmor
