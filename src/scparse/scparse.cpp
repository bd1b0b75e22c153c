#include "scparse/scparse.h"

#include <cstring>
#include <string>

namespace kelmor {

char ParseQuoteChar = '"';
char ParseCommentStr[kCommentStrBytes] = "*";
char *Arguments[kMaxArguments];

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

int32_t SplitLine(const char *Line, size_t maxLength, const char *DelimStr, int32_t Maxlook) {
    InitArg(Line, maxLength);
    char LocalDelimStr[kLocalDelimBytes] = {};
    if (DelimStr) std::strncpy(LocalDelimStr, DelimStr, kMaxDelimiters);
    std::strcat(LocalDelimStr, "\n");
    if (Maxlook > kMaxArguments - 1) Maxlook = kMaxArguments - 1;

    int32_t count = 0;
    bool found;
    do {
        found = GetQuoteArg(&Arguments[count], LocalDelimStr);
        if (found && IsCommentMarker(Arguments[count])) {
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
    return SplitLine(Line, kMaxArgLine, DelimStr, Maxlook);
}

int32_t GetQuoteArgsWhole(const char *Line, const char *DelimStr, int32_t Maxlook) {
    return SplitLine(Line, kMaxWholeArgLine, DelimStr, Maxlook);
}

}  // namespace kelmor
