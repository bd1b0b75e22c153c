// kelmor fonts and kelmor fot, run as a user runs them, on an ini file of
// the test's own (--ini) and with Debian's IPA Gothic.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "font_builder.h"
#include "ne_builder.h"
#include "program_run.h"
#include "test_paths.h"
#include "text_file.h"
#include "ttasm.h"

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

// Each face of a collection gets an entry of its own, and what names the
// entry opens that face again: the bitmap association reads its name.
TEST_F(ToolFonts, AddsEachFaceOfACollection) {
    const std::string ttc = kelmor_test::DebianFont("truetype/arphic/uming.ttc");
    if (ttc.empty()) GTEST_SKIP() << "fonts-arphic-uming is not installed";
    ProgramRun add = Fonts({"add", ttc});
    ASSERT_EQ(0, add.exitCode) << add.err;
    for (const char *name : {"AR PL UMing CN", "AR PL UMing HK", "AR PL UMing TW", "AR PL UMing TW MBE"})
        EXPECT_NE(std::string::npos, add.out.find(std::string(name) + "  (character set")) << name;
    EXPECT_NE(std::string::npos, Ini().find("AR PL UMing CN=uming.FOT," + ttc + ",UNI,"));
    EXPECT_NE(std::string::npos, Ini().find("AR PL UMing TW=uming.FOT," + ttc + "|2,UNI,"));
    EXPECT_NE(std::string::npos, Fonts({"list"}).out.find("font file    " + ttc + ", face 2"));
    ProgramRun associate = Fonts({"associate", "AR PL UMing TW", "96", "/fonts/tw96.fon"});
    EXPECT_EQ(0, associate.exitCode) << associate.err;
    EXPECT_NE(std::string::npos, Ini().find("[Bitmap for AR PL UMing TW]\r\n96=/fonts/tw96.fon"));
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

// A font OpenTTFont refuses in the classic mode is not installed, and the
// message says why and how a host gets it, not only that it failed.
TEST_F(ToolFonts, RefusedFontSaysTheCauseAndTheWayAround) {
    using kelmor_test::Assemble;
    using kelmor_test::FontBuilder;
    using kelmor_test::Glyph;
    std::vector<kelmor_test::Pt> many;
    for (int i = 0; i < 1300; ++i) many.push_back({int16_t(i % 600), int16_t(i / 600 * 100)});
    struct Case {
        const char *name;
        FontBuilder font;
        const char *cause;
    } cases[] = {
        {"idef",
         FontBuilder()
             .Fpgm(Assemble("PUSHB 147 IDEF ENDF"))
             .Maxp(&kelmor_test::MaxpValues::maxInstructionDefs, 1),
         "instruction definitions (IDEF)"},
        {"points", FontBuilder().AddGlyph(Glyph::Simple({many})), "more than 1,260 points"},
    };
    for (const Case &c : cases) {
        const std::string path = c.font.WriteTo(dir_ + "/" + c.name + ".ttf");
        ProgramRun run = Fonts({"add", path});
        EXPECT_EQ(1, run.exitCode) << c.name;
        EXPECT_NE(std::string::npos, run.err.find(c.cause)) << run.err;
        EXPECT_NE(std::string::npos, run.err.find("Faithful=1 in section [Rendering]")) << run.err;
        EXPECT_NE(std::string::npos, run.err.find("OpenTTFontFace")) << run.err;
    }
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

// A font of its own full name, so that each process installs another key.
std::string NamedFont(const std::string &path, const std::string &fullName) {
    return kelmor_test::FontBuilder().Cmap4(3, 1, {{0x41, 0}}).NameUtf16(3, 1, 0x409, 4, fullName).WriteTo(path);
}

// Twelve processes adding at once each keep their entry: every one changes
// only its own key, under the file's lock.
TEST_F(ToolFonts, ConcurrentAddsAllSurvive) {
    std::string command;
    for (int i = 0; i < 12; ++i) {
        std::string font = NamedFont(dir_ + "/f" + std::to_string(i) + ".ttf", "Font " + std::to_string(i));
        command += std::string(KELMOR_TOOL_BINARY) + " fonts --ini " + ini_ + " add " + font + " >/dev/null & ";
    }
    ASSERT_EQ(0, std::system((command + "wait").c_str()));
    std::string ini = Ini();
    for (int i = 0; i < 12; ++i)
        EXPECT_NE(std::string::npos, ini.find("Font " + std::to_string(i) + "=")) << i << "\n" << ini;
}

// A write the file system refuses (here: past the size limit the shell
// sets) fails every command that wrote, with the cause, the file unchanged.
TEST_F(ToolFonts, FailedWritesAreReportedWithTheirCause) {
    kelmor_test::WriteTextFile(ini_, "[Filler]\r\n;" + std::string(256 * 1024, 'x') + "\r\n");
    ASSERT_EQ(0, Fonts({"add", font_}).exitCode);
    ASSERT_EQ(0, Fonts({"set", "IPAGothic", "--point-size", "24"}).exitCode);
    const std::string before = Ini();
    const std::vector<std::string> commands[] = {
        {"add", font_},  // would set the point size back to 48
        {"set", "IPAGothic", "--point-size", "30"},
        {"remove", "IPAGothic"},
        {"associate", "IPAGothic", "96", "/fonts/ipag96.fon"},
    };
    for (const std::vector<std::string> &c : commands) {
        std::vector<std::string> args = {"fonts", "--ini", ini_};
        args.insert(args.end(), c.begin(), c.end());
        ProgramRun run = kelmor_test::RunProgram(KELMOR_TOOL_BINARY, args, "trap '' XFSZ; ulimit -f 64;");
        EXPECT_EQ(1, run.exitCode) << c[0] << "\n" << run.out;
        EXPECT_NE(std::string::npos, run.err.find("File too large")) << c[0] << ": " << run.err;
        EXPECT_EQ(before, Ini()) << c[0];
    }
    ProgramRun unstorable = Fonts({"add", NamedFont(dir_ + "/eq.ttf", "A=B")});
    EXPECT_EQ(1, unstorable.exitCode);
    EXPECT_NE(std::string::npos, unstorable.err.find("cannot hold")) << unstorable.err;
}

// A TrueType name the .FOT reader had to cut names another file: refused,
// even when a file of the cut name exists.
TEST_F(ToolFonts, AFotNamingAnOverlongFileIsRefused) {
    const std::string name = std::string(149, 'n') + ".ttf";
    kelmor_test::WriteTextFile(dir_ + "/" + name.substr(0, 127), kelmor_test::ReadTextFile(font_));
    const std::string fot = kelmor_test::NeBuilder()
                                .AddType(0x8007).AddResource(0x8001, kelmor_test::FontDirectory("Long"))
                                .AddType(0x80CC).AddResource(0x8001, kelmor_test::Text(name))
                                .WriteTo(dir_ + "/LONG.FOT");
    ProgramRun run = Fonts({"add", fot, "--yes"});
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("longer than 126 characters")) << run.err;
    EXPECT_EQ("", Ini());
}

// Installed in a prefix, the tool keeps the installed library's Kelmor.ini
// (in the prefix's library directory), or the one the profile names.
TEST_F(ToolFonts, AnInstalledToolSharesTheLibrarysIniFile) {
    namespace fs = std::filesystem;
    const std::string bin = dir_ + "/prefix/bin", lib = bin + "/" + KELMOR_TOOL_TO_LIBDIR;
    fs::create_directories(bin);
    fs::create_directories(lib);
    fs::copy_file(KELMOR_TOOL_BINARY, bin + "/kelmor");
    kelmor_test::WriteTextFile(lib + "/" + KELMOR_LIBRARY_FILE, "");
    const std::string profile = dir_ + "/profile.ini";
    const std::string env = "KELMOR_PROFILE=" + profile;
    ASSERT_EQ(0, kelmor_test::RunProgram(bin + "/kelmor", {"fonts", "add", font_}, env).exitCode);
    EXPECT_NE(std::string::npos, kelmor_test::ReadTextFile(lib + "/Kelmor.ini").find("IPAGothic="));
    EXPECT_FALSE(fs::exists(bin + "/Kelmor.ini"));

    kelmor_test::WriteTextFile(profile, "[Kelmor Type Font Interface 1.0]\nIniPath=" + ini_ + "\n");
    ASSERT_EQ(0, kelmor_test::RunProgram(bin + "/kelmor", {"fonts", "add", font_}, env).exitCode);
    EXPECT_NE(std::string::npos, Ini().find("IPAGothic="));
}

// Names read from a .FOT reach the terminal with their control bytes shown,
// never sent.
TEST_F(ToolFonts, FotShowsControlBytesEscaped) {
    const std::string fot = kelmor_test::NeBuilder()
                                .AddType(0x8007).AddResource(0x8001, kelmor_test::FontDirectory("Face\x1b[2J", "Dev\x9b"))
                                .AddType(0x80CC).AddResource(0x8001, kelmor_test::Text("F\x07\x1b]0;x.ttf"))
                                .AddNamedType("T\x1b").AddNamedResource("R\r", kelmor_test::Text("x"))
                                .WriteTo(dir_ + "/ESC.FOT");
    ProgramRun run = kelmor_test::RunProgram(KELMOR_TOOL_BINARY, {"fot", fot});
    EXPECT_EQ(0, run.exitCode) << run.err;
    for (const char *line : {"face name       Face\\x1B[2J", "device name     Dev\\x9B",
                             "TrueType file: F\\x07\\x1B]0;x.ttf", "type \"T\\x1B\"", "id \"R\\x0D\""})
        EXPECT_NE(std::string::npos, run.out.find(line)) << line << "\n" << run.out;
    for (char c : run.out) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);

    ProgramRun prompt = Fonts({"add", fot}, "n\n");
    EXPECT_EQ(std::string::npos, prompt.out.find('\x1b')) << prompt.out;
}

}  // namespace
