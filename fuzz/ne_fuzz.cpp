// libFuzzer harness: any byte string as a Windows font resource file.  Loads
// its headers and resource table, reads every resource and decodes font
// directories, then runs the whole .FOT driver with a message box that
// always accepts; the sanitizers report anything read or written outside a
// buffer, and every allocation must come back.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/message_box.h"
#include "ttf/install/exehdr.h"
#include "ttf/install/fot.h"

namespace {

std::string FotPath() {
    static const std::string path = "/tmp/kelmor-fuzz-" + std::to_string(getpid()) + ".fot";
    return path;
}

bool WriteFile(const uint8_t *data, size_t size) {
    std::FILE *f = std::fopen(FotPath().c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

int Accept(const char *, const char *, uint32_t) { return kelmor::kIdOk; }

void ReadEveryResource(const kelmor::EXEINFO *info) {
    std::vector<uint8_t> bytes;
    for (const kelmor::tgRESTYPE *t = info->pResTable; t; t = t->pNext)
        for (uint16_t i = 0; i < t->wCount; ++i) {
            if (!kelmor::ReadResourceBytes(info, &t->pResInfoArray[i], &bytes)) continue;
            kelmor::FontDirInfo dir;
            kelmor::ReadFontDirEntry(bytes.data(), bytes.size(), &dir);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!WriteFile(data, size)) return 0;
    kelmor::SetMessageBoxService(Accept);
    kelmor::EXEINFO *info = nullptr;
    if (kelmor::LoadExeInfo(FotPath().c_str(), &info) == 0) {
        ReadEveryResource(info);
        kelmor::FreeExeInfoMemory(info);
    }
    char fontFile[kelmor::kFontFileBytes];
    uint8_t fontDir[kelmor::kFontDirBytes];
    kelmor::DoFOT(FotPath().c_str(), fontFile, fontDir);
    return 0;
}
