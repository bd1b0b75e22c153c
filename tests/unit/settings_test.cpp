#include "ttf/settings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kelmor.h"
#include "platform/module.h"
#include "platform/profile.h"
#include "test_paths.h"
#include "text_file.h"

using namespace kelmor;
using kelmor_test::ReadTextFile;
using kelmor_test::ScratchDir;
using kelmor_test::WriteTextFile;

namespace {

const char kProfileSection[] = "Kelmor Type Font Interface 1.0";

#ifdef _WIN32
const char kSep = '\\';
#else
const char kSep = '/';
#endif

std::string IniValue(const std::string &ini, const char *section, const char *key) {
    char value[512];
    ProfileReadString(ini.c_str(), section, key, "<none>", value, sizeof value);
    return value;
}

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
// whose previous entry is put back afterwards.
class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        ini_ = dir_ + kSep + "Settings.ini";
#ifdef _WIN32
        char saved[kMaxPathBytes];
        hadIniPath_ = ProfileReadString(nullptr, kProfileSection, "IniPath", "", saved,
                                        sizeof saved) > 0;
        savedIniPath_ = saved;
#else
        const char *saved = std::getenv("KELMOR_PROFILE");
        hadIniPath_ = saved != nullptr;
        savedIniPath_ = saved ? saved : "";
        setenv("KELMOR_PROFILE", (dir_ + "/profile.ini").c_str(), 1);
#endif
        SetIniPath(ini_.c_str());
        szJis2UniFile[0] = szBig5_UniFile[0] = szGb2UniFile[0] = szWinHelpFileName[0] = '\0';
    }
    void TearDown() override {
#ifdef _WIN32
        SetIniPath(hadIniPath_ ? savedIniPath_.c_str() : nullptr);
#else
        if (hadIniPath_)
            setenv("KELMOR_PROFILE", savedIniPath_.c_str(), 1);
        else
            unsetenv("KELMOR_PROFILE");
#endif
        ZapKELMOs();
        ZapCOBs();
    }
    // Null removes the entry.
    static void SetIniPath(const char *path) {
        if (path)
            ASSERT_TRUE(ProfileWriteString(nullptr, kProfileSection, "IniPath", path));
        else
            ASSERT_TRUE(ProfileDeleteKey(nullptr, kProfileSection, "IniPath"));
    }
    void WriteIni(const std::string &text) { WriteTextFile(ini_, text); }

    std::string dir_, ini_;
    bool hadIniPath_ = false;
    std::string savedIniPath_;
};

TEST(NameCodes, ConvertBothWays) {
    EXPECT_EQ(136u, NameCode2Charset("big5"));
    EXPECT_EQ(137u, NameCode2Charset("UNI"));
    EXPECT_EQ(240u, NameCode2Charset("sc"));
    EXPECT_EQ(1u, NameCode2Charset("xyz"));
    EXPECT_EQ(1u, NameCode2Charset("Big"));
    EXPECT_EQ(1u, NameCode2Charset(""));
    EXPECT_EQ(1u, NameCode2Charset(nullptr));

    EXPECT_STREQ("UNI", Charset2NameCode(137));
    EXPECT_STREQ("SJS", Charset2NameCode(128));
    EXPECT_STREQ("Gly", Charset2NameCode(241));
    EXPECT_STREQ("Unk", Charset2NameCode(77));

    EXPECT_STREQ("ASC", PcEncodingID2NameCode(0));
    EXPECT_STREQ("UNI", PcEncodingID2NameCode(1));
    EXPECT_STREQ("Gly", PcEncodingID2NameCode(8));
    EXPECT_STREQ("Unk", PcEncodingID2NameCode(9));
    EXPECT_STREQ("Unk", PcEncodingID2NameCode(-1));

    EXPECT_STREQ("Big5", LanguageID2NameCode(0x404));
    EXPECT_STREQ("GB", LanguageID2NameCode(0x804));
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

    std::string iniBefore = szIniFile;
    int marker;
    EXPECT_EQ(1, DllEntryPoint(&marker, kProcessAttach, nullptr));
    EXPECT_EQ(LibraryModuleHandle(), SetupData.hInstance);
    EXPECT_EQ(iniBefore, szIniFile);
    EXPECT_EQ(0, DllEntryPoint(&marker, kThreadAttach, nullptr));
    EXPECT_EQ(0, DllEntryPoint(&marker, kThreadDetach, nullptr));
    EXPECT_EQ(1, DllEntryPoint(&marker, kProcessDetach, nullptr));
    EXPECT_EQ(LibraryModuleHandle(), SetupData.hInstance);
}

TEST(ModulePath, TooSmallABufferIsRefusedNotCut) {
    char path[8] = "x";
    EXPECT_FALSE(ModuleFileName(SetupData.hInstance, path, sizeof path));
    EXPECT_STREQ("", path);
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

    // A path longer than any the platform allows is refused, not cut.
    std::string overlong = dir_ + kSep + std::string(kMaxPathBytes, 'x') + ".ini";
    SetIniPath(overlong.c_str());
    InitIniFile();
    EXPECT_STREQ("", szIniFile);
    InitKELMOFromIni();
    EXPECT_EQ(nullptr, pifKELMOHead);
    InitHelpFileName();
    EXPECT_STREQ("Zud.hlp", szWinHelpFileName);
}

TEST_F(Settings, InstalledFontsReadWriteAndRemove) {
    WriteIni("[Installed DBCS Fonts]\r\n"
             "Mincho=MINCHO.FOT,C:\\F\\MINCHO.TTF,SJS,SJS,Mincho,48,SC,\r\n"
             "Short=only\r\n"
             "Gothic=G.FOT,C:\\F\\G.TTF,UNI,UNI,Gothic,48,SJS,\r\n"
             "[Other]\r\nKeep=me\r\n");
    InitIniFile();
    InitKELMOFromIni();
    ASSERT_EQ(std::vector<std::string>({"Mincho", "Short", "Gothic"}), InstalledKeys());
    EXPECT_EQ(kKELMOType, pifKELMOHead->iType);
    EXPECT_EQ(kKELMOFields, pifKELMOHead->iFields);
    EXPECT_STREQ("C:\\F\\MINCHO.TTF", pifKELMOHead->ppFields[2]);
    EXPECT_STREQ("", GetSelection(pifKELMOHead, 2)->ppFields[7]);

    RemoveKELMORPif(FindIniType(pifKELMOHead, "short"));
    EXPECT_EQ(std::vector<std::string>({"Mincho", "Gothic"}), InstalledKeys());
    EXPECT_EQ("<none>", IniValue(ini_, "Installed DBCS Fonts", "Short"));

    const char *added[] = {"N", "A.FOT", "C:\\F\\A.TTF", "UNI", "UNI", "N", "48", "SC"};
    AddIniFieldsType(&pifKELMOHead, &pifKELMOTail, const_cast<char **>(added), kKELMOType,
                     kKELMOFields);
    MoveIniFieldToHead(&pifKELMOHead, &pifKELMOTail, pifKELMOTail);
    _IniFieldsType *mincho = FindIniType(pifKELMOHead, "Mincho");
    RemoveIniFieldsType(&pifKELMOHead, &pifKELMOTail, mincho);
    FreeIniFieldsType(mincho);
    WriteIniTypesFromKELMO(nullptr);
    EXPECT_EQ("A.FOT,C:\\F\\A.TTF,UNI,UNI,N,48,SC,", IniValue(ini_, "Installed DBCS Fonts", "N"));
    EXPECT_EQ("<none>", IniValue(ini_, "Installed DBCS Fonts", "Mincho"));
    EXPECT_EQ("me", IniValue(ini_, "Other", "Keep"));

    ZapKELMOs();
    InitKELMOFromIni();
    EXPECT_EQ(std::vector<std::string>({"N", "Gothic"}), InstalledKeys());
}

TEST_F(Settings, ConcordancePathsAreFoundByNameIgnoringCase) {
    WriteIni("[Code Space Concordances]\r\n"
             "D:\\Cob\\JIS2UNI.COB=\r\n"
             "X:\\Old\\MYJIS2UNI.COB.OLD=\r\n"
             "E:\\Big5_Uni.cob=a,b\r\n"
             "unrelated.cob=\r\n");
    strcpy(szGb2UniFile, "kept");
    InitIniFile();
    TestOpenConcordance();
    EXPECT_EQ(AsStored("X:\\Old\\MYJIS2UNI.COB.OLD"), szJis2UniFile);
    EXPECT_EQ(AsStored("E:\\Big5_Uni.cob"), szBig5_UniFile);
    EXPECT_STREQ("kept", szGb2UniFile);

    WriteIni("[Code Space Concordances]\r\nD:\\Cob\\JIS2UNI.COB=\r\n");
    TestOpenConcordance();
    EXPECT_EQ(AsStored("D:\\Cob\\JIS2UNI.COB"), szJis2UniFile);
}

TEST_F(Settings, DefaultHelpFileSitsBesideTheShiftJISConcordance) {
    std::string cobDir = std::string(kSep == '\\' ? "c:\\cob" : "/cob") + kSep;
    strcpy(szJis2UniFile, (cobDir + "jis2uni.cob").c_str());
    InitIniFile();
    InitHelpFileName();
    EXPECT_EQ(cobDir + "Zud.hlp", szWinHelpFileName);
    EXPECT_EQ(cobDir + "Zud.hlp, WinHelp", IniValue(ini_, "Help", "English v3.0"));

    // Now the section has an entry, and the first one is used.
    WriteIni("[Help]\r\nDeutsch=" + cobDir + "de.hlp, WinHelp\r\nEnglish v3.0=en.hlp\r\n");
    InitHelpFileName();
    EXPECT_EQ(cobDir + "de.hlp", szWinHelpFileName);

    WriteIni("");
    szJis2UniFile[0] = '\0';
    InitHelpFileName();
    EXPECT_STREQ("Zud.hlp", szWinHelpFileName);
    EXPECT_EQ("Zud.hlp, WinHelp", IniValue(ini_, "Help", "English v3.0"));
}

TEST_F(Settings, RegisterAppReloadsEverything) {
    WriteIni("[Installed DBCS Fonts]\r\nGothic=G.FOT,g.ttf,UNI,UNI,Gothic,48,SJS,\r\n"
             "[Code Space Concordances]\r\n" + dir_ + kSep + "Gb2Uni.cob=\r\n");
    ZapKELMOs();
    EXPECT_EQ(SetupData.hInstance, KelmoRegisterApp(nullptr));
    EXPECT_EQ(ini_, szIniFile);
    EXPECT_EQ(std::vector<std::string>({"Gothic"}), InstalledKeys());
    EXPECT_EQ(AsStored(dir_ + kSep + "Gb2Uni.cob"), szGb2UniFile);
    EXPECT_STREQ("", szJis2UniFile);
    EXPECT_STREQ("Zud.hlp", szWinHelpFileName);
}

}  // namespace
