// Linux dialogs without windows.  A dialog handle points to a HeadlessDialog:
// the state of its controls, which the dialog services of platform/dialog.h
// read and change just as the Win32 dialog manager would change real
// controls.  A host (the tests, for now) plays the user's part: it installs
// a driver that is called each time a modal dialog has been initialized,
// types into controls, picks rows and presses buttons, which sends
// WM_COMMAND to the dialog's procedure.  Without a driver no dialog opens.
#ifndef KELMOR_PLATFORM_POSIX_HEADLESS_DIALOG_H
#define KELMOR_PLATFORM_POSIX_HEADLESS_DIALOG_H

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace kelmor {

struct HeadlessControl {
    std::string text;
    std::vector<std::string> rows;  // list boxes and drop-down lists
    int32_t selection = -1;
    size_t typingLimit = 0;  // 0: none
};

struct HeadlessDialog {
    HeadlessDialog();  // known to DialogExists until destroyed
    ~HeadlessDialog();
    HeadlessDialog(const HeadlessDialog &) = delete;
    HeadlessDialog &operator=(const HeadlessDialog &) = delete;

    int templateId = 0;
    DialogProc proc = nullptr;
    void *owner = nullptr;
    intptr_t userData = 0;
    std::map<int, HeadlessControl> controls;
    bool ended = false;
    intptr_t result = 0;
    std::vector<std::string> warnings;  // message boxes shown, as "title: text"
};

// Called with each modal dialog once it is initialized; the dialog closes
// when the driver returns, with the result it was ended with (0 if never).
using HeadlessDriver = std::function<void(HeadlessDialog &)>;
void SetHeadlessDriver(HeadlessDriver driver);

// Answers the open-file dialog: the prompt, the custom filter's pattern and
// the initial directory in, the chosen path out; false when "cancelled".
using OpenFileChooser = std::function<bool(const std::string &prompt, const std::string &pattern,
                                           const std::string &initialDir, std::string *path)>;
void SetOpenFileChooser(OpenFileChooser chooser);

// What a user does in a dialog.  Typing respects the control's limit, as an
// edit control does.
void HeadlessType(HeadlessDialog &dialog, int id, const std::string &text);
void HeadlessPick(HeadlessDialog &dialog, int id, int32_t row);
intptr_t HeadlessPress(HeadlessDialog &dialog, int id);

}  // namespace kelmor

#endif
