// A Windows host of kelmor32.dll.  It knows the library only through
// kelmor.h and the import library, so every call crosses the DLL boundary
// with the __stdcall convention: a mismatch between the header and the export
// table corrupts the host's stack and shows up here, not in the unit suites.
#include "kelmor.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

bool FileExists(const std::string &path) {
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

TEST(Kelmor32Dll, RejectsFilesThatAreNoFonts) {
    EXPECT_EQ(0, OpenTTFont("no-such-font.ttf"));
    EXPECT_EQ(0, OpenTTFont(""));

    const std::string path = "dll_test_not_a_font.ttf";
    std::FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fputs("\x00\x01\x00\x00 this is not an sfnt file", f);
    std::fclose(f);
    EXPECT_EQ(0, OpenTTFont(path.c_str()));
    std::remove(path.c_str());
}

TEST(Kelmor32Dll, NullHandleIsRefusedByEveryEntryPoint) {
    EXPECT_EQ(0, CloseTTFont(0));
    EXPECT_EQ(0, GetFontInfo(0));
    EXPECT_EQ(0, SetPointSize(0, 12, 72));
    EXPECT_EQ(0, SetEncoding(0, KELMOR_CHARSET_SHIFTJIS));

    int width = -7, height = -7;
    const char code[2] = {'\x88', '\x9F'};
    EXPECT_EQ(nullptr, GetBitmap(0, code, &width, &height, 0));
    EXPECT_EQ(-7, width);
    EXPECT_EQ(-7, height);

    int platform = -1, encoding = -1, language = -1;
    char name[64] = "untouched";
    EXPECT_EQ(0, GetFontNames(0, &platform, &encoding, &language, 4, name, sizeof name));
}

TEST(Kelmor32Dll, DebugLogOpensAndCloses) {
    const std::string log = "dll_test_debug.log";
    std::remove(log.c_str());
    EXPECT_NE(0, SetDebugLevel(log.c_str(), 1));
    EXPECT_TRUE(FileExists(log));
    EXPECT_EQ(0, SetDebugLevel(nullptr, 0));
    // A level without a file name opens nothing.
    EXPECT_EQ(0, SetDebugLevel("", 1));
    std::remove(log.c_str());
}

}  // namespace
