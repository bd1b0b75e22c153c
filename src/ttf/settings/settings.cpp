#include "ttf/settings/settings.h"

#include <cerrno>
#include <cstring>
#include <iterator>
#include <mutex>
#include <string>

#include "platform/help.h"
#include "platform/module.h"
#include "platform/profile.h"
#include "common/text.h"

namespace kelmor {

_LibSetup SetupData;
char szIniFile[kMaxPathBytes];
char szJis2UniFile[kMaxPathBytes];
char szBig5_UniFile[kMaxPathBytes];
char szGb2UniFile[kMaxPathBytes];
char szGbkUniFile[kMaxPathBytes];
char szWans2UniFile[kMaxPathBytes];
char szWinHelpFileName[kMaxPathBytes];

_IniFieldsType *pifKELMOHead, *pifKELMOTail;
_IniFieldsType *pifCOBHead, *pifCOBTail;
_IniFieldsType *pifRCHead, *pifRCTail;

const char szInstalledFontsSection[] = "Installed DBCS Fonts";
const char szConcordanceSection[] = "Code Space Concordances";
const char szHelpSection[] = "Help";
const char szRenderingSection[] = "Rendering";

// The row number is the encoding ID of a Microsoft name record.
const CharSetNames csNames[kCharSetNameCount] = {
    {0, "ASC"},     // ANSI
    {137, "UNI"},   // Unicode code space (the library's own value)
    {128, "SJS"},   // Shift-JIS
    {134, "GB"},    // GB 2312
    {136, "Big5"},  // Big5
    {129, "WanS"},  // Hangeul (Wansung)
    {130, "JoHp"},  // Johab
    {240, "SC"},    // the library's default document symbol set
    {241, "Gly"},   // glyph numbers (the library's own value)
};

const CharSetNames csLangNames[kLangNameCount] = {
    {0x404, "Big5"},  // Chinese as used in Taiwan
    {0x804, "GB"},    // Chinese as used in the PRC
    {0x411, "SJS"},   // Japanese
    {9999, "Unk"},
};

namespace {

const char szUnknownCode[] = "Unk";
const char szProfileSection[] = "Kelmor Type Font Interface 1.0";
const char szIniFileName[] = "Kelmor.ini";
const char szDefaultHelpFile[] = "Zud.hlp";
const char szDefaultHelpKey[] = "English v3.0";

// Stores directory + file name, or refuses a path that would not fit and
// leaves `out` empty.
bool BuildPathBeside(char *out, const char *pathInDirectory, const char *fileName) {
    size_t directory = DirectoryLength(pathInDirectory);
    size_t name = std::strlen(fileName);
    out[0] = '\0';
    if (directory + name >= kMaxPathBytes) return false;
    std::memcpy(out, pathInDirectory, directory);
    std::memcpy(out + directory, fileName, name + 1);
    return true;
}

// Copies a path that fits; a longer one leaves `out` as it was.
bool CopyWholePath(char *out, const char *path) {
    size_t length = std::strlen(path);
    if (length >= kMaxPathBytes) return false;
    std::memcpy(out, path, length + 1);
    return true;
}

std::string Lowered(const char *text) {
    std::string lowered(text);
    for (char &c : lowered) c = AsciiLower(c);
    return lowered;
}

bool HaveIniFile() { return szIniFile[0] != '\0'; }

// Guards szIniFile's changes against the copies fonts take on other threads.
std::mutex &IniPathLock() {
    static std::mutex lock;
    return lock;
}

// The library file the ini file lives beside when the module holding this
// code is not the library (the tool links the library's code statically).
std::string libraryFileForIni;

// Reports a write refused before the store was asked.
bool FailWith(int error) {
    ProfileSetLastError(error);
    return false;
}

// Without an ini file nothing can be written.
bool NoIniFile() { return FailWith(ENOENT); }

}  // namespace

int32_t InitIniFile() {
    // One byte more than a path may use, so that a value that filled the
    // buffer is known to have been cut.
    char profilePath[kMaxPathBytes + 1];
    uint32_t length = ProfileReadString(nullptr, szProfileSection, "IniPath", "", profilePath,
                                        sizeof profilePath);
    char iniFile[kMaxPathBytes] = "";
    char modulePath[kMaxPathBytes];
    if (length > 0)
        CopyWholePath(iniFile, profilePath);
    else if (!libraryFileForIni.empty())
        BuildPathBeside(iniFile, libraryFileForIni.c_str(), szIniFileName);
    else if (ModuleFileName(SetupData.hInstance, modulePath, sizeof modulePath))
        BuildPathBeside(iniFile, modulePath, szIniFileName);
    std::lock_guard<std::mutex> hold(IniPathLock());
    std::memcpy(szIniFile, iniFile, sizeof szIniFile);
    return 0;
}

void SetLibraryFileForIni(const char *libraryFile) {
    libraryFileForIni = libraryFile ? libraryFile : "";
}

int32_t RenderingOptionsFromIni(const RenderingSwitch *switches, size_t count) {
    std::string iniFile;
    {
        std::lock_guard<std::mutex> hold(IniPathLock());
        iniFile = szIniFile;
    }
    if (iniFile.empty()) return 0;
    int32_t options = 0;
    for (size_t i = 0; i < count; ++i) {
        char value[8];
        ProfileReadString(iniFile.c_str(), szRenderingSection, switches[i].key, "", value,
                          sizeof value);
        if (switches[i].whenNo) {
            for (const char *no : {"0", "no", "off", "false"})
                if (SameIgnoringCase(value, no)) options |= switches[i].option;
        } else {
            for (const char *yes : {"1", "yes", "on", "true"})
                if (SameIgnoringCase(value, yes)) options |= switches[i].option;
        }
    }
    return options;
}

bool FaithfulFromIni() { return RenderingOptionsFromIni({{"Faithful", 1}}) != 0; }
bool EmbeddedBitmapsFromIni() { return RenderingOptionsFromIni({{"EmbeddedBitmaps", 1}}) != 0; }

void InitKELMOFromIni() {
    ReadIniFieldsTypes(&pifKELMOHead, &pifKELMOTail, kKELMOType, kKELMOFields, szIniFile,
                       szInstalledFontsSection);
}

// Deleting every key and then writing the list would be two changes of the
// file: a reader in between would find no fonts installed, and a crash
// there would lose them all.  The section is replaced in one change.
bool WriteIniTypesFromKELMO(const char *) {
    if (!HaveIniFile()) return NoIniFile();
    return ReplaceIniSection(pifKELMOHead, szIniFile, szInstalledFontsSection);
}

bool WriteInstalledEntry(const _IniFieldsType *pif) {
    if (!HaveIniFile()) return NoIniFile();
    return WriteIniRecord(pif, szIniFile, szInstalledFontsSection);
}

// Only the new entry's key is written, in one locked read-modify-write of
// the file: rewriting the whole list from memory would undo what other
// processes changed since it was read, and one entry that cannot be stored
// would hold back every later one.  An entry that is not written leaves the
// list again, so the list stays what the file holds.
int AddInstalledFont(char *const *fields) {
    _IniFieldsType *pif = AddIniFieldsType(&pifKELMOHead, &pifKELMOTail,
                                           const_cast<char **>(fields), kKELMOType, kKELMOFields);
    if (!pif) return 0;  // no name: nothing to install
    bool written = IniRecordIsWritable(pif, szInstalledFontsSection) ? WriteInstalledEntry(pif)
                                                                       : FailWith(EINVAL);
    if (written) return 0;
    RemoveIniFieldsType(&pifKELMOHead, &pifKELMOTail, pif);
    FreeIniFieldsType(pif);
    return ProfileLastError();
}

bool WriteBitmapAssociation(const char *fullName, int iResolution, const char *lpszFilename) {
    if (!HaveIniFile()) return NoIniFile();
    // The section name is built without a fixed buffer: a long full name
    // would otherwise be cut and name another font's section.
    std::string section = std::string("Bitmap for ") + fullName;
    std::string key = std::to_string(iResolution);
    return ProfileWriteString(szIniFile, section.c_str(), key.c_str(), lpszFilename);
}

// An entry whose key could not leave the file stays in the list too.
bool RemoveKELMORPif(_IniFieldsType *pif) {
    if (!pif) return true;
    if (HaveIniFile() && pif->ppFields[0] &&
        !ProfileDeleteKey(szIniFile, szInstalledFontsSection, pif->ppFields[0]))
        return false;
    RemoveIniFieldsType(&pifKELMOHead, &pifKELMOTail, pif);
    FreeIniFieldsType(pif);
    return true;
}

void ZapKELMOs() { ZapIniFieldsTypes(&pifKELMOHead, &pifKELMOTail); }

void InitCOBFromIni() {
    ZapCOBs();
    ReadIniFieldsTypes(&pifCOBHead, &pifCOBTail, kCOBType, kCOBFields, szIniFile,
                       szConcordanceSection);
}

void ZapCOBs() { ZapIniFieldsTypes(&pifCOBHead, &pifCOBTail); }

void TestOpenConcordance() {
    static const char *const concordanceNames[] = {"jis2uni.cob", "big5_uni.cob", "gb2uni.cob",
                                                   "gbk_uni.cob", "wans2uni.cob"};
    char *const paths[] = {szJis2UniFile, szBig5_UniFile, szGb2UniFile, szGbkUniFile,
                           szWans2UniFile};
    static_assert(std::size(concordanceNames) == std::size(paths), "a path for every name");
    InitCOBFromIni();
    for (_IniFieldsType *pif = pifCOBHead; pif; pif = pif->pNext) {
        char *key = pif->ppFields[0];
        if (!key) continue;
        // Where file names ignore case the key is kept in lower case; on
        // Linux the lowered path might name no file, so it stays as written.
        if (kFileNamesIgnoreCase)
            for (char *c = key; *c; ++c) *c = AsciiLower(*c);
        std::string lowered = Lowered(key);
        for (size_t i = 0; i < std::size(paths); ++i)
            if (lowered.find(concordanceNames[i]) != std::string::npos)
                CopyWholePath(paths[i], key);
    }
}

int32_t InitHelpFileName() {
    ReadIniFieldsTypes(&pifRCHead, &pifRCTail, kRCType, kRCFields, szIniFile, szHelpSection);
    if (pifRCHead) {
        if (pifRCHead->ppFields[1] && !CopyWholePath(szWinHelpFileName, pifRCHead->ppFields[1]))
            szWinHelpFileName[0] = '\0';
        return 0;
    }
    // The default help file lives beside the Shift-JIS concordance.
    if (!BuildPathBeside(szWinHelpFileName, szJis2UniFile, szDefaultHelpFile)) return 0;
    if (HaveIniFile())
        ProfileWriteString(szIniFile, szHelpSection, szDefaultHelpKey,
                           (std::string(szWinHelpFileName) + ", WinHelp").c_str());
    return 0;
}

void WinHelpContext(uint16_t HelpID) {
    if (szWinHelpFileName[0])
        ShowHelpContext(szWinHelpFileName, HelpID);
    else
        SoundDefaultBeep();
}

const char *Charset2NameCode(int32_t CharSet) {
    for (const CharSetNames &row : csNames)
        if (row.csEncoding == CharSet) return row.lpszName;
    return szUnknownCode;
}

uint32_t NameCode2Charset(const char *lpszNameCode) {
    if (lpszNameCode)
        for (const CharSetNames &row : csNames)
            if (SameIgnoringCase(row.lpszName, lpszNameCode)) return uint32_t(row.csEncoding);
    return 1;  // the default character set
}

const char *PcEncodingID2NameCode(int32_t iEncodingID) {
    if (iEncodingID < 0 || iEncodingID >= kCharSetNameCount) return szUnknownCode;
    return csNames[iEncodingID].lpszName;
}

const char *LanguageID2NameCode(int32_t iLanguageID) {
    for (const CharSetNames &row : csLangNames)
        if (row.csEncoding == iLanguageID) return row.lpszName;
    return szUnknownCode;
}

}  // namespace kelmor
