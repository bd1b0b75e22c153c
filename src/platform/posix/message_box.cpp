#include "platform/message_box.h"

#include <cstdio>

namespace kelmor {

int PlatformMessageBox(const char *lpszText, const char *lpszCaption, uint32_t uType) {
    std::fprintf(stderr, "%s: %s\n", lpszCaption, lpszText);
    return DefaultAnswer(uType);
}

void ShowBusyCursor(bool) {}

}  // namespace kelmor
