// Real .FOT files: Wine's CreateScalableFontResourceA writes them for
// Debian's fonts, the library's reader reads them back.  Windows only (the
// writer is the system's); the files it makes are left in fot/ of the test's
// working directory.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/message_box.h"
#include "ttf/install/exehdr.h"
#include "ttf/install/fot.h"

// The one system call needed, declared here so that the test does not pull
// in the whole Windows header.
extern "C" __declspec(dllimport) int __stdcall CreateScalableFontResourceA(
    unsigned long fdwHidden, const char *lpszFontRes, const char *lpszFontFile,
    const char *lpszCurrentPath);
extern "C" __declspec(dllimport) int __stdcall CreateDirectoryA(const char *lpPathName,
                                                                void *lpSecurityAttributes);

using namespace kelmor;

namespace {

std::string lastText;

int AcceptAndRecord(const char *text, const char *, uint32_t) {
    lastText = text;
    return kIdOk;
}

struct DebianFont {
    const char *file;  // under /usr/share/fonts
    // The end of the face name Wine writes (it mangles the first two
    // characters into "??").
    const char *faceEnd;
};

const DebianFont kFonts[] = {
    {"opentype/ipafont-gothic/ipag.ttf", "AGothic"},
    {"opentype/ipafont-mincho/ipam.ttf", "AMincho"},
    {"truetype/dejavu/DejaVuSans.ttf", "jaVu Sans"},
    {"truetype/liberation/LiberationSerif-Regular.ttf", "beration Serif"},
    {"truetype/arphic-bsmi00lp/bsmi00lp.ttf", " PL Mingti2L Big5"},
};

bool EndsWith(const std::string &text, const std::string &end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string WindowsPath(const std::string &fontsRelative) {
    std::string path = "Z:\\usr\\share\\fonts\\" + fontsRelative;
    for (char &c : path)
        if (c == '/') c = '\\';
    return path;
}

TEST(WineFotFiles, ReadBackWhatTheSystemWrote) {
    CreateDirectoryA("fot", nullptr);
    MessageBoxService previous = SetMessageBoxService(AcceptAndRecord);
    for (const DebianFont &font : kFonts) {
        std::string ttf = WindowsPath(font.file);
        std::string base = std::strrchr(font.file, '/') + 1;
        std::string fot = "fot\\" + base.substr(0, base.find('.')) + ".fot";
        std::remove(fot.c_str());  // the writer refuses to replace a file
        ASSERT_NE(0, CreateScalableFontResourceA(0, fot.c_str(), ttf.c_str(), nullptr)) << ttf;

        EXEINFO *info = nullptr;
        ASSERT_EQ(0, LoadExeInfo(fot.c_str(), &info)) << fot;
        EXPECT_EQ(kNeSignature, info->NewHdr.wNewSignature);
        EXPECT_NE(nullptr, info->pResTable);
        FreeExeInfoMemory(info);

        char fontFile[kFontFileBytes] = "";
        uint8_t dir[kFontDirBytes] = {};
        lastText.clear();
        EXPECT_EQ(1, DoFOT(fot.c_str(), fontFile, dir)) << fot;
        EXPECT_STREQ(ttf.c_str(), fontFile);
        std::string face = reinterpret_cast<char *>(dir + kFontDirFixedBytes);
        EXPECT_TRUE(EndsWith(face, font.faceEnd)) << face;
        EXPECT_TRUE(EndsWith(lastText, " DBCS 'Name' '" + face + "'")) << lastText;
    }
    SetMessageBoxService(previous);
}

}  // namespace
