// The help viewer and the default beep used when there is no help to show.
#ifndef KELMOR_PLATFORM_HELP_H
#define KELMOR_PLATFORM_HELP_H

#include <cstdint>

namespace kelmor {

// Shows topic HelpID of lpszHelpFile, owned by the active window.  Linux has
// no help viewer for these files; there it does nothing.
void ShowHelpContext(const char *lpszHelpFile, uint16_t HelpID);
// The platform's default beep (on Linux a bell written to stderr).
void SoundDefaultBeep();

}  // namespace kelmor

#endif
