// The library's own versions of the dialog control classes.
//
// Look: everything sits on the system's button-face colour, so the dialogs
// follow the desktop's scheme instead of imposing one.  The dialog ("bordlg")
// is an ordinary dialog window.  A "BorShade" is a flat panel with a thin
// raised edge, a sunken (etched) group frame with its caption set into the
// top line, or a sunken horizontal divider; shades never take the mouse and
// stay behind the other controls.  A "BorStatic" is left-aligned text with
// its mnemonic underlined.  A "BorBtn" is a push button drawn by us: with
// the module's face images for its id (normal, pressed, focused) when they
// exist, otherwise a raised face with a picture and a word — a green tick
// for OK, a red cross for Cancel, a blue question mark for Help — and the
// dotted focus rectangle and a dark default frame of a standard button.
// "BorRadio" is a standard radio button.
//
// The push button, static text and radio button reuse the system's own
// classes (superclassing), so keyboard, focus, mnemonics, BM_CLICK and
// accessibility behave exactly as users expect; only the drawing is ours.
#include "platform/win32/custom_controls.h"

#include <cstring>

#include "resources/dialog_ids.h"

namespace kelmor {

namespace {

const char kDialogClass[] = "bordlg";
const char kButtonClass[] = "BorBtn";
const char kShadeClass[] = "BorShade";
const char kStaticClass[] = "BorStatic";
const char kRadioClass[] = "BorRadio";

WNDPROC systemButtonProc;
WNDPROC systemStaticProc;
bool ownButtonClass;

// ------------------------------------------------------------ the dialog

// Shades lie under every other control, the largest lowest, and clip
// themselves against what lies above them: a panel then never paints over
// a list or a button, whatever order the template created them in.
void SendShadesToBack(HWND dialog) {
    HWND shades[32];
    int count = 0;
    char className[16];
    for (HWND child = GetWindow(dialog, GW_CHILD); child && count < 32;
         child = GetWindow(child, GW_HWNDNEXT))
        if (GetClassNameA(child, className, sizeof className) &&
            lstrcmpiA(className, kShadeClass) == 0)
            shades[count++] = child;
    auto area = [](HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return (r.right - r.left) * (r.bottom - r.top);
    };
    // Smallest first: each later, larger one goes beneath it.
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && area(shades[j]) < area(shades[j - 1]); --j) {
            HWND swap = shades[j];
            shades[j] = shades[j - 1];
            shades[j - 1] = swap;
        }
    for (int i = 0; i < count; ++i)
        SetWindowPos(shades[i], HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CALLBACK DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SendShadesToBack(window);
    if (message == WM_DRAWITEM &&
        DrawBitmapButton(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam)))
        return TRUE;
    return DefDlgProcA(window, message, wParam, lParam);
}

// ---------------------------------------------------------------- shades

HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(GetWindowLongPtrA(window, 0)); }

void DrawGroupFrame(HWND window, HDC dc, RECT r) {
    char caption[128];
    int length = GetWindowTextA(window, caption, sizeof caption);
    HGDIOBJ font = FontOf(window) ? FontOf(window) : GetStockObject(DEFAULT_GUI_FONT);
    HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    RECT frame = r;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (length > 0) {
        SIZE extent;
        GetTextExtentPoint32A(dc, caption, length, &extent);
        RECT text = {r.left + 6, r.top, r.left + 10 + extent.cx, r.top + metrics.tmHeight};
        FillRect(dc, &text, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        TextOutA(dc, r.left + 8, r.top, caption, length);
    }
    SelectObject(dc, oldFont);
}

void PaintShade(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT r;
    GetClientRect(window, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    switch (GetWindowLongA(window, GWL_STYLE) & 0xF) {
    case SHADE_GROUP: DrawGroupFrame(window, dc, r); break;
    case SHADE_DIVIDER: {
        RECT line = r;
        line.top = (r.top + r.bottom) / 2 - 1;
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        break;
    }
    default: DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT); break;
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK ShadeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_CLIPSIBLINGS);
        break;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_SETFONT:
        SetWindowLongPtrA(window, 0, LONG_PTR(wParam));
        if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return LRESULT(FontOf(window));
    case WM_ERASEBKGND: return 1;  // painted whole in WM_PAINT
    case WM_PAINT: PaintShade(window); return 0;
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// --------------------------------------------------------------- buttons

// A push button that is ours to draw; remembers whether the template made
// it the default button.
LRESULT CALLBACK ButtonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        LONG style = GetWindowLongA(window, GWL_STYLE);
        SetWindowLongPtrA(window, GWLP_USERDATA, style & BS_TYPEMASK);
        SetWindowLongA(window, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    } else if (message == BM_SETSTYLE) {
        wParam = (wParam & ~WPARAM(BS_TYPEMASK)) | BS_OWNERDRAW;
    }
    return CallWindowProcA(systemButtonProc, window, message, wParam, lParam);
}

bool IsDefaultButton(HWND button) {
    DWORD defId = DWORD(SendMessageA(GetParent(button), DM_GETDEFID, 0, 0));
    if (HIWORD(defId) == DC_HASDEFID) return LOWORD(defId) == GetDlgCtrlID(button);
    return GetWindowLongPtrA(button, GWLP_USERDATA) == BS_DEFPUSHBUTTON;
}

// One of the module's face images, centred; false when there is none.
bool DrawFaceImage(const DRAWITEMSTRUCT *item, int id, bool pressed, bool focused) {
    auto module =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(item->hwndItem, GWLP_HINSTANCE));
    int face = pressed ? BUTTON_FACE_PRESSED : focused ? BUTTON_FACE_FOCUSED : BUTTON_FACE_NORMAL;
    HBITMAP image = LoadBitmapA(module, MAKEINTRESOURCEA(id + face));
    if (!image) return false;
    BITMAP info;
    GetObjectA(image, sizeof info, &info);
    const RECT &r = item->rcItem;
    FillRect(item->hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    HDC source = CreateCompatibleDC(item->hDC);
    HGDIOBJ old = SelectObject(source, image);
    // The faces were drawn for the dialog font's usual size; where the
    // button comes out smaller, the face shrinks with it rather than lose
    // its caption's ends.
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width >= info.bmWidth && height >= info.bmHeight) {
        BitBlt(item->hDC, r.left + (width - info.bmWidth) / 2,
               r.top + (height - info.bmHeight) / 2, info.bmWidth, info.bmHeight, source, 0, 0,
               SRCCOPY);
    } else {
        SetStretchBltMode(item->hDC, HALFTONE);
        SetBrushOrgEx(item->hDC, 0, 0, nullptr);
        StretchBlt(item->hDC, r.left, r.top, width, height, source, 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(image);
    return true;
}

void DrawTick(HDC dc, int x, int y) {
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 128, 0));
    HGDIOBJ old = SelectObject(dc, pen);
    POINT tick[] = {{x - 6, y}, {x - 2, y + 4}, {x + 6, y - 5}};
    Polyline(dc, tick, 3);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawCross(HDC dc, int x, int y) {
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(208, 0, 0));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x - 5, y - 5, nullptr);
    LineTo(dc, x + 5, y + 5);
    MoveToEx(dc, x + 5, y - 5, nullptr);
    LineTo(dc, x - 5, y + 5);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawQuestionMark(HDC dc, int x, int y) {
    HFONT font = CreateFontA(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0,
                             VARIABLE_PITCH | FF_SWISS, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, RGB(0, 0, 192));
    RECT box = {x - 10, y - 9, x + 10, y + 9};
    DrawTextA(dc, "?", 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(font);
}

// The faces of OK, Cancel and Help, and of any other id without images:
// picture above, word below.
void DrawOwnFace(const DRAWITEMSTRUCT *item, int id, bool pressed, bool focused) {
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    int shift = pressed ? 1 : 0;
    int centreX = (r.left + r.right) / 2 + shift;
    int pictureY = r.top + (r.bottom - r.top) / 3 + shift;
    char word[64];
    switch (id) {
    case CTL_OK: DrawTick(dc, centreX, pictureY); lstrcpyA(word, "OK"); break;
    case CTL_CANCEL: DrawCross(dc, centreX, pictureY); lstrcpyA(word, "Cancel"); break;
    case CTL_HELP: DrawQuestionMark(dc, centreX, pictureY); lstrcpyA(word, "Help"); break;
    default: GetWindowTextA(item->hwndItem, word, sizeof word); break;
    }
    auto font = reinterpret_cast<HFONT>(SendMessageA(item->hwndItem, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    bool disabled = (item->itemState & ODS_DISABLED) != 0;
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    RECT text = {r.left + 4 + shift, (r.top + r.bottom) / 2 + 1 + shift, r.right - 4 + shift,
                 r.bottom - 4 + shift};
    DrawTextA(dc, word, -1, &text, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    if (focused) DrawFocusRect(dc, &text);
    SelectObject(dc, oldFont);
}

// ---------------------------------------------------------- registration

bool SuperclassSystem(HINSTANCE instance, const char *systemClass, const char *name,
                      WNDPROC proc, WNDPROC *systemProc) {
    WNDCLASSA wc;
    if (!GetClassInfoA(nullptr, systemClass, &wc)) return false;
    *systemProc = wc.lpfnWndProc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    wc.style &= ~CS_GLOBALCLASS;
    return RegisterClassA(&wc) != 0;
}

LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(systemStaticProc, window, message, wParam, lParam);
}

LRESULT CALLBACK RadioWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(systemButtonProc, window, message, wParam, lParam);
}

void RegisterOwnClass(HINSTANCE instance, const char *name, WNDPROC proc, int extraBytes,
                      HBRUSH background) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = extraBytes;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

bool Missing(HINSTANCE instance, const char *name) {
    WNDCLASSA wc;
    return !GetClassInfoA(instance, name, &wc);
}

}  // namespace

void RegisterMissingControlClasses(HINSTANCE instance) {
    if (Missing(instance, kDialogClass))
        RegisterOwnClass(instance, kDialogClass, DialogWindowProc, DLGWINDOWEXTRA,
                         reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    if (Missing(instance, kShadeClass))
        RegisterOwnClass(instance, kShadeClass, ShadeWindowProc, sizeof(LONG_PTR), nullptr);
    if (Missing(instance, kButtonClass))
        ownButtonClass = SuperclassSystem(instance, "BUTTON", kButtonClass, ButtonWindowProc,
                                          &systemButtonProc);
    if (Missing(instance, kStaticClass))
        SuperclassSystem(instance, "STATIC", kStaticClass, StaticWindowProc, &systemStaticProc);
    if (Missing(instance, kRadioClass))
        SuperclassSystem(instance, "BUTTON", kRadioClass, RadioWindowProc, &systemButtonProc);
}

BOOL DrawBitmapButton(const DRAWITEMSTRUCT *item) {
    if (!item || item->CtlType != ODT_BUTTON || !ownButtonClass) return FALSE;
    char className[16];
    if (!GetClassNameA(item->hwndItem, className, sizeof className) ||
        lstrcmpiA(className, kButtonClass) != 0)
        return FALSE;
    int id = int(item->CtlID);
    bool pressed = (item->itemState & ODS_SELECTED) != 0;
    bool focused = (item->itemState & ODS_FOCUS) != 0;
    if (!DrawFaceImage(item, id, pressed, focused)) DrawOwnFace(item, id, pressed, focused);
    if (IsDefaultButton(item->hwndItem)) {
        HBRUSH frame = GetSysColorBrush(COLOR_WINDOWFRAME);
        FrameRect(item->hDC, &item->rcItem, frame);
    }
    return TRUE;
}

}  // namespace kelmor
