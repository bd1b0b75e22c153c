/* The records of Adafruit GFX's gfxfont.h, which `kelmor carray` headers
 * expect to be declared before them. */
#ifndef KELMOR_TESTS_GFXFONT_TYPES_H
#define KELMOR_TESTS_GFXFONT_TYPES_H

#include <stdint.h>

typedef struct {
    uint16_t bitmapOffset;
    uint8_t width, height;
    uint8_t xAdvance;
    int8_t xOffset, yOffset;
} GFXglyph;

typedef struct {
    uint8_t *bitmap;
    GFXglyph *glyph;
    uint16_t first, last;
    uint8_t yAdvance;
} GFXfont;

#endif
