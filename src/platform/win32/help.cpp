#include "platform/help.h"

#include <windows.h>

namespace kelmor {

void ShowHelpContext(const char *lpszHelpFile, uint16_t HelpID) {
    WinHelpA(GetActiveWindow(), lpszHelpFile, HELP_CONTEXT, HelpID);
}

void SoundDefaultBeep() { MessageBeep(0); }

}  // namespace kelmor
