// libFuzzer harness: any byte string as the library's ini file.  Reads the
// installed-font section into a list, edits the list the ways the install
// dialogs and the GDI-style entries do, writes it back in both ways the
// library writes and reads the result again; the sanitizers report anything
// read or written outside a buffer, and every allocation must come back.
#include <cstdint>
#include <string>

#include "platform/profile.h"
#include "scini/scini.h"
#include "scratch_font.h"

namespace {

using kelmor::_IniFieldsType;

const char kSection[] = "Installed DBCS Fonts";
constexpr int32_t kType = 55;
constexpr int32_t kFields = 8;

void EditList(_IniFieldsType **head, _IniFieldsType **tail) {
    char key[] = "Fuzz Font";
    char file[] = "C:\\FONTS\\FUZZ.TTF";
    char empty[] = "";
    char *fields[kFields] = {key, empty, file, empty, empty, key, empty, empty};
    kelmor::AddIniFieldsType(head, tail, fields, kType, kFields);
    if (_IniFieldsType *second = kelmor::GetSelection(*head, 2))
        kelmor::MoveIniFieldToHead(head, tail, second);
    kelmor::UpdateIniFromFields(*head, fields);
    if (_IniFieldsType *found = kelmor::FindIniType(*head, "fuzz font")) {
        kelmor::RemoveIniFieldsType(head, tail, found);
        kelmor::FreeIniFieldsType(found);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using kelmor::_IniFieldsType;
    if (!kelmor_fuzz::WriteScratchFont(data, size)) return 0;
    const std::string path = kelmor_fuzz::ScratchFontPath();
    _IniFieldsType *head = nullptr, *tail = nullptr;
    kelmor::ReadIniFieldsTypes(&head, &tail, kType, kFields, path.c_str(), kSection);
    EditList(&head, &tail);
    kelmor::ReplaceIniSection(head, path.c_str(), kSection);
    kelmor::WriteIniTypes(head, path.c_str(), kSection);
    kelmor::ZapIniFieldsTypes(&head, &tail);
    kelmor::ReadIniFieldsTypes(&head, &tail, kType, kFields, path.c_str(), kSection);
    char value[64];
    kelmor::ProfileReadString(path.c_str(), "Code Space Concordances", "JIS2UNI.COB", "", value,
                              sizeof value);
    kelmor::ZapIniFieldsTypes(&head, &tail);
    return 0;
}
