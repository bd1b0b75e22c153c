// The custom control classes the install dialogs' templates name: "bordlg",
// "BorBtn", "BorShade", "BorStatic" and "BorRadio".  They once came from an
// outside control library that a host had to load; the library now brings
// its own and registers whichever the process lacks.
#ifndef KELMOR_PLATFORM_WIN32_CUSTOM_CONTROLS_H
#define KELMOR_PLATFORM_WIN32_CUSTOM_CONTROLS_H

#include <windows.h>

namespace kelmor {

// Registers, for module `instance`, each class that a dialog created from
// that module would not find; a class the host registered stays its own.
void RegisterMissingControlClasses(HINSTANCE instance);

// Draws a "BorBtn" control of the library's own class; FALSE for any other
// owner-drawn item.
BOOL DrawBitmapButton(const DRAWITEMSTRUCT *item);

}  // namespace kelmor

#endif
