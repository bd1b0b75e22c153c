// Embedded bitmap tables made to cost: for the tests and the benchmark that
// show one glyph of them stays cheap.
#ifndef KELMOR_TESTS_HOSTILE_STRIKES_H
#define KELMOR_TESTS_HOSTILE_STRIKES_H

#include <cstdint>

#include "embedded_bitmap_builder.h"

namespace kelmor_test {

// A 1-bit strike of `ppem` whose glyph 1 is a composite (image format 9)
// of `components` copies of glyph 2, a 4 x 4 ring.  The strike lists
// `records` index records out of glyph order: junk ones for glyph 3, then
// glyph 1's and, last, glyph 2's, so that a reader walking the list looks
// every component up through all of it.
EmbeddedTables HostileStrike(uint32_t records, uint16_t components, uint8_t ppem = 16);

}  // namespace kelmor_test

#endif
