#include "platform/message_box.h"

namespace kelmor {

namespace {

MessageBoxService current = nullptr;

}  // namespace

int ShowMessageBox(const char *lpszText, const char *lpszCaption, uint32_t uType) {
    MessageBoxService service = current ? current : PlatformMessageBox;
    return service(lpszText ? lpszText : "", lpszCaption ? lpszCaption : "", uType);
}

MessageBoxService SetMessageBoxService(MessageBoxService service) {
    MessageBoxService previous = current;
    current = service;
    return previous;
}

int DefaultAnswer(uint32_t uType) {
    bool second = (uType & 0xF00) == kMbDefButton2;
    switch (uType & 0xF) {
        case kMbOkCancel: return second ? kIdCancel : kIdOk;
        case kMbYesNo: return second ? kIdNo : kIdYes;
        default: return kIdOk;
    }
}

}  // namespace kelmor
