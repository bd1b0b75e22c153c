#include "scparse/scparse.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace kelmor;

namespace {

std::vector<std::string> Split(const char *line, const char *delimiters = ",",
                               int32_t maxlook = 17) {
    int32_t count = GetQuoteArgs(line, delimiters, maxlook);
    return std::vector<std::string>(Arguments, Arguments + count);
}

using Args = std::vector<std::string>;

TEST(QuoteArgs, CommasSeparateAndEmptyFieldsSurvive) {
    EXPECT_EQ(Args({"a", "", "b"}), Split("a,,b"));
    EXPECT_EQ(Args({"a", "b"}), Split("a,b,"));
    EXPECT_EQ(Args(), Split(""));
    EXPECT_EQ(Args(), Split(nullptr));
    EXPECT_EQ(Args({"a", "b"}), Split("a\nb"));  // a newline always separates
    EXPECT_EQ(Args({" a ", "\tb"}), Split(" a ,\tb"));
}

TEST(QuoteArgs, QuotesProtectDelimiters) {
    EXPECT_EQ(Args({"x,y", "z"}), Split("\"x,y\",z"));
    EXPECT_EQ(Args({"abc", "g"}), Split("\"abc\"def,g"));
    EXPECT_EQ(Args({"open,to the end"}), Split("\"open,to the end"));
    EXPECT_EQ(Args({"", "b"}), Split("\"\",b"));
    // A quote inside an argument opens a stretch without losing what came
    // before it.
    EXPECT_EQ(Args({"abcd", "e"}), Split("ab\"cd\"x,e"));
}

TEST(QuoteArgs, CommentMarkerEndsTheList) {
    EXPECT_EQ(Args({"a"}), Split("a,*,b"));
    // Slots after the count are empty, the marker's included.
    EXPECT_STREQ("", Arguments[1]);
    EXPECT_EQ(Args({"a", " *"}), Split("a, *"));

    std::string saved = ParseCommentStr;
    std::snprintf(ParseCommentStr, sizeof ParseCommentStr, "%s", "#");
    EXPECT_EQ(Args({"a", "*"}), Split("a,*,#,b"));
    // A marker buffer filled to the last byte is still bounded.
    std::memset(ParseCommentStr, 'm', sizeof ParseCommentStr);
    EXPECT_EQ(Args({"a", "mmmmmmmmmmm"}), Split("a,mmmmmmmmmmm,mmmmmmmmmm,b"));
    std::snprintf(ParseCommentStr, sizeof ParseCommentStr, "%s", saved.c_str());
}

TEST(QuoteArgs, SpaceDelimiterSkipsWhiteSpaceAndSplitsAtTabs) {
    EXPECT_EQ(Args({"a", "b", "c"}), Split("  a \t b\tc \n ", " "));
    EXPECT_EQ(Args(), Split(" \t \n", " "));
}

TEST(QuoteArgs, LimitsAreHonoured) {
    const char *ten = "0,1,2,3,4,5,6,7,8,9";
    EXPECT_EQ(4u, Split(ten, ",", 3).size());
    EXPECT_EQ(1u, Split(ten, ",", 0).size());
    std::string many;
    for (int i = 0; i < 30; ++i) many += std::to_string(i) + ",";
    Args found = Split(many.c_str(), ",", 40);
    ASSERT_EQ(18u, found.size());
    EXPECT_EQ("17", found.back());

    // Only the first 17 delimiter characters count.
    EXPECT_EQ(Args({"a,b"}), Split("a,b", "ABCDEFGHIJKLMNOPQ,"));
    EXPECT_EQ(Args({"a", "b"}), Split("a,b", "ABCDEFGHIJKLMNOP,"));
}

TEST(QuoteArgs, LongLinesAreCutAt255Characters) {
    std::string line(300, 'x');
    Args found = Split(line.c_str());
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(std::string(255, 'x'), found[0]);

    std::string tail = std::string(254, 'x') + ",yz";
    EXPECT_EQ(Args({std::string(254, 'x')}), Split(tail.c_str()));
}

TEST(QuoteArgs, EachCallStartsAfresh) {
    Split("a,b,c,d");
    EXPECT_EQ(Args({"e"}), Split("e"));
    EXPECT_STREQ("", Arguments[1]);
    EXPECT_STREQ("", Arguments[17]);
}

}  // namespace

namespace {

// Whole values: an argument that begins with a quote is literal.
TEST(QuoteArgsWhole, QuotedArgumentsAreLiteral) {
    struct Case {
        const char *line;
        Args args;
        std::vector<bool> quoted;
    } cases[] = {
        {"\"a\"\"b\",c", {"a\"b", "c"}, {true, false}},    // a doubled quote is one quote
        {"\"*\",b", {"*", "b"}, {true, false}},            // a quoted marker is text
        {"a,*,b", {"a"}, {false}},                         // an unquoted one still ends the list
        {"  \" x \" ,y", {" x ", "y"}, {true, false}},     // blanks outside the quotes go
        {"\"\",\"\"\"\",", {"", "\""}, {true, true}},
        {"\"x,y\"tail,z", {"x,y", "z"}, {true, false}},    // text after the closing quote is dropped
        {"\"open,\"\"", {"open,\""}, {true}},              // unclosed: to the end of the line
        {" a ,ab\"cd\"", {" a ", "abcd"}, {false, false}}, // unquoted: as GetQuoteArgs
    };
    for (const Case &c : cases) {
        int32_t count = GetQuoteArgsWhole(c.line, ",", 17);
        EXPECT_EQ(c.args, Args(Arguments, Arguments + count)) << c.line;
        EXPECT_EQ(c.quoted, std::vector<bool>(ArgumentQuoted, ArgumentQuoted + count)) << c.line;
    }
}

}  // namespace
