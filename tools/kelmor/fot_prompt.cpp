#include "fot_prompt.h"

#include <cstdio>
#include <cstring>

#include "ttf/api/tool_internals.h"

namespace kelmor {

namespace {

bool acceptWithoutAsking = false;

bool UserSaysYes() {
    std::printf("Install this font? [y/N] ");
    std::fflush(stdout);
    char answer[64];
    if (!std::fgets(answer, sizeof answer, stdin)) {
        std::printf("\n");
        return false;
    }
    return answer[0] == 'y' || answer[0] == 'Y';
}

int TerminalMessageBox(const char *text, const char *caption, uint32_t type) {
    std::printf("%s:\n %s\n", PrintableText(caption).c_str(), PrintableText(text, true).c_str());
    if ((type & 0xF) != kMbOkCancel) return kIdOk;
    return acceptWithoutAsking || UserSaysYes() ? kIdOk : kIdCancel;
}

}  // namespace

int DoFotWithPrompt(const char *fot, bool yes, char *fontFile128, uint8_t *fontDir256) {
    acceptWithoutAsking = yes;
    MessageBoxService previous = SetMessageBoxService(TerminalMessageBox);
    int result = DoFOT(fot, fontFile128, fontDir256);
    SetMessageBoxService(previous);
    return result;
}

std::string PrintableText(const std::string &bytes, bool keepLineBreaks) {
    std::string text;
    for (unsigned char c : bytes) {
        if ((c >= 0x20 && c < 0x7F) || (c == '\n' && keepLineBreaks)) {
            text += char(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text;
}

std::string ExeLoadError(int32_t code) {
    switch (code) {
        case kExeCannotOpen: return "cannot open the file";
        case kExeBadSignature: return "not a Windows executable (no MZ/NE signature)";
        case kExeShortRead: return "the file ends before the data its headers point at";
        case kExeNoMemory: return "out of memory";
        default: return "unknown error " + std::to_string(code);
    }
}

}  // namespace kelmor
