// The dialog services on the Win32 dialog manager.
#include "platform/dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "platform/paths.h"
#include "platform/win32/custom_controls.h"

namespace kelmor {

namespace {

HWND Window(void *hdlg) { return static_cast<HWND>(hdlg); }

LRESULT SendItem(void *hdlg, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(Window(hdlg), id, message, wParam, lParam);
}

// List boxes and combo boxes take the same requests under different numbers.
struct RowMessages {
    UINT reset, add, select, selected;
    LRESULT none;
};
const RowMessages kListBoxMessages{LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL, LB_GETCURSEL,
                                   LB_ERR};
const RowMessages kComboBoxMessages{CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL, CB_GETCURSEL,
                                    CB_ERR};

const RowMessages &RowMessagesOf(void *hdlg, int id) {
    char className[16] = "";
    GetClassNameA(GetDlgItem(Window(hdlg), id), className, sizeof className);
    return lstrcmpiA(className, "ComboBox") == 0 ? kComboBoxMessages : kListBoxMessages;
}

}  // namespace

bool DialogExists(void *hdlg) { return hdlg && IsWindow(Window(hdlg)); }

void DialogSetUserData(void *hdlg, intptr_t data) {
    SetWindowLongPtrA(Window(hdlg), GWLP_USERDATA, data);
}

intptr_t DialogUserData(void *hdlg) { return GetWindowLongPtrA(Window(hdlg), GWLP_USERDATA); }

void DialogSetItemText(void *hdlg, int id, const char *text) {
    SetDlgItemTextA(Window(hdlg), id, text);
}

std::string DialogItemText(void *hdlg, int id) {
    HWND item = GetDlgItem(Window(hdlg), id);
    if (!item) return "";
    std::vector<char> text(size_t(GetWindowTextLengthA(item)) + 1, '\0');
    GetWindowTextA(item, text.data(), int(text.size()));
    return text.data();
}

void DialogLimitText(void *hdlg, int id, size_t maxChars) {
    SendItem(hdlg, id, EM_LIMITTEXT, maxChars, 0);
}

void DialogResetRows(void *hdlg, int id) {
    SendItem(hdlg, id, RowMessagesOf(hdlg, id).reset, 0, 0);
}

void DialogAddRow(void *hdlg, int id, const char *text) {
    SendItem(hdlg, id, RowMessagesOf(hdlg, id).add, 0, reinterpret_cast<LPARAM>(text));
}

void DialogSelectRow(void *hdlg, int id, int32_t row) {
    SendItem(hdlg, id, RowMessagesOf(hdlg, id).select, WPARAM(row), 0);
}

int32_t DialogSelectedRow(void *hdlg, int id) {
    const RowMessages &messages = RowMessagesOf(hdlg, id);
    LRESULT row = SendItem(hdlg, id, messages.selected, 0, 0);
    return row == messages.none ? -1 : int32_t(row);
}

intptr_t DialogSend(void *hdlg, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return SendMessageA(Window(hdlg), message, wParam, lParam);
}

void PrepareDialogClasses(void *hInstance) {
    RegisterMissingControlClasses(static_cast<HINSTANCE>(hInstance));
}

intptr_t RunModalDialog(void *hInstance, int templateId, void *owner, DialogProc proc,
                        intptr_t param) {
    PrepareDialogClasses(hInstance);
    INT_PTR result =
        DialogBoxParamA(static_cast<HINSTANCE>(hInstance), MAKEINTRESOURCEA(templateId),
                        Window(owner), reinterpret_cast<DLGPROC>(proc), param);
    return result == -1 ? 0 : result;
}

void EndModalDialog(void *hdlg, intptr_t result) { EndDialog(Window(hdlg), result); }

void *ActiveWindow() { return GetActiveWindow(); }

void DialogWarn(void *owner, const char *text, const char *title) {
    MessageBoxA(Window(owner), text, title, MB_OK | MB_ICONEXCLAMATION);
}

intptr_t DialogDefaultMessage(void *, uint32_t message, uintptr_t, intptr_t lParam) {
    if (message == WM_DRAWITEM)
        return DrawBitmapButton(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
    return 0;
}

bool DoFileNameKelmor(void *Owner, const char *Prompt, char *FileName, char *pszCFilter,
                      size_t sizeofpszCFilter, const char *pszDirSpec, size_t uFileNameSize) {
    // The directory of the current file, without its trailing backslash
    // (but "C:\" stays the root, not the drive's current directory).
    std::string initialDir = pszDirSpec ? pszDirSpec : "";
    initialDir.resize(DirectoryLength(initialDir.c_str()));
    if (initialDir.size() > 1 && initialDir.back() != ':' &&
        initialDir[initialDir.size() - 2] != ':')
        initialDir.pop_back();

    static char allFiles[] = "All Files\0*.*\0";
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = Window(Owner);
    request.lpstrFilter = allFiles;
    request.lpstrCustomFilter = pszCFilter;
    request.nMaxCustFilter = DWORD(sizeofpszCFilter);
    request.nFilterIndex = 0;  // the custom filter is the one in force
    request.lpstrFile = FileName;
    request.nMaxFile = DWORD(uFileNameSize);
    request.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    request.lpstrTitle = Prompt;
    // The host's current directory is the host's: choosing a file must not
    // move it, or the host's relative paths would name other files.
    request.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_SHAREAWARE | OFN_NOCHANGEDIR;
    request.lpstrDefExt = "ttf";
    return GetOpenFileNameA(&request) != FALSE;
}

}  // namespace kelmor
