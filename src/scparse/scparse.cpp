#include "scparse/scparse.h"

#include <cstring>
#include <string>

namespace kelmor {

char ParseQuoteChar = '"';
char ParseCommentStr[kCommentStrBytes] = "*";
char *Arguments[kMaxArguments];
bool ArgumentQuoted[kMaxArguments];

namespace {

// Room for the delimiters, the implied newline, an implied tab and the
// terminator.
constexpr int kLocalDelimBytes = kMaxDelimiters + 3;

// The working copy of the line; ArgString points into it.
std::string ArgBuffer;
char *ArgString;
int32_t OrigLength;
int32_t ArgPointer;
bool Spaces;
char EmptyArgument[1];

void InitArg(const char *Line, size_t maxLength) {
    size_t length = Line ? strnlen(Line, maxLength) : 0;
    ArgBuffer.assign(Line ? Line : "", length);
    ArgString = &ArgBuffer[0];
    OrigLength = static_cast<int32_t>(length);
    ArgPointer = 0;
    for (char *&argument : Arguments) argument = EmptyArgument;
    for (bool &quoted : ArgumentQuoted) quoted = false;
}

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n'; }

void EatSpace() {
    if (!Spaces) return;
    while (ArgPointer < OrigLength && IsWhiteSpace(ArgString[ArgPointer])) ++ArgPointer;
}

// A terminator is never a delimiter: it only marks a closing quote that was
// already cut out.
bool IsDelimiter(const char *DelimStr, char c) {
    return c != '\0' && std::strchr(DelimStr, c) != nullptr;
}

// A space among the delimiters switches on white-space skipping and makes a
// tab a delimiter as well.
void NoteSpaces(char *DelimStr) {
    Spaces = std::strchr(DelimStr, ' ') != nullptr;
    if (Spaces && !std::strchr(DelimStr, '\t')) std::strcat(DelimStr, "\t");
}

// Drops the opening quote at ArgPointer.  A quote that begins the argument
// just moves the start; one in the middle also shifts the text before it
// over the quote, so no character of the argument is lost.
void DropOpeningQuote(int32_t &ArgStart) {
    std::memmove(ArgString + ArgStart + 1, ArgString + ArgStart,
                 static_cast<size_t>(ArgPointer - ArgStart));
    ++ArgStart;
}

// The marker buffer may have been filled to the brim by a caller, so its
// length is bounded by the buffer rather than trusted to be terminated.
bool IsCommentMarker(const char *argument) {
    size_t length = strnlen(ParseCommentStr, kCommentStrBytes);
    return std::strlen(argument) == length && std::memcmp(argument, ParseCommentStr, length) == 0;
}

bool GetQuoteArg(char **Arguement, char *DelimStr) {
    NoteSpaces(DelimStr);
    if (ArgPointer > OrigLength) return false;
    EatSpace();
    int32_t ArgStart = ArgPointer;
    bool InQuotes = false;
    while (ArgPointer < OrigLength &&
           (InQuotes || !IsDelimiter(DelimStr, ArgString[ArgPointer]))) {
        if (ArgString[ArgPointer] == ParseQuoteChar) {
            // The closing quote ends the argument's text; anything up to the
            // next delimiter is dropped.
            if (InQuotes)
                ArgString[ArgPointer] = '\0';
            else
                DropOpeningQuote(ArgStart);
            InQuotes = !InQuotes;
        }
        ++ArgPointer;
    }
    if (ArgStart >= OrigLength) return false;
    ArgString[ArgPointer] = '\0';
    *Arguement = ArgString + ArgStart;
    ++ArgPointer;
    EatSpace();
    return true;
}

// The position of the quote that opens a literal argument at ArgPointer
// (after blanks), or -1 when the argument does not begin with one.
int32_t LiteralQuoteAt() {
    int32_t at = ArgPointer;
    while (at < OrigLength && (ArgString[at] == ' ' || ArgString[at] == '\t')) ++at;
    return at < OrigLength && ArgString[at] == ParseQuoteChar ? at : -1;
}

// A literal argument: the text up to the closing quote, doubled quotes
// folded into one in place; what follows the closing quote up to the next
// delimiter is dropped, as in GetQuoteArg.  An unclosed quote runs to the
// end of the line.
void GetLiteralArg(char **Arguement, const char *DelimStr, int32_t quoteAt) {
    int32_t read = quoteAt + 1, write = quoteAt + 1;
    while (read < OrigLength) {
        if (ArgString[read] == ParseQuoteChar) {
            if (read + 1 >= OrigLength || ArgString[read + 1] != ParseQuoteChar) break;
            ++read;  // a doubled quote: keep one
        }
        ArgString[write++] = ArgString[read++];
    }
    ArgString[write] = '\0';
    if (read < OrigLength) ++read;  // past the closing quote
    while (read < OrigLength && !IsDelimiter(DelimStr, ArgString[read])) ++read;
    *Arguement = ArgString + quoteAt + 1;
    ArgPointer = read + 1;
    EatSpace();
}

// One argument of a whole value: a literal one when it begins with a
// quote, else as GetQuoteArg reads it.
bool GetValueArg(char **Arguement, bool *quoted, char *DelimStr) {
    NoteSpaces(DelimStr);
    int32_t quoteAt = ArgPointer < OrigLength ? LiteralQuoteAt() : -1;
    *quoted = quoteAt >= 0;
    if (!*quoted) return GetQuoteArg(Arguement, DelimStr);
    GetLiteralArg(Arguement, DelimStr, quoteAt);
    return true;
}

int32_t SplitLine(const char *Line, size_t maxLength, const char *DelimStr, int32_t Maxlook,
                  bool literalQuotes) {
    InitArg(Line, maxLength);
    char LocalDelimStr[kLocalDelimBytes] = {};
    if (DelimStr) std::strncpy(LocalDelimStr, DelimStr, kMaxDelimiters);
    std::strcat(LocalDelimStr, "\n");
    if (Maxlook > kMaxArguments - 1) Maxlook = kMaxArguments - 1;

    int32_t count = 0;
    bool found;
    do {
        bool quoted = false;
        found = literalQuotes ? GetValueArg(&Arguments[count], &quoted, LocalDelimStr)
                              : GetQuoteArg(&Arguments[count], LocalDelimStr);
        ArgumentQuoted[count] = quoted;
        if (found && !quoted && IsCommentMarker(Arguments[count])) {
            // The marker ends the list and is not an argument itself.
            Arguments[count] = EmptyArgument;
            break;
        }
        if (found) ++count;
    } while (found && count <= Maxlook);
    return count;
}

}  // namespace

int32_t GetQuoteArgs(const char *Line, const char *DelimStr, int32_t Maxlook) {
    return SplitLine(Line, kMaxArgLine, DelimStr, Maxlook, false);
}

int32_t GetQuoteArgsWhole(const char *Line, const char *DelimStr, int32_t Maxlook) {
    return SplitLine(Line, kMaxWholeArgLine, DelimStr, Maxlook, true);
}

}  // namespace kelmor
