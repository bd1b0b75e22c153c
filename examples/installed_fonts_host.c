/*
 * installed_fonts_host: a host of KELMOR's installed-font functions, in C.
 *
 *   installed_fonts_host [FONT.ttf] [OUT.pbm]
 *
 * 1. KelmoRegisterApp loads the library's settings: the installed fonts and
 *    the concordance files that convert Shift-JIS text for Unicode fonts.
 * 2. KelmoAddFontResource installs FONT.ttf, when one is given.
 * 3. KelmoEnumFontFamilies lists the installed fonts.
 * 4. KelmoCreateFontIndirect makes a font from a logical description: the
 *    face name of the last font listed, Shift-JIS text, 24 pixels.
 * 5. GetBitmap renders a line of Japanese, one character after the other,
 *    and the line is written as a PBM image (default: japanese.pbm).
 * 6. KelmoDeleteObject releases the font.
 *
 * The installed fonts live in the library's Kelmor.ini (see kelmor.h).
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "kelmor.h"

/* "日本語のテキスト" in Shift-JIS: eight two-byte characters. */
static const char kLine[] = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67";

struct Listing {
    int count;
    char lastFace[KELMOR_LF_FACESIZE];
};

/* Called once for each installed font; returning non-zero asks for more. */
static int32_t KELMOR_CALL ListFont(const KELMOR_NEWLOGFONT *lpelf,
                                    const KELMOR_NEWTEXTMETRICA *lpntm, uint32_t FontType,
                                    intptr_t lParam) {
    struct Listing *listing = (struct Listing *)lParam;
    printf("installed: %-32s character set %3d%s\n", lpelf->elfLogFont.lfFaceName, lpntm->tmCharSet,
           FontType == KELMOR_TRUETYPE_FONTTYPE ? ", TrueType" : "");
    memcpy(listing->lastFace, lpelf->elfLogFont.lfFaceName, sizeof listing->lastFace);
    listing->count++;
    return 1;
}

/* One rendered line: 1 bits are ink, rows padded to whole bytes (PBM). */
struct Line {
    int width, height, rowBytes;
    unsigned char *bits;
};

/* Copies a glyph bitmap (rows padded to 16 bits, ink 0) into the line at x. */
static long PutGlyph(struct Line *line, int x, const unsigned char *glyph, int width, int height) {
    int glyphRowBytes = (width + 15) / 16 * 2;
    long ink = 0;
    for (int y = 0; y < height && y < line->height; ++y)
        for (int gx = 0; gx < width; ++gx) {
            if (glyph[y * glyphRowBytes + gx / 8] & (0x80 >> (gx % 8))) continue;
            int lx = x + gx;
            line->bits[y * line->rowBytes + lx / 8] |= (unsigned char)(0x80 >> (lx % 8));
            ++ink;
        }
    return ink;
}

static int WritePbm(const char *path, const struct Line *line) {
    FILE *out = fopen(path, "wb");
    if (!out) return 0;
    fprintf(out, "P4\n%d %d\n", line->width, line->height);
    size_t size = (size_t)line->rowBytes * (size_t)line->height;
    int ok = fwrite(line->bits, 1, size, out) == size;
    return fclose(out) == 0 && ok;
}

/* Renders kLine with the font; every character must draw some ink. */
static int RenderLine(int32_t font, const char *path) {
    const int characters = (int)(sizeof kLine - 1) / 2;
    int width = 0, height = 0;
    if (!GetBitmap(font, kLine, &width, &height, 0)) return 0;
    struct Line line = {width * characters, height, (width * characters + 7) / 8, NULL};
    line.bits = calloc((size_t)line.rowBytes * (size_t)height, 1);
    if (!line.bits) return 0;
    int ok = 1;
    for (int i = 0; i < characters && ok; ++i) {
        const unsigned char *glyph = GetBitmap(font, kLine + 2 * i, &width, &height, 0);
        ok = glyph && PutGlyph(&line, i * line.width / characters, glyph, width, height) > 0;
        if (!ok) fprintf(stderr, "character %d did not render\n", i + 1);
    }
    if (ok && !WritePbm(path, &line)) {
        fprintf(stderr, "cannot write %s\n", path);
        ok = 0;
    }
    if (ok) printf("wrote %s (%d x %d pixels)\n", path, line.width, line.height);
    free(line.bits);
    return ok;
}

int main(int argc, char **argv) {
    const char *fontFile = argc > 1 ? argv[1] : NULL;
    const char *output = argc > 2 ? argv[2] : "japanese.pbm";

    KelmoRegisterApp(NULL);
    if (fontFile) KelmoAddFontResource(fontFile); /* success shows in the listing */

    struct Listing listing = {0, ""};
    KelmoEnumFontFamilies(NULL, NULL, ListFont, (intptr_t)&listing);
    if (listing.count == 0) {
        fprintf(stderr, "no installed fonts (give a .ttf file to install one)\n");
        return 1;
    }

    KELMOR_LOGFONTA lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = -24; /* negative: the character height, in pixels */
    lf.lfCharSet = KELMOR_CHARSET_SHIFTJIS;
    memcpy(lf.lfFaceName, listing.lastFace, sizeof lf.lfFaceName);
    int32_t font = KelmoCreateFontIndirect(&lf);
    if (!font) {
        fprintf(stderr, "cannot create a font from \"%s\"\n", lf.lfFaceName);
        return 1;
    }
    int ok = RenderLine(font, output);
    KelmoDeleteObject(font);
    return ok ? 0 : 1;
}
