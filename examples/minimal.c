/*
 * minimal.c - the smallest useful KELMOR host.
 *
 *   minimal FONT.ttf [HEX] [--pbm]
 *
 * Opens a font, sets 16 points at 72 dpi, renders the Unicode character HEX
 * (default 41, 'A') and prints it to stdout: as rows of '#' and '.' with its
 * metrics, or with --pbm as a plain PBM image (ink black).  Exit code 0 when
 * the glyph was rendered, 1 otherwise, 2 for a bad command line.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <kelmor.h>

/* GetBitmap's rows are padded to 16 bits; ink is a 0 bit, leftmost pixel in
 * the most significant bit. */
static int IsInk(const unsigned char *bits, int width, int x, int y) {
    int rowBytes = (width + 15) / 16 * 2;
    return !(bits[y * rowBytes + x / 8] & (0x80 >> (x % 8)));
}

static void PrintText(const unsigned char *bits, int width, int height,
                      const KelmorGlyphMetrics *m) {
    int x, y;
    for (y = 0; y < height; ++y) {
        for (x = 0; x < width; ++x) putchar(IsInk(bits, width, x, y) ? '#' : '.');
        /* the baseline is the top edge of row iOriginY */
        puts(y + 1 == m->iOriginY ? "  <- baseline" : "");
    }
    printf("advance %d px (%d/64), ink %dx%d at column %d, row %d\n", (int)m->iAdvance,
           (int)m->lAdvance, (int)m->iInkWidth, (int)m->iInkHeight, (int)m->iInkLeft,
           (int)m->iInkTop);
}

static void PrintPbm(const unsigned char *bits, int width, int height) {
    int x, y;
    printf("P1\n%d %d\n", width, height);
    for (y = 0; y < height; ++y) {
        for (x = 0; x < width; ++x) putchar(IsInk(bits, width, x, y) ? '1' : '0');
        putchar('\n');
    }
}

int main(int argc, char **argv) {
    const char *path = NULL;
    uint32_t codePoint = 0x41;
    int pbm = 0, i;
    int32_t font;
    int width = 0, height = 0;
    const unsigned char *bits;
    KelmorGlyphMetrics metrics;

    for (i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--pbm") == 0) pbm = 1;
        else if (path == NULL) path = argv[i];
        else codePoint = (uint32_t)strtoul(argv[i], NULL, 16);
    }
    if (path == NULL) {
        fprintf(stderr, "usage: %s FONT.ttf [HEX] [--pbm]\n", argv[0]);
        return 2;
    }

    font = OpenTTFont(path);
    if (font == 0) {
        /* GetLastFontError says why: no such file, not a font, ... */
        fprintf(stderr, "%s: cannot open %s: %s\n", argv[0], path,
                GetFontErrorText(GetLastFontError()));
        return 1;
    }
    /* Codes are 32-bit Unicode code points, for fonts whose map is Unicode. */
    if (SetPointSize(font, 16, 72) == 0 || SetEncoding(font, KELMOR_CHARSET_UNICODE) == 0) {
        fprintf(stderr, "%s: cannot size %s\n", argv[0], path);
        CloseTTFont(font);
        return 1;
    }
    bits = GetBitmap(font, (const char *)&codePoint, &width, &height, 0);
    if (bits == NULL || GetGlyphMetrics(font, (const char *)&codePoint, &metrics) == 0) {
        fprintf(stderr, "%s: %s has no Unicode character map\n", argv[0], path);
        CloseTTFont(font);
        return 1;
    }
    if (pbm) PrintPbm(bits, width, height);
    else PrintText(bits, width, height, &metrics);
    CloseTTFont(font); /* the bitmap belongs to the font: print it first */
    return 0;
}
