// The process entry point and KelmoRegisterApp: loading the settings when
// the library arrives in a process, and again when a host asks for it.
#include "ttf/api/kelmor_entry.h"

#include "kelmor.h"
#include "platform/dialog.h"
#include "platform/module.h"
#include "ttf/settings/settings.h"

namespace kelmor {

int32_t DllEntryPoint(void *hinstDll, uint32_t fdwReason, void *) {
    switch (fdwReason) {
    case kProcessAttach:
        // A repeated attach finds the handle stored and changes nothing.
        if (!SetupData.hInstance) {
            SetupData.hInstance = hinstDll;
            InitIniFile();
            InitKELMOFromIni();
        }
        return 1;
    case kThreadAttach:
    case kThreadDetach:
        return 0;
    default:  // process detach frees nothing
        return 1;
    }
}

namespace {

// Where no loader calls DllMain (Linux, or the library linked into an
// executable), starting the program is the process attach.
__attribute__((constructor)) void AttachWithoutLoader() {
    if (!LoaderCallsDllMain()) DllEntryPoint(LibraryModuleHandle(), kProcessAttach, nullptr);
}

}  // namespace

}  // namespace kelmor

#ifdef _WIN32
// The Windows loader's entry into kelmor32.dll, declared with the plain
// types behind HINSTANCE, DWORD and LPVOID so that no Windows header is
// needed here.
extern "C" int __stdcall DllMain(void *hinstDll, unsigned long fdwReason, void *lpvReserved) {
    return kelmor::DllEntryPoint(hinstDll, uint32_t(fdwReason), lpvReserved) != 0;
}
#endif

void *KELMOR_CALL KelmoRegisterApp(void *) {
    using namespace kelmor;
    InitIniFile();
    InitKELMOFromIni();
    TestOpenConcordance();
    InitHelpFileName();
    // A host that opens the dialog templates itself needs their classes.
    PrepareDialogClasses(SetupData.hInstance);
    return SetupData.hInstance;
}
