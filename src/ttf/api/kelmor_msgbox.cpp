// Where the platform has no message boxes of its own, a host of the shared
// library chooses where the library's boxes go.
#include <type_traits>

#include "kelmor.h"
#include "platform/message_box.h"

#if !defined(_WIN32)
static_assert(std::is_same<KELMOR_MESSAGEBOXPROC, kelmor::MessageBoxService>::value,
              "the host's message box has the shape of the platform service");

extern "C" KELMOR_MESSAGEBOXPROC KELMOR_CALL KelmoSetMessageBox(KELMOR_MESSAGEBOXPROC lpfnMessageBox) {
    return kelmor::SetMessageBoxService(lpfnMessageBox);
}
#endif
