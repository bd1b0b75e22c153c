#include "ttf/settings/settings.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "kelmor.h"
#include "platform/module.h"
#include "platform/profile.h"
#include "ttf/api/kelmor_entry.h"
#include "test_paths.h"
#include "font_builder.h"
#include "text_file.h"

using namespace kelmor;

namespace {

const char kProfileSection[] = "Kelmor Type Font Interface 1.0";
#ifdef _WIN32
const char kSep = '\\';
#else
const char kSep = '/';
#endif

// Windows paths ignore case and concordance paths are kept in lower case;
// a lowered Linux path might name no file, so there it stays as written.
std::string AsStored(std::string path) {
    if (kFileNamesIgnoreCase)
        for (char &c : path) c = char(std::tolower(static_cast<unsigned char>(c)));
    return path;
}

std::vector<std::string> InstalledKeys() {
    std::vector<std::string> keys;
    for (_IniFieldsType *pif = pifKELMOHead; pif; pif = pif->pNext) keys.push_back(pif->ppFields[0]);
    return keys;
}

// Each test gets its own ini file, named by "IniPath" in the user profile:
// on Linux a profile of its own through KELMOR_PROFILE, on Windows win.ini,
// whose entry is removed afterwards.
class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = kelmor_test::ScratchDir(test->name());
        ini_ = dir_ + kSep + "Settings.ini";
#ifndef _WIN32
        setenv("KELMOR_PROFILE", (dir_ + "/profile.ini").c_str(), 1);
#endif
        SetIniPath(ini_.c_str());
        szJis2UniFile[0] = szBig5_UniFile[0] = szGb2UniFile[0] = szWinHelpFileName[0] = '\0';
    }
    void TearDown() override {
        SetIniPath(nullptr);
        ZapKELMOs();
        ZapCOBs();
    }
    static void SetIniPath(const char *path) {
        if (path)
            ASSERT_TRUE(ProfileWriteString(nullptr, kProfileSection, "IniPath", path));
        else
            ASSERT_TRUE(ProfileDeleteKey(nullptr, kProfileSection, "IniPath"));
    }
    void WriteIni(const std::string &text) { kelmor_test::WriteTextFile(ini_, text); }
    std::string IniValue(const char *section, const char *key) {
        char value[512];
        ProfileReadString(ini_.c_str(), section, key, "<none>", value, sizeof value);
        return value;
    }

    std::string dir_, ini_;
};

TEST(NameCodes, ConvertBothWays) {
    EXPECT_EQ(136u, NameCode2Charset("big5"));
    EXPECT_EQ(240u, NameCode2Charset("sc"));
    EXPECT_EQ(1u, NameCode2Charset("xyz"));
    EXPECT_EQ(1u, NameCode2Charset(nullptr));
    EXPECT_STREQ("UNI", Charset2NameCode(137));
    EXPECT_STREQ("Unk", Charset2NameCode(77));
    EXPECT_STREQ("Gly", PcEncodingID2NameCode(8));
    EXPECT_STREQ("Unk", PcEncodingID2NameCode(9));
    EXPECT_STREQ("Unk", PcEncodingID2NameCode(-1));
    EXPECT_STREQ("SJS", LanguageID2NameCode(0x411));
    EXPECT_STREQ("Unk", LanguageID2NameCode(9999));
    EXPECT_STREQ("Unk", LanguageID2NameCode(0x409));
}

TEST(ProcessAttach, HappensOnceBeforeMainWithTheLibrarysModule) {
    // Linked into this test, the library's module is the executable.
    ASSERT_NE(nullptr, SetupData.hInstance);
    EXPECT_EQ(LibraryModuleHandle(), SetupData.hInstance);
    char modulePath[kMaxPathBytes];
    ASSERT_TRUE(ModuleFileName(SetupData.hInstance, modulePath, sizeof modulePath));
    EXPECT_NE(nullptr, std::strstr(modulePath, "settings_test"));
    char tooSmall[8];
    EXPECT_FALSE(ModuleFileName(SetupData.hInstance, tooSmall, sizeof tooSmall));
    EXPECT_STREQ("", tooSmall);

    std::string iniBefore = szIniFile;
    int other;
    EXPECT_EQ(1, DllEntryPoint(&other, kProcessAttach, nullptr));
    EXPECT_EQ(0, DllEntryPoint(&other, kThreadAttach, nullptr));
    EXPECT_EQ(1, DllEntryPoint(&other, kProcessDetach, nullptr));
    EXPECT_EQ(LibraryModuleHandle(), SetupData.hInstance);
    EXPECT_EQ(iniBefore, szIniFile);
}

TEST_F(Settings, IniFileComesFromTheProfileElseSitsBesideTheModule) {
    InitIniFile();
    EXPECT_EQ(ini_, szIniFile);

    SetIniPath(nullptr);
    InitIniFile();
    char modulePath[kMaxPathBytes];
    ASSERT_TRUE(ModuleFileName(SetupData.hInstance, modulePath, sizeof modulePath));
    std::string module = modulePath;
    EXPECT_EQ(module.substr(0, module.find_last_of(kSep) + 1) + "Kelmor.ini", szIniFile);

    // A program holding the library's code looks beside the library it
    // names instead; the profile still comes first.
    const std::string library = dir_ + kSep + "lib" + kSep + "libkelmor.so.1";
    SetLibraryFileForIni(library.c_str());
    InitIniFile();
    EXPECT_EQ(dir_ + kSep + "lib" + kSep + "Kelmor.ini", szIniFile);
    SetIniPath(ini_.c_str());
    InitIniFile();
    EXPECT_EQ(ini_, szIniFile);
    SetLibraryFileForIni(nullptr);
    SetIniPath(nullptr);

    // A path longer than any the platform allows is refused, not cut.
    SetIniPath((dir_ + kSep + std::string(kMaxPathBytes, 'x')).c_str());
    InitIniFile();
    EXPECT_STREQ("", szIniFile);
    InitKELMOFromIni();
    EXPECT_EQ(nullptr, pifKELMOHead);
}

// Hosts that know only the first eighteen exports get the faithful mode
// from the ini file, read when each font is opened.
TEST_F(Settings, FaithfulModeForHostsComesFromTheIniFile) {
    InitIniFile();
    const struct {
        const char *ini;
        bool faithful;
    } cases[] = {
        {"", false},
        {"[Rendering]\r\nFaithful=0\r\n", false},
        {"[Rendering]\r\nFaithful=1\r\n", true},
        {"[rendering]\r\nfaithful=Yes\r\n", true},
        {"[Rendering]\r\nFaithful=on\r\n", true},
        {"[Rendering]\r\nFaithful=TRUE\r\n", true},
        {"[Rendering]\r\nFaithful=2\r\n", false},
        {"[Other]\r\nFaithful=1\r\n", false},
    };
    for (const auto &c : cases) {
        WriteIni(c.ini);
        EXPECT_EQ(c.faithful, FaithfulFromIni()) << c.ini;
    }

    const std::string font = kelmor_test::FontBuilder().WriteTo(dir_ + kSep + "font.ttf");
    WriteIni("[Rendering]\r\nFaithful=1\r\n");
    int32_t handle = OpenTTFont(font.c_str());
    ASSERT_NE(0, handle);
    EXPECT_EQ(KELMOR_FAITHFUL, SetRenderOptions(handle, 0));
    CloseTTFont(handle);
    WriteIni("");
    handle = OpenTTFont(font.c_str());
    EXPECT_EQ(0, SetRenderOptions(handle, 0));
    CloseTTFont(handle);
}

// A font past the classic limits (here: instruction definitions) opens
// through OpenTTFontFace, and through OpenTTFont only for hosts that asked
// for the faithful mode.
TEST_F(Settings, FontsPastTheClassicLimitsOpenWhereAsked) {
    InitIniFile();
    const std::string font = kelmor_test::FontBuilder()
                                 .Maxp(&kelmor_test::MaxpValues::maxInstructionDefs, 24)
                                 .WriteTo(dir_ + kSep + "idef.ttf");
    const struct {
        const char *ini;
        bool viaOpenTTFont;
    } cases[] = {{"", false}, {"[Rendering]\r\nFaithful=1\r\n", true}};
    for (const auto &c : cases) {
        WriteIni(c.ini);
        const int32_t classic = OpenTTFont(font.c_str());
        EXPECT_EQ(c.viaOpenTTFont, classic != 0) << c.ini;
        CloseTTFont(classic);
        const int32_t extension = OpenTTFontFace(font.c_str(), 0);
        EXPECT_NE(0, extension) << c.ini;
        CloseTTFont(extension);
    }
}

// Embedded bitmaps likewise, each key on its own and both together.
TEST_F(Settings, EmbeddedBitmapsForHostsComeFromTheIniFile) {
    InitIniFile();
    const std::string font = kelmor_test::FontBuilder().WriteTo(dir_ + kSep + "font.ttf");
    const struct {
        const char *ini;
        int options;
    } cases[] = {
        {"[Rendering]\r\nEmbeddedBitmaps=1\r\n", KELMOR_EMBEDDED_BITMAPS},
        {"[Rendering]\r\nEmbeddedBitmaps=no\r\nFaithful=1\r\n", KELMOR_FAITHFUL},
        {"[Rendering]\r\nFaithful=1\r\nembeddedbitmaps=yes\r\n",
         KELMOR_FAITHFUL | KELMOR_EMBEDDED_BITMAPS},
        {"[Other]\r\nEmbeddedBitmaps=1\r\n", 0},
    };
    for (const auto &c : cases) {
        WriteIni(c.ini);
        EXPECT_EQ((c.options & KELMOR_EMBEDDED_BITMAPS) != 0, EmbeddedBitmapsFromIni())
            << c.ini;
        const int32_t handle = OpenTTFont(font.c_str());
        ASSERT_NE(0, handle);
        EXPECT_EQ(c.options, SetRenderOptions(handle, 0)) << c.ini;
        CloseTTFont(handle);
    }
}

// AutoHint=0 switches the auto-hinter off for hosts; it is on by default,
// so only a "no" sets an option.
TEST_F(Settings, AutoHintSwitchForHostsComesFromTheIniFile) {
    InitIniFile();
    const std::string font = kelmor_test::FontBuilder().WriteTo(dir_ + kSep + "font.ttf");
    const struct {
        const char *ini;
        int options;
    } cases[] = {
        {"[Rendering]\r\nFaithful=1\r\n", KELMOR_FAITHFUL},
        {"[Rendering]\r\nFaithful=1\r\nAutoHint=1\r\n", KELMOR_FAITHFUL},
        {"[Rendering]\r\nFaithful=1\r\nAutoHint=0\r\n", KELMOR_FAITHFUL | KELMOR_NO_AUTOHINT},
        {"[rendering]\r\nautohint=Off\r\n", KELMOR_NO_AUTOHINT},
        {"[Other]\r\nAutoHint=0\r\n", 0},
    };
    for (const auto &c : cases) {
        WriteIni(c.ini);
        const int32_t handle = OpenTTFont(font.c_str());
        ASSERT_NE(0, handle);
        EXPECT_EQ(c.options, SetRenderOptions(handle, 0)) << c.ini;
        CloseTTFont(handle);
    }
}

TEST_F(Settings, InstalledFontsReadWriteAndRemove) {
    WriteIni("[Installed DBCS Fonts]\r\nMincho=MINCHO.FOT,C:\\F\\MINCHO.TTF,SJS,SJS,Mincho,48,SC,\r\n"
             "Short=only\r\nGothic=G.FOT,G.TTF,UNI,UNI,Gothic,48,SJS,\r\n[Other]\r\nKeep=me\r\n");
    InitIniFile();
    InitKELMOFromIni();
    ASSERT_EQ(std::vector<std::string>({"Mincho", "Short", "Gothic"}), InstalledKeys());
    EXPECT_EQ(kKELMOFields, pifKELMOHead->iFields);
    EXPECT_STREQ("C:\\F\\MINCHO.TTF", pifKELMOHead->ppFields[2]);
    EXPECT_STREQ("", GetSelection(pifKELMOHead, 2)->ppFields[7]);

    RemoveKELMORPif(FindIniType(pifKELMOHead, "short"));
    EXPECT_EQ(std::vector<std::string>({"Mincho", "Gothic"}), InstalledKeys());
    EXPECT_EQ("<none>", IniValue("Installed DBCS Fonts", "Short"));

    // The section becomes an exact image of the list.
    _IniFieldsType *mincho = pifKELMOHead;
    RemoveIniFieldsType(&pifKELMOHead, &pifKELMOTail, mincho);
    FreeIniFieldsType(mincho);
    WriteIniTypesFromKELMO(nullptr);
    EXPECT_EQ("G.FOT,G.TTF,UNI,UNI,Gothic,48,SJS,", IniValue("Installed DBCS Fonts", "Gothic"));
    EXPECT_EQ("me", IniValue("Other", "Keep"));
    InitKELMOFromIni();
    EXPECT_EQ(std::vector<std::string>({"Gothic"}), InstalledKeys());
}

TEST_F(Settings, ConcordancePathsAreFoundByNameIgnoringCase) {
    WriteIni("[Code Space Concordances]\r\nD:\\Cob\\JIS2UNI.COB=\r\nX:\\MYJIS2UNI.COB.OLD=\r\n"
             "E:\\Big5_Uni.cob=a,b\r\nunrelated.cob=\r\n");
    std::strcpy(szGb2UniFile, "kept");
    InitIniFile();
    TestOpenConcordance();
    EXPECT_EQ(AsStored("X:\\MYJIS2UNI.COB.OLD"), szJis2UniFile);  // the later match
    EXPECT_EQ(AsStored("E:\\Big5_Uni.cob"), szBig5_UniFile);
    EXPECT_STREQ("kept", szGb2UniFile);
    WriteIni("[Code Space Concordances]\r\nD:\\Cob\\JIS2UNI.COB=\r\n");
    TestOpenConcordance();
    EXPECT_EQ(AsStored("D:\\Cob\\JIS2UNI.COB"), szJis2UniFile);
}

TEST_F(Settings, DefaultHelpFileSitsBesideTheShiftJISConcordance) {
    std::string cobDir = std::string(kSep == '\\' ? "c:\\cob" : "/cob") + kSep;
    std::strcpy(szJis2UniFile, (cobDir + "jis2uni.cob").c_str());
    InitIniFile();
    InitHelpFileName();
    EXPECT_EQ(cobDir + "Zud.hlp", szWinHelpFileName);
    EXPECT_EQ(cobDir + "Zud.hlp, WinHelp", IniValue("Help", "English v3.0"));

    WriteIni("[Help]\r\nDeutsch=" + cobDir + "de.hlp, WinHelp\r\nEnglish v3.0=en.hlp\r\n");
    InitHelpFileName();
    EXPECT_EQ(cobDir + "de.hlp", szWinHelpFileName);  // the first entry, whatever its key

    WriteIni("");
    szJis2UniFile[0] = '\0';
    InitHelpFileName();
    EXPECT_STREQ("Zud.hlp", szWinHelpFileName);
}

TEST_F(Settings, RegisterAppReloadsEverything) {
    WriteIni("[Installed DBCS Fonts]\r\nGothic=G.FOT,g.ttf,UNI,UNI,Gothic,48,SJS,\r\n"
             "[Code Space Concordances]\r\n" + dir_ + kSep + "Gb2Uni.cob=\r\n");
    ZapKELMOs();
    EXPECT_EQ(SetupData.hInstance, KelmoRegisterApp(nullptr));
    EXPECT_EQ(ini_, szIniFile);
    EXPECT_EQ(std::vector<std::string>({"Gothic"}), InstalledKeys());
    EXPECT_EQ(AsStored(dir_ + kSep + "Gb2Uni.cob"), szGb2UniFile);
    EXPECT_STREQ("Zud.hlp", szWinHelpFileName);
}

// KelmoRegisterApp must find the concordances before it names the default
// help file, which lives beside the Shift-JIS one.
TEST_F(Settings, RegisterAppPutsTheDefaultHelpBesideTheConcordance) {
    std::string jis = dir_ + kSep + "Jis2Uni.cob";
    WriteIni("[Code Space Concordances]\r\n" + jis + "=\r\n");
    KelmoRegisterApp(nullptr);
    EXPECT_EQ(AsStored(dir_ + kSep) + "Zud.hlp", szWinHelpFileName);
}

// Values longer than the 255 characters of the old fixed buffer come back
// whole, and a rewrite of the installed list saves them whole.
TEST_F(Settings, LongValuesSurviveARewrite) {
    std::string ttf = dir_ + kSep + std::string(251 - dir_.size() - 5, 'p') + ".ttf";
    std::string help = dir_ + kSep + std::string(300, 'h') + ".hlp";
    std::string entry = "N.FOT," + ttf + ",UNI,UNI,Name,48,SC,";
    WriteIni("[Installed DBCS Fonts]\r\nName=" + entry + "\r\n[Help]\r\nEnglish v3.0=" + help +
             ", WinHelp\r\n");
    KelmoRegisterApp(nullptr);
    ASSERT_NE(nullptr, pifKELMOHead);
    EXPECT_EQ(ttf, pifKELMOHead->ppFields[2]);
    EXPECT_STREQ("SC", pifKELMOHead->ppFields[7]);
    EXPECT_EQ(help, szWinHelpFileName);
    WriteIniTypesFromKELMO(nullptr);
    EXPECT_EQ(entry, IniValue("Installed DBCS Fonts", "Name"));
}

// A value the store cannot hold leaves the file as it was: the section is
// not emptied first, the other entries stay, and the save reports failure.
TEST_F(Settings, AnEntryTooLongToStoreLeavesTheFileAlone) {
    std::string text = "[Installed DBCS Fonts]\r\nA=a.fot,a.ttf,UNI,UNI,A,48,SC,\r\n";
    WriteIni(text);
    InitIniFile();
    InitKELMOFromIni();
    std::string tooLong(kMaxProfileValueLength, 'x');
    char *fields[kKELMOFields] = {const_cast<char *>("B"), const_cast<char *>(tooLong.c_str())};
    ASSERT_NE(nullptr, AddIniFieldsType(&pifKELMOHead, &pifKELMOTail, fields, kKELMOType,
                                        kKELMOFields));
    EXPECT_FALSE(WriteIniTypesFromKELMO(nullptr));
    EXPECT_EQ(EINVAL, ProfileLastError());
    EXPECT_EQ(text, kelmor_test::ReadTextFile(ini_));
}

#ifndef _WIN32
// While another process saves the installed list over and over, a reader
// never finds the section empty.
TEST_F(Settings, SavingTheInstalledListNeverShowsItEmpty) {
    WriteIni("[Installed DBCS Fonts]\r\nA=a.fot,a.ttf,UNI,UNI,A,48,SC,\r\n"
             "B=b.fot,b.ttf,UNI,UNI,B,48,SC,\r\n");
    InitIniFile();
    InitKELMOFromIni();
    pid_t writer = fork();
    if (writer == 0) {
        // The order alternates, so that every save changes the file.
        for (int i = 0; i < 150; ++i) {
            MoveIniFieldToHead(&pifKELMOHead, &pifKELMOTail, pifKELMOTail);
            WriteIniTypesFromKELMO(nullptr);
        }
        _exit(0);
    }
    int reads = 0, emptyReads = 0, status = 0;
    while (waitpid(writer, &status, WNOHANG) == 0) {
        char names[256];
        ProfileReadKeyNames(ini_.c_str(), "Installed DBCS Fonts", names, sizeof names);
        ++reads;
        if (names[0] == '\0') ++emptyReads;
    }
    EXPECT_EQ(0, emptyReads) << "of " << reads << " reads";
    InitKELMOFromIni();
    EXPECT_EQ(std::vector<std::string>({"A", "B"}), InstalledKeys());  // after 150 swaps
}
#endif

}  // namespace
