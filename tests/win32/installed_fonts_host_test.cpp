// A Windows host of the installed-font exports, as a real one is written:
// it loads kelmor32.dll at run time, finds the entry points by name and by
// ordinal, hands the library its own LOGFONTA and reads the enumeration's
// records through a FONTENUMPROCA-shaped callback.  It runs in a directory
// of its own holding a copy of the DLL, so the library's Kelmor.ini (beside
// the DLL) is this test's alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cob_writer.h"
#include "kelmor.h"

namespace {

// ------------------------------------------------------------ the records

// The same member at the same offset with the same size in both records.
#define EXPECT_SAME_FIELD(ours, theirs, field)                                \
    EXPECT_EQ(offsetof(ours, field), offsetof(theirs, field)) << #field;      \
    EXPECT_EQ(sizeof(((ours *)nullptr)->field), sizeof(((theirs *)nullptr)->field)) << #field

#define EXPECT_LOGFONT_FIELDS(ours, theirs, prefix)                \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfHeight);               \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfWidth);                \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfEscapement);           \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfOrientation);          \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfWeight);               \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfItalic);               \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfUnderline);            \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfStrikeOut);            \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfCharSet);              \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfOutPrecision);         \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfClipPrecision);        \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfQuality);              \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfPitchAndFamily);       \
    EXPECT_SAME_FIELD(ours, theirs, prefix lfFaceName)

TEST(HostRecords, HaveTheWindowsLayouts) {
    EXPECT_EQ(sizeof(LOGFONTA), sizeof(KELMOR_LOGFONTA));
    EXPECT_LOGFONT_FIELDS(KELMOR_LOGFONTA, LOGFONTA, );

    EXPECT_EQ(sizeof(ENUMLOGFONTA), sizeof(KELMOR_NEWLOGFONT));
    EXPECT_LOGFONT_FIELDS(KELMOR_NEWLOGFONT, ENUMLOGFONTA, elfLogFont.);
    EXPECT_SAME_FIELD(KELMOR_NEWLOGFONT, ENUMLOGFONTA, elfFullName);
    EXPECT_SAME_FIELD(KELMOR_NEWLOGFONT, ENUMLOGFONTA, elfStyle);

    typedef KELMOR_NEWTEXTMETRICA Ours;
    EXPECT_EQ(sizeof(NEWTEXTMETRICA), sizeof(Ours));
#define TM(field) EXPECT_SAME_FIELD(Ours, NEWTEXTMETRICA, field)
    TM(tmHeight); TM(tmAscent); TM(tmDescent); TM(tmInternalLeading); TM(tmExternalLeading);
    TM(tmAveCharWidth); TM(tmMaxCharWidth); TM(tmWeight); TM(tmOverhang);
    TM(tmDigitizedAspectX); TM(tmDigitizedAspectY); TM(tmFirstChar); TM(tmLastChar);
    TM(tmDefaultChar); TM(tmBreakChar); TM(tmItalic); TM(tmUnderlined); TM(tmStruckOut);
    TM(tmPitchAndFamily); TM(tmCharSet); TM(ntmFlags); TM(ntmSizeEM); TM(ntmCellHeight);
    TM(ntmAvgWidth);
#undef TM
    EXPECT_EQ(TRUETYPE_FONTTYPE, KELMOR_TRUETYPE_FONTTYPE);
    EXPECT_EQ(sizeof(LPARAM), sizeof(intptr_t));
}

// ------------------------------------------------------------ the library

struct Export {
    const char *name;
    WORD ordinal;
};

const Export kExports[] = {
    {"OpenTTFont", 1},
    {"CloseTTFont", 2},
    {"SetDebugLevel", 3},
    {"GetFontInfo", 4},
    {"SetPointSize", 5},
    {"GetBitmap", 6},
    {"SetEncoding", 7},
    {"KelmoEnumFontFamilies", 8},
    {"KelmoAddFontResource", 9},
    {"KelmoAssociateBitmap", 10},
    {"KelmoRemoveFontResource", 11},
    {"KelmoCreateFontIndirect", 13},
    {"KelmoDeleteObject", 14},
    {"KelmoRegisterApp", 15},
    {"GetFontNames", 16},
};

const char kIpaGothic[] = "Z:\\usr\\share\\fonts\\opentype\\ipafont-gothic\\ipag.ttf";

// The entry points, found as a host finds them.
struct Kelmor {
    HMODULE dll = nullptr;
    decltype(&KelmoEnumFontFamilies) EnumFontFamilies = nullptr;
    decltype(&KelmoAddFontResource) AddFontResource = nullptr;
    decltype(&KelmoRemoveFontResource) RemoveFontResource = nullptr;
    decltype(&KelmoAssociateBitmap) AssociateBitmap = nullptr;
    decltype(&KelmoCreateFontIndirect) CreateFontIndirect = nullptr;
    decltype(&KelmoDeleteObject) DeleteObject = nullptr;
    decltype(&KelmoRegisterApp) RegisterApp = nullptr;
    decltype(&GetBitmap) GetBitmap = nullptr;
    decltype(&OpenTTFont) OpenTTFont = nullptr;
    decltype(&CloseTTFont) CloseTTFont = nullptr;
};

template <typename F>
void Find(HMODULE dll, const char *name, F *out) {
    *out = reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(dll, name)));
}

std::string CurrentDirectory() {
    char dir[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof dir, dir);
    return std::string(dir, length);
}

void WriteFile(const std::string &path, const std::string &bytes) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string ReadFile(const std::string &path) {
    std::string bytes;
    if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

class Host : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = CurrentDirectory();
        // The library reads its ini file when it is loaded: start afresh,
        // with a Shift-JIS concordance for the line this host renders.
        std::vector<uint8_t> cob = kelmor_test::ShiftJisConcordance(kelmor_test::JapaneseLineCodes());
        WriteFile(dir_ + "\\Jis2Uni.cob", std::string(cob.begin(), cob.end()));
        WriteFile(dir_ + "\\Kelmor.ini",
                  "[Code Space Concordances]\r\n" + dir_ + "\\Jis2Uni.cob=\r\n");
        k_.dll = LoadLibraryA((dir_ + "\\kelmor32.dll").c_str());
        if (!k_.dll) return;
        Find(k_.dll, "KelmoEnumFontFamilies", &k_.EnumFontFamilies);
        Find(k_.dll, "KelmoAddFontResource", &k_.AddFontResource);
        Find(k_.dll, "KelmoRemoveFontResource", &k_.RemoveFontResource);
        Find(k_.dll, "KelmoAssociateBitmap", &k_.AssociateBitmap);
        Find(k_.dll, "KelmoCreateFontIndirect", &k_.CreateFontIndirect);
        Find(k_.dll, "KelmoDeleteObject", &k_.DeleteObject);
        Find(k_.dll, "KelmoRegisterApp", &k_.RegisterApp);
        Find(k_.dll, "GetBitmap", &k_.GetBitmap);
        Find(k_.dll, "OpenTTFont", &k_.OpenTTFont);
        Find(k_.dll, "CloseTTFont", &k_.CloseTTFont);
    }
    static void TearDownTestSuite() {
        if (k_.dll) FreeLibrary(k_.dll);
    }
    void SetUp() override { ASSERT_NE(nullptr, k_.dll) << "kelmor32.dll did not load"; }

    static std::string dir_;
    static Kelmor k_;
};

std::string Host::dir_;
Kelmor Host::k_;

struct Seen {
    std::vector<LOGFONTA> fonts;
    std::vector<BYTE> tmCharSets;
    int answer = 1;
};

// Shaped exactly as FONTENUMPROCA.
int CALLBACK RememberFont(const LOGFONTA *lf, const TEXTMETRICA *tm, DWORD fontType, LPARAM lParam) {
    Seen *seen = reinterpret_cast<Seen *>(lParam);
    EXPECT_EQ(DWORD(TRUETYPE_FONTTYPE), fontType);
    seen->fonts.push_back(*lf);
    seen->tmCharSets.push_back(tm->tmCharSet);
    return seen->answer;
}

int32_t Enumerate(const Kelmor &k, const char *family, Seen *seen) {
    return k.EnumFontFamilies(nullptr, family, reinterpret_cast<KELMOR_FONTENUMPROC>(RememberFont),
                              reinterpret_cast<LPARAM>(seen));
}

TEST_F(Host, FindsEveryExportByNameAndOrdinal) {
    for (const Export &e : kExports) {
        FARPROC byName = GetProcAddress(k_.dll, e.name);
        FARPROC byOrdinal = GetProcAddress(k_.dll, MAKEINTRESOURCEA(e.ordinal));
        EXPECT_NE(nullptr, byName) << e.name;
        EXPECT_EQ(byName, byOrdinal) << e.name << " @" << e.ordinal;
    }
}

// Install IPA Gothic, find it by enumeration, create it from a LOGFONTA and
// render a line of Shift-JIS text with it.
TEST_F(Host, InstallsEnumeratesCreatesAndRenders) {
    Seen before;
    EXPECT_EQ(0, Enumerate(k_, nullptr, &before));
    EXPECT_TRUE(before.fonts.empty());

    EXPECT_EQ(0, k_.AddFontResource(kIpaGothic));
    EXPECT_EQ(
        "[Code Space Concordances]\r\n" + dir_ + "\\Jis2Uni.cob=\r\n"
        "[Installed DBCS Fonts]\r\n"
        "IPAGothic=ipag.FOT," + std::string(kIpaGothic) + ",UNI,UNI,IPAGothic,48,SC,\r\n",
        ReadFile(dir_ + "\\Kelmor.ini"));

    Seen seen;
    EXPECT_EQ(1, Enumerate(k_, "ipagothic", &seen));
    ASSERT_EQ(1u, seen.fonts.size());
    EXPECT_STREQ("IPAGothic", seen.fonts[0].lfFaceName);
    EXPECT_EQ(240, seen.fonts[0].lfCharSet);  // a Unicode font reports its document symbol set
    EXPECT_EQ(240, seen.tmCharSets[0]);

    // The concordance paths are read when the host registers.
    EXPECT_EQ(static_cast<void *>(k_.dll), k_.RegisterApp(GetModuleHandleA(nullptr)));

    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = -16;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    std::strcpy(lf.lfFaceName, "IPAGothic");
    int32_t font = k_.CreateFontIndirect(reinterpret_cast<const KELMOR_LOGFONTA *>(&lf));
    ASSERT_NE(0, font);
    const char *line = kelmor_test::kJapaneseLineSjis;
    for (size_t i = 0; line[i]; i += 2) {
        int width = 0, height = 0;
        const unsigned char *bits = k_.GetBitmap(font, line + i, &width, &height, 0);
        ASSERT_NE(nullptr, bits) << i;
        EXPECT_GE(width, 16);
        EXPECT_GE(height, 16);
        EXPECT_LE(height, 24);
        // Ink is 0 bits: every character of the line draws something.
        size_t rowBytes = (size_t(width) + 15) / 16 * 2, ink = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ink += !(bits[y * rowBytes + x / 8] & (0x80 >> (x % 8)));
        EXPECT_GT(ink, 10u) << "character " << i / 2;
    }
    EXPECT_EQ(0, k_.DeleteObject(font));
    int width = 0, height = 0;
    EXPECT_EQ(nullptr, k_.GetBitmap(font, line, &width, &height, 0));  // deleted
}

TEST_F(Host, RefusesWhatItCannotDo) {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    std::strcpy(lf.lfFaceName, "No Such Font");
    EXPECT_EQ(0, k_.CreateFontIndirect(reinterpret_cast<const KELMOR_LOGFONTA *>(&lf)));
    EXPECT_EQ(0, k_.CreateFontIndirect(nullptr));
    std::string before = ReadFile(dir_ + "\\Kelmor.ini");
    EXPECT_EQ(0, k_.AddFontResource("Z:\\no\\such\\font.ttf"));
    EXPECT_EQ(0, k_.RemoveFontResource(kIpaGothic));
    EXPECT_EQ(before, ReadFile(dir_ + "\\Kelmor.ini"));
    EXPECT_EQ(0, k_.EnumFontFamilies(nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(0, k_.DeleteObject(0));
}

TEST_F(Host, AssociatesABitmapFontWithAnOpenFont) {
    int32_t font = k_.OpenTTFont(kIpaGothic);
    ASSERT_NE(0, font);
    EXPECT_EQ(0, k_.AssociateBitmap(font, 120, 96, "C:\\FONTS\\IPAG96.FON"));
    k_.CloseTTFont(font);
    char value[MAX_PATH];
    GetPrivateProfileStringA("Bitmap for IPAGothic", "96", "", value, sizeof value,
                             (dir_ + "\\Kelmor.ini").c_str());
    EXPECT_STREQ("C:\\FONTS\\IPAG96.FON", value);
}

}  // namespace
