// The install dialogs of the real kelmor32.dll, on screen under Wine: a
// host opens them with KelmoInstallDialog and plays the user's part by
// sending messages to the controls, checking the list box and Kelmor.ini
// after each step.  Each dialog is also captured to a PNG in the build tree.
//
// The dialogs are modal, so the test runs inside their message loops: a
// thread timer works through a script of steps, each of which waits until
// the window it needs is there.  Presses that open another modal window are
// posted, so that the step returns and the loops keep running.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "font_builder.h"
#include "kelmor.h"
#include "png_file.h"
#include "test_paths.h"
#include "text_file.h"

namespace {

const char kProfileSection[] = "Kelmor Type Font Interface 1.0";
const char kSelectCaption[] = "Kelmor Type Font";
const char kSetupCaption[] = "Setup Kelmor Type Font";
constexpr int kFontList = 19203, kSetup = 17, kNew = 150, kDelete = 50;
constexpr int kTypeface = 19219, kFromWindows = 18593, kFotFile = 18592;
constexpr int kSeparate = 19222, kTtfFile = 19221;
constexpr int kDocSymbolSet = 9079, kPointSize = 19223;

std::string FullPath(const std::string &path) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? full : path;
}

std::string ItemText(HWND dialog, int id) {
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::vector<std::string> ListRows(HWND dialog) {
    std::vector<std::string> rows;
    LRESULT count = SendDlgItemMessageA(dialog, kFontList, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char row[256] = "";
        SendDlgItemMessageA(dialog, kFontList, LB_GETTEXT, WPARAM(i), LPARAM(row));
        rows.push_back(row);
    }
    return rows;
}

// Presses a button as the mouse would; posted, because the press may open a
// modal window of its own.
void Press(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Types text into an edit control character by character, as a keyboard
// would, after selecting what was there.
void Type(HWND dialog, int id, const std::string &text) {
    HWND edit = GetDlgItem(dialog, id);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 0);
    for (char c : text) SendMessageA(edit, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 0);
}

// The window as it is on the screen, frame included, into a PNG.
void Capture(HWND window, const std::string &path) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC windowDc = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<uint8_t> rgb;
    const uint8_t *bgra = static_cast<const uint8_t *>(bits);
    for (int i = 0; i < width * height; ++i)
        rgb.insert(rgb.end(), {bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]});
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    EXPECT_TRUE(kelmor_test::WritePng(path, width, height, rgb)) << path;
}

// The open-file dialog's file name box: an edit in Wine's template, a combo
// box with an edit in Windows'.
HWND FileNameBox(HWND fileDialog) {
    for (int id : {0x47c, 0x480})
        if (HWND box = GetDlgItem(fileDialog, id)) return box;
    return nullptr;
}

// ---------------------------------------------------------------- resources

std::string Lowered(std::string text) {
    for (char &c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// One control of a dialog template as the resource holds it.
struct TemplateItem {
    uint16_t id;
    std::string className;  // lower case for the system classes
    std::string text;
    int x, y, cx, cy;
    DWORD style;
};

struct DialogTemplate {
    DWORD style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string className, caption, font;
    int pointSize = 0;
    std::vector<TemplateItem> items;
};

// Reads a name field: 0 (none), 0xFFFF and an ordinal, or a UTF-16 string
// (ASCII in these templates).
std::string ReadName(const uint16_t *&at) {
    static const char *const systemClasses[] = {"button", "edit", "static",
                                                "listbox", "scrollbar", "combobox"};
    if (*at == 0xFFFF) {
        uint16_t ordinal = at[1];
        at += 2;
        if (ordinal >= 0x80 && ordinal <= 0x85) return systemClasses[ordinal - 0x80];
        return "#" + std::to_string(ordinal);
    }
    std::string name;
    while (*at) name += char(*at++);
    ++at;
    return name;
}

const uint16_t *AlignToDword(const uint16_t *at, const void *base) {
    size_t offset = size_t(reinterpret_cast<const char *>(at) - static_cast<const char *>(base));
    return offset % 4 ? at + 1 : at;
}

DialogTemplate LoadTemplate(HMODULE module, int id) {
    DialogTemplate t;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!found) return t;
    const void *base = LockResource(LoadResource(module, found));
    const auto *header = static_cast<const DLGTEMPLATE *>(base);
    t.style = header->style;
    t.x = header->x, t.y = header->y, t.cx = header->cx, t.cy = header->cy;
    const uint16_t *at = reinterpret_cast<const uint16_t *>(header + 1);
    ReadName(at);  // no menu
    t.className = ReadName(at);
    t.caption = ReadName(at);
    if (t.style & DS_SETFONT) {
        t.pointSize = *at++;
        t.font = ReadName(at);
    }
    for (int i = 0; i < header->cdit; ++i) {
        at = AlignToDword(at, base);
        const auto *item = reinterpret_cast<const DLGITEMTEMPLATE *>(at);
        at = reinterpret_cast<const uint16_t *>(item + 1);
        TemplateItem control{item->id, "", "", item->x, item->y, item->cx, item->cy, item->style};
        control.className = ReadName(at);
        control.text = ReadName(at);
        at += 1 + (*at + 1) / 2;  // creation data: a byte count, then the bytes
        t.items.push_back(control);
    }
    return t;
}

struct ExpectedItem {
    uint16_t id;
    const char *className;
    const char *text;
    int x, y, cx, cy;
    DWORD styleBits;  // bits the control must have
};

constexpr uint16_t kNoId = 0xFFFF;
constexpr DWORD kBase = WS_CHILD | WS_VISIBLE;

void ExpectItems(const DialogTemplate &t, const std::vector<ExpectedItem> &expected) {
    ASSERT_EQ(expected.size(), t.items.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ExpectedItem &e = expected[i];
        const TemplateItem &a = t.items[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + e.text + ")");
        EXPECT_EQ(e.id, a.id);
        EXPECT_EQ(Lowered(e.className), Lowered(a.className));  // class names ignore case
        EXPECT_EQ(e.text, a.text);
        EXPECT_EQ(e.x, a.x);
        EXPECT_EQ(e.y, a.y);
        EXPECT_EQ(e.cx, a.cx);
        EXPECT_EQ(e.cy, a.cy);
        EXPECT_EQ(e.styleBits | kBase, a.style & (e.styleBits | kBase)) << std::hex << a.style;
    }
}

TEST(Resources, SelectionTemplateHoldsEveryControl) {
    DialogTemplate t = LoadTemplate(GetModuleHandleA("kelmor32.dll"), 19201);
    EXPECT_EQ("Kelmor Type Font", t.caption);
    EXPECT_EQ("bordlg", Lowered(t.className));
    EXPECT_EQ("Helv", t.font);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ((std::vector<int>{171, 88, 179, 124}), (std::vector<int>{t.x, t.y, t.cx, t.cy}));
    EXPECT_EQ(DWORD(DS_MODALFRAME | WS_CAPTION | WS_SYSMENU),
              t.style & (DS_MODALFRAME | WS_CAPTION | WS_SYSMENU));
    const DWORD list = LBS_NOTIFY | LBS_DISABLENOSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
    ExpectItems(t, {
        {kNoId, "BorShade", "", 0, 0, 180, 124, 0},
        {kNoId, "BorStatic", "DBCS &Font Name", 6, 4, 119, 12, 0},
        {19203, "listbox", "", 6, 16, 120, 62, list},
        {17, "BorBtn", "&S", 136, 6, 37, 25, 0},
        {150, "BorBtn", "&N", 136, 32, 37, 25, 0},
        {50, "BorBtn", "&D", 136, 58, 37, 25, 0},
        {kNoId, "BorShade", "", 0, 84, 180, 5, 0},
        {1, "BorBtn", "", 14, 92, 37, 25, BS_DEFPUSHBUTTON},
        {2, "BorBtn", "", 72, 92, 37, 25, 0},
        {998, "BorBtn", "", 128, 92, 37, 25, 0},
    });
    EXPECT_EQ(0u, t.items[2].style & LBS_SORT);
}

TEST(Resources, SetupTemplateHoldsEveryControl) {
    DialogTemplate t = LoadTemplate(GetModuleHandleA("kelmor32.dll"), 19217);
    EXPECT_EQ("Setup Kelmor Type Font", t.caption);
    EXPECT_EQ("bordlg", Lowered(t.className));
    EXPECT_EQ((std::vector<int>{11, 23, 211, 139}), (std::vector<int>{t.x, t.y, t.cx, t.cy}));
    const DWORD typed = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    ExpectItems(t, {
        {kNoId, "BorShade", "", 0, 0, 211, 139, 0},
        {kNoId, "BorShade", "Installation", 4, 2, 202, 54, 0},
        {kNoId, "BorStatic", "(v1.0..022)", 170, 1, 40, 8, 0},
        {kNoId, "BorStatic", "&Typface Name", 8, 14, 50, 10, 0},
        {19219, "edit", "", 62, 13, 140, 12, typed},
        {18593, "button", "From &Windows", 6, 27, 52, 12, 0},
        {18592, "static", "", 62, 27, 140, 12, WS_BORDER},
        {19222, "button", "Separa&te", 6, 41, 52, 12, 0},
        {19221, "static", "", 62, 41, 140, 12, WS_BORDER},
        {kNoId, "BorShade", "Symbol Sets", 4, 59, 122, 36, 0},
        {kNoId, "static", "In &Documents", 8, 70, 46, 8, 0},
        {9079, "combobox", "Text", 8, 80, 48, 40, CBS_DROPDOWNLIST | WS_VSCROLL},
        {kNoId, "static", "In Fo&nt", 76, 70, 46, 8, 0},
        {9078, "combobox", "", 76, 80, 48, 40, CBS_DROPDOWNLIST},
        {kNoId, "BorShade", "Associated Bitmaps", 129, 59, 77, 36, 0},
        {kNoId, "static", "&Point Size", 132, 70, 36, 8, 0},
        {19223, "edit", "", 132, 80, 24, 12, typed},
        {19224, "scrollbar", "", 156, 80, 6, 12, SBS_VERT},
        {19233, "button", "&Setup", 168, 78, 34, 12, WS_GROUP | WS_TABSTOP},
        {kNoId, "BorShade", "", 0, 101, 211, 3, 0},
        {1, "BorBtn", "", 22, 107, 37, 25, BS_DEFPUSHBUTTON},
        {2, "BorBtn", "", 86, 107, 37, 25, 0},
        {998, "BorBtn", "", 149, 107, 37, 25, 0},
    });
    EXPECT_EQ(0u, t.items[11].style & CBS_SORT);
}

// Normal, pressed and focused faces of the four bitmap buttons: 63 x 39
// pixels, 4 bits per pixel.
TEST(Resources, ButtonFacesAreThere) {
    HMODULE library = GetModuleHandleA("kelmor32.dll");
    for (int id : {17, 50, 150, 152})
        for (int face : {1000, 3000, 5000}) {
            SCOPED_TRACE(id + face);
            HRSRC found = FindResourceA(library, MAKEINTRESOURCEA(id + face), MAKEINTRESOURCEA(2));
            ASSERT_NE(nullptr, found);
            const auto *info = static_cast<const BITMAPINFOHEADER *>(
                LockResource(LoadResource(library, found)));
            EXPECT_EQ(63, info->biWidth);
            EXPECT_EQ(39, info->biHeight);
            EXPECT_EQ(4, info->biBitCount);
        }
}

// A step returns false while what it waits for is not there yet.
using Step = std::function<bool()>;

HWND Find(const char *caption) {
    HWND window = FindWindowA(nullptr, caption);
    return window && IsWindowVisible(window) ? window : nullptr;
}

// Types a path into the open-file dialog of that title and presses OK.
Step ChooseInFileDialog(const std::string &title, const std::string &path) {
    return [title, path] {
        HWND files = Find(title.c_str());
        if (!files || !FileNameBox(files)) return false;
        SetWindowTextA(FileNameBox(files), path.c_str());
        PostMessageA(files, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     LPARAM(GetDlgItem(files, IDOK)));
        return true;
    };
}

class Script {
public:
    static Script *current;
    std::deque<Step> steps;
    int ticks = 0;
    bool busy = false;

    // Runs `open` (which blocks in a modal loop) while the timer plays the
    // steps; fails the test when they are not all done within the time.
    void Run(const std::function<void()> &open) {
        current = this;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
        open();
        KillTimer(nullptr, timer);
        current = nullptr;
        EXPECT_TRUE(steps.empty()) << steps.size() << " steps left undone";
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Script *self = current;
        if (!self || self->busy) return;
        self->busy = true;
        // Thirty seconds at most: the open-file dialog is slow the first time.
        if (++self->ticks > 1500) {
            ADD_FAILURE() << "timed out with " << self->steps.size() << " steps left";
            self->steps.clear();
            if (HWND stuck = GetActiveWindow()) PostMessageA(stuck, WM_COMMAND, IDCANCEL, 0);
        } else if (!self->steps.empty() && self->steps.front()()) {
            self->steps.pop_front();
        }
        self->busy = false;
    }
};
Script *Script::current = nullptr;

// Under Xvfb no window manager draws frames and captions; Wine draws them
// itself when told so before its display driver starts, which is at the
// first window, so the captures show whole dialogs.  Windows ignores it.
struct DrawOwnWindowFrames : ::testing::Environment {
    void SetUp() override {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Decorated", 0, REG_SZ, reinterpret_cast<const BYTE *>("N"), 2);
            RegCloseKey(key);
        }
    }
};
const auto *const drawOwnWindowFrames =
    ::testing::AddGlobalTestEnvironment(new DrawOwnWindowFrames);

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = FullPath(kelmor_test::ScratchDir(
            ::testing::UnitTest::GetInstance()->current_test_info()->name()));
        ini_ = dir_ + "\\Kelmor.ini";
        font_ = FullPath(SquareFont(dir_ + "\\square.ttf"));
        shots_ = FullPath(".");
        ASSERT_TRUE(WriteProfileStringA(kProfileSection, "IniPath", ini_.c_str()));
    }
    void TearDown() override {
        WriteProfileStringA(kProfileSection, "IniPath", nullptr);
        KelmoRegisterApp(nullptr);
    }

    static std::string SquareFont(const std::string &path) {
        const std::string postScript = "KelmorSquare";
        return kelmor_test::FontBuilder()
            .UnitsPerEm(1000)
            .BoundingBox(0, 0, 1000, 1000)
            .Hhea(1000, 0)
            .Cmap4(3, 1, {{0x41, 1}})
            .AddGlyph(
                kelmor_test::Glyph::Simple({{{200, 200}, {200, 800}, {800, 800}, {800, 200}}}))
            .Name(1, 0, 0, 6, kelmor_test::Bytes(postScript.begin(), postScript.end()))
            .NameUtf16(3, 1, 0x411, 4, "Kelmor Square")
            .WriteTo(path);
    }

    void Install(const std::string &entries) {
        kelmor_test::WriteTextFile(ini_, "[Installed DBCS Fonts]\r\n" + entries);
        KelmoRegisterApp(nullptr);
    }
    std::string IniValue(const std::string &key) {
        char value[1024];
        GetPrivateProfileStringA("Installed DBCS Fonts", key.c_str(), "<none>", value,
                                 sizeof value, ini_.c_str());
        return value;
    }

    std::string dir_, ini_, font_, shots_;
    Script script_;
};

// New on a selected entry, a file chosen with Separate, a name typed, OK in
// both dialogs; then Delete of the old entry, which reaches the file at once.
TEST_F(Dialogs, NewEntryFromAFontFileAndDeleteOfAnother) {
    Install("Mincho=MINCHO.FOT," + font_ + ",SJS,SJS,Mincho,48,SJS,\r\n");
    HWND select = nullptr, setup = nullptr;
    script_.steps = {
        [&] {
            if (!(select = Find(kSelectCaption))) return false;
            EXPECT_EQ((std::vector<std::string>{"Mincho"}), ListRows(select));
            Capture(select, shots_ + "\\select_dialog.png");
            SendDlgItemMessageA(select, kFontList, LB_SETCURSEL, 0, 0);
            Press(select, kNew);
            return true;
        },
        [&] {
            if (!(setup = Find(kSetupCaption))) return false;
            // The new entry starts as a copy of the selected one.
            EXPECT_EQ("Mincho", ItemText(setup, kTypeface));
            EXPECT_EQ("MINCHO.FOT", ItemText(setup, kFotFile));
            Capture(setup, shots_ + "\\setup_dialog.png");
            Press(setup, kSeparate);
            return true;
        },
        ChooseInFileDialog("Find TrueType Font File (*.ttf)", font_),
        [&] {
            if (Find("Find TrueType Font File (*.ttf)") || ItemText(setup, kTtfFile) != font_)
                return false;
            // The file was read: its PostScript name replaced the copied name.
            EXPECT_EQ("KelmorSquare", ItemText(setup, kTypeface));
            EXPECT_EQ("(None)", ItemText(setup, kFotFile));
            EXPECT_EQ(2, SendDlgItemMessageA(setup, kDocSymbolSet, CB_GETCURSEL, 0, 0));  // SJS
            EXPECT_EQ("48", ItemText(setup, kPointSize));
            EXPECT_NE("", kelmor_test::ReadTextFile(dir_ + "\\square.map"));
            Type(setup, kTypeface, "Square Typed");
            Capture(setup, shots_ + "\\setup_dialog_filled.png");
            Press(setup, IDOK);
            return true;
        },
        [&] {
            if (Find(kSetupCaption)) return false;
            EXPECT_EQ((std::vector<std::string>{"Mincho", "Square Typed"}), ListRows(select));
            EXPECT_EQ("<none>", IniValue("Square Typed"));  // only the list's OK writes
            SendDlgItemMessageA(select, kFontList, LB_SETCURSEL, 0, 0);
            SendMessageA(GetDlgItem(select, kDelete), BM_CLICK, 0, 0);
            EXPECT_EQ("<none>", IniValue("Mincho"));
            EXPECT_EQ((std::vector<std::string>{"Square Typed"}), ListRows(select));
            Press(select, IDOK);
            return true;
        },
    };
    const std::string workingDir = FullPath(".");
    script_.Run([] { EXPECT_EQ(0, KelmoInstallDialog()); });
    EXPECT_EQ(workingDir, FullPath("."));  // choosing a file left the host's directory alone
    EXPECT_EQ("<none>", IniValue("Mincho"));
    EXPECT_EQ("(None)," + font_ + ",UNI,UNI,Kelmor Square,48,SJS,", IniValue("Square Typed"));
}

// Cancel of a new copy takes it out of the list and leaves the file alone
// (the key it shares is the original's); Set Up with an unreadable file
// warns; the selected row survives to the next run.
TEST_F(Dialogs, CancelledCopyUnreadableFileAndKeptSelection) {
    const std::string junk = dir_ + "\\junk.ttf";
    kelmor_test::WriteTextFile(junk, "not a font");
    Install("Mincho=MINCHO.FOT," + font_ + ",SJS,SJS,Mincho,48,SJS,\r\n"
            "Gothic=GOTHIC.FOT," + font_ + ",UNI,UNI,Gothic,24,GB,\r\n");
    HWND select = nullptr, setup = nullptr;
    script_.steps = {
        [&] {
            if (!(select = Find(kSelectCaption))) return false;
            SendDlgItemMessageA(select, kFontList, LB_SETCURSEL, 1, 0);
            Press(select, kNew);
            return true;
        },
        [&] {
            if (!(setup = Find(kSetupCaption))) return false;
            EXPECT_EQ("Gothic", ItemText(setup, kTypeface));
            Press(setup, IDCANCEL);
            return true;
        },
        [&] {
            if (Find(kSetupCaption)) return false;
            EXPECT_EQ((std::vector<std::string>{"Mincho", "Gothic"}), ListRows(select));
            EXPECT_EQ("GOTHIC.FOT," + font_ + ",UNI,UNI,Gothic,24,GB,", IniValue("Gothic"));
            SendDlgItemMessageA(select, kFontList, LB_SETCURSEL, 1, 0);
            Press(select, kSetup);
            return true;
        },
        [&] {
            if (!(setup = Find(kSetupCaption))) return false;
            Press(setup, kSeparate);
            return true;
        },
        ChooseInFileDialog("Find TrueType Font File (*.ttf)", junk),
        [&] {
            HWND warning = Find("File Error");
            if (!warning) return false;
            EXPECT_EQ(setup, GetWindow(warning, GW_OWNER));
            Capture(warning, shots_ + "\\file_error.png");
            PostMessageA(warning, WM_COMMAND, IDOK, 0);
            return true;
        },
        [&] {
            if (Find("File Error")) return false;
            EXPECT_EQ(junk, ItemText(setup, kTtfFile));
            EXPECT_EQ("Gothic", ItemText(setup, kTypeface));
            Press(setup, IDOK);
            return true;
        },
        [&] {
            if (Find(kSetupCaption)) return false;
            Press(select, IDCANCEL);
            return true;
        },
    };
    script_.Run([] { KelmoInstallDialog(); });
    // Cancel: the file is as it was.
    EXPECT_EQ("GOTHIC.FOT," + font_ + ",UNI,UNI,Gothic,24,GB,", IniValue("Gothic"));
    EXPECT_NE("<none>", IniValue("Mincho"));

    Script again;
    again.steps = {[&] {
        if (!(select = Find(kSelectCaption))) return false;
        EXPECT_EQ(1, SendDlgItemMessageA(select, kFontList, LB_GETCURSEL, 0, 0));
        Press(select, IDOK);
        return true;
    }};
    again.Run([] { KelmoInstallDialog(); });
    EXPECT_EQ("(None)," + junk + ",UNI,UNI,Gothic,24,GB,", IniValue("Gothic"));
}

// From Windows: a .FOT file the system wrote for a copy of IPA Gothic; the
// library's reader asks whether to take the font, and the setup dialog then
// reads the TrueType file the .FOT names.
TEST_F(Dialogs, FromWindowsTakesTheFontAFotFileNames) {
    const std::string debianFont = kelmor_test::DebianFont("opentype/ipafont-gothic/ipag.ttf");
    if (debianFont.empty()) GTEST_SKIP() << "IPA Gothic is not installed";
    const std::string ttf = dir_ + "\\ipag.ttf", fot = dir_ + "\\ipag.fot";
    ASSERT_TRUE(CopyFileA(("Z:" + debianFont).c_str(), ttf.c_str(), FALSE));
    ASSERT_TRUE(CreateScalableFontResourceA(0, fot.c_str(), ttf.c_str(), nullptr));
    Install("Mincho=MINCHO.FOT," + font_ + ",SJS,SJS,Mincho,48,SJS,\r\n");
    HWND select = nullptr, setup = nullptr;
    script_.steps = {
        [&] {
            if (!(select = Find(kSelectCaption))) return false;
            Press(select, kSetup);
            return true;
        },
        [&] {
            if (!(setup = Find(kSetupCaption))) return false;
            Press(setup, kFromWindows);
            return true;
        },
        ChooseInFileDialog("Find Windows Installed TT Font (*.FOT)", fot),
        [&] {
            HWND question = Find(fot.c_str());  // the font directory entry, captioned by path
            if (!question) return false;
            Capture(question, shots_ + "\\fot_question.png");
            PostMessageA(question, WM_COMMAND, IDOK, 0);
            return true;
        },
        [&] {
            if (Find(fot.c_str()) || ItemText(setup, kTypeface) == "Mincho") return false;
            EXPECT_EQ(fot, ItemText(setup, kFotFile));
            EXPECT_EQ(ttf, ItemText(setup, kTtfFile));
            EXPECT_EQ("IPAGothic", ItemText(setup, kTypeface));
            Press(setup, IDOK);
            return true;
        },
        [&] {
            if (Find(kSetupCaption)) return false;
            EXPECT_EQ((std::vector<std::string>{"IPAGothic"}), ListRows(select));
            Press(select, IDOK);
            return true;
        },
    };
    script_.Run([] { KelmoInstallDialog(); });
    EXPECT_EQ("<none>", IniValue("Mincho"));
    EXPECT_EQ(fot + "," + ttf + ",", IniValue("IPAGothic").substr(0, fot.size() + ttf.size() + 2));
}

// A host may run the exported dialog procedure itself, with its own
// buffer, once KelmoRegisterApp has prepared the library.
TEST_F(Dialogs, HostRunsTheExportedProcedure) {
    Install("Mincho=MINCHO.FOT," + font_ + ",SJS,SJS,Mincho,48,SJS,\r\n");
    char choice[80];
    std::memset(choice, 'x', sizeof choice);
    script_.steps = {[&] {
        HWND select = Find(kSelectCaption);
        if (!select) return false;
        Press(select, IDOK);
        return true;
    }};
    HINSTANCE library = GetModuleHandleA("kelmor32.dll");
    INT_PTR result = 0;
    script_.Run([&] {
        result = DialogBoxParamA(library, MAKEINTRESOURCEA(19201), nullptr,
                                 reinterpret_cast<DLGPROC>(SelectTTFDlgProc), LPARAM(choice));
    });
    EXPECT_EQ(1, result);
    EXPECT_STREQ("", choice);  // the list box has no text of its own
}

}  // namespace
