// The loader's entry into kelmor32.dll.
#include <windows.h>

#include "ttf/settings.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE hinstDll, DWORD fdwReason, LPVOID lpvReserved) {
    return kelmor::DllEntryPoint(hinstDll, fdwReason, lpvReserved) != 0;
}
