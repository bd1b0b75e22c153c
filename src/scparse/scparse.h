// Splits one line of text into quoted, delimiter-separated arguments.
//
// The line is copied into a buffer owned by this module and cut in place, so
// the arguments are pointers into that buffer: they stay valid only until the
// next GetQuoteArgs call.  The module state is shared by every caller, so
// calls must not overlap.
#ifndef KELMOR_SCPARSE_SCPARSE_H
#define KELMOR_SCPARSE_SCPARSE_H

#include <cstdint>

namespace kelmor {

constexpr int kMaxArguments = 18;     // size of Arguments
constexpr int kMaxArgLine = 255;      // longer lines are cut to this length
// The most GetQuoteArgsWhole reads: more than any ini value the library
// writes, so that no value it stored comes back cut.
constexpr int kMaxWholeArgLine = 65535;
constexpr int kMaxDelimiters = 17;    // a longer delimiter set loses its tail
constexpr int kCommentStrBytes = 10;  // marker text plus terminator

// Opens and closes a quoted stretch, in which delimiters are plain text.
extern char ParseQuoteChar;
// An argument exactly equal to this text ends the argument list.
extern char ParseCommentStr[kCommentStrBytes];
// The arguments found by the last GetQuoteArgs; slots past the count point
// at an empty string.
extern char *Arguments[kMaxArguments];

// Splits Line at any character of DelimStr (a newline always separates too)
// and returns the number of arguments stored in Arguments.  Up to
// Maxlook + 1 arguments are produced, never more than kMaxArguments.  A space
// in DelimStr makes tabs delimiters too and skips white space around
// arguments.  Null Line or DelimStr count as empty texts.
int32_t GetQuoteArgs(const char *Line, const char *DelimStr, int32_t Maxlook);
// The same for lines of up to kMaxWholeArgLine characters: the ini reader
// splits whole values with it.  Here an argument whose first character
// after blanks is a quote is taken literally: its text is what stands
// between that quote and the closing one, in which a doubled quote stands
// for one quote; it is never the comment marker, and ArgumentQuoted tells
// the caller not to trim it.  So any text, the marker itself included, can
// be written as one argument.  Unquoted arguments split as GetQuoteArgs
// splits them.
int32_t GetQuoteArgsWhole(const char *Line, const char *DelimStr, int32_t Maxlook);
// For each argument of the last GetQuoteArgsWhole, whether it was quoted
// (always false after GetQuoteArgs).
extern bool ArgumentQuoted[kMaxArguments];

}  // namespace kelmor

#endif
