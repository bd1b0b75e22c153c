// Message boxes and the busy cursor, for the few places that talk to the
// user directly (reading font resource files).
//
// On Windows the default service is the system's own message box.  On
// Linux there is none: the default prints the text to standard error and
// answers with the default button.  Either can be replaced, by a host that
// wants its own boxes, by the tool that asks on the terminal, by tests.
#ifndef KELMOR_PLATFORM_MESSAGE_BOX_H
#define KELMOR_PLATFORM_MESSAGE_BOX_H

#include <cstdint>

namespace kelmor {

// Button sets, default-button flags and answers, with the Win32 values.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbOkCancel = 0x1;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbDefButton2 = 0x100;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

using MessageBoxService = int (*)(const char *lpszText, const char *lpszCaption, uint32_t uType);

// Shows the text under the caption with the buttons of uType and returns the
// answer chosen, through the current service.
int ShowMessageBox(const char *lpszText, const char *lpszCaption, uint32_t uType);
// Installs a service (null: the platform's default) and returns the one it
// replaces (null when that was the default).
MessageBoxService SetMessageBoxService(MessageBoxService service);
// The answer a box of uType gives when nobody chooses: its default button.
int DefaultAnswer(uint32_t uType);

// The platform's own message box, the default service.
int PlatformMessageBox(const char *lpszText, const char *lpszCaption, uint32_t uType);

// Shows the wait cursor during a slow read, the arrow afterwards; nothing
// where there is no pointer to change.
void ShowBusyCursor(bool busy);

}  // namespace kelmor

#endif
