// The profile store.  The common tests hold for the Win32 private-profile
// calls (under Wine) and for the library's own Linux store alike; the Linux
// store's file handling is tested on its own below.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstring>
#include <functional>

#include "test_paths.h"
#include "text_file.h"

using namespace kelmor;
using kelmor_test::ReadTextFile;
using kelmor_test::WriteTextFile;

namespace {

using Names = std::vector<std::string>;

std::string Read(const std::string &file, const char *section, const char *key) {
    char buffer[256];
    ProfileReadString(file.c_str(), section, key, "<none>", buffer, sizeof buffer);
    return buffer;
}

Names Keys(const std::string &file, const char *section) {
    char buffer[1024];
    ProfileReadKeyNames(file.c_str(), section, buffer, sizeof buffer);
    Names names;
    for (const char *name = buffer; *name; name += names.back().size() + 1) names.push_back(name);
    return names;
}

class ProfileStore : public ::testing::Test {
protected:
    void SetUp() override {
        auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = kelmor_test::ScratchDir(test->name());
        ini_ = dir_ + "/store.ini";
    }
    std::string dir_, ini_;
};

TEST_F(ProfileStore, ReadsBothLineEndsIgnoringCaseAndOuterQuotes) {
    EXPECT_EQ("<none>", Read(ini_, "First", "Alpha"));  // no file yet
    WriteTextFile(ini_, "[First]\r\nAlpha=1\r\n beta = two words \r\nQ=\"quoted, text\"\r\n"
                        "[Second]\nalpha=x\nMixed=\"x,y\",z\nSingle='s'\n");
    EXPECT_EQ(Names({"Alpha", "beta", "Q"}), Keys(ini_, "first"));
    EXPECT_TRUE(Keys(ini_, "Third").empty());
    EXPECT_EQ("1", Read(ini_, "FIRST", "ALPHA"));
    EXPECT_EQ("two words", Read(ini_, "First", "Beta"));
    EXPECT_EQ("quoted, text", Read(ini_, "First", "Q"));
    EXPECT_EQ("x", Read(ini_, "second", "Alpha"));
    EXPECT_EQ("\"x,y\",z", Read(ini_, "Second", "Mixed"));
    EXPECT_EQ("s", Read(ini_, "Second", "Single"));
}

TEST_F(ProfileStore, WritesAddUpdateAndDeleteKeysKeepingTheRest) {
    WriteTextFile(ini_, "; written by hand\r\n[Keep]\r\nX=1\r\n");
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "Fonts", "One", "1,"));
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "Fonts", "Two", "2,"));
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "FONTS", "ONE", "first again"));
    EXPECT_EQ(Names({"One", "Two"}), Keys(ini_, "Fonts"));
    EXPECT_EQ("first again", Read(ini_, "Fonts", "one"));
    EXPECT_TRUE(ProfileDeleteKey(ini_.c_str(), "fonts", "one"));
    EXPECT_TRUE(ProfileDeleteKey(ini_.c_str(), "Fonts", "Missing"));
    EXPECT_TRUE(ProfileDeleteKey(ini_.c_str(), "No Such Section", "Two"));
    EXPECT_EQ(Names({"Two"}), Keys(ini_, "Fonts"));

    // A batch goes in order and skips what the store refuses.
    const ProfileChange changes[] = {
        {"Two", nullptr}, {"bad\nkey", "x"}, {"New", "3"}, {"New", "5"}};
    EXPECT_FALSE(ProfileApplyChanges(ini_.c_str(), "Fonts", changes, 4));
    EXPECT_EQ(Names({"New"}), Keys(ini_, "Fonts"));
    EXPECT_EQ("5", Read(ini_, "Fonts", "New"));

    EXPECT_NE(std::string::npos, ReadTextFile(ini_).find("; written by hand"));
    EXPECT_EQ("1", Read(ini_, "Keep", "X"));
}

TEST_F(ProfileStore, ReadsSeeFilesChangedBehindTheStoresBack) {
    WriteTextFile(ini_, "[S]\nK=one\n");
    EXPECT_EQ("one", Read(ini_, "S", "K"));
    WriteTextFile(ini_, "[S]\nK=two\n");
    EXPECT_EQ("two", Read(ini_, "S", "K"));
}

TEST_F(ProfileStore, TextThatWouldBreakTheFileIsRefused) {
    WriteTextFile(ini_, "[S]\nK=v\n");
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "K", "two\nlines"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "K", "cr\rhere"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "a=b", "v"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "[T]", "v"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S]x", "K", "v"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "K", nullptr));
    EXPECT_FALSE(ProfileWriteString("", "S", "K", "v"));
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
}

// Files as the Windows profile calls read them: a byte-order mark before
// the first section, a key written twice (listed twice, the first read), a
// key with blanks before it, and a key with an empty name, which ends the
// list of names.
TEST_F(ProfileStore, ReadsOddFilesAsTheWindowsCallsDo) {
    WriteTextFile(ini_, "\xEF\xBB\xBF[First]\r\nA=1\r\nDup=first\r\ndup=second\r\n"
                        "  Lead=blank\r\n=hidden\r\nAfter=x\r\n");
    EXPECT_EQ(Names({"A", "Dup", "dup", "Lead"}), Keys(ini_, "First"));
    EXPECT_EQ("first", Read(ini_, "First", "DUP"));
    EXPECT_EQ("blank", Read(ini_, "First", "Lead"));
    EXPECT_EQ("blank", Read(ini_, "First", "  Lead"));
    EXPECT_EQ("hidden", Read(ini_, "First", ""));
    EXPECT_EQ("x", Read(ini_, "First", "After"));

    // A write finds the section behind the mark instead of adding another.
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "first", "B", "2"));
    std::string text = ReadTextFile(ini_);
    EXPECT_EQ(0u, text.find("\xEF\xBB\xBF[First]"));
    EXPECT_EQ(text.find("[First]"), text.rfind("[First]"));
    EXPECT_EQ("2", Read(ini_, "First", "B"));

    // Deleting a key written twice removes its first line only.
    EXPECT_TRUE(ProfileDeleteKey(ini_.c_str(), "First", "Dup"));
    EXPECT_EQ("second", Read(ini_, "First", "Dup"));

    // Keys that would not read back as written are refused.
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "First", " Sp", "v"));
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "First", "Tr\t", "v"));
}

TEST_F(ProfileStore, ValuesUpToTheLimitReadBackWholeLongerOnesAreRefused) {
    std::string longest(kMaxProfileValueLength, 'v');
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "S", "K", longest.c_str()));
    std::vector<char> value(kMaxProfileValueLength + 8);
    EXPECT_EQ(kMaxProfileValueLength,
              ProfileReadString(ini_.c_str(), "S", "K", "", value.data(), uint32_t(value.size())));
    EXPECT_EQ(longest, value.data());
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "K", (longest + "w").c_str()));
    ProfileReadString(ini_.c_str(), "S", "K", "", value.data(), uint32_t(value.size()));
    EXPECT_EQ(longest, value.data());
}

TEST_F(ProfileStore, ASectionIsReplacedWholeOrNotAtAll) {
    WriteTextFile(ini_, "[S]\r\nOld=1\r\nB=old\r\n[T]\r\nC=3\r\n");
    const ProfileChange entries[] = {{"B", "2"}, {"A", "1"}};
    ASSERT_TRUE(ProfileReplaceSection(ini_.c_str(), "s", entries, 2));
    EXPECT_EQ(Names({"B", "A"}), Keys(ini_, "S"));
    EXPECT_EQ("2", Read(ini_, "S", "B"));
    EXPECT_EQ(Names({"C"}), Keys(ini_, "T"));

    const ProfileChange refused[] = {{"C", "3"}, {"bad=key", "x"}};
    EXPECT_FALSE(ProfileReplaceSection(ini_.c_str(), "S", refused, 2));
    EXPECT_EQ(Names({"B", "A"}), Keys(ini_, "S"));

    EXPECT_FALSE(ProfileReplaceSection(ini_.c_str(), "S]x", nullptr, 0));
    ASSERT_TRUE(ProfileReplaceSection(ini_.c_str(), "S", nullptr, 0));
    EXPECT_TRUE(Keys(ini_, "S").empty());
    EXPECT_EQ(Names({"C"}), Keys(ini_, "T"));
    ASSERT_TRUE(ProfileReplaceSection(ini_.c_str(), "New", entries, 1));
    EXPECT_EQ("2", Read(ini_, "New", "B"));

    // Keys after one with an empty name are not listed, so no list read
    // from the file holds them; a replacement keeps them.
    WriteTextFile(ini_, "[S]\r\nA=1\r\n=hidden\r\nH=2\r\n[T]\r\nC=3\r\n");
    ASSERT_TRUE(ProfileReplaceSection(ini_.c_str(), "S", entries, 2));
    EXPECT_EQ(Names({"B", "A"}), Keys(ini_, "S"));
    EXPECT_EQ("hidden", Read(ini_, "S", ""));
    EXPECT_EQ("2", Read(ini_, "S", "H"));
    EXPECT_EQ(Names({"C"}), Keys(ini_, "T"));
}

// Blanks and one pair of matching quotes around a value are dropped when it
// is read, by the Windows calls and by our store alike; a value written
// with them must still read back as written.
TEST_F(ProfileStore, ValuesKeepQuotesAndBlanksAsWritten) {
    for (const char *value : {" lead", "trail\t", " both ", "\"quoted\"", "'single'", "\"\"",
                              "\"", "\"open", "close'", "'mixed\"", "in \"the\" middle", ""}) {
        ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "S", "K", value)) << value;
        EXPECT_EQ(value, Read(ini_, "S", "K"));
    }
    // A plain value is written as it is.
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "S", "K", "plain"));
    EXPECT_NE(std::string::npos, ReadTextFile(ini_).find("K=plain"));
}

TEST_F(ProfileStore, AFailedWriteTellsItsCause) {
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "K=", "v"));
    EXPECT_EQ(EINVAL, ProfileLastError());
    EXPECT_FALSE(ProfileWriteString(ini_.c_str(), "S", "K", "line\nbreak"));
    EXPECT_EQ(EINVAL, ProfileLastError());
    EXPECT_TRUE(ProfileWriteString(ini_.c_str(), "S", "K", "v"));
    EXPECT_EQ(0, ProfileLastError());
    EXPECT_FALSE(ProfileWriteString("", "S", "K", "v"));
    EXPECT_NE(0, ProfileLastError());
}

#ifndef _WIN32

// ------------------------------------------------------- the Linux store

TEST_F(ProfileStore, UntouchedLinesKeepTheirBytes) {
    WriteTextFile(ini_, "; comment\ngarbage\r\n[Fonts]\r\nA = a \r\n=no key\r\n\r\n"
                        "; leads into the next section\r\n[Unknown]\nZ=z");
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "fonts", "B", "b"));
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "Unknown", "Y", "y"));
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "New", "K", "v"));
    // Added lines take the ending of the file's first line.  "=no key" is a
    // key with an empty name, so B goes after it.
    EXPECT_EQ("; comment\ngarbage\r\n[Fonts]\r\nA = a \r\n=no key\r\nB=b\n\r\n"
              "; leads into the next section\r\n[Unknown]\nZ=z\nY=y\n[New]\nK=v\n",
              ReadTextFile(ini_));

    std::string fresh = dir_ + "/fresh.ini";
    ASSERT_TRUE(ProfileWriteString(fresh.c_str(), "S", "K", "v"));
    EXPECT_EQ("[S]\r\nK=v\r\n", ReadTextFile(fresh));
}

TEST_F(ProfileStore, LargeFilesReadOnlyOversizedOnesAreNeverReplaced) {
    EXPECT_FALSE(ProfileWriteString(dir_.c_str(), "S", "K", "v"));  // a directory
    EXPECT_EQ(EISDIR, ProfileLastError());

    // Over a mebibyte is still an ini file: it reads and it is rewritten.
    std::string large = "[S]\nK=v\n" + std::string(2 * 1024 * 1024, ';');
    WriteTextFile(ini_, large);
    EXPECT_EQ("v", Read(ini_, "S", "K"));
    EXPECT_TRUE(ProfileWriteString(ini_.c_str(), "S", "K", "w"));
    EXPECT_EQ("w", Read(ini_, "S", "K"));

    // Past 64 MiB (a sparse file) it is not one of ours.
    std::string big = dir_ + "/big.ini";
    WriteTextFile(big, "[S]\nK=v\n");
    std::filesystem::resize_file(big, 65 * 1024 * 1024);
    EXPECT_EQ("<none>", Read(big, "S", "K"));
    EXPECT_FALSE(ProfileWriteString(big.c_str(), "S", "K", "w"));
    EXPECT_EQ(EFBIG, ProfileLastError());
    EXPECT_FALSE(ProfileDeleteKey(big.c_str(), "S", "K"));
    EXPECT_EQ(65u * 1024 * 1024, std::filesystem::file_size(big));
}

// A link whose file does not exist yet is written through: the file is
// made where the link points and the link stays a link.
TEST_F(ProfileStore, ADanglingLinkIsWrittenThrough) {
    namespace fs = std::filesystem;
    fs::create_directory(dir_ + "/conf");
    fs::create_symlink("conf/real.ini", dir_ + "/link.ini");
    ASSERT_TRUE(ProfileWriteString((dir_ + "/link.ini").c_str(), "S", "K", "v"));
    EXPECT_TRUE(fs::is_symlink(dir_ + "/link.ini"));
    EXPECT_EQ("[S]\r\nK=v\r\n", ReadTextFile(dir_ + "/conf/real.ini"));
    EXPECT_EQ("v", Read(dir_ + "/link.ini", "S", "K"));
    // A loop of links is refused, not replaced.
    fs::create_symlink("loop-b.ini", dir_ + "/loop-a.ini");
    fs::create_symlink("loop-a.ini", dir_ + "/loop-b.ini");
    EXPECT_FALSE(ProfileWriteString((dir_ + "/loop-a.ini").c_str(), "S", "K", "v"));
    EXPECT_EQ(ELOOP, ProfileLastError());
    EXPECT_TRUE(fs::is_symlink(dir_ + "/loop-a.ini"));
}

TEST_F(ProfileStore, ReplacementFollowsLinksAndLeavesNoTemporaryFiles) {
    namespace fs = std::filesystem;
    WriteTextFile(dir_ + "/real.ini", "[S]\nK=old\n");
    fs::create_symlink("real.ini", dir_ + "/link.ini");
    ASSERT_TRUE(ProfileWriteString((dir_ + "/link.ini").c_str(), "S", "K", "new"));
    EXPECT_EQ("[S]\nK=new\n", ReadTextFile(dir_ + "/real.ini"));
    EXPECT_TRUE(fs::is_symlink(dir_ + "/link.ini"));
    Names entries;
    for (const auto &entry : fs::directory_iterator(dir_))
        entries.push_back(entry.path().filename().string());
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(Names({"link.ini", "real.ini"}), entries);
}


// ------------------------------------------- the file system's own rules

// Runs `body` in a child process as a user other than the file's owner
// (nobody, when the tests run as root); its result is the child's.
bool AsAnotherUser(const std::function<bool()> &body) {
    pid_t child = fork();
    if (child == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(ProfileStore, AFileTheCallerMayNotWriteIsLeftAlone) {
    WriteTextFile(ini_, "[S]\nK=v\n");
    ASSERT_EQ(0, chmod(ini_.c_str(), 0444));
    ASSERT_EQ(0, chmod(dir_.c_str(), 0777));
    EXPECT_TRUE(AsAnotherUser([&] {
        return !ProfileWriteString(ini_.c_str(), "S", "K", "w") && ProfileLastError() == EACCES;
    }));
    EXPECT_EQ("[S]\nK=v\n", ReadTextFile(ini_));
}

TEST_F(ProfileStore, AFileInADirectoryWithoutRoomIsRewrittenInPlace) {
    WriteTextFile(ini_, "[S]\nK=v\nLong=" + std::string(100, 'x') + "\n");
    ASSERT_EQ(0, chmod(ini_.c_str(), 0666));
    ASSERT_EQ(0, chmod(dir_.c_str(), 0555));
    struct stat before, after;
    ASSERT_EQ(0, stat(ini_.c_str(), &before));
    EXPECT_TRUE(AsAnotherUser([&] {
        return ProfileDeleteKey(ini_.c_str(), "S", "Long") &&
               ProfileWriteString(ini_.c_str(), "S", "K", "w");
    }));
    chmod(dir_.c_str(), 0755);
    EXPECT_EQ("[S]\nK=w\n", ReadTextFile(ini_));
    ASSERT_EQ(0, stat(ini_.c_str(), &after));
    EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST_F(ProfileStore, RewritesKeepOwnerModeAndHardLinks) {
    WriteTextFile(ini_, "[S]\nK=v\n");
    ASSERT_EQ(0, chmod(ini_.c_str(), 0640));
    bool root = getuid() == 0;
    if (root) {
        ASSERT_EQ(0, chown(ini_.c_str(), 65534, 65534));
    }
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "S", "K", "w"));
    struct stat info;
    ASSERT_EQ(0, stat(ini_.c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 07777);
    if (root) {
        EXPECT_EQ(65534u, info.st_uid);
        EXPECT_EQ(65534u, info.st_gid);
    }

    std::string other = dir_ + "/other-name.ini";
    ASSERT_EQ(0, link(ini_.c_str(), other.c_str()));
    ASSERT_TRUE(ProfileWriteString(ini_.c_str(), "S", "K", "linked"));
    EXPECT_EQ("linked", Read(other, "S", "K"));
}

// Two processes writing 300 keys each at the same time keep all 600: each
// write reads, edits and replaces the file while holding the writers' lock.
TEST_F(ProfileStore, ConcurrentWritersLoseNothing) {
    constexpr int kWrites = 300;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        if (children[c] == 0) {
            bool ok = true;
            for (int i = 0; i < kWrites; ++i) {
                std::string key = "P" + std::to_string(c) + "K" + std::to_string(i);
                ok = ProfileWriteString(ini_.c_str(), "S", key.c_str(), "v") && ok;
            }
            _exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::vector<char> names(64 * 1024);
    ProfileReadKeyNames(ini_.c_str(), "S", names.data(), uint32_t(names.size()));
    int count = 0;
    for (const char *name = names.data(); *name; name += std::strlen(name) + 1) ++count;
    EXPECT_EQ(2 * kWrites, count);
}

// Sets (or, given null, removes) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const char *value) : name_(name) {
        const char *old = std::getenv(name);
        had_ = old != nullptr;
        old_ = old ? old : "";
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

private:
    const char *name_;
    bool had_;
    std::string old_;
};

TEST_F(ProfileStore, UserProfileLocationFollowsTheEnvironment) {
    ScopedEnv home("HOME", dir_.c_str());
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative/is/ignored");
    ScopedEnv profile("KELMOR_PROFILE", nullptr);
    ASSERT_TRUE(ProfileWriteString(nullptr, "S", "K", "home"));
    EXPECT_EQ("[S]\r\nK=home\r\n", ReadTextFile(dir_ + "/.config/kelmor/profile.ini"));

    setenv("XDG_CONFIG_HOME", (dir_ + "/xdg").c_str(), 1);
    ASSERT_TRUE(ProfileWriteString(nullptr, "S", "K", "xdg"));
    EXPECT_EQ("[S]\r\nK=xdg\r\n", ReadTextFile(dir_ + "/xdg/kelmor/profile.ini"));

    setenv("KELMOR_PROFILE", ini_.c_str(), 1);
    ASSERT_TRUE(ProfileWriteString(nullptr, "S", "K", "explicit"));
    char value[32];
    ProfileReadString(nullptr, "S", "K", "", value, sizeof value);
    EXPECT_STREQ("explicit", value);
    EXPECT_EQ("[S]\r\nK=explicit\r\n", ReadTextFile(ini_));
}

#endif

}  // namespace
