// Byte-order conversion of the file's big-endian fields on any host.
#include "ttf/sfnt/bigend.h"

#include <cstring>

namespace kelmor {

uint16_t Rev16(uint16_t src) { return uint16_t((src >> 8) | (src << 8)); }

// A record field holds the file's bytes unchanged; read them back as bytes so
// the result does not depend on the host's byte order.
uint16_t HostOrder16(uint16_t rawField) {
    uint8_t b[2];
    std::memcpy(b, &rawField, 2);
    return uint16_t(ReadBE16(b));
}

uint32_t HostOrder32(uint32_t rawField) {
    uint8_t b[4];
    std::memcpy(b, &rawField, 4);
    return ReadBE32(b);
}

uint32_t ui32ToULong(const uint32 *p) {
    return (uint32_t(HostOrder16(p->BElo)) << 16) | HostOrder16(p->BEhi);
}

uint32_t FixedToULong(Fixed v) {
    return (uint32_t(HostOrder16(v.Integer.BE)) << 16) | HostOrder16(v.Fract.BE);
}

uint32_t ui16ToUint(uint16 v) { return HostOrder16(v.BE); }

int32_t i16ToInt(int16 v) { return int16_t(HostOrder16(v.BE)); }

}  // namespace kelmor
