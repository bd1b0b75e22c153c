// The dialog services the install dialogs use: the controls of a dialog as
// its procedure sees them, modal dialogs from the library's resources, the
// message box and the open-file dialog.
//
// kelmor32.dll uses the Win32 dialog manager; a dialog handle is an HWND.
// Linux has no dialog manager: there a dialog handle points to an in-memory
// model of the dialog's controls (platform/posix/headless_dialog.h), which a
// host or a test drives by calling the dialog procedure as the dialog manager
// would.  Without such a driver a modal dialog does not open at all.
#ifndef KELMOR_PLATFORM_DIALOG_H
#define KELMOR_PLATFORM_DIALOG_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelmor {

// Window messages a dialog procedure receives, with the Win32 values.
constexpr uint32_t kMsgInitDialog = 0x0110;
constexpr uint32_t kMsgCommand = 0x0111;
constexpr uint32_t kMsgUser = 0x0400;

// A dialog procedure, with the platform's API calling convention.
#if defined(_WIN32)
using DialogProc = intptr_t(__stdcall *)(void *hdlg, uint32_t message, uintptr_t wParam,
                                         intptr_t lParam);
#else
using DialogProc = intptr_t (*)(void *hdlg, uint32_t message, uintptr_t wParam, intptr_t lParam);
#endif

// True for a live dialog: on Windows a window, on Linux a dialog the library
// or a host's driver made.  The exported dialog procedures ignore anything
// else, as a host may hand them any value.
bool DialogExists(void *hdlg);

// The value a dialog procedure keeps with its window.
void DialogSetUserData(void *hdlg, intptr_t data);
intptr_t DialogUserData(void *hdlg);

void DialogSetItemText(void *hdlg, int id, const char *text);
// The text of a control, or "" when there is no such control.
std::string DialogItemText(void *hdlg, int id);

// Lets the user type at most maxChars characters into an edit control (a
// text the program sets may be longer).
void DialogLimitText(void *hdlg, int id, size_t maxChars);

// Rows of a list box or a drop-down list, shown in the order added.  Row
// -1 selects nothing and is the selection when nothing is selected.
void DialogResetRows(void *hdlg, int id);
void DialogAddRow(void *hdlg, int id, const char *text);
void DialogSelectRow(void *hdlg, int id, int32_t row);
int32_t DialogSelectedRow(void *hdlg, int id);

// Sends a message to the dialog's own procedure and returns its answer.
intptr_t DialogSend(void *hdlg, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Runs dialog template `templateId` of module hInstance modally, with
// `owner` as owner and `param` as the WM_INITDIALOG parameter; returns what
// the procedure ended it with (0 when it could not open).  The custom
// control classes the templates name are registered first where missing.
intptr_t RunModalDialog(void *hInstance, int templateId, void *owner, DialogProc proc,
                        intptr_t param);
void EndModalDialog(void *hdlg, intptr_t result);
// Makes the control classes the templates name available to dialogs of
// module hInstance, so that a host can also open the templates with the
// exported dialog procedures itself.
void PrepareDialogClasses(void *hInstance);
// The window that owns a dialog a host opens without naming one.
void *ActiveWindow();

// A message box with an exclamation mark and an OK button.
void DialogWarn(void *owner, const char *text, const char *title);

// What a dialog procedure does with messages it has no use for: on Windows
// it draws the library's own bitmap buttons; 0 otherwise.
intptr_t DialogDefaultMessage(void *hdlg, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Runs the open-file dialog: title Prompt, the custom filter pszCFilter (a
// name and a pattern, each terminated, in a buffer of sizeofpszCFilter
// bytes) in force beside "All Files", starting in the directory of
// pszDirSpec.  True when the user chose an existing file; its full path is
// then in FileName, which holds uFileNameSize bytes.  A path that would not
// fit is refused by the dialog itself, never cut.
bool DoFileNameKelmor(void *Owner, const char *Prompt, char *FileName, char *pszCFilter,
                      size_t sizeofpszCFilter, const char *pszDirSpec, size_t uFileNameSize);

}  // namespace kelmor

#endif
