// kelmor fonts: the installed double-byte fonts of the library's ini file,
// listed, added, changed and removed with the library's own functions, so
// that the tool and every host see the same list.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "args.h"
#include "commands.h"
#include "ttf/api/tool_internals.h"
#include "fot_prompt.h"
#include "kelmor.h"

namespace kelmor {

namespace {

const char kFontsUsage[] =
    "usage: kelmor fonts [--ini FILE] list\n"
    "       kelmor fonts [--ini FILE] add FONT.ttf\n"
    "       kelmor fonts [--ini FILE] add FILE.FOT [--yes]\n"
    "       kelmor fonts [--ini FILE] remove NAME\n"
    "       kelmor fonts [--ini FILE] set NAME [--font-charset CODE] [--doc-charset CODE]\n"
    "                                          [--point-size N]\n"
    "       kelmor fonts [--ini FILE] associate NAME RESOLUTION BITMAP-FONT\n"
    "\n"
    "Manages the installed double-byte fonts: section [Installed DBCS Fonts] of\n"
    "the library's Kelmor.ini, which hosts enumerate and create fonts from.\n"
    "\n"
    "  list             every installed font as hosts enumerate it, with its files\n"
    "                   and symbol sets\n"
    "  add FONT.ttf     install a TrueType font under its full name; a collection\n"
    "                   (.ttc) installs each face under its own\n"
    "  add FILE.FOT     install the TrueType font a Windows font resource file names;\n"
    "                   shows its font directory entry and asks first\n"
    "  remove NAME      remove an installed font\n"
    "  set NAME         change an entry: the font's own symbol set, the symbol set\n"
    "                   text arrives in (codes ASC UNI SJS GB Big5 WanS JoHp SC Gly)\n"
    "                   and the point size of associated bitmap fonts\n"
    "  associate NAME RESOLUTION BITMAP-FONT\n"
    "                   record a bitmap font for the installed font at a resolution\n"
    "\n"
    "  --ini FILE       use this ini file instead of the library's own\n"
    "  --yes            install from a .FOT file without asking\n"
    "  --help           show this text\n";

const char kCommand[] = "fonts";

// Slots of an installed-font entry that the tool shows or changes.
enum { kSlotFot = 1, kSlotTtf = 2, kSlotFontSet = 3, kSlotPoints = 6, kSlotDocSet = 7 };

struct FontsOptions {
    std::vector<std::string> words;  // the action and its operands
    std::string ini, fontCharset, docCharset, pointSize;
    bool yes = false;
    bool help = false;
};

bool TakeValueOption(ArgCursor &args, FontsOptions *o) {
    return args.Value("--ini", &o->ini) || args.Value("--font-charset", &o->fontCharset) ||
           args.Value("--doc-charset", &o->docCharset) || args.Value("--point-size", &o->pointSize);
}

bool ParseFontsOptions(int argc, char **argv, FontsOptions *o, std::string *error) {
    ArgCursor args(argc, argv);
    std::string word;
    while (!args.Done() && args.Error().empty()) {
        if (args.Flag("--help") || args.Flag("-h")) {
            o->help = true;
        } else if (args.Flag("--yes") || args.Flag("-y")) {
            o->yes = true;
        } else if (TakeValueOption(args, o)) {
            continue;
        } else if (args.Positional(&word)) {
            o->words.push_back(word);
        } else {
            *error = "unknown option \"" + args.Take() + "\"";
            return false;
        }
    }
    *error = args.Error();
    return error->empty();
}

// The library's ini file, or the one --ini names, with its installed list.
bool UseIniFile(const std::string &ini, std::string *error) {
    if (!ini.empty()) {
        if (ini.size() >= sizeof szIniFile) {
            *error = "the ini path is too long";
            return false;
        }
        std::memcpy(szIniFile, ini.c_str(), ini.size() + 1);
        InitKELMOFromIni();
    }
    if (!szIniFile[0]) {
        *error = "the library's ini file is unknown (give one with --ini FILE)";
        return false;
    }
    return true;
}

const char *Slot(const _IniFieldsType *pif, int slot) {
    return slot < pif->iFields && pif->ppFields[slot] ? pif->ppFields[slot] : "";
}

void PrintEntry(const _IniFieldsType *pif, int charSet) {
    std::printf("%s  (character set %d)\n", Slot(pif, 0), charSet);
    const InstalledFontFile file = ParseInstalledFontFile(Slot(pif, kSlotTtf));
    if (file.face > 0)
        std::printf("    font file    %s, face %u\n", file.path.c_str(), unsigned(file.face));
    else
        std::printf("    font file    %s\n", file.path.c_str());
    std::printf("    .FOT file    %s\n", Slot(pif, kSlotFot));
    std::printf("    symbol sets  font %s, document %s\n", Slot(pif, kSlotFontSet),
                Slot(pif, kSlotDocSet));
    std::printf("    bitmap size  %s\n", Slot(pif, kSlotPoints));
}

int32_t KELMOR_CALL CollectCharSet(const KELMOR_NEWLOGFONT *lf, const KELMOR_NEWTEXTMETRICA *,
                                   uint32_t, intptr_t lParam) {
    reinterpret_cast<std::vector<int> *>(lParam)->push_back(lf->elfLogFont.lfCharSet);
    return 1;
}

struct Enumerated {
    const _IniFieldsType *entry;
    int charSet;
};

// The entries as enumeration reports them: every entry with a name, in list
// order, with the character set hosts see.
std::vector<Enumerated> EnumeratedEntries() {
    std::vector<int> charSets;
    KelmoEnumFontFamilies(nullptr, nullptr, CollectCharSet, reinterpret_cast<intptr_t>(&charSets));
    std::vector<Enumerated> entries;
    for (const _IniFieldsType *pif = pifKELMOHead; pif && entries.size() < charSets.size();
         pif = pif->pNext)
        if (pif->ppFields[0]) entries.push_back({pif, charSets[entries.size()]});
    return entries;
}

int ListFonts() {
    std::vector<Enumerated> entries = EnumeratedEntries();
    std::printf("Installed fonts of %s:\n", szIniFile);
    if (entries.empty()) std::printf("  (none)\n");
    for (const Enumerated &e : entries) PrintEntry(e.entry, e.charSet);
    return 0;
}

void PrintEnumeratedEntry(const _IniFieldsType *entry) {
    for (const Enumerated &e : EnumeratedEntries())
        if (e.entry == entry) PrintEntry(entry, e.charSet);
}

// An entry of the same name added before `added` is dropped from the list,
// so that the list stays what the file holds (one entry per name).
void DropEarlierNamesake(const _IniFieldsType *added) {
    _IniFieldsType *earlier = FindIniType(pifKELMOHead, added->ppFields[0]);
    if (earlier == added) return;
    RemoveIniFieldsType(&pifKELMOHead, &pifKELMOTail, earlier);
    FreeIniFieldsType(earlier);
    std::printf("(replaces the entry of the same name)\n");
}

// Why the last change of the ini file failed, for messages.
std::string WriteFailure() {
    return std::string(szIniFile) + " was not changed: " + ProfileErrorText(ProfileLastError());
}

// The entries KelmoAddFontResource appended: one for a font, one per face
// for a collection.  It reports a failed write; a font it could not open,
// or one without a full name, shows as a tail that did not change.
// Why a font the list did not take was left out: the first face that does
// not open as the list opens them (face 0 as OpenTTFont opens it, the
// others as OpenTTFontFace does) and the library's reason, or a missing
// full name.
std::string WhyNotInstalled(const std::string &path) {
    int32_t faces = 1;
    for (int32_t face = 0; face < faces; ++face) {
        const int32_t handle =
            face == 0 ? OpenTTFont(path.c_str()) : OpenTTFontFace(path.c_str(), face);
        if (handle == 0) {
            const std::string which = faces > 1 ? "face " + std::to_string(face) + ": " : "";
            return which + GetFontErrorText(GetLastFontError());
        }
        faces = int32_t(kelmor::FontFromHandle(handle)->FaceCount);
        CloseTTFont(handle);
    }
    return "the font has no full name (name record 4) to list it under";
}

std::vector<_IniFieldsType *> AddTrueTypeFont(const std::string &path, std::string *error) {
    _IniFieldsType *const before = pifKELMOTail;
    if (KelmoAddFontResource(path.c_str()) != 0) {
        *error = "cannot install " + path + ": " + WriteFailure();
        return {};
    }
    if (pifKELMOTail == before) {
        *error = "cannot install " + path + ": " + WhyNotInstalled(path);
        return {};
    }
    std::vector<_IniFieldsType *> added;
    for (_IniFieldsType *pif = before ? before->pNext : pifKELMOHead; pif; pif = pif->pNext)
        added.push_back(pif);
    return added;
}

bool EndsWithIgnoringCase(const std::string &text, const char *end) {
    size_t n = std::strlen(end);
    return text.size() >= n && SameIgnoringCase(text.c_str() + text.size() - n, end);
}

// The TrueType file a .FOT names: as written when it exists, else the bare
// file name beside the .FOT (Windows paths mean nothing elsewhere).
std::string FindFontFileOfFot(const std::string &fot, const char *named) {
    if (std::FILE *f = std::fopen(named, "rb")) {
        std::fclose(f);
        return named;
    }
    const char *name = named;
    for (const char *c = named; *c; ++c)
        if (*c == '\\' || *c == '/' || *c == ':') name = c + 1;
    size_t slash = fot.find_last_of("/\\");
    std::string beside = (slash == std::string::npos ? "" : fot.substr(0, slash + 1)) + name;
    std::FILE *f = std::fopen(beside.c_str(), "rb");
    if (!f) return "";
    std::fclose(f);
    return beside;
}

std::vector<_IniFieldsType *> AddFromFot(const std::string &fot, bool yes, std::string *error) {
    char fontFile[kFontFileBytes] = "";
    uint8_t directory[kFontDirBytes] = {};
    int result = DoFotWithPrompt(fot.c_str(), yes, fontFile, directory);
    if (result < 0) {
        *error = "cannot read " + fot + ": " + ExeLoadError(result);
        return {};
    }
    if (result == 0) {
        *error = "nothing installed from " + fot;
        return {};
    }
    if (FontFileNameMayBeCut(fontFile)) {
        *error = fot + " names a TrueType file longer than " +
                 std::to_string(kFontFileBytes - 2) + " characters, which the reader cut";
        return {};
    }
    std::string ttf = FindFontFileOfFot(fot, fontFile);
    if (ttf.empty()) {
        *error = fot + " names " + fontFile + ", which cannot be found";
        return {};
    }
    std::vector<_IniFieldsType *> added = AddTrueTypeFont(ttf, error);
    char *fields[kKELMOFields] = {nullptr, const_cast<char *>(fot.c_str())};
    for (_IniFieldsType *pif : added) {
        UpdateIniType(pif, fields, kKELMOFields);
        if (!WriteInstalledEntry(pif)) {
            *error = "cannot record " + fot + " for the font: " + WriteFailure();
            return {};
        }
    }
    return added;
}

// The entry names its files for every program that reads the ini file,
// wherever it runs: paths are stored in full.
std::string FullPath(const std::string &path) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

int AddFont(const FontsOptions &o) {
    if (o.words.size() != 2) return Report(kCommand, "add needs one file", kUsageError);
    const std::string file = FullPath(o.words[1]);
    std::string error;
    const std::vector<_IniFieldsType *> added =
        EndsWithIgnoringCase(file, ".fot") ? AddFromFot(file, o.yes, &error) : AddTrueTypeFont(file, &error);
    if (added.empty()) return Report(kCommand, error);
    // Each entry's own key was written, in one locked change of the file, so
    // what other programs changed meanwhile stays; the list in memory drops
    // the older entry the key replaced.
    for (const _IniFieldsType *pif : added) DropEarlierNamesake(pif);
    std::printf("installed in %s:\n", szIniFile);
    for (const _IniFieldsType *pif : added) PrintEnumeratedEntry(pif);
    return 0;
}

_IniFieldsType *NamedEntry(const FontsOptions &o, size_t operands, std::string *error,
                           int *exitCode) {
    if (o.words.size() != operands + 1) {
        *error = o.words[0] + " needs " + (operands == 1 ? "a font name" : "NAME RESOLUTION BITMAP-FONT");
        *exitCode = kUsageError;
        return nullptr;
    }
    _IniFieldsType *pif = FindIniType(pifKELMOHead, o.words[1].c_str());
    if (!pif) {
        *error = "no installed font is named \"" + o.words[1] + "\"";
        *exitCode = 1;
    }
    return pif;
}

int RemoveFont(const FontsOptions &o) {
    std::string error;
    int exitCode = 0;
    _IniFieldsType *pif = NamedEntry(o, 1, &error, &exitCode);
    if (!pif) return Report(kCommand, error, exitCode);
    std::string name = pif->ppFields[0];
    if (!RemoveKELMORPif(pif)) return Report(kCommand, "cannot remove " + name + ": " + WriteFailure());
    std::printf("removed %s from %s\n", name.c_str(), szIniFile);
    return 0;
}

// The table's own spelling of a name code, or null.
const char *KnownNameCode(const std::string &code) {
    for (const CharSetNames &row : csNames)
        if (SameIgnoringCase(row.lpszName, code.c_str())) return row.lpszName;
    return nullptr;
}

int SetFont(const FontsOptions &o) {
    std::string error;
    int exitCode = 0;
    _IniFieldsType *pif = NamedEntry(o, 1, &error, &exitCode);
    if (!pif) return Report(kCommand, error, exitCode);
    char *fields[kKELMOFields] = {};
    const char *fontSet = KnownNameCode(o.fontCharset), *docSet = KnownNameCode(o.docCharset);
    if (!o.fontCharset.empty() && !fontSet)
        return Report(kCommand, "unknown symbol set \"" + o.fontCharset + "\"", kUsageError);
    if (!o.docCharset.empty() && !docSet)
        return Report(kCommand, "unknown symbol set \"" + o.docCharset + "\"", kUsageError);
    long points = 0;
    if (!o.pointSize.empty() && !ParseDecimal(o.pointSize, 1, 999, &points))
        return Report(kCommand, "--point-size takes a number from 1 to 999", kUsageError);
    if (!fontSet && !docSet && o.pointSize.empty())
        return Report(kCommand, "set needs --font-charset, --doc-charset or --point-size",
                      kUsageError);
    std::string pointText = std::to_string(points);
    fields[kSlotFontSet] = const_cast<char *>(fontSet);
    fields[kSlotDocSet] = const_cast<char *>(docSet);
    if (!o.pointSize.empty()) fields[kSlotPoints] = &pointText[0];
    UpdateIniType(pif, fields, kKELMOFields);
    if (!WriteInstalledEntry(pif))
        return Report(kCommand, "cannot change " + o.words[1] + ": " + WriteFailure());
    PrintEnumeratedEntry(pif);
    return 0;
}

int AssociateBitmapFont(const FontsOptions &o) {
    std::string error;
    int exitCode = 0;
    _IniFieldsType *pif = NamedEntry(o, 3, &error, &exitCode);
    if (!pif) return Report(kCommand, error, exitCode);
    long resolution = 0;
    if (!ParseDecimal(o.words[2], 1, 100000, &resolution))
        return Report(kCommand, "RESOLUTION must be a positive number", kUsageError);
    int32_t font = OpenInstalledFont(Slot(pif, kSlotTtf));
    if (!font) return Report(kCommand, std::string("cannot open ") + Slot(pif, kSlotTtf));
    if (KelmoAssociateBitmap(font, 0, int(resolution), o.words[3].c_str()) != 0) {
        CloseTTFont(font);
        return Report(kCommand, "cannot associate " + o.words[3] + ": " + WriteFailure());
    }
    int platform = -1, encoding = -1, language = -1;
    char fullName[256];
    GetFontNames(font, &platform, &encoding, &language, 4, fullName, sizeof fullName);
    CloseTTFont(font);
    std::printf("[Bitmap for %s] %ld=%s in %s\n", fullName, resolution, o.words[3].c_str(),
                szIniFile);
    return 0;
}

struct Action {
    const char *name;
    int (*run)(const FontsOptions &);
};

constexpr Action kActions[] = {
    {"list", [](const FontsOptions &) { return ListFonts(); }},
    {"add", AddFont},
    {"remove", RemoveFont},
    {"set", SetFont},
    {"associate", AssociateBitmapFont},
};

}  // namespace

}  // namespace kelmor

int CmdFonts(int argc, char **argv) {
    using namespace kelmor;
    FontsOptions options;
    std::string error;
    if (!ParseFontsOptions(argc, argv, &options, &error))
        return Report(kCommand, error + " (try 'kelmor fonts --help')", kUsageError);
    if (options.help) {
        std::fputs(kFontsUsage, stdout);
        return 0;
    }
    if (options.words.empty()) options.words.push_back("list");
    for (const Action &action : kActions) {
        if (options.words[0] != action.name) continue;
        if (!UseIniFile(options.ini, &error)) return Report(kCommand, error);
        return action.run(options);
    }
    return Report(kCommand, "unknown action \"" + options.words[0] + "\" (try 'kelmor fonts --help')",
                  kUsageError);
}
