// The install dialogs: what each command of the font selection dialog and
// of the font setup dialog does to the installed-font list.  The dialog
// procedures speak to their windows only through platform/dialog.h, so the
// same code runs under the Win32 dialog manager and, on Linux, on the
// in-memory dialogs the tests drive.
#ifndef KELMOR_TTF_INSTALL_INSTALL_DIALOGS_H
#define KELMOR_TTF_INSTALL_INSTALL_DIALOGS_H

#include <cstddef>
#include <cstdint>

#include "kelmor.h"
#include "scini/scini.h"

namespace kelmor {

// What the selection dialog hands to the setup dialog.
struct EditUserInfo {
    _IniFieldsType *pif;      // the entry being edited (may be null)
    _IniFieldsType *pifBASE;  // for a new entry, the entry it was copied from
    uint16_t wParam;          // the command that opened the editor: 17 or 150
};

// The setup dialog's private messages: fill the controls from the entry;
// read the entry's TrueType file again, then fill.
constexpr uint32_t kRefreshMessage = 0x0400 + 1;
constexpr uint32_t kRereadMessage = 0x0400 + 2;

// The list position last selected in the selection dialog, kept for the
// life of the process; -1 when nothing was selected.
extern int32_t Selection;

// The choice buffer KelmoInstallDialog hands to the selection dialog.
constexpr size_t kInstallChoiceBytes = 1024;
// The selection dialog's OK copies at most this many characters of the
// list's own text into the caller's buffer.
constexpr size_t kChoiceTextMax = 79;
// Typed names and point sizes are limited to this many characters.
constexpr size_t kTypedTextMax = 79;

// Replaces the string in *ppC by a copy of pS unless it already equals pS
// (case-sensitive); frees the old one.  Nothing happens when either is null
// or memory runs out.
void TestReDupe(char **ppC, const char *pS);

// Reads a Windows font resource (.FOT) file: 1 when the user accepted the
// font, with the TrueType file it names in szFontFile128; 0 or a negative
// code when nothing was taken.  Replaceable so that tests need no .FOT file.
using FotReader = int32_t (*)(const char *szFileName, char *szFontFile128);
void SetFotReader(FotReader reader);  // null restores the library's own

}  // namespace kelmor

#endif
