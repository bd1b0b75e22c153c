/*
 * kelmor.h - public C API of the KELMOR TrueType glyph rasterizer.
 *
 * The same header serves kelmor32.dll (32-bit Windows, __stdcall, undecorated
 * export names) and libkelmor.so (Linux).  Every "long" of the library's API
 * is a signed 32-bit integer on both platforms, so it is spelled int32_t here.
 *
 * Character-set codes used by SetEncoding and in the font records:
 *   0 single-byte, 128 Shift-JIS, 129 Wansung (Korean), 134 GB 2312, 136 Big5,
 *   137 Unicode, 241 glyph numbers and 242 GBK (the last three are KELMOR's
 *   own codes).
 *
 * Threads: fonts may be opened and drawn on any thread, and separate handles
 * used on separate threads at once draw exactly what one thread would.  One
 * handle used from two threads at once is the host's to serialise: a handle
 * holds its glyph's bitmap and state from call to call.  The installed-font
 * and settings functions (Kelmo*, the dialogs) share library-wide lists:
 * call them from one thread at a time.
 */
#ifndef KELMOR_H
#define KELMOR_H

#include <stdint.h>

#if defined(_WIN32)
#define KELMOR_CALL __stdcall
#else
#define KELMOR_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
    KELMOR_CHARSET_SINGLEBYTE = 0,
    KELMOR_CHARSET_SHIFTJIS = 128,
    KELMOR_CHARSET_WANSUNG = 129,      /* Korean, EUC-KR or code page 949 bytes */
    KELMOR_CHARSET_GB2312 = 134,
    KELMOR_CHARSET_BIG5 = 136,
    KELMOR_CHARSET_UNICODE = 137,
    /* tmCharSet of an installed Unicode font in KelmoEnumFontFamilies: such a
       font reports its entry's document symbol set, "SC" (240) by default */
    KELMOR_CHARSET_DOCUMENT_DEFAULT = 240,
    KELMOR_CHARSET_GLYPHNUMBER = 241,
    KELMOR_CHARSET_GBK = 242           /* code page 936, GB 2312's superset */
};

/* GetBitmap flag: ask for the vertical form of the glyph. */
#define KELMOR_VERTICAL 2

/*
 * Records of the installed-font functions.  They have exactly the layouts of
 * the Windows ANSI records named beside them, with every LONG a 32-bit
 * integer on both platforms, so that a Windows host may pass its own
 * LOGFONTA and read the callback's records as ENUMLOGFONTA and
 * NEWTEXTMETRICA (a cast is all it takes).  They carry names of their own so
 * that a host can include <windows.h> and this header together.
 */
#define KELMOR_LF_FACESIZE 32
#define KELMOR_LF_FULLFACESIZE 64

/* LOGFONTA: a logical font.  KelmoCreateFontIndirect reads lfHeight,
 * lfCharSet and lfFaceName only. */
typedef struct tagKELMOR_LOGFONTA {
    int32_t lfHeight;
    int32_t lfWidth;
    int32_t lfEscapement;
    int32_t lfOrientation;
    int32_t lfWeight;
    uint8_t lfItalic;
    uint8_t lfUnderline;
    uint8_t lfStrikeOut;
    uint8_t lfCharSet;
    uint8_t lfOutPrecision;
    uint8_t lfClipPrecision;
    uint8_t lfQuality;
    uint8_t lfPitchAndFamily;
    char lfFaceName[KELMOR_LF_FACESIZE];
} KELMOR_LOGFONTA;

/* ENUMLOGFONTA: a LOGFONTA followed by the full name and the style. */
typedef struct tagKELMOR_NEWLOGFONT {
    KELMOR_LOGFONTA elfLogFont;
    char elfFullName[KELMOR_LF_FULLFACESIZE];
    char elfStyle[KELMOR_LF_FACESIZE];
} KELMOR_NEWLOGFONT;

/* NEWTEXTMETRICA. */
typedef struct tagKELMOR_NEWTEXTMETRICA {
    int32_t tmHeight;
    int32_t tmAscent;
    int32_t tmDescent;
    int32_t tmInternalLeading;
    int32_t tmExternalLeading;
    int32_t tmAveCharWidth;
    int32_t tmMaxCharWidth;
    int32_t tmWeight;
    int32_t tmOverhang;
    int32_t tmDigitizedAspectX;
    int32_t tmDigitizedAspectY;
    uint8_t tmFirstChar;
    uint8_t tmLastChar;
    uint8_t tmDefaultChar;
    uint8_t tmBreakChar;
    uint8_t tmItalic;
    uint8_t tmUnderlined;
    uint8_t tmStruckOut;
    uint8_t tmPitchAndFamily;
    uint8_t tmCharSet;
    uint32_t ntmFlags;
    uint32_t ntmSizeEM;
    uint32_t ntmCellHeight;
    uint32_t ntmAvgWidth;
} KELMOR_NEWTEXTMETRICA;

/* The font type KelmoEnumFontFamilies reports (TRUETYPE_FONTTYPE). */
#define KELMOR_TRUETYPE_FONTTYPE 4

/* The enumeration callback, shaped like FONTENUMPROCA: a non-zero result
 * asks for the next font.  lParam is the caller's value, passed through; it
 * is pointer-sized, as LPARAM is (32 bits in kelmor32.dll). */
typedef int32_t(KELMOR_CALL *KELMOR_FONTENUMPROC)(const KELMOR_NEWLOGFONT *lpelf,
                                                  const KELMOR_NEWTEXTMETRICA *lpntm,
                                                  uint32_t FontType, intptr_t lParam);

/* SetRenderOptions bit: draw the plain scaled outline, without running the
 * glyphs' hinting programs. */
#define KELMOR_NO_HINTING 1
/* SetRenderOptions bit: the faithful rendering mode.  Hinting programs run as
 * the TrueType instruction set publishes them, composite glyphs are assembled
 * and hinted as TrueType does, curves are flattened at full precision and the
 * scan converter applies dropout control (as SCANCTRL and SCANTYPE ask, and
 * simple dropout control for glyphs drawn without hinting).  No ink is
 * clipped: the bitmap covers the glyph's ink, and GetGlyphMetrics gives its
 * origin.  Off by default; "Faithful=1" in section [Rendering] of the
 * library's ini file (Kelmor.ini) turns it on for every font opened after. */
#define KELMOR_FAITHFUL 2
/* SetRenderOptions bit: draw a glyph from the font's embedded bitmaps (the
 * 1-bit strikes of its EBLC/EBDT tables, or bloc/bdat) when a strike has the
 * size asked for (pixels per em rounded to a whole pixel, both ways) and an
 * image of the glyph; every other glyph is drawn from its outline.  The
 * image takes the place the outline would have had: the font box in the
 * classic mode (ink outside it dropped), the image itself in the faithful
 * mode; GetGlyphMetrics gives the image's advance (the vertical advance of
 * the tables in vertical text, which draws the vertical form's image when
 * the strike has one).  Off by default; "EmbeddedBitmaps=1" in section
 * [Rendering] of Kelmor.ini turns it on for every font opened after. */
#define KELMOR_EMBEDDED_BITMAPS 4
/* SetRenderOptions bit (faithful mode): grid-fit every TrueType outline with
 * the auto-hinter, as FreeType's FT_LOAD_FORCE_AUTOHINT does, instead of the
 * font's own programs.  Without it the auto-hinter draws exactly the fonts
 * FreeType's default loading auto-hints: glyf outlines with no font program,
 * no control-value program and maxp's maxSizeOfInstructions 0.  Glyphs come
 * out as FreeType's auto-hinter draws them for a monochrome target (styles
 * from the character map's scripts, blue zones and stems measured from the
 * font's own reference characters).  CFF outlines and embedded strikes are
 * never auto-hinted.  An extension of this library. */
#define KELMOR_FORCE_AUTOHINT 8
/* SetRenderOptions bit (faithful mode): never auto-hint, as FreeType's
 * FT_LOAD_NO_AUTOHINT; fonts without programs are drawn scaled only.  Wins
 * over KELMOR_FORCE_AUTOHINT.  "AutoHint=0" in section [Rendering] of
 * Kelmor.ini sets it for every font opened after.  An extension of this
 * library. */
#define KELMOR_NO_AUTOHINT 16

/* What GetGlyphMetrics tells a host about one glyph at the current size.
 * Positions are pixels inside the bitmap GetBitmap returns for the glyph
 * (column 0 is the leftmost pixel, row 0 the top row). */
typedef struct KelmorGlyphMetrics {
    int32_t iAdvance;    /* advance in whole pixels (lAdvance rounded) */
    int32_t lAdvance;    /* advance in 1/64 pixel, scaled like the outline */
    int32_t iOriginX;    /* the glyph origin lies on the left edge of this column */
    int32_t iOriginY;    /* ... and on the top edge of this row (the baseline) */
    int32_t iInkLeft;    /* the tight box of the ink pixels; all four 0 for */
    int32_t iInkTop;     /* a glyph without ink (a space) */
    int32_t iInkWidth;
    int32_t iInkHeight;
} KelmorGlyphMetrics;

/* 1 OpenTTFont: opens a .ttf file; returns a font handle, 0 on failure. */
int32_t KELMOR_CALL OpenTTFont(const char *lpszFileName);
/* 2 CloseTTFont: releases the font; always 0. */
int32_t KELMOR_CALL CloseTTFont(int32_t lHandle);
/* 3 SetDebugLevel: bit 1 errors, bit 4 cmap listing, bit 8 name listing,
 *   appended to lpszFileName; non-zero when a log is open afterwards. */
int32_t KELMOR_CALL SetDebugLevel(const char *lpszFileName, int iLevel);
/* 4 GetFontInfo: reserved; always 0. */
int32_t KELMOR_CALL GetFontInfo(int32_t lHandle);
/* 5 SetPointSize: 1 on success, 0 on failure. */
int32_t KELMOR_CALL SetPointSize(int32_t lHandle, int PointSize, int Resolution);
/* 6 GetBitmap: renders the character at ps.  Returns the glyph bitmap owned by
 *   the font (rows top to bottom, each padded to 16 bits, most significant bit
 *   leftmost, ink 0, background 1) and writes its width and height, or returns
 *   null and leaves the out-parameters alone.  cDIB & KELMOR_VERTICAL asks for
 *   the vertical form. */
unsigned char *KELMOR_CALL GetBitmap(int32_t lHandle, const char *ps, int *lpHpixels,
                                     int *lpVpixels, char cDIB);
/* 7 SetEncoding: the character set of the codes passed to GetBitmap.
 *   With KELMOR_CHARSET_UNICODE on a font whose character map is Unicode,
 *   ps points to the code point as a 32-bit integer in host order.  With
 *   Shift-JIS, GB or Big5, ps points to the lead and trail bytes; a single-byte
 *   character comes with a zero lead byte (00 41 for 'A') and reaches a
 *   Unicode font's own map without a concordance (Shift-JIS A1-DF: half-width
 *   katakana U+FF61-U+FF9F).  A double-byte set reaches a Unicode font through
 *   its concordance file, whose path the library knows only after
 *   KelmoRegisterApp: call that once before; without it SetEncoding returns 0
 *   with KELMOR_ERROR_NO_CONCORDANCE, and every code of the set then draws
 *   glyph 0.  Returns csDesired, 0 when it failed (GetLastFontError says why). */
int32_t KELMOR_CALL SetEncoding(int32_t lHandle, int csDesired);
/*
 * The installed double-byte fonts: entries of section "Installed DBCS Fonts"
 * of the library's ini file (see KelmoRegisterApp).  Installing writes an
 * entry and nothing else; a created font is a font handle as OpenTTFont's.
 */
/* 8 KelmoEnumFontFamilies: calls fntenmprc for every installed font whose
 *   name equals lpszFamily ignoring case (every font when it is null), in
 *   list order, until the callback returns 0.  Returns the last callback
 *   result, 0 when it was never called.  hdc is not used. */
int32_t KELMOR_CALL KelmoEnumFontFamilies(void *hdc, const char *lpszFamily,
                                          KELMOR_FONTENUMPROC fntenmprc, intptr_t lParam);
/* Why KelmoAddFontResource or KelmoAssociateBitmap could not write the ini
 * file (they return 0 when it was written or there was nothing to write). */
#define KELMOR_WRITE_UNSTORABLE (-1) /* a name or path the ini file cannot hold
                                        (a line break, '=' in the font's name) */
#define KELMOR_WRITE_DENIED (-2)     /* no permission, a read-only file or disk */
#define KELMOR_WRITE_NO_SPACE (-3)   /* the disk or a quota is full, file too large */
#define KELMOR_WRITE_FAILED (-4)     /* another error, or no ini file is known */
/* 9 KelmoAddFontResource: installs the .ttf file under its full name: adds
 *   the entry and writes its key to the ini file (other entries are left as
 *   the file holds them).  0 when written, and for a file that is no font or
 *   has no full name (nothing is installed); a KELMOR_WRITE_ code when the
 *   entry could not be written (it is then not installed). */
int32_t KELMOR_CALL KelmoAddFontResource(const char *lpszFilename);
/* 10 KelmoAssociateBitmap: records lpszFilename as the bitmap font for
 *   iResolution in section "Bitmap for <full name of the font>".  0, or a
 *   KELMOR_WRITE_ code when it could not be written; iMaxResolution is not
 *   used. */
int32_t KELMOR_CALL KelmoAssociateBitmap(int32_t lHandle, int iMaxResolution, int iResolution,
                                         const char *lpszFilename);
/* 11 KelmoRemoveFontResource: does nothing; always 0. */
int32_t KELMOR_CALL KelmoRemoveFontResource(const char *lpszFilename);
/* 13 KelmoCreateFontIndirect: opens the installed font named lfFaceName
 *   (preferring the entry whose font symbol set is lfCharSet), sized
 *   |lfHeight| pixels (0: 24), taking text in lfCharSet.  Returns a font
 *   handle, 0 on failure. */
int32_t KELMOR_CALL KelmoCreateFontIndirect(const KELMOR_LOGFONTA *lplf);
/* 14 KelmoDeleteObject: closes a font as CloseTTFont does; returns its result. */
int32_t KELMOR_CALL KelmoDeleteObject(int32_t lHandle);
/* 12 KelmoInstallDialog: lets the user add, edit and delete installed fonts
 *   in a modal dialog owned by the active window; always 0.  Linux has no
 *   such dialog: there it returns 0 at once (the tool's "kelmor fonts"
 *   manages the list). */
int32_t KELMOR_CALL KelmoInstallDialog(void);
/* 15 KelmoRegisterApp: reloads the settings (ini file, installed fonts,
 *   concordance paths, help file); returns the library's own module handle.
 *   hInst is not used.  The ini file is "Kelmor.ini" beside the library
 *   unless the user profile names another one: key "IniPath" of section
 *   "Kelmor Type Font Interface 1.0" in win.ini on Windows; on Linux in the
 *   file $KELMOR_PROFILE, else $XDG_CONFIG_HOME/kelmor/profile.ini, else
 *   $HOME/.config/kelmor/profile.ini. */
void *KELMOR_CALL KelmoRegisterApp(void *hInst);
#if !defined(_WIN32)
/* Linux only: the library's message boxes (shown when reading Windows font
 *   resource files and by the install dialogs) go to this function, which
 *   returns the button chosen with the Windows values (1 OK, 2 Cancel, 6 Yes,
 *   7 No).  uType holds the Windows MB_ button set and default-button flags.
 *   Without one, the text is printed to standard error and the default button
 *   is the answer.  Returns the function it replaces (null: that default);
 *   null restores the default.  Not an export of kelmor32.dll, whose boxes
 *   are the system's. */
typedef int (*KELMOR_MESSAGEBOXPROC)(const char *lpszText, const char *lpszCaption,
                                     unsigned int uType);
KELMOR_MESSAGEBOXPROC KELMOR_CALL KelmoSetMessageBox(KELMOR_MESSAGEBOXPROC lpfnMessageBox);
#endif

/* 16 GetFontNames: copies the first matching name record (-1 = any ID). */
int32_t KELMOR_CALL GetFontNames(int32_t lHandle, int *lpiPlatformID, int *lpiEncodingID,
                                 int *lpiLanguageID, int iNameID, char *lpszBuf, int iSize);
/* 17 EditTTFDlgProc, 18 SelectTTFDlgProc: the dialog procedures of the font
 *   setup dialog (template 19217, its parameter the selection dialog's
 *   editor record) and of the font selection dialog (template 19201, its
 *   parameter a buffer of at least 80 bytes that OK fills).  On Windows hdlg
 *   is the dialog's HWND.  Linux has no dialogs a host could make: there
 *   both answer 0 to any hdlg and do nothing. */
intptr_t KELMOR_CALL EditTTFDlgProc(void *hdlg, uint32_t message, uintptr_t wParam,
                                    intptr_t lParam);
intptr_t KELMOR_CALL SelectTTFDlgProc(void *hdlg, uint32_t message, uintptr_t wParam,
                                      intptr_t lParam);

/* 19 SetRenderOptions: sets the font's rendering options (KELMOR_NO_HINTING,
 *   KELMOR_FAITHFUL, KELMOR_EMBEDDED_BITMAPS, KELMOR_FORCE_AUTOHINT,
 *   KELMOR_NO_AUTOHINT); a new font starts with 0,
 *   glyphs hinted (or with the bits the ini file asks for).  Every bit but the sign
 *   bit is kept as given, so that a host may save and restore the options
 *   whole; bits without a meaning yet change nothing.  Returns the options in
 *   force before the call, or -1 for a bad handle. */
int32_t KELMOR_CALL SetRenderOptions(int32_t lHandle, int iOptions);

/* 20 GetGlyphMetrics: takes the same ps as GetBitmap and renders the glyph
 *   the same way (so the bitmap last returned by GetBitmap on this handle
 *   then holds this glyph), and fills *lpMetrics.  The advance is the
 *   horizontal one, or the vertical one when the last GetBitmap on this
 *   handle asked for KELMOR_VERTICAL (from vmtx, else the font's height).
 *   1 on success; 0 for a bad handle, an unsized font or a code GetBitmap
 *   would refuse, with *lpMetrics untouched. */
int32_t KELMOR_CALL GetGlyphMetrics(int32_t lHandle, const char *ps,
                                    KelmorGlyphMetrics *lpMetrics);
/* 21 OpenTTFontFace: opens face iFace (from 0) of a TrueType collection
 *   (.ttc), or face 0 of a single .ttf file, as OpenTTFont opens a font
 *   (OpenTTFont opens face 0), and past OpenTTFont's limits: fonts whose
 *   programs define instructions (IDEF) and glyphs of up to 32,763 points
 *   open here (OpenTTFont opens them only when Faithful=1 is set in the
 *   ini file).  Returns a font handle, 0 on failure: a face the file does
 *   not have, a negative iFace, or a collection header that does not hold
 *   together (GetLastFontError says which). */
int32_t KELMOR_CALL OpenTTFontFace(const char *lpszFileName, int iFace);

/* 22 GetGlyphIndex: the glyph number the code at ps (as GetBitmap takes it,
 *   under the font's current SetEncoding) maps to, without drawing anything
 *   and without a size.  The number is the nominal glyph: no vertical form is
 *   substituted, so GetBitmap of this number in KELMOR_CHARSET_GLYPHNUMBER
 *   with KELMOR_VERTICAL gives the same glyph as GetBitmap of the code.
 *   0 when the font does not map the code (it lacks the character, the code
 *   is 0 or has no Unicode value in the concordance, the glyph number is past
 *   the font's glyphs, or the encoding cannot reach this font): a host may
 *   then try another font; GetLastFontError says which.  -1 for a bad handle
 *   or a null ps. */
int32_t KELMOR_CALL GetGlyphIndex(int32_t lHandle, const char *ps);

/* Why a call failed, as GetLastFontError reports it.  Every thread keeps its
 * own code.  The font functions (OpenTTFont to SetEncoding, GetFontNames,
 * SetRenderOptions to GetGlyphIndex) and KelmoCreateFontIndirect set it when
 * they fail; a successful call leaves it alone, except GetBitmap,
 * GetGlyphMetrics and GetGlyphIndex, which set KELMOR_ERROR_NONE when the
 * code maps to a glyph and KELMOR_ERROR_NOT_MAPPED when it does not
 * (GetBitmap and GetGlyphMetrics then still succeed, with glyph 0, the
 * font's missing-glyph box).  GetFontErrorText gives each code's text. */
enum KelmorError {
    KELMOR_ERROR_NONE = 0,             /* "no error" */
    KELMOR_ERROR_BAD_HANDLE = 1,       /* "not the handle of an open font" */
    KELMOR_ERROR_BAD_ARGUMENT = 2,     /* "a null pointer or a negative face number" */
    KELMOR_ERROR_FILE_NOT_FOUND = 3,   /* "the file does not exist" */
    KELMOR_ERROR_FILE_UNREADABLE = 4,  /* "the file cannot be opened for reading
                                          (no permission?)" */
    KELMOR_ERROR_NOT_A_FILE = 5,       /* "a directory, device or pipe, not a file" */
    KELMOR_ERROR_NOT_A_FONT = 6,       /* "not a TrueType font or collection" */
    KELMOR_ERROR_NO_SUCH_FACE = 7,     /* "the collection has no face of that number" */
    KELMOR_ERROR_FOREIGN_OUTLINES = 8, /* "outlines in a form the library cannot draw
                                          (CFF2, a damaged CFF table, or
                                          embedded bitmaps only)" */
    KELMOR_ERROR_MISSING_TABLE = 9,    /* "a table the library needs (head, maxp, name
                                          or cmap) is missing or damaged" */
    KELMOR_ERROR_TOO_MANY_POINTS = 10, /* "more than 1,260 points in a glyph or the
                                          twilight zone, which OpenTTFont serves only
                                          in the faithful mode (Faithful=1 in section
                                          [Rendering] of Kelmor.ini; OpenTTFontFace
                                          opens it always)" */
    KELMOR_ERROR_INSTRUCTION_DEFS = 11, /* "instruction definitions (IDEF), which
                                           OpenTTFont serves only in the faithful mode
                                           (Faithful=1 in section [Rendering] of
                                           Kelmor.ini; OpenTTFontFace opens it
                                           always)" */
    KELMOR_ERROR_BEYOND_LIMITS = 12,   /* "more zones, contours, stack, storage or
                                          functions than the interpreter holds" */
    KELMOR_ERROR_OUT_OF_MEMORY = 13,   /* "out of memory" */
    KELMOR_ERROR_TOO_MANY_FONTS = 14,  /* "too many fonts are open" */
    KELMOR_ERROR_BAD_SIZE = 15,        /* "a size this font cannot be drawn at (size
                                          times resolution above 131071, or a box too
                                          large)" */
    KELMOR_ERROR_NOT_SIZED = 16,       /* "no size set: call SetPointSize first" */
    KELMOR_ERROR_ENCODING = 17,        /* "the encoding cannot reach this font's
                                          character map" */
    KELMOR_ERROR_NO_CONCORDANCE = 18,  /* "no concordance registered for this
                                          encoding: call KelmoRegisterApp first (the
                                          ini file's section [Code Space
                                          Concordances] names the files; kelmor cob
                                          --register writes it), or the file cannot
                                          be read" */
    KELMOR_ERROR_NOT_MAPPED = 19,      /* "the font has no glyph for this code" */
    KELMOR_ERROR_NOT_INSTALLED = 20    /* "no installed font has that face name"
                                          (KelmoCreateFontIndirect) */
};

/* 23 GetLastFontError: the KelmorError of the calling thread's last failed
 *   call (KELMOR_ERROR_NONE when none failed yet); see KelmorError. */
int32_t KELMOR_CALL GetLastFontError(void);

/* 24 GetFontErrorText: the English text of a KelmorError code (as listed
 *   beside the codes), "unknown error" for any other value.  The text is
 *   static: never freed, never changed. */
const char *KELMOR_CALL GetFontErrorText(int iError);

/* 25 GetGrayBitmap: renders the character at ps (as GetBitmap takes it,
 *   cDIB & KELMOR_VERTICAL for the vertical form) in grey levels: for each
 *   pixel the share of it the outline covers (non-zero winding rule), as
 *   FreeType's smooth renderer computes it.  iBitsPerPixel is 1, 2, 4 or 8;
 *   the 8-bit level is cut to its top bits (0 background, 2^bits - 1 fully
 *   inside: not inverted as GetBitmap's bits are).  Rows run top to bottom,
 *   each starting on a byte ((width * bits + 7) / 8 bytes, no further
 *   padding), the leftmost pixel in the most significant bits.  The bitmap
 *   is the outline's control box widened to whole pixels, so it differs in
 *   size and place from GetBitmap's: lpMetrics, when not null, receives the
 *   advance as GetGlyphMetrics gives it and the origin and ink box inside
 *   this bitmap (ink: a level above 0).  The outline is the faithful mode's
 *   (hinted by the font's programs, auto-hinted for FreeType's grey target,
 *   or CFF unhinted); in the classic mode glyph programs do not run, and
 *   embedded bitmaps are never used.  The buffer belongs to the font and
 *   holds until the next GetGrayBitmap or CloseTTFont on the handle.
 *   Returns null for a glyph without area (a space: the width and height
 *   written are 0 and lpMetrics is filled) and on failure (a bad handle, an
 *   unsized font, a refused code, iBitsPerPixel not one of the four:
 *   KELMOR_ERROR_BAD_ARGUMENT; out-parameters untouched).  An extension of
 *   this library. */
unsigned char *KELMOR_CALL GetGrayBitmap(int32_t lHandle, const char *ps, int *lpHpixels,
                                         int *lpVpixels, char cDIB, int iBitsPerPixel,
                                         KelmorGlyphMetrics *lpMetrics);

#ifdef __cplusplus
}
#endif

#endif /* KELMOR_H */
