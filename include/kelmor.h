/*
 * kelmor.h - public C API of the KELMOR TrueType glyph rasterizer.
 *
 * The same header serves kelmor32.dll (32-bit Windows, __stdcall, undecorated
 * export names) and libkelmor.so (Linux).  Every "long" of the library's API
 * is a signed 32-bit integer on both platforms, so it is spelled int32_t here.
 *
 * Character-set codes used by SetEncoding and in the font records:
 *   0 single-byte, 128 Shift-JIS, 134 GB 2312, 136 Big5,
 *   137 Unicode and 241 glyph numbers (the last two are KELMOR's own codes).
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
    KELMOR_CHARSET_GB2312 = 134,
    KELMOR_CHARSET_BIG5 = 136,
    KELMOR_CHARSET_UNICODE = 137,
    KELMOR_CHARSET_GLYPHNUMBER = 241
};

/* GetBitmap flag: ask for the vertical form of the glyph. */
#define KELMOR_VERTICAL 2

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
/* 7 SetEncoding: the character set of the codes passed to GetBitmap. */
int32_t KELMOR_CALL SetEncoding(int32_t lHandle, int csDesired);
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
/* 16 GetFontNames: copies the first matching name record (-1 = any ID). */
int32_t KELMOR_CALL GetFontNames(int32_t lHandle, int *lpiPlatformID, int *lpiEncodingID,
                                 int *lpiLanguageID, int iNameID, char *lpszBuf, int iSize);
/* 17 EditTTFDlgProc, 18 SelectTTFDlgProc: the dialog procedures of the font
 *   setup dialog (template 19217, its parameter the selection dialog's
 *   editor record) and of the font selection dialog (template 19201, its
 *   parameter a buffer of at least 80 bytes that OK fills).  On Windows hdlg
 *   is the dialog's HWND. */
intptr_t KELMOR_CALL EditTTFDlgProc(void *hdlg, uint32_t message, uintptr_t wParam,
                                    intptr_t lParam);
intptr_t KELMOR_CALL SelectTTFDlgProc(void *hdlg, uint32_t message, uintptr_t wParam,
                                      intptr_t lParam);

#ifdef __cplusplus
}
#endif

#endif /* KELMOR_H */
