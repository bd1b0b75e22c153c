// The installed-font exports on the library's own ini file: enumeration,
// installation from a .ttf file, font creation from a logical font and the
// bitmap association.  Runs natively and under Wine; the final sequence
// compares the ini file byte for byte with one literal text, so both
// platforms are held to the same file.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "font_builder.h"
#include "kelmor.h"
#include "platform/profile.h"
#include "test_paths.h"
#include "text_file.h"
#include "ttf/api/handles.h"
#include "ttf/settings/settings.h"
#include "ttf/font/ttf.h"

using namespace kelmor;
using kelmor_test::FontBuilder;

namespace {

using kelmor_test::kDirSeparator;

struct Enumerated {
    std::string face;
    int charSet;
    uint32_t fontType;
};

struct EnumLog {
    std::vector<Enumerated> fonts;
    int32_t answer = 1;  // what the callback returns
};

int32_t KELMOR_CALL Collect(const KELMOR_NEWLOGFONT *lf, const KELMOR_NEWTEXTMETRICA *tm,
                            uint32_t fontType, intptr_t lParam) {
    auto *log = reinterpret_cast<EnumLog *>(lParam);
    EXPECT_EQ(lf->elfLogFont.lfCharSet, tm->tmCharSet);
    log->fonts.push_back({lf->elfLogFont.lfFaceName, tm->tmCharSet, fontType});
    return log->answer;
}

// A font with a Shift-JIS (3,2) or Unicode (3,1) character map and the
// given name records.
FontBuilder FontWith(uint16_t cmapEncoding) {
    FontBuilder font;
    font.Cmap4(3, cmapEncoding, {{0x41, 0}});
    return font;
}

class GdiEntries : public ::testing::Test {
protected:
    void SetUp() override {
        auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = kelmor_test::ScratchDir(test->name());
        UseIni(dir_ + kDirSeparator + "Kelmor.ini");
    }
    void TearDown() override {
        ZapKELMOs();
        szIniFile[0] = '\0';
    }
    // Points the library at an ini file and loads its installed fonts.
    static void UseIni(const std::string &path) {
        std::snprintf(szIniFile, sizeof szIniFile, "%s", path.c_str());
        InitKELMOFromIni();
    }
    void WriteInstalled(const std::string &lines) {
        kelmor_test::WriteTextFile(szIniFile, "[Installed DBCS Fonts]\r\n" + lines);
        InitKELMOFromIni();
    }
    std::string Path(const std::string &name) const { return dir_ + kDirSeparator + name; }
    static std::vector<std::string> Slots(const char *key) {
        std::vector<std::string> slots;
        if (const _IniFieldsType *pif = FindIniType(pifKELMOHead, key))
            for (int i = 0; i < pif->iFields; ++i)
                slots.push_back(pif->ppFields[i] ? pif->ppFields[i] : "<null>");
        return slots;
    }
    static int32_t Create(const char *face, int charSet, int32_t height) {
        KELMOR_LOGFONTA lf;
        std::memset(&lf, 0, sizeof lf);
        std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face);
        lf.lfCharSet = uint8_t(charSet);
        lf.lfHeight = height;
        return KelmoCreateFontIndirect(&lf);
    }

    std::string dir_;
};

TEST_F(GdiEntries, EnumeratesInListOrderFilteredByFamily) {
    WriteInstalled(
        "Alpha=a.FOT,a.ttf,SJS,SJS,Alpha,48,SC,\r\n"
        "Beta=b.FOT,b.ttf,UNI,UNI,Beta,48,SJS,\r\n"
        "Alphabet=c.FOT,c.ttf,UNI,UNI,Alphabet,48,SC,\r\n");
    EnumLog all;
    EXPECT_EQ(1, KelmoEnumFontFamilies(nullptr, nullptr, Collect, intptr_t(&all)));
    ASSERT_EQ(3u, all.fonts.size());
    EXPECT_EQ("Alpha", all.fonts[0].face);
    EXPECT_EQ("Beta", all.fonts[1].face);
    EXPECT_EQ("Alphabet", all.fonts[2].face);
    EXPECT_EQ(uint32_t(KELMOR_TRUETYPE_FONTTYPE), all.fonts[0].fontType);

    EnumLog family;
    KelmoEnumFontFamilies(nullptr, "ALPHA", Collect, intptr_t(&family));
    ASSERT_EQ(1u, family.fonts.size());
    EXPECT_EQ("Alpha", family.fonts[0].face);

    EnumLog stopping;
    stopping.answer = 0;
    EXPECT_EQ(0, KelmoEnumFontFamilies(nullptr, nullptr, Collect, intptr_t(&stopping)));
    EXPECT_EQ(1u, stopping.fonts.size());

    EnumLog none;
    EXPECT_EQ(0, KelmoEnumFontFamilies(nullptr, "Gamma", Collect, intptr_t(&none)));
    EXPECT_EQ(0, KelmoEnumFontFamilies(nullptr, nullptr, nullptr, 0));
}

// A Unicode font is reported in the code space its text arrives in.
TEST_F(GdiEntries, ReportsTheDocumentSymbolSetOfUnicodeFonts) {
    struct Case {
        const char *fontSet, *docSet;
        int expected;
    } cases[] = {
        {"UNI", "SJS", 128}, {"UNI", "SC", 240}, {"SJS", "GB", 128},
        {"SJS", "SC", 128},  {"Big5", "", 136},  {"xyz", "SC", 1},
    };
    for (const Case &c : cases) {
        WriteInstalled(std::string("F=f.FOT,f.ttf,") + c.fontSet + ",UNI,F,48," + c.docSet + ",\r\n");
        EnumLog log;
        KelmoEnumFontFamilies(nullptr, nullptr, Collect, intptr_t(&log));
        ASSERT_EQ(1u, log.fonts.size());
        EXPECT_EQ(c.expected, log.fonts[0].charSet) << c.fontSet << "/" << c.docSet;
    }
}

TEST_F(GdiEntries, FaceNamesAreCutTo31Characters) {
    std::string longName(40, 'N');
    WriteInstalled(longName + "=f.FOT,f.ttf,SJS,SJS,x,48,SC,\r\n");
    EnumLog log;
    KelmoEnumFontFamilies(nullptr, nullptr, Collect, intptr_t(&log));
    ASSERT_EQ(1u, log.fonts.size());
    EXPECT_EQ(std::string(31, 'N'), log.fonts[0].face);
}

TEST_F(GdiEntries, CreatesTheEntryMatchingTheCharacterSet) {
    std::string sjs = FontWith(2).WriteTo(Path("sjs.ttf"));
    std::string uni = FontWith(1).WriteTo(Path("uni.ttf"));
    WriteInstalled("Face=s.FOT," + sjs + ",SJS,SJS,Face,48,SC,\r\n");
    // A second entry of the same name can only come from the list itself.
    char *fields[kKELMOFields] = {const_cast<char *>("face"), nullptr, &uni[0],
                                  const_cast<char *>("UNI")};
    ASSERT_NE(nullptr, AddIniFieldsType(&pifKELMOHead, &pifKELMOTail, fields, kKELMOType,
                                        kKELMOFields));
    struct Case {
        int charSet;
        int16_t expectedFontSet;
    } cases[] = {{128, csShiftJIS}, {137, csUnicode}, {0, csUnicode}};
    for (const Case &c : cases) {
        int32_t handle = Create("FACE", c.charSet, -16);
        ASSERT_NE(0, handle) << c.charSet;
        const _TTFont *pF = FontFromHandle(handle);
        EXPECT_EQ(c.expectedFontSet, pF->csFont) << c.charSet;
        EXPECT_EQ(c.charSet, pF->csDesired) << c.charSet;
        EXPECT_EQ(0, KelmoDeleteObject(handle));
        EXPECT_EQ(nullptr, FontFromHandle(handle));
    }
}

TEST_F(GdiEntries, SizesTheFontByTheMagnitudeOfItsHeight) {
    std::string font = FontWith(2).WriteTo(Path("sjs.ttf"));
    WriteInstalled("Face=s.FOT," + font + ",SJS,SJS,Face,48,SC,\r\n");
    struct Case {
        int32_t height;
        int size;
    } cases[] = {{-16, 16}, {16, 16}, {0, 24}};
    for (const Case &c : cases) {
        int32_t handle = Create("Face", 128, c.height);
        ASSERT_NE(0, handle);
        const _TTFont *pF = FontFromHandle(handle);
        EXPECT_EQ(c.size, pF->G.PointSize) << c.height;
        EXPECT_EQ(72, pF->G.Resolution);
        KelmoDeleteObject(handle);
    }
    // A size the rasterizer refuses leaves no font open.
    EXPECT_EQ(0, Create("Face", 128, INT32_MIN));
}

TEST_F(GdiEntries, CreationFailsWithoutAUsableEntry) {
    WriteInstalled("Gone=g.FOT," + Path("missing.ttf") + ",SJS,SJS,Gone,48,SC,\r\n");
    EXPECT_EQ(0, Create("Gone", 128, 16));
    EXPECT_EQ(0, Create("Nobody", 128, 16));
    EXPECT_EQ(0, Create("", 128, 16));
    EXPECT_EQ(0, KelmoCreateFontIndirect(nullptr));
    // A face name filling all 32 bytes, unterminated, is read as 32 characters.
    KELMOR_LOGFONTA lf;
    std::memset(&lf, 'G', sizeof lf);
    EXPECT_EQ(0, KelmoCreateFontIndirect(&lf));
}

TEST_F(GdiEntries, InstallsAFontUnderItsFullName) {
    std::string font = FontWith(2)
                           .NameUtf16(1, 0, 0, 4, "Mac Mincho")
                           .NameUtf16(3, 2, 0x411, 4, "Mincho Full")
                           .WriteTo(Path("MINCHO.TTF"));
    EXPECT_EQ(0, KelmoAddFontResource(font.c_str()));
    std::vector<std::string> expected = {"Mincho Full", "MINCHO.FOT", font, "SJS", "SJS",
                                         "Mincho Full", "48",         "SC"};
    EXPECT_EQ(expected, Slots("Mincho Full"));
    char value[512];
    ProfileReadString(szIniFile, "Installed DBCS Fonts", "Mincho Full", "", value, sizeof value);
    EXPECT_EQ("MINCHO.FOT," + font + ",SJS,SJS,Mincho Full,48,SC,", std::string(value));
}

TEST_F(GdiEntries, FallsBackToAnyPlatformsFullName) {
    std::string font = FontWith(1).NameUtf16(1, 0, 0, 4, "Only Mac").WriteTo(Path("mac.font"));
    KelmoAddFontResource(font.c_str());
    std::vector<std::string> slots = Slots("Only Mac");
    ASSERT_EQ(8u, slots.size());
    EXPECT_EQ("mac.FOT", slots[1]);
    EXPECT_EQ("UNI", slots[3]);
    EXPECT_EQ("ASC", slots[4]);  // the encoding ID of the Macintosh record, 0
}

TEST_F(GdiEntries, AddingChangesNothingForUnreadableOrNamelessFonts) {
    WriteInstalled("Keep=k.FOT,k.ttf,SJS,SJS,Keep,48,SC,\r\n");
    std::string before = kelmor_test::ReadTextFile(szIniFile);
    EXPECT_EQ(0, KelmoAddFontResource(Path("missing.ttf").c_str()));
    EXPECT_EQ(0, KelmoAddFontResource(nullptr));
    EXPECT_EQ(before, kelmor_test::ReadTextFile(szIniFile));
    // A font without a full name adds no entry but the list is written out.
    std::string nameless = FontWith(2).NameUtf16(3, 1, 0x409, 1, "Family only")
                               .WriteTo(Path("nameless.ttf"));
    KelmoAddFontResource(nameless.c_str());
    EXPECT_EQ(pifKELMOHead, pifKELMOTail);
    EXPECT_EQ(0, KelmoRemoveFontResource(nameless.c_str()));
}

TEST_F(GdiEntries, AssociatesABitmapFontWithTheFullName) {
    std::string path = FontWith(2).NameUtf16(3, 1, 0x409, 4, "Assoc Full").WriteTo(Path("a.ttf"));
    int32_t handle = OpenTTFont(path.c_str());
    ASSERT_NE(0, handle);
    EXPECT_EQ(0, KelmoAssociateBitmap(handle, 0, 96, "ASSOC96.FON"));
    EXPECT_EQ(0, KelmoAssociateBitmap(handle, 0, 120, "ASSOC120.FON"));
    CloseTTFont(handle);
    EXPECT_EQ(0, KelmoAssociateBitmap(handle, 0, 72, "stale.FON"));  // closed: nothing
    EXPECT_EQ(
        "[Bitmap for Assoc Full]\r\n"
        "96=ASSOC96.FON\r\n"
        "120=ASSOC120.FON\r\n",
        kelmor_test::ReadTextFile(szIniFile));
}

// What a callback that changes the list is given, and what it saw.
struct Reentry {
    std::string ini, font;
    std::vector<std::string> faces;
    bool reload;
};

int32_t KELMOR_CALL ChangeTheListDuringTheWalk(const KELMOR_NEWLOGFONT *lf,
                                               const KELMOR_NEWTEXTMETRICA *, uint32_t,
                                               intptr_t lParam) {
    auto *r = reinterpret_cast<Reentry *>(lParam);
    r->faces.push_back(lf->elfLogFont.lfFaceName);
    if (r->reload) {
        KelmoRegisterApp(nullptr);  // frees and rebuilds the list
        std::snprintf(szIniFile, sizeof szIniFile, "%s", r->ini.c_str());
        InitKELMOFromIni();
    } else {
        EXPECT_EQ(0, KelmoAddFontResource(r->font.c_str()));  // grows the list
    }
    return r->faces.size() < 10 ? 1 : 0;  // a walk that never ends stops here
}

// A callback may reload the settings or install a font: the walk reports
// the entries as they were when it began, and it ends.
TEST_F(GdiEntries, CallbacksMayChangeTheList) {
    std::string font = FontWith(2).NameUtf16(3, 2, 0x411, 4, "Added").WriteTo(Path("add.ttf"));
    WriteInstalled("A=a.FOT,a.ttf,SJS,SJS,A,48,SC,\r\nB=b.FOT,b.ttf,SJS,SJS,B,48,SC,\r\n");
    for (bool reload : {true, false}) {
        Reentry r{szIniFile, font, {}, reload};
        KelmoEnumFontFamilies(nullptr, nullptr, ChangeTheListDuringTheWalk, intptr_t(&r));
        EXPECT_EQ((std::vector<std::string>{"A", "B"}), r.faces) << reload;
    }
}

// A font whose name the ini file cannot hold is refused on its own: it does
// not stay in the list, and the fonts installed after it are written.
TEST_F(GdiEntries, AnUnstorableFontBlocksNoLaterOne) {
    std::string bad = FontWith(2).NameUtf16(3, 2, 0x411, 4, "Bad=Name").WriteTo(Path("bad.ttf"));
    std::string broken =
        FontWith(2).NameUtf16(3, 2, 0x411, 4, "Line\nBreak").WriteTo(Path("broken.ttf"));
    std::string good = FontWith(2).NameUtf16(3, 2, 0x411, 4, "Good").WriteTo(Path("good.ttf"));
    EXPECT_EQ(KELMOR_WRITE_UNSTORABLE, KelmoAddFontResource(bad.c_str()));
    EXPECT_EQ(KELMOR_WRITE_UNSTORABLE, KelmoAddFontResource(broken.c_str()));
    EXPECT_EQ(0, KelmoAddFontResource(good.c_str()));
    EXPECT_EQ(pifKELMOHead, pifKELMOTail);
    InitKELMOFromIni();
    ASSERT_NE(nullptr, pifKELMOHead);
    EXPECT_STREQ("Good", pifKELMOHead->ppFields[0]);
    EXPECT_EQ(pifKELMOHead, pifKELMOTail);
}

// An entry written by another program after this one read the list stays.
TEST_F(GdiEntries, InstallingKeepsWhatOthersWroteMeanwhile) {
    WriteInstalled("Old=o.FOT,o.ttf,SJS,SJS,Old,48,SC,\r\n");
    ProfileWriteString(szIniFile, "Installed DBCS Fonts", "Other", "x.FOT,x.ttf,SJS,SJS,Other,48,SC,");
    ProfileDeleteKey(szIniFile, "Installed DBCS Fonts", "Old");
    std::string font = FontWith(2).NameUtf16(3, 2, 0x411, 4, "Mine").WriteTo(Path("mine.ttf"));
    EXPECT_EQ(0, KelmoAddFontResource(font.c_str()));
    char keys[256];
    ProfileReadKeyNames(szIniFile, "Installed DBCS Fonts", keys, sizeof keys);
    EXPECT_STREQ("Other", keys);
    EXPECT_STREQ("Mine", keys + 6);
    EXPECT_EQ('\0', keys[11]);
}

#ifndef _WIN32
// A write the file system refuses is reported with its cause.
TEST_F(GdiEntries, FailedWritesAreReported) {
    std::string font = FontWith(2).NameUtf16(3, 2, 0x411, 4, "Full").WriteTo(Path("full.ttf"));
    int32_t handle = OpenTTFont(font.c_str());
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit none = {0, old.rlim_max};
    auto *previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &none);  // every write to a file fails: EFBIG
    int32_t added = KelmoAddFontResource(font.c_str());
    int32_t associated = KelmoAssociateBitmap(handle, 0, 96, "X.FON");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    CloseTTFont(handle);
    EXPECT_EQ(KELMOR_WRITE_NO_SPACE, added);
    EXPECT_EQ(KELMOR_WRITE_NO_SPACE, associated);
    EXPECT_EQ(nullptr, pifKELMOHead);  // not written, not installed
    szIniFile[0] = '\0';
    EXPECT_EQ(KELMOR_WRITE_FAILED, KelmoAddFontResource(font.c_str()));
}
#endif

// One sequence of calls with relative font paths, so that the file it leaves
// is the same text on every platform: this literal is what both the Linux and
// the Windows build must write, byte for byte.  (The ini file itself needs a
// full path: Windows looks for a bare name in its own directory.)
TEST(InstalledFontsFile, IsTheSameOnEveryPlatform) {
    std::string ini = kelmor_test::ScratchDir("InstalledFontsFile") + kDirSeparator + "Kelmor.ini";
    std::snprintf(szIniFile, sizeof szIniFile, "%s", ini.c_str());
    InitKELMOFromIni();
    FontWith(2).NameUtf16(3, 2, 0x411, 4, "Seq Mincho").WriteTo("SeqMincho.ttf");
    FontWith(1).NameUtf16(3, 1, 0x409, 4, "Seq Gothic").WriteTo("SeqGothic.ttf");
    KelmoAddFontResource("SeqMincho.ttf");
    KelmoAddFontResource("SeqGothic.ttf");
    int32_t handle = OpenTTFont("SeqGothic.ttf");
    KelmoAssociateBitmap(handle, 0, 96, "SEQ96.FON");
    CloseTTFont(handle);
    KelmoAddFontResource("SeqMincho.ttf");  // the same font again
    EXPECT_EQ(
        "[Installed DBCS Fonts]\r\n"
        "Seq Mincho=SeqMincho.FOT,SeqMincho.ttf,SJS,SJS,Seq Mincho,48,SC,\r\n"
        "Seq Gothic=SeqGothic.FOT,SeqGothic.ttf,UNI,UNI,Seq Gothic,48,SC,\r\n"
        "[Bitmap for Seq Gothic]\r\n"
        "96=SEQ96.FON\r\n",
        kelmor_test::ReadTextFile(ini));
    ZapKELMOs();
    szIniFile[0] = '\0';
}

}  // namespace
