#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "kelmor.h"
#include "test_paths.h"
#include "ttf/font/ttf.h"

using namespace kelmor;

namespace {

// The log is a text file: on Windows its lines end in CR LF, so read it in
// text mode to compare lines the same way on both platforms.
std::string ReadFile(const std::string &path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(DebugLog, LevelBitsDecideWhereErrorsGo) {
    std::string log = kelmor_test::ScratchDir("debuglog") + "/kelmor.log";

    EXPECT_NE(0, SetDebugLevel(log.c_str(), 1));
    EXPECT_EQ(lpLogFile, Err);
    EXPECT_EQ(1, debug);

    // Listings only: the log is open, errors are dropped.
    EXPECT_NE(0, SetDebugLevel(log.c_str(), 12));
    EXPECT_EQ(nullptr, Err);
    EXPECT_EQ(0, debug);
    EXPECT_EQ(12, DebugBits);

    EXPECT_EQ(0, SetDebugLevel(log.c_str(), 0));
    EXPECT_EQ(nullptr, lpLogFile);
    EXPECT_EQ(0, SetDebugLevel("", 1));
    EXPECT_EQ(0, SetDebugLevel(nullptr, 1));
    EXPECT_EQ(nullptr, Err);
}

TEST(DebugLog, AppendsInsteadOfTruncating) {
    std::string log = kelmor_test::ScratchDir("debuglog_append") + "/kelmor.log";
    ASSERT_NE(0, SetDebugLevel(log.c_str(), 1));
    std::fputs("first\n", Err);
    ASSERT_NE(0, SetDebugLevel(log.c_str(), 1));
    std::fputs("second\n", Err);
    SetDebugLevel(nullptr, 0);
    EXPECT_EQ("first\nsecond\n", ReadFile(log));
}

TEST(DebugLog, UnopenableLogLeavesErrorsDropped) {
    std::string dir = kelmor_test::ScratchDir("debuglog_missing");
    EXPECT_EQ(0, SetDebugLevel((dir + "/no/such/dir/log.txt").c_str(), 1));
    EXPECT_EQ(nullptr, Err);
    EXPECT_EQ(0, debug);
}

}  // namespace
