// Installing collections: each face of a .ttc becomes an entry of its own,
// the entry names its face so that creating the font by name opens that
// face, and a collection whose header lies installs nothing.  Runs natively
// and under Wine.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "font_builder.h"
#include "hostile_collections.h"
#include "kelmor.h"
#include "test_paths.h"
#include "text_file.h"
#include "ttf/api/handles.h"
#include "ttf/font/ttf.h"
#include "ttf/settings/installed_file.h"
#include "ttf/settings/settings.h"

using namespace kelmor;
using namespace kelmor_test;

namespace {

Bytes NamedFace(const std::string &fullName) {
    return FontBuilder().Cmap4(3, 1, {{0x41, 0}}).NameUtf16(3, 1, 0x409, 4, fullName).Build();
}

class InstalledCollection : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::snprintf(szIniFile, sizeof szIniFile, "%s", Path("Kelmor.ini").c_str());
        InitKELMOFromIni();
    }
    void TearDown() override {
        ZapKELMOs();
        szIniFile[0] = '\0';
    }
    std::string Path(const std::string &name) const { return dir_ + kDirSeparator + name; }
    static std::string FileSlot(const char *name) {
        const _IniFieldsType *pif = FindIniType(pifKELMOHead, name);
        return pif && pif->ppFields[2] ? pif->ppFields[2] : "<none>";
    }
    // The face the font created under `name` reads; -1 when none was made.
    static int CreatedFace(const char *name) {
        KELMOR_LOGFONTA lf;
        std::memset(&lf, 0, sizeof lf);
        std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", name);
        lf.lfCharSet = KELMOR_CHARSET_UNICODE;
        const int32_t handle = KelmoCreateFontIndirect(&lf);
        if (handle == 0) return -1;
        const int face = int(FontFromHandle(handle)->FaceIndex);
        KelmoDeleteObject(handle);
        return face;
    }
    std::string dir_;
};

TEST_F(InstalledCollection, EachFaceIsInstalledUnderItsOwnNameAndCreatedFromIt) {
    const std::string ttc = WriteBytes(
        Collection({NamedFace("Ming A"), NamedFace("Ming B"), NamedFace("Ming C")}),
        Path("ming.ttc"));
    EXPECT_EQ(0, KelmoAddFontResource(ttc.c_str()));
    const struct {
        const char *name;
        std::string slot;
        int face;
    } faces[] = {{"Ming A", ttc, 0}, {"Ming B", ttc + "|1", 1}, {"Ming C", ttc + "|2", 2}};
    for (const auto &f : faces) {
        EXPECT_EQ(f.slot, FileSlot(f.name));
        EXPECT_EQ(f.face, CreatedFace(f.name)) << f.name;
    }
    // What the file holds, and what a reader that knows no faces makes of
    // it: the first face's entry opens as before, the others name no file.
    const std::string text = ReadTextFile(szIniFile);
    EXPECT_NE(std::string::npos, text.find("Ming B=ming.FOT," + ttc + "|1,UNI,UNI,Ming B,48,SC,"));
    const int32_t first = OpenTTFont(FileSlot("Ming A").c_str());
    EXPECT_NE(0, first);
    CloseTTFont(first);
    EXPECT_EQ(0, OpenTTFont(FileSlot("Ming B").c_str()));
    // A single font's entry is what it always was.
    const std::string ttf = WriteBytes(NamedFace("Single"), Path("single.ttf"));
    EXPECT_EQ(0, KelmoAddFontResource(ttf.c_str()));
    EXPECT_EQ(ttf, FileSlot("Single"));
    EXPECT_EQ(0, CreatedFace("Single"));
}

TEST_F(InstalledCollection, FacesOfOneNameAreInstalledOnce) {
    const std::string ttc = WriteBytes(
        Collection({NamedFace("Twin"), NamedFace("Twin"), NamedFace("Other")}), Path("twin.ttc"));
    EXPECT_EQ(0, KelmoAddFontResource(ttc.c_str()));
    int entries = 0;
    for (const _IniFieldsType *pif = pifKELMOHead; pif; pif = pif->pNext) ++entries;
    EXPECT_EQ(2, entries);
    EXPECT_EQ(ttc, FileSlot("Twin"));
    EXPECT_EQ(ttc + "|2", FileSlot("Other"));
}

// A header that lies about its faces installs none of them, even when the
// first face would open: the ini file and the list stay as they were.
TEST_F(InstalledCollection, HostileHeadersInstallNothing) {
    for (const HostileCollection &c :
         HostileCollectionHeaders(Collection({NamedFace("Good A"), NamedFace("Good B")}))) {
        WriteTextFile(szIniFile, "[Installed DBCS Fonts]\r\nKeep=k.FOT,k.ttf,SJS,SJS,Keep,48,SC,\r\n");
        InitKELMOFromIni();
        const std::string before = ReadTextFile(szIniFile);
        const std::string path = WriteBytes(c.bytes, Path("bad.ttc"));
        EXPECT_EQ(0, KelmoAddFontResource(path.c_str())) << c.what;
        EXPECT_EQ(before, ReadTextFile(szIniFile)) << c.what;
        EXPECT_EQ(pifKELMOHead, pifKELMOTail) << c.what;
    }
}

TEST(InstalledFontFileSlot, NamesTheFaceAfterTheFirst) {
    const struct {
        const char *slot;
        const char *path;
        uint32_t face;
    } cases[] = {
        {"f.ttc", "f.ttc", 0},      {"f.ttc|1", "f.ttc", 1},     {"f.ttc|4095", "f.ttc", 4095},
        {"f.ttc|12345", "f.ttc|12345", 0},                       {"f.ttc|", "f.ttc|", 0},
        {"|3", "|3", 0},            {"f.ttc|1a", "f.ttc|1a", 0}, {"a|b.ttc", "a|b.ttc", 0},
        {"", "", 0},
    };
    for (const auto &c : cases) {
        const InstalledFontFile file = ParseInstalledFontFile(c.slot);
        EXPECT_EQ(c.path, file.path) << c.slot;
        EXPECT_EQ(c.face, file.face) << c.slot;
    }
    EXPECT_EQ("f.ttc", InstalledFontFileText("f.ttc", 0));
    EXPECT_EQ("f.ttc|7", InstalledFontFileText("f.ttc", 7));
#ifndef _WIN32
    // A file whose own name looks like a face is that file.
    const std::string odd = ScratchDir("installed_slot") + "/odd|2";
    WriteTextFile(odd, "x");
    EXPECT_EQ(odd, ParseInstalledFontFile(odd.c_str()).path);
#endif
}

}  // namespace
