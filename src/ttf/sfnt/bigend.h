// Big-endian field records and byte-order conversion.
//
// Records that mirror the font file keep its byte order; each field is
// converted where it is used.  Every record here has exactly the layout of
// its bytes in the file and an alignment of at most 2.
#ifndef KELMOR_TTF_SFNT_BIGEND_H
#define KELMOR_TTF_SFNT_BIGEND_H

#include <cstdint>
#include <cstring>

#include "common/bytes.h"
#include "ttf/records/ttf_records.h"

namespace kelmor {


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

}  // namespace kelmor

#endif
