// The install dialogs.  The selection dialog works on the installed list in
// memory and writes the section to the ini file only on OK; a deletion,
// though, takes the key out of the file at once.  The setup dialog changes
// one entry in memory and writes nothing itself.
#include "ttf/install/install_dialogs.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/dialog.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "resources/dialog_ids.h"
#include "ttf/install/fot.h"
#include "ttf/settings/installed_file.h"
#include "ttf/settings/settings.h"
#include "ttf/font/ttf.h"

namespace kelmor {

int32_t Selection = 0;

void TestReDupe(char **ppC, const char *pS) {
    if (!ppC || !pS) return;
    if (*ppC && std::strcmp(*ppC, pS) == 0) return;
    char *copy = CopyString(pS);
    if (!copy) return;
    std::free(*ppC);
    *ppC = copy;
}

namespace {

// The slots of an installed-font entry.
enum EntrySlot {
    kSlotTypeface = 0,
    kSlotFotFile = 1,
    kSlotTtfFile = 2,
    kSlotFontSymbolSet = 3,
    kSlotEncoding = 4,
    kSlotFullName = 5,
    kSlotPointSize = 6,
    kSlotDocSymbolSet = 7,
};

const char szNone[] = "(None)";
const char szDefaultPointSize[] = "48";
// The debug levels the setup dialog logs a font's tables with.
constexpr int kMapLogLevel = 28;
constexpr int kNameBytes = 64;
constexpr int kPostScriptNameID = 6;
constexpr int kFullNameID = 4;

// The library's own reader; the font directory entry it also yields is of
// no use here.
int32_t ReadFotFile(const char *szFileName, char *szFontFile128) {
    uint8_t fontDirEntry[256];
    return DoFOT(szFileName, szFontFile128, fontDirEntry);
}

FotReader fotReader = ReadFotFile;

bool HasName(const _IniFieldsType *pif) { return pif->ppFields[0] && pif->ppFields[0][0]; }

const char szSaveErrorTitle[] = "Kelmor.ini Not Saved";

// Tells the user why the ini file was not changed.
void WarnNotSaved(void *hdlg, const char *what) {
    std::string text = std::string(what) + ": " + ProfileErrorText(ProfileLastError());
    DialogWarn(hdlg, text.c_str(), szSaveErrorTitle);
}

// ------------------------------------------------------- selection dialog

// The entry shown in list row `row`.  The list shows only entries with a
// name, so rows are counted over those, not over the whole list: an entry
// whose name was emptied must not shift every later row onto its neighbour.
_IniFieldsType *EntryAtRow(int32_t row) {
    if (row < 0) return nullptr;
    for (_IniFieldsType *pif = pifKELMOHead; pif; pif = pif->pNext)
        if (HasName(pif) && row-- == 0) return pif;
    return nullptr;
}

int32_t FillFontList(void *hdlg) {
    DialogResetRows(hdlg, CTL_FONT_LIST);
    int32_t count = 0;
    for (_IniFieldsType *pif = pifKELMOHead; pif; pif = pif->pNext)
        if (HasName(pif)) {
            DialogAddRow(hdlg, CTL_FONT_LIST, pif->ppFields[0]);
            ++count;
        }
    if (count <= Selection) Selection = count - 1;
    DialogSelectRow(hdlg, CTL_FONT_LIST, Selection);
    return 1;
}

// Runs the setup dialog over this one, then refills the list as a fresh
// start of this dialog would.
void RunEditor(void *hdlg, EditUserInfo *info) {
    RunModalDialog(SetupData.hInstance, IDD_SETUP_FONT, hdlg, EditTTFDlgProc,
                   reinterpret_cast<intptr_t>(info));
    DialogSend(hdlg, kMsgInitDialog, 0, DialogUserData(hdlg));
}

void SetUpSelectedEntry(void *hdlg) {
    EditUserInfo info{EntryAtRow(Selection), nullptr, CTL_SETUP};
    RunEditor(hdlg, &info);
}

// The new entry is appended at once.  With an entry selected it is a copy
// of that entry, name included, so the two share a key until one is renamed.
void AddNewEntry(void *hdlg) {
    char *none = const_cast<char *>(szNone);  // only read: the list keeps copies
    char *fields[kKELMOFields] = {none, none, none};
    _IniFieldsType *base = EntryAtRow(Selection);
    if (base)
        for (int32_t i = 0; i < kKELMOFields; ++i) fields[i] = base->ppFields[i];
    _IniFieldsType *pif =
        AddIniFieldsType(&pifKELMOHead, &pifKELMOTail, fields, kKELMOType, kKELMOFields);
    Selection = 0;
    EditUserInfo info{pif, base, CTL_NEW};
    RunEditor(hdlg, &info);
}

void DeleteSelectedEntry(void *hdlg) {
    if (!RemoveKELMORPif(EntryAtRow(Selection)))
        WarnNotSaved(hdlg, "The font could not be removed from the ini file");
    DialogSend(hdlg, kMsgInitDialog, 0, DialogUserData(hdlg));
}

void AcceptSelection(void *hdlg) {
    if (char *choice = reinterpret_cast<char *>(DialogUserData(hdlg))) {
        std::string text = DialogItemText(hdlg, CTL_FONT_LIST).substr(0, kChoiceTextMax);
        std::memcpy(choice, text.c_str(), text.size() + 1);
    }
    // Every entry the file can hold is written; when one could not be, or
    // the file could not be written, the dialog stays open so that nothing
    // is lost unseen: the user can correct the entry or cancel.
    if (!WriteIniTypesFromKELMO(nullptr)) {
        WarnNotSaved(hdlg, "Not every font could be saved");
        return;
    }
    EndModalDialog(hdlg, 1);
}

intptr_t SelectCommand(void *hdlg, uint16_t id) {
    Selection = DialogSelectedRow(hdlg, CTL_FONT_LIST);
    switch (id) {
    case CTL_SETUP: SetUpSelectedEntry(hdlg); return 0;
    case CTL_NEW: AddNewEntry(hdlg); return 0;
    case CTL_DELETE: DeleteSelectedEntry(hdlg); return 0;
    case CTL_OK: AcceptSelection(hdlg); return 1;
    case CTL_CANCEL: EndModalDialog(hdlg, 0); return 1;
    case CTL_HELP: WinHelpContext(IDD_SELECT_FONT); return 0;
    default: return 0;
    }
}

// ----------------------------------------------------------- setup dialog

EditUserInfo *InfoOf(void *hdlg) { return reinterpret_cast<EditUserInfo *>(DialogUserData(hdlg)); }

_IniFieldsType *EntryOf(void *hdlg) {
    EditUserInfo *info = InfoOf(hdlg);
    return info ? info->pif : nullptr;
}

const char *SlotText(const _IniFieldsType *pif, int slot) {
    return pif && pif->ppFields[slot] ? pif->ppFields[slot] : "";
}

char **SlotOf(_IniFieldsType *pif, int slot) { return &pif->ppFields[slot]; }

// Lists every name code and selects the one equal to `code`, if any.
void FillSymbolSets(void *hdlg, int id, const char *code) {
    DialogResetRows(hdlg, id);
    int32_t match = -1;
    for (int32_t row = 0; row < kCharSetNameCount; ++row) {
        DialogAddRow(hdlg, id, csNames[row].lpszName);
        if (match < 0 && SameIgnoringCase(csNames[row].lpszName, code)) match = row;
    }
    DialogSelectRow(hdlg, id, match);
}

intptr_t Refresh(void *hdlg) {
    const _IniFieldsType *pif = EntryOf(hdlg);
    DialogSetItemText(hdlg, CTL_TYPEFACE, SlotText(pif, kSlotTypeface));
    DialogSetItemText(hdlg, CTL_FOT_FILE, SlotText(pif, kSlotFotFile));
    DialogSetItemText(hdlg, CTL_TTF_FILE, SlotText(pif, kSlotTtfFile));
    FillSymbolSets(hdlg, CTL_DOC_SYMBOL_SET, SlotText(pif, kSlotDocSymbolSet));
    FillSymbolSets(hdlg, CTL_FONT_SYMBOL_SET, SlotText(pif, kSlotFontSymbolSet));
    const char *pointSize = SlotText(pif, kSlotPointSize);
    DialogSetItemText(hdlg, CTL_POINT_SIZE, *pointSize ? pointSize : szDefaultPointSize);
    return 1;
}

// The log beside the font: its drive, directory and base name with ".map".
// A font whose own extension is ".map" would be that log and be deleted
// for it; its log takes the whole file name plus ".map" instead.
std::string MapLogPath(const char *ttfPath) {
    std::string path(ttfPath);
    size_t nameStart = DirectoryLength(ttfPath);
    size_t dot = path.rfind('.');
    bool isMapFile = dot != std::string::npos && dot >= nameStart &&
                     SameIgnoringCase(path.c_str() + dot, ".map");
    if (dot != std::string::npos && dot >= nameStart && !isMapFile) path.resize(dot);
    return path + ".map";
}

// Fills the entry from the names and code spaces of an open font.
void TakeNamesFromFont(_IniFieldsType *pif, _TTFont *pF) {
    int platform = 1, encoding = -1, language = -1;
    char postScriptName[kNameBytes];
    if (!FontNames(pF, &platform, &encoding, &language, kPostScriptNameID, postScriptName,
                   kNameBytes)) {
        platform = -1;
        FontNames(pF, &platform, &encoding, &language, kPostScriptNameID, postScriptName,
                  kNameBytes);
    }
    platform = 3;
    encoding = pF->uDeltaEncoding ? pF->uDeltaEncoding
               : pF->uHiByteEncoding ? pF->uHiByteEncoding
                                     : -1;
    language = -1;
    char fullName[kNameBytes];
    FontNames(pF, &platform, &encoding, &language, kFullNameID, fullName, kNameBytes);

    // A font without a PostScript name keeps the entry's name: an entry
    // without one could be neither listed, enumerated nor written.
    if (postScriptName[0]) TestReDupe(SlotOf(pif, kSlotTypeface), postScriptName);
    TestReDupe(SlotOf(pif, kSlotFontSymbolSet), Charset2NameCode(pF->csFont));
    TestReDupe(SlotOf(pif, kSlotEncoding), PcEncodingID2NameCode(encoding));
    TestReDupe(SlotOf(pif, kSlotFullName), fullName);
    TestReDupe(SlotOf(pif, kSlotPointSize), szDefaultPointSize);
    TestReDupe(SlotOf(pif, kSlotDocSymbolSet), LanguageID2NameCode(language));
}

intptr_t Reread(void *hdlg) {
    _IniFieldsType *pif = EntryOf(hdlg);
    if (!pif) return 0;
    // The slot may name a face of a collection.
    const InstalledFontFile file = ParseInstalledFontFile(SlotText(pif, kSlotTtfFile));
    std::string log = MapLogPath(file.path.c_str());
    std::remove(log.c_str());
    SetDebugLevel(log.c_str(), kMapLogLevel);
    // Opened as OpenInstalledFont opens it: later faces past the classic limits.
    _TTFont *pF = OpenTTFFace(file.path.c_str(), file.face, file.face != 0);
    if (!pF) {
        SetDebugLevel(nullptr, 0);
        DialogWarn(hdlg, "Cannot Open File", "File Error");
        return 0;
    }
    TakeNamesFromFont(pif, pF);
    CloseTTF(pF);
    SetDebugLevel(nullptr, 0);
    DialogSend(hdlg, kRefreshMessage, 0, 0);
    return 1;
}

// Runs the open-file dialog with one custom filter; the chosen path is never
// cut (the buffer holds the longest path the platform hands out).
bool ChooseFile(void *hdlg, const char *prompt, const char *filterName, const char *pattern,
                const char *dirSpec, std::string *chosen) {
    char filter[80] = {};
    size_t nameLength = std::strlen(filterName);
    std::memcpy(filter, filterName, nameLength + 1);
    std::memcpy(filter + nameLength + 1, pattern, std::strlen(pattern) + 1);
    std::vector<char> path(kMaxPathBytes, '\0');
    if (!DoFileNameKelmor(hdlg, prompt, path.data(), filter, sizeof filter, dirSpec, path.size()))
        return false;
    *chosen = path.data();
    return true;
}

void ShowSlot(void *hdlg, int id, const _IniFieldsType *pif, int slot) {
    DialogSetItemText(hdlg, id, SlotText(pif, slot));
}

// The TrueType file a .FOT file names; a bare file name lives beside the
// .FOT file.
std::string TtfBesideFot(const char *fontFile, const char *fotPath) {
    if (DirectoryLength(fontFile) > 0) return fontFile;
    return std::string(fotPath, DirectoryLength(fotPath)) + fontFile;
}

intptr_t ChooseFromWindows(void *hdlg) {
    _IniFieldsType *pif = EntryOf(hdlg);
    if (!pif || !pif->ppFields[kSlotFotFile]) return 0;
    std::string chosen;
    if (!ChooseFile(hdlg, "Find Windows Installed TT Font (*.FOT)", "Windows TT Font (*.FOT)",
                    "*.fot", pif->ppFields[kSlotFotFile], &chosen))
        return 0;
    TestReDupe(SlotOf(pif, kSlotFotFile), chosen.c_str());
    ShowSlot(hdlg, CTL_FOT_FILE, pif, kSlotFotFile);
    char fontFile[kFontFileBytes] = "";
    if (fotReader(SlotText(pif, kSlotFotFile), fontFile) != 1) return 0;
    if (FontFileNameMayBeCut(fontFile)) {
        DialogWarn(hdlg, "The TrueType file name in this file is too long", "File Error");
        return 0;
    }
    std::string ttfPath = TtfBesideFot(fontFile, SlotText(pif, kSlotFotFile));
    TestReDupe(SlotOf(pif, kSlotTtfFile), ttfPath.c_str());
    ShowSlot(hdlg, CTL_TTF_FILE, pif, kSlotTtfFile);
    DialogSend(hdlg, kRereadMessage, 0, 0);
    return 0;
}

intptr_t ChooseSeparateFile(void *hdlg) {
    _IniFieldsType *pif = EntryOf(hdlg);
    if (!pif || !pif->ppFields[kSlotTtfFile]) return 0;
    std::string chosen;
    if (!ChooseFile(hdlg, "Find TrueType Font File (*.ttf)", "TrueType Fonts (*.ttf)", "*.ttf",
                    pif->ppFields[kSlotTtfFile], &chosen))
        return 0;
    TestReDupe(SlotOf(pif, kSlotTtfFile), chosen.c_str());
    ShowSlot(hdlg, CTL_TTF_FILE, pif, kSlotTtfFile);
    TestReDupe(SlotOf(pif, kSlotFotFile), szNone);
    DialogSetItemText(hdlg, CTL_FOT_FILE, szNone);
    DialogSend(hdlg, kRereadMessage, 0, 0);
    return 0;
}

// A typeface name is the entry's key in the ini file: one the file cannot
// hold (a '=' in it, blanks around it, ...) is refused here, with the
// dialog left open, before it could keep the whole list from being saved.
bool TypefaceIsStorable(void *hdlg, const std::string &typeface) {
    if (typeface.empty() || ProfileTextIsWritable(szInstalledFontsSection, typeface.c_str(), ""))
        return true;
    DialogWarn(hdlg,
               "This typeface name cannot be stored in the ini file: it may not contain '=', "
               "begin with '[' or ';', or begin or end with a blank.",
               "Typeface Name");
    return false;
}

void AcceptEntry(void *hdlg) {
    std::string typeface = DialogItemText(hdlg, CTL_TYPEFACE);
    if (!TypefaceIsStorable(hdlg, typeface)) return;
    if (_IniFieldsType *pif = EntryOf(hdlg)) {
        TestReDupe(SlotOf(pif, kSlotTypeface), typeface.c_str());
        TestReDupe(SlotOf(pif, kSlotDocSymbolSet),
                   PcEncodingID2NameCode(DialogSelectedRow(hdlg, CTL_DOC_SYMBOL_SET)));
        TestReDupe(SlotOf(pif, kSlotFontSymbolSet),
                   PcEncodingID2NameCode(DialogSelectedRow(hdlg, CTL_FONT_SYMBOL_SET)));
        TestReDupe(SlotOf(pif, kSlotPointSize), DialogItemText(hdlg, CTL_POINT_SIZE).c_str());
    }
    EndModalDialog(hdlg, 1);
}

// A new entry the user cancels leaves the list again.  It was never
// written, so the file is not touched: deleting its key there would delete
// the entry it was copied from, which shares that key.
void CancelEntry(void *hdlg) {
    EditUserInfo *info = InfoOf(hdlg);
    if (info && info->wParam != CTL_SETUP && info->pif) {
        RemoveIniFieldsType(&pifKELMOHead, &pifKELMOTail, info->pif);
        FreeIniFieldsType(info->pif);
        info->pif = nullptr;
    }
    EndModalDialog(hdlg, 0);
}

intptr_t EditCommand(void *hdlg, uint16_t id) {
    switch (id) {
    case CTL_FROM_WINDOWS: return ChooseFromWindows(hdlg);
    case CTL_SEPARATE: return ChooseSeparateFile(hdlg);
    case CTL_OK: AcceptEntry(hdlg); return 1;
    case CTL_CANCEL: CancelEntry(hdlg); return 1;
    case CTL_HELP: WinHelpContext(IDD_SETUP_FONT); return 0;
    default: return 0;  // the bitmap "Setup" button among them
    }
}

}  // namespace

void SetFotReader(FotReader reader) { fotReader = reader ? reader : ReadFotFile; }

}  // namespace kelmor

using namespace kelmor;

extern "C" {

intptr_t KELMOR_CALL SelectTTFDlgProc(void *hdlg, uint32_t message, uintptr_t wParam,
                                      intptr_t lParam) {
    if (!DialogExists(hdlg)) return 0;
    switch (message) {
    case kMsgInitDialog:
        DialogSetUserData(hdlg, lParam);
        return FillFontList(hdlg);
    case kMsgCommand: return SelectCommand(hdlg, uint16_t(wParam & 0xFFFF));
    default: return DialogDefaultMessage(hdlg, message, wParam, lParam);
    }
}

intptr_t KELMOR_CALL EditTTFDlgProc(void *hdlg, uint32_t message, uintptr_t wParam,
                                    intptr_t lParam) {
    if (!DialogExists(hdlg)) return 0;
    switch (message) {
    case kMsgInitDialog:
        DialogSetUserData(hdlg, lParam);
        DialogLimitText(hdlg, CTL_TYPEFACE, kTypedTextMax);
        DialogLimitText(hdlg, CTL_POINT_SIZE, kTypedTextMax);
        return Refresh(hdlg);
    case kRefreshMessage: return Refresh(hdlg);
    case kRereadMessage: return Reread(hdlg);
    case kMsgCommand: return EditCommand(hdlg, uint16_t(wParam & 0xFFFF));
    default: return DialogDefaultMessage(hdlg, message, wParam, lParam);
    }
}

int32_t KELMOR_CALL KelmoInstallDialog() {
    char choice[kInstallChoiceBytes] = "";
    RunModalDialog(SetupData.hInstance, IDD_SELECT_FONT, ActiveWindow(), SelectTTFDlgProc,
                   reinterpret_cast<intptr_t>(choice));
    return 0;
}

}  // extern "C"
