/* Decodes every glyph of a header written by `kelmor carray` back into
 * pixels, the way Adafruit GFX's drawChar walks the bits: prints one line
 * per glyph record, "code width height xAdvance xOffset yOffset", then its
 * rows as '#' and '.'.  Built with -DFONT_HEADER="file.h" -DFONT=name. */
#include <stdint.h>
#include <stdio.h>

#include "gfxfont_types.h"

#include FONT_HEADER

int main(void) {
    const GFXfont *font = &FONT;
    unsigned code;
    printf("%u %u %u\n", (unsigned)font->first, (unsigned)font->last, (unsigned)font->yAdvance);
    for (code = font->first; code <= font->last; ++code) {
        const GFXglyph *g = &font->glyph[code - font->first];
        const uint8_t *bits = font->bitmap + g->bitmapOffset;
        unsigned bit = 0, x, y;
        printf("%u %u %u %u %d %d\n", code, g->width, g->height, g->xAdvance, g->xOffset,
               g->yOffset);
        for (y = 0; y < g->height; ++y) {
            for (x = 0; x < g->width; ++x, ++bit)
                putchar(bits[bit / 8] & (0x80 >> (bit % 8)) ? '#' : '.');
            putchar('\n');
        }
    }
    return 0;
}
