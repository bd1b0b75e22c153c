#include "ttf/settings/installed_file.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace kelmor {

namespace {

constexpr char kFaceMark = '|';
// Face numbers of up to four digits: more than any collection holds.
constexpr size_t kMaxFaceDigits = 4;

bool FileExists(const char *path) {
    std::FILE *file = OpenRegularFile(path);
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

// Where the face mark of `slot` is, or npos when it has none: a '|' after
// at least one character, followed by one to four digits and nothing else.
size_t FaceMarkAt(const std::string &slot) {
    const size_t mark = slot.rfind(kFaceMark);
    if (mark == std::string::npos || mark == 0) return std::string::npos;
    const size_t digits = slot.size() - mark - 1;
    if (digits == 0 || digits > kMaxFaceDigits) return std::string::npos;
    const bool allDigits = slot.find_first_not_of("0123456789", mark + 1) == std::string::npos;
    return allDigits ? mark : std::string::npos;
}

}  // namespace

std::string InstalledFontFileText(const char *path, uint32_t face) {
    std::string text = path ? path : "";
    if (face > 0) text += kFaceMark + std::to_string(face);
    return text;
}

InstalledFontFile ParseInstalledFontFile(const char *slot) {
    const std::string text = slot ? slot : "";
    const size_t mark = FaceMarkAt(text);
    if (mark == std::string::npos || FileExists(text.c_str())) return {text, 0};
    return {text.substr(0, mark), uint32_t(std::stoul(text.substr(mark + 1)))};
}

}  // namespace kelmor
