#include "platform/dialog.h"

#include <cstring>
#include <set>
#include <utility>

#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/posix/headless_dialog.h"

namespace kelmor {

namespace {

HeadlessDriver headlessDriver;
OpenFileChooser openFileChooser;

std::set<const void *> &LiveDialogs() {
    static std::set<const void *> live;
    return live;
}

HeadlessDialog &DialogOf(void *hdlg) { return *static_cast<HeadlessDialog *>(hdlg); }

HeadlessControl &Control(void *hdlg, int id) { return DialogOf(hdlg).controls[id]; }

// Like the real controls, a row out of range selects nothing.
void Select(void *hdlg, int id, int32_t row) {
    HeadlessControl &control = Control(hdlg, id);
    control.selection = row >= 0 && size_t(row) < control.rows.size() ? row : -1;
}

}  // namespace

HeadlessDialog::HeadlessDialog() { LiveDialogs().insert(this); }
HeadlessDialog::~HeadlessDialog() { LiveDialogs().erase(this); }

bool DialogExists(void *hdlg) { return LiveDialogs().count(hdlg) != 0; }

void SetHeadlessDriver(HeadlessDriver driver) { headlessDriver = std::move(driver); }
void SetOpenFileChooser(OpenFileChooser chooser) { openFileChooser = std::move(chooser); }

void HeadlessType(HeadlessDialog &dialog, int id, const std::string &text) {
    HeadlessControl &control = dialog.controls[id];
    control.text = control.typingLimit ? text.substr(0, control.typingLimit) : text;
}

void HeadlessPick(HeadlessDialog &dialog, int id, int32_t row) { Select(&dialog, id, row); }

intptr_t HeadlessPress(HeadlessDialog &dialog, int id) {
    return dialog.proc(&dialog, kMsgCommand, uintptr_t(id), 0);
}

void DialogSetUserData(void *hdlg, intptr_t data) { DialogOf(hdlg).userData = data; }
intptr_t DialogUserData(void *hdlg) { return DialogOf(hdlg).userData; }

void DialogSetItemText(void *hdlg, int id, const char *text) { Control(hdlg, id).text = text; }
std::string DialogItemText(void *hdlg, int id) { return Control(hdlg, id).text; }
void DialogLimitText(void *hdlg, int id, size_t maxChars) {
    Control(hdlg, id).typingLimit = maxChars;
}

void DialogResetRows(void *hdlg, int id) {
    HeadlessControl &control = Control(hdlg, id);
    control.rows.clear();
    control.selection = -1;
}

void DialogAddRow(void *hdlg, int id, const char *text) {
    Control(hdlg, id).rows.emplace_back(text);
}

void DialogSelectRow(void *hdlg, int id, int32_t row) { Select(hdlg, id, row); }
int32_t DialogSelectedRow(void *hdlg, int id) { return Control(hdlg, id).selection; }

intptr_t DialogSend(void *hdlg, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return DialogOf(hdlg).proc(hdlg, message, wParam, lParam);
}

intptr_t RunModalDialog(void *, int templateId, void *owner, DialogProc proc, intptr_t param) {
    if (!headlessDriver || !proc) return 0;
    HeadlessDialog dialog;
    dialog.templateId = templateId;
    dialog.proc = proc;
    dialog.owner = owner;
    proc(&dialog, kMsgInitDialog, 0, param);
    // The driver may install another driver; keep this one alive meanwhile.
    HeadlessDriver driver = headlessDriver;
    driver(dialog);
    return dialog.ended ? dialog.result : 0;
}

void EndModalDialog(void *hdlg, intptr_t result) {
    DialogOf(hdlg).ended = true;
    DialogOf(hdlg).result = result;
}

void PrepareDialogClasses(void *) {}

void *ActiveWindow() { return nullptr; }

void DialogWarn(void *owner, const char *text, const char *title) {
    ShowMessageBox(text, title, kMbOk);
    if (owner) DialogOf(owner).warnings.push_back(std::string(title) + ": " + text);
}

intptr_t DialogDefaultMessage(void *, uint32_t, uintptr_t, intptr_t) { return 0; }

bool DoFileNameKelmor(void *, const char *Prompt, char *FileName, char *pszCFilter,
                      size_t sizeofpszCFilter, const char *pszDirSpec, size_t uFileNameSize) {
    if (!openFileChooser || !FileName || uFileNameSize == 0) return false;
    // The custom filter is a name and a pattern, each terminated.
    std::string pattern;
    if (pszCFilter) {
        size_t nameLength = strnlen(pszCFilter, sizeofpszCFilter);
        if (nameLength + 1 < sizeofpszCFilter)
            pattern.assign(pszCFilter + nameLength + 1,
                           strnlen(pszCFilter + nameLength + 1, sizeofpszCFilter - nameLength - 1));
    }
    std::string initialDir = pszDirSpec ? pszDirSpec : "";
    initialDir.resize(DirectoryLength(initialDir.c_str()));
    if (initialDir.size() > 1 && initialDir.back() == '/') initialDir.pop_back();
    std::string chosen;
    if (!openFileChooser(Prompt ? Prompt : "", pattern, initialDir, &chosen)) return false;
    if (chosen.size() >= uFileNameSize) return false;
    std::memcpy(FileName, chosen.c_str(), chosen.size() + 1);
    return true;
}

}  // namespace kelmor
