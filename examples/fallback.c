/*
 * fallback.c - draws a character with the first of several fonts that has it.
 *
 *   fallback HEX FONT.ttf [FONT.ttf ...]
 *
 * A host showing mixed text (Japanese with Korean, say) keeps a list of
 * fonts and asks each in turn: GetGlyphIndex answers 0 for a character the
 * font lacks, where GetBitmap would draw the font's missing-glyph box.  A
 * font that cannot be opened is skipped with GetLastFontError's reason.
 * Prints the glyph as rows of '#' and '.' and which font drew it; exit code
 * 0 when one did, 1 when none has the character, 2 for a bad command line.
 */
#include <stdio.h>
#include <stdlib.h>

#include <kelmor.h>

static void PrintGlyph(const unsigned char *bits, int width, int height) {
    int rowBytes = (width + 15) / 16 * 2, x, y;
    for (y = 0; y < height; ++y) {
        for (x = 0; x < width; ++x)
            putchar(bits[y * rowBytes + x / 8] & (0x80 >> (x % 8)) ? '.' : '#'); /* ink 0 */
        putchar('\n');
    }
}

/* The font's glyph for the code point, drawn at 16 pixels per em; 0 when the
 * font does not have it (or cannot be used). */
static int DrawIfPresent(const char *path, uint32_t codePoint) {
    int width = 0, height = 0;
    const unsigned char *bits;
    int32_t glyph;
    int32_t font = OpenTTFont(path);
    if (font == 0) {
        fprintf(stderr, "skipping %s: %s\n", path, GetFontErrorText(GetLastFontError()));
        return 0;
    }
    SetEncoding(font, KELMOR_CHARSET_UNICODE);
    glyph = GetGlyphIndex(font, (const char *)&codePoint);
    if (glyph <= 0) {
        fprintf(stderr, "%s: %s\n", path, GetFontErrorText(GetLastFontError()));
        CloseTTFont(font);
        return 0;
    }
    SetPointSize(font, 16, 72);
    bits = GetBitmap(font, (const char *)&codePoint, &width, &height, 0);
    if (bits != NULL) {
        PrintGlyph(bits, width, height);
        printf("U+%04lX is glyph %ld of %s\n", (unsigned long)codePoint, (long)glyph, path);
    }
    CloseTTFont(font); /* the bitmap belongs to the font: print it first */
    return bits != NULL;
}

int main(int argc, char **argv) {
    uint32_t codePoint;
    int i;
    if (argc < 3) {
        fprintf(stderr, "usage: %s HEX FONT.ttf [FONT.ttf ...]\n", argv[0]);
        return 2;
    }
    codePoint = (uint32_t)strtoul(argv[1], NULL, 16);
    for (i = 2; i < argc; ++i)
        if (DrawIfPresent(argv[i], codePoint)) return 0;
    fprintf(stderr, "no font has U+%04lX\n", (unsigned long)codePoint);
    return 1;
}
