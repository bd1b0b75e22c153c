// kelmor fonts and kelmor fot, run as a user runs them, on an ini file of
// the test's own (--ini) and with Debian's IPA Gothic.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_run.h"
#include "test_paths.h"
#include "text_file.h"

namespace {

using kelmor_test::ProgramRun;

const char kIpaGothic[] = "opentype/ipafont-gothic/ipag.ttf";

class ToolFonts : public ::testing::Test {
protected:
    void SetUp() override {
        auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = kelmor_test::ScratchDir(test->name());
        ini_ = dir_ + "/Kelmor.ini";
        font_ = kelmor_test::DebianFont(kIpaGothic);
        if (font_.empty()) GTEST_SKIP() << "fonts-ipafont-gothic is not installed";
    }
    ProgramRun Fonts(std::vector<std::string> args, const std::string &input = "") {
        args.insert(args.begin(), {"fonts", "--ini", ini_});
        return kelmor_test::RunProgram(KELMOR_TOOL_BINARY, args, "", input);
    }
    std::string Ini() const { return kelmor_test::ReadTextFile(ini_); }

    std::string dir_, ini_, font_;
};

TEST_F(ToolFonts, AddsListsChangesAndRemoves) {
    ProgramRun empty = Fonts({"list"});
    EXPECT_EQ(0, empty.exitCode);
    EXPECT_NE(std::string::npos, empty.out.find("(none)"));

    ProgramRun add = Fonts({"add", font_});
    ASSERT_EQ(0, add.exitCode) << add.err;
    EXPECT_EQ("[Installed DBCS Fonts]\r\nIPAGothic=ipag.FOT," + font_ + ",UNI,UNI,IPAGothic,48,SC,\r\n",
              Ini());

    ProgramRun set = Fonts({"set", "ipagothic", "--doc-charset", "sjs", "--point-size", "24"});
    ASSERT_EQ(0, set.exitCode) << set.err;
    EXPECT_NE(std::string::npos, Ini().find(",UNI,UNI,IPAGothic,24,SJS,"));

    ProgramRun list = Fonts({"list"});
    EXPECT_EQ(0, list.exitCode);
    EXPECT_NE(std::string::npos, list.out.find("IPAGothic  (character set 128)")) << list.out;
    EXPECT_NE(std::string::npos, list.out.find("font file    " + font_));
    EXPECT_NE(std::string::npos, list.out.find("symbol sets  font UNI, document SJS"));

    EXPECT_EQ(0, Fonts({"associate", "IPAGothic", "96", "/fonts/ipag96.fon"}).exitCode);
    EXPECT_NE(std::string::npos, Ini().find("[Bitmap for IPAGothic]\r\n96=/fonts/ipag96.fon\r\n"));

    ProgramRun remove = Fonts({"remove", "IPAGothic"});
    EXPECT_EQ(0, remove.exitCode) << remove.err;
    EXPECT_EQ(std::string::npos, Ini().find("IPAGothic="));
}

TEST_F(ToolFonts, InstallsFromAFotFileWhenTheUserAgrees) {
    // A .FOT Wine wrote names the font by its Windows path; beside the .FOT
    // the tool finds it by its file name.
    kelmor_test::WriteTextFile(dir_ + "/IPAG.FOT",
                               kelmor_test::ReadTextFile(std::string(KELMOR_TEST_DATA) + "/wine_ipag.fot"));
    kelmor_test::WriteTextFile(dir_ + "/ipag.ttf", kelmor_test::ReadTextFile(font_));
    const std::string fot = dir_ + "/IPAG.FOT";

    ProgramRun declined = Fonts({"add", fot}, "n\n");
    EXPECT_EQ(1, declined.exitCode);
    EXPECT_NE(std::string::npos, declined.out.find(" DBCS 'Name' '??AGothic'")) << declined.out;
    EXPECT_NE(std::string::npos, declined.out.find("Install this font? [y/N]"));
    EXPECT_EQ("", Ini());

    ProgramRun accepted = Fonts({"add", fot}, "y\n");
    ASSERT_EQ(0, accepted.exitCode) << accepted.err;
    EXPECT_EQ("[Installed DBCS Fonts]\r\nIPAGothic=" + fot + "," + dir_ +
                  "/ipag.ttf,UNI,UNI,IPAGothic,48,SC,\r\n",
              Ini());

    ProgramRun again = Fonts({"add", fot, "--yes"});
    EXPECT_EQ(0, again.exitCode);
    EXPECT_EQ(std::string::npos, again.out.find("Install this font?"));
    EXPECT_NE(std::string::npos, again.out.find("replaces the entry of the same name"));
}

TEST_F(ToolFonts, ReportsErrorsWithTheirExitCodes) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char *message;
    } cases[] = {
        {{"frob"}, 2, "unknown action \"frob\""},
        {{"add"}, 2, "add needs one file"},
        {{"add", "/etc/passwd"}, 1, "cannot install"},
        {{"add", "/etc/passwd.fot"}, 1, "cannot read"},
        {{"remove", "Nobody"}, 1, "no installed font is named \"Nobody\""},
        {{"set", "Nobody", "--point-size", "3"}, 1, "no installed font"},
        {{"list", "--point-size"}, 2, "--point-size"},
        {{"list", "--bogus"}, 2, "unknown option \"--bogus\""},
    };
    for (const Case &c : cases) {
        ProgramRun run = Fonts(c.args);
        EXPECT_EQ(c.exitCode, run.exitCode) << c.args[0];
        EXPECT_NE(std::string::npos, run.err.find(c.message)) << run.err;
    }
    ASSERT_EQ(0, Fonts({"add", font_}).exitCode);
    EXPECT_EQ(2, Fonts({"set", "IPAGothic", "--doc-charset", "xyz"}).exitCode);
    EXPECT_EQ(2, Fonts({"set", "IPAGothic", "--point-size", "0"}).exitCode);
    EXPECT_EQ(2, Fonts({"set", "IPAGothic"}).exitCode);
    EXPECT_EQ(2, Fonts({"associate", "IPAGothic", "many", "x.fon"}).exitCode);
}

TEST_F(ToolFonts, ShowsWhatAFotFileHolds) {
    ProgramRun run = kelmor_test::RunProgram(
        KELMOR_TOOL_BINARY, {"fot", std::string(KELMOR_TEST_DATA) + "/wine_ipag.fot"});
    EXPECT_EQ(0, run.exitCode) << run.err;
    for (const char *line : {"type 7 (font directory), 1 resource(s)",
                             "id \"FONTDIR\" at byte 368, 160 bytes",
                             "TrueType file: Z:\\usr\\share\\fonts\\opentype\\ipafont-gothic\\ipag.ttf",
                             "face name       ??AGothic", "copyright       Wine fontdir"})
        EXPECT_NE(std::string::npos, run.out.find(line)) << line << "\n" << run.out;
    EXPECT_EQ(1, kelmor_test::RunProgram(KELMOR_TOOL_BINARY, {"fot", "/etc/passwd"}).exitCode);
    EXPECT_EQ(2, kelmor_test::RunProgram(KELMOR_TOOL_BINARY, {"fot"}).exitCode);
}

}  // namespace
