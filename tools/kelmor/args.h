// Reading the options of a sub-command.
//
// Options take the forms "--name VALUE" and "--name=VALUE"; anything that
// does not start with "--" is a positional argument.  "--" ends the options,
// so that text starting with dashes can still be rendered.
#ifndef KELMOR_TOOL_ARGS_H
#define KELMOR_TOOL_ARGS_H

#include <string>
#include <vector>

namespace kelmor {

class ArgCursor {
public:
    // argv[0] (the sub-command's own name) is skipped.
    ArgCursor(int argc, char **argv);

    bool Done() const { return next_ >= args_.size(); }

    // True and consumed when the current argument is exactly the flag.
    bool Flag(const char *name);
    // True and consumed when the current argument is the option, in either
    // form.  A missing value is recorded as an error (see Error()).
    bool Value(const char *name, std::string *value);
    // The current argument when it is positional (consumed), else false.
    bool Positional(std::string *value);
    // The current argument, consumed; for reporting unknown options.
    std::string Take();

    const std::string &Error() const { return error_; }

private:
    std::vector<std::string> args_;
    size_t next_ = 0;
    bool optionsEnded_ = false;
    std::string error_;
};

// Prints "kelmor COMMAND: MESSAGE" on stderr and returns `exitCode`: the
// one way the sub-commands report a failure.
int Report(const char *command, const std::string &message, int exitCode = 1);

// Exit code of a command line that cannot be understood.
constexpr int kUsageError = 2;

// Whole decimal number within [lowest, highest]; false otherwise.
bool ParseDecimal(const std::string &text, long lowest, long highest, long *value);

// --face N: which face of a collection (.ttc) to open; false when the
// argument is not this option.  A bad number sets *error.
bool FaceOption(ArgCursor &args, int *face, std::string *error);
#define KELMOR_FACE_HELP \
    "  --face N           face N (from 0) of a font collection (.ttc; default 0)\n"

// The drawing commands render in the library's faithful mode (dropout
// control, nothing clipped) unless --classic asks for the rendering hosts
// get by default, and draw a font's embedded bitmaps at the sizes it has
// them unless --no-bitmaps says otherwise.  The option bits for
// SetRenderOptions:
int ToolRenderOptions(bool classic, bool noHinting, bool embeddedBitmaps);
// --autohint / --no-autohint: the auto-hinter forced on any TrueType font
// (KELMOR_FORCE_AUTOHINT) or never used (KELMOR_NO_AUTOHINT); false when
// the argument is neither.  The bit goes into *bits, the later flag
// winning.
bool AutohintOption(ArgCursor &args, int *bits);
#define KELMOR_AUTOHINT_HELP                                                         \
    "  --autohint         grid-fit with the auto-hinter, as FreeType's\n"            \
    "                     FT_LOAD_FORCE_AUTOHINT (fonts without programs get it\n"   \
    "                     anyway in the faithful mode)\n"                            \
    "  --no-autohint      never auto-hint: fonts without programs drawn scaled\n"
// The help lines that go with it, to be joined into a command's help text.
#define KELMOR_NO_BITMAPS_HELP                                                       \
    "  --no-bitmaps       the outlines even at sizes the font has embedded bitmaps\n" \
    "                     for (kelmor info lists them)\n"
#define KELMOR_CLASSIC_HELP                                                          \
    "  --classic          the rendering hosts get by default: no dropout control,\n" \
    "                     ink left of the origin clipped (SetRenderOptions)\n"

}  // namespace kelmor

#endif
