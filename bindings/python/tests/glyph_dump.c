/*
 * glyph_dump.c - the C API's view of glyphs, for comparing the binding with.
 *
 *   glyph_dump FONT PIXELS CHARSET OPTIONS FLAGS HEX...
 *
 * For each code: a line "WIDTH HEIGHT ORIGIN_X ORIGIN_Y ADVANCE INDEX", then
 * HEIGHT rows of 0/1 (1 = ink).  Codes of the double-byte character sets go
 * as two bytes, lead byte first; the others as 32-bit integers.
 */
#include <stdio.h>
#include <stdlib.h>

#include <kelmor.h>

int main(int argc, char **argv) {
    int32_t font;
    int charset, i, x, y;
    if (argc < 7) return 2;
    font = OpenTTFont(argv[1]);
    if (font == 0) return 1;
    charset = atoi(argv[3]);
    SetRenderOptions(font, atoi(argv[4]));
    if (SetPointSize(font, atoi(argv[2]), 72) == 0) return 1;
    SetEncoding(font, charset);
    for (i = 6; i < argc; ++i) {
        uint32_t code = (uint32_t)strtoul(argv[i], NULL, 16);
        char pair[2];
        const char *ps = (const char *)&code;
        int width = 0, height = 0;
        const unsigned char *bits;
        KelmorGlyphMetrics m;
        int32_t index;
        if (charset == KELMOR_CHARSET_SHIFTJIS || charset == KELMOR_CHARSET_BIG5 ||
            charset == KELMOR_CHARSET_GB2312) {
            pair[0] = (char)(code >> 8);
            pair[1] = (char)code;
            ps = pair;
        }
        index = GetGlyphIndex(font, ps);
        bits = GetBitmap(font, ps, &width, &height, (char)atoi(argv[5]));
        if (bits == NULL) return 1;
        /* print before GetGlyphMetrics draws the glyph again */
        for (y = 0; y < height; ++y) {
            for (x = 0; x < width; ++x)
                putchar(bits[y * ((width + 15) / 16 * 2) + x / 8] & (0x80 >> (x % 8)) ? '0' : '1');
            putchar('\n');
        }
        if (GetGlyphMetrics(font, ps, &m) == 0) return 1;
        printf("%d %d %d %d %d %d\n", width, height, (int)m.iOriginX, (int)m.iOriginY,
               (int)m.iAdvance, (int)index);
    }
    CloseTTFont(font);
    return 0;
}
