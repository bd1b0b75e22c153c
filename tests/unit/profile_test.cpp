// The profile store.  The common tests hold for the Win32 private-profile
// calls (under Wine) and for the library's own Linux store alike; the Linux
// store's file handling is tested on its own below.
#include "platform/profile.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <string>
#include <vector>

#include "test_paths.h"
#include "text_file.h"

using namespace kelmor;
using kelmor_test::ReadTextFile;
using kelmor_test::ScratchDir;
using kelmor_test::WriteTextFile;

namespace {

std::string Read(const std::string &file, const char *section, const char *key,
                 const char *def = "<none>") {
    char buffer[256];
    ProfileReadString(file.c_str(), section, key, def, buffer, sizeof buffer);
    return buffer;
}

std::vector<std::string> Keys(const std::string &file, const char *section) {
    char buffer[1024];
    ProfileReadKeyNames(file.c_str(), section, buffer, sizeof buffer);
    std::vector<std::string> names;
    for (const char *name = buffer; *name; name += names.back().size() + 1) names.push_back(name);
    return names;
}

using Names = std::vector<std::string>;

class ProfileStore : public ::testing::Test {
protected:
    void SetUp() override {
        ini_ = ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
               "/store.ini";
    }
    std::string ini_;
};

TEST_F(ProfileStore, MissingFileAndSectionReadAsEmpty) {
    EXPECT_EQ("dflt", Read(ini_, "S", "K", "dflt"));
    EXPECT_TRUE(Keys(ini_, "S").empty());
    WriteTextFile(ini_, "[Other]\nK=v\n");
    EXPECT_EQ("dflt", Read(ini_, "S", "K", "dflt"));
    EXPECT_TRUE(Keys(ini_, "S").empty());
}

TEST_F(ProfileStore, ReadsBothLineEndsIgnoringCase) {
    WriteTextFile(ini_, "[First]\r\nAlpha=1\r\n beta = two words \r\n[Second]\nGamma=3\nalpha=x\n");
    EXPECT_EQ(Names({"Alpha", "beta"}), Keys(ini_, "first"));
    EXPECT_EQ("1", Read(ini_, "FIRST", "ALPHA"));
    EXPECT_EQ("two words", Read(ini_, "First", "Beta"));
    EXPECT_EQ("3", Read(ini_, "second", "gamma"));
    EXPECT_EQ("x", Read(ini_, "Second", "Alpha"));
}

TEST_F(ProfileStore, OnePairOfSurroundingQuotesIsDropped) {
    WriteTextFile(ini_, "[S]\nA=\"quoted, text\"\nB=\"x,y\",z\nC='single'\n");
    EXPECT_EQ("quoted, text", Read(ini_, "S", "A"));
    EXPECT_EQ("\"x,y\",z", Read(ini_, "S", "B"));
    EXPECT_EQ("single", Read(ini_, "S", "C"));
}

TEST_F(ProfileStore, WritesAddUpdateAndDeleteKeys) {
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "Fonts", "One", "1,"));
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "Fonts", "Two", "2,"));
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "Other", "Three", "3"));
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "FONTS", "ONE", "first again"));
    EXPECT_EQ(Names({"One", "Two"}), Keys(ini_, "Fonts"));
    EXPECT_EQ("first again", Read(ini_, "Fonts", "one"));

    EXPECT_TRUE(ProfileDeleteKey(ini_.c_str(), "fonts", "one"));
    EXPECT_TRUE(ProfileDeleteKey(ini_.c_str(), "Fonts", "Missing"));
    EXPECT_TRUE(ProfileDeleteKey(ini_.c_str(), "No Such Section", "Two"));
    EXPECT_EQ(Names({"Two"}), Keys(ini_, "Fonts"));
    EXPECT_EQ("<none>", Read(ini_, "Fonts", "One"));
    EXPECT_EQ("3", Read(ini_, "Other", "Three"));
}

TEST_F(ProfileStore, WritingKeepsCommentsAndOtherSections) {
    WriteTextFile(ini_, "; written by hand\r\n[Keep]\r\nX=1\r\n[Fonts]\r\nA=a\r\n");
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "Fonts", "B", "b"));
    ASSERT_TRUE(ProfileDeleteKey(ini_.c_str(), "Fonts", "A"));
    std::string text = ReadTextFile(ini_);
    EXPECT_NE(std::string::npos, text.find("; written by hand"));
    EXPECT_EQ("1", Read(ini_, "Keep", "X"));
    EXPECT_EQ(Names({"B"}), Keys(ini_, "Fonts"));
}

TEST_F(ProfileStore, ReadsSeeFilesChangedBehindTheStoresBack) {
    WriteTextFile(ini_, "[S]\nK=one\n");
    EXPECT_EQ("one", Read(ini_, "S", "K"));
    WriteTextFile(ini_, "[S]\nK=two\n");
    EXPECT_EQ("two", Read(ini_, "S", "K"));
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "S", "K", "three"));
    EXPECT_EQ("three", Read(ini_, "S", "K"));
}

TEST_F(ProfileStore, BatchesApplyInOrderAndSkipRefusedChanges) {
    WriteTextFile(ini_, "[S]\nOld=1\nKeep=2\n");
    const ProfileChange changes[] = {
        {"Old", nullptr}, {"bad\nkey", "x"}, {"New", "3"}, {"Keep", "4"}, {"New", "5"}};
    EXPECT_FALSE(ProfileApplyChanges(ini_.c_str(), "S", changes, 5));
    EXPECT_EQ(Names({"Keep", "New"}), Keys(ini_, "S"));
    EXPECT_EQ("4", Read(ini_, "S", "Keep"));
    EXPECT_EQ("5", Read(ini_, "S", "New"));
    EXPECT_TRUE(ProfileApplyChanges(ini_.c_str(), "S", changes + 2, 1));
    EXPECT_EQ("3", Read(ini_, "S", "New"));
}

TEST_F(ProfileStore, TextThatWouldBreakTheFileIsRefused) {
    WriteTextFile(ini_, "[S]\nK=v\n");
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "K", "two\nlines"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "K", "cr\rhere"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "a=b", "v"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "", "v"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "[T]", "v"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S]x", "K", "v"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S\n[T", "K", "v"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "K", nullptr));
    EXPECT_EQ(Names({"K"}), Keys(ini_, "S"));
    EXPECT_EQ("v", Read(ini_, "S", "K"));
}

TEST_F(ProfileStore, ShortBuffersCutAndStayTerminated) {
    WriteTextFile(ini_, "[S]\nLongKeyName=0123456789\nSecond=2\n");
    char value[5];
    EXPECT_EQ(4u, ProfileReadString(ini_.c_str(), "S", "LongKeyName", "", value, sizeof value));
    EXPECT_STREQ("0123", value);
    char names[8];
    EXPECT_EQ(6u, ProfileReadKeyNames(ini_.c_str(), "S", names, sizeof names));
    EXPECT_EQ('\0', names[6]);
    EXPECT_EQ('\0', names[7]);
    char one[1] = {'x'};
    EXPECT_EQ(0u, ProfileReadKeyNames(ini_.c_str(), "S", one, sizeof one));
    EXPECT_EQ('\0', one[0]);
}

#ifndef _WIN32

// ------------------------------------------------------- the Linux store

TEST_F(ProfileStore, UntouchedLinesKeepTheirBytes) {
    const std::string before =
        "; header comment\n"
        "garbage without equals\r\n"
        "[Fonts]\r\n"
        "A = a \r\n"
        "=no key\r\n"
        "\r\n"
        "; comment that leads into the next section\r\n"
        "[Unknown]\n"
        "Z=z";
    WriteTextFile(ini_, before);
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "fonts", "B", "b"));
    EXPECT_EQ(
        "; header comment\n"
        "garbage without equals\r\n"
        "[Fonts]\r\n"
        "A = a \r\n"
        "B=b\n"  // a new line takes the ending of the file's first line
        "=no key\r\n"
        "\r\n"
        "; comment that leads into the next section\r\n"
        "[Unknown]\n"
        "Z=z",
        ReadTextFile(ini_));
    EXPECT_EQ(Names({"A", "B"}), Keys(ini_, "Fonts"));

    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "Unknown", "Y", "y"));
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "New", "K", "v"));
    EXPECT_NE(std::string::npos, ReadTextFile(ini_).find("[Unknown]\nZ=z\nY=y\n[New]\nK=v\n"));
}

TEST_F(ProfileStore, NewFilesUseWindowsLineEnds) {
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "S", "K", "v"));
    EXPECT_EQ("[S]\r\nK=v\r\n", ReadTextFile(ini_));
}

TEST_F(ProfileStore, UnreadableOrOversizedFilesAreNeverReplaced) {
    std::string directory = ScratchDir("profile-not-a-file");
    EXPECT_FALSE(ProfileWriteString(directory.c_str(), "S", "K", "v"));
    EXPECT_EQ("<none>", Read(directory, "S", "K"));

    std::string big = "[S]\nK=v\n" + std::string(2 * 1024 * 1024, ';');
    WriteTextFile(ini_, big);
    EXPECT_EQ("<none>", Read(ini_, "S", "K"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "K", "w"));
    EXPECT_FALSE(ProfileDeleteKey(ini_.c_str(), "S", "K"));
    EXPECT_EQ(big.size(), ReadTextFile(ini_).size());
}

TEST_F(ProfileStore, ReplacementLeavesNoTemporaryFilesAndFollowsLinks) {
    std::string directory = ScratchDir("profile-link");
    std::string target = directory + "/real.ini";
    std::string link = directory + "/link.ini";
    WriteTextFile(target, "[S]\nK=old\n");
    ASSERT_EQ(0, symlink("real.ini", link.c_str()));
    ASSERT_TRUE(ProfileWriteString(link.c_str(), "S", "K", "new"));
    EXPECT_EQ("[S]\nK=new\n", ReadTextFile(target));
    struct stat info;
    ASSERT_EQ(0, lstat(link.c_str(), &info));
    EXPECT_TRUE(S_ISLNK(info.st_mode));

    int entries = 0;
    for (DIR *dir = opendir(directory.c_str()); dir;) {
        dirent *entry = readdir(dir);
        if (!entry) {
            closedir(dir);
            break;
        }
        if (entry->d_name[0] != '.') ++entries;
    }
    EXPECT_EQ(2, entries);
}

class UserProfile : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = ScratchDir("user-profile");
        SaveAndSet("KELMOR_PROFILE", nullptr);
        SaveAndSet("XDG_CONFIG_HOME", nullptr);
        SaveAndSet("HOME", home_.c_str());
    }
    void TearDown() override {
        for (auto &saved : saved_) {
            if (saved.second.first)
                setenv(saved.first.c_str(), saved.second.second.c_str(), 1);
            else
                unsetenv(saved.first.c_str());
        }
    }
    void SaveAndSet(const char *name, const char *value) {
        const char *old = getenv(name);
        saved_.push_back({name, {old != nullptr, old ? old : ""}});
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    std::string home_;
    std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved_;
};

TEST_F(UserProfile, LocationFollowsTheEnvironment) {
    ASSERT_TRUE(ProfileWriteString(nullptr, "S", "K", "home"));
    EXPECT_EQ("[S]\r\nK=home\r\n", ReadTextFile(home_ + "/.config/kelmor/profile.ini"));

    setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
    char value[32];
    ProfileReadString(nullptr, "S", "K", "", value, sizeof value);
    EXPECT_STREQ("home", value);

    setenv("XDG_CONFIG_HOME", (home_ + "/xdg").c_str(), 1);
    ASSERT_TRUE(ProfileWriteString(nullptr, "S", "K", "xdg"));
    EXPECT_EQ("[S]\r\nK=xdg\r\n", ReadTextFile(home_ + "/xdg/kelmor/profile.ini"));

    std::string explicitFile = home_ + "/explicit.ini";
    setenv("KELMOR_PROFILE", explicitFile.c_str(), 1);
    ASSERT_TRUE(ProfileWriteString(nullptr, "S", "K", "explicit"));
    EXPECT_EQ("[S]\r\nK=explicit\r\n", ReadTextFile(explicitFile));
    ProfileReadString(nullptr, "S", "K", "", value, sizeof value);
    EXPECT_STREQ("explicit", value);
}

#endif

}  // namespace
