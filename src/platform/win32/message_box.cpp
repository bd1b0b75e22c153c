#include "platform/message_box.h"

#include <windows.h>

namespace kelmor {

int PlatformMessageBox(const char *lpszText, const char *lpszCaption, uint32_t uType) {
    return MessageBoxA(GetActiveWindow(), lpszText, lpszCaption, uType);
}

void ShowBusyCursor(bool busy) { SetCursor(LoadCursorA(nullptr, busy ? IDC_WAIT : IDC_ARROW)); }

}  // namespace kelmor
