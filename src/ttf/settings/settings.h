// The library's settings: where its ini file is, the installed double-byte
// fonts, the concordance files, the help file, and the short name codes that
// stand for character sets in the ini file.
//
// The state is library-wide and unprotected: calls must not overlap, except
// that fonts read the rendering switches on any thread.
#ifndef KELMOR_TTF_SETTINGS_SETTINGS_H
#define KELMOR_TTF_SETTINGS_SETTINGS_H

#include <cstddef>
#include <cstdint>

#include "platform/paths.h"
#include "scini/scini.h"

namespace kelmor {

struct _LibSetup {
    void *hInstance;  // the library's own module, set at process attach
    uint16_t wDataSegment;  // unused
    uint16_t wHeapSize;     // unused
    char *lpszCmdLine;      // unused
};
extern _LibSetup SetupData;

// Paths are never cut: one that does not fit is refused and the variable
// stays empty (or, for the concordances, as it was).
extern char szIniFile[kMaxPathBytes];
extern char szJis2UniFile[kMaxPathBytes];   // Shift-JIS concordance, "" when none
extern char szBig5_UniFile[kMaxPathBytes];  // Big5 concordance
extern char szGb2UniFile[kMaxPathBytes];    // GB 2312 concordance
extern char szGbkUniFile[kMaxPathBytes];    // GBK concordance
extern char szWans2UniFile[kMaxPathBytes];  // Wansung concordance
extern char szWinHelpFileName[kMaxPathBytes];

// The installed fonts (section "Installed DBCS Fonts", 8 slots: typeface
// name, .FOT file, .ttf path, font symbol set, encoding name code, full
// name, bitmap point size, document symbol set), the concordance files and
// the help files.
extern _IniFieldsType *pifKELMOHead, *pifKELMOTail;
extern _IniFieldsType *pifCOBHead, *pifCOBTail;
extern _IniFieldsType *pifRCHead, *pifRCTail;

constexpr int32_t kKELMOType = 55;
constexpr int32_t kKELMOFields = 8;
constexpr int32_t kCOBType = 34;
constexpr int32_t kCOBFields = 7;
constexpr int32_t kRCType = 56;
constexpr int32_t kRCFields = 3;

extern const char szInstalledFontsSection[];  // "Installed DBCS Fonts"
extern const char szConcordanceSection[];     // "Code Space Concordances"
extern const char szHelpSection[];            // "Help"
extern const char szRenderingSection[];       // "Rendering"

// Sets szIniFile: the user profile's "IniPath", else "Kelmor.ini" beside
// the library's module.  Always 0.
int32_t InitIniFile();
// For a program that holds the library's code itself (the kelmor tool):
// the installed library file whose ini file it shares; InitIniFile then
// looks beside that file instead of beside the program.  Null or "" undoes.
void SetLibraryFileForIni(const char *libraryFile);
void InitKELMOFromIni();
// The writers below report failure as false (or an error number) with the
// cause in ProfileLastError (platform/profile.h): ENOENT without an ini
// file, EINVAL for text the file cannot hold, else the system's error.
//
// Rewrites the installed-font section as an exact image of the list; an
// entry the file cannot hold is left out and the others are written.
bool WriteIniTypesFromKELMO(const char *lpszCode);
// Writes one installed entry's key, leaving the rest of the file alone.
bool WriteInstalledEntry(const _IniFieldsType *pif);
// Adds an installed font from its kKELMOFields fields and writes its key
// (an empty typeface name adds and writes nothing: 0).  An entry that could
// not be written leaves the list again.  0, or the error number.
int AddInstalledFont(char *const *fields);
// Records `lpszFilename` as the bitmap file of the font named `fullName` at
// `iResolution`, in the section "Bitmap for <full name>".
bool WriteBitmapAssociation(const char *fullName, int iResolution, const char *lpszFilename);
// Deletes pif's key from the ini file at once, then unlinks and frees it;
// when the key could not be deleted, the entry stays and the result is false.
bool RemoveKELMORPif(_IniFieldsType *pif);
void ZapKELMOs();
void InitCOBFromIni();
void ZapCOBs();
// Sets the three concordance paths from the configured concordance files.
void TestOpenConcordance();
// A yes/no key of the ini file's "Rendering" section, for hosts that cannot
// call SetRenderOptions, and the option bit it gives the fonts they open.
struct RenderingSwitch {
    const char *key;
    int32_t option;
    // Set for a switch that turns something off: its option is given when
    // the key says no (0, no, off, false), and an absent key gives nothing.
    bool whenNo = false;
};
// The options of the switches whose keys say yes (1, yes, on, true), or no
// for those marked whenNo; 0 when the file is absent.  Read at every open, so that a change to the file
// reaches the next font without reloading the library.  Fonts are opened on
// any thread while KelmoRegisterApp may pick another ini file on one: every
// switch is read from one copy of the path, taken under the lock that
// InitIniFile changes it under.
int32_t RenderingOptionsFromIni(const RenderingSwitch *switches, size_t count);
template <size_t N>
int32_t RenderingOptionsFromIni(const RenderingSwitch (&switches)[N]) {
    return RenderingOptionsFromIni(switches, N);
}
// One switch each: "Faithful=1" (the faithful mode), "EmbeddedBitmaps=1".
bool FaithfulFromIni();
bool EmbeddedBitmapsFromIni();
// Sets szWinHelpFileName from the first "Help" entry, or writes a default
// entry beside the Shift-JIS concordance.  Always 0.
int32_t InitHelpFileName();
void WinHelpContext(uint16_t HelpID);

struct CharSetNames {
    int32_t csEncoding;
    const char *lpszName;
};
constexpr int kCharSetNameCount = 9;
constexpr int kLangNameCount = 4;
extern const CharSetNames csNames[kCharSetNameCount];
extern const CharSetNames csLangNames[kLangNameCount];

// The returned codes are the tables' own constant strings.
const char *Charset2NameCode(int32_t CharSet);
// 1 (the default character set) for a code not in the table.
uint32_t NameCode2Charset(const char *lpszNameCode);
const char *PcEncodingID2NameCode(int32_t iEncodingID);
const char *LanguageID2NameCode(int32_t iLanguageID);

}  // namespace kelmor

#endif
