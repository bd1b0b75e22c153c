#include "platform/help.h"

#include <unistd.h>

namespace kelmor {

void ShowHelpContext(const char *, uint16_t) {}

void SoundDefaultBeep() {
    // A terminal rings its bell; anywhere else the byte is harmless.
    ssize_t written = write(STDERR_FILENO, "\a", 1);
    (void)written;
}

}  // namespace kelmor
