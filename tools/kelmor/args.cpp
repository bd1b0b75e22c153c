#include "args.h"

#include "kelmor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kelmor {

ArgCursor::ArgCursor(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) args_.emplace_back(argv[i]);
}

bool ArgCursor::Flag(const char *name) {
    if (Done() || optionsEnded_ || args_[next_] != name) return false;
    ++next_;
    return true;
}

bool ArgCursor::Value(const char *name, std::string *value) {
    if (Done() || optionsEnded_) return false;
    const std::string &arg = args_[next_];
    const size_t nameLength = std::strlen(name);
    if (arg.compare(0, nameLength, name) != 0) return false;
    if (arg.size() > nameLength && arg[nameLength] == '=') {
        *value = arg.substr(nameLength + 1);
        ++next_;
        return true;
    }
    if (arg.size() != nameLength) return false;  // a longer option sharing the prefix
    ++next_;
    if (Done()) {
        error_ = std::string(name) + " needs a value";
        value->clear();
        return true;
    }
    *value = args_[next_++];
    return true;
}

bool ArgCursor::Positional(std::string *value) {
    if (Done()) return false;
    if (!optionsEnded_ && args_[next_] == "--") {
        optionsEnded_ = true;
        ++next_;
        return Positional(value);
    }
    const std::string &arg = args_[next_];
    if (!optionsEnded_ && arg.size() > 1 && arg[0] == '-') return false;
    *value = arg;
    ++next_;
    return true;
}

std::string ArgCursor::Take() { return Done() ? std::string() : args_[next_++]; }

int Report(const char *command, const std::string &message, int exitCode) {
    std::fprintf(stderr, "kelmor %s: %s\n", command, message.c_str());
    return exitCode;
}

bool ParseDecimal(const std::string &text, long lowest, long highest, long *value) {
    if (text.empty() || text.size() > 18) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool sign = i == 0 && text[i] == '-' && text.size() > 1;
        if (!sign && (text[i] < '0' || text[i] > '9')) return false;
    }
    errno = 0;
    const long parsed = std::strtol(text.c_str(), nullptr, 10);
    if (errno != 0 || parsed < lowest || parsed > highest) return false;
    *value = parsed;
    return true;
}

bool FaceOption(ArgCursor &args, int *face, std::string *error) {
    std::string value;
    if (!args.Value("--face", &value)) return false;
    long number = 0;
    if (args.Error().empty() && !ParseDecimal(value, 0, 4095, &number))
        *error = "--face takes a face number from 0 to 4095, not \"" + value + "\"";
    *face = int(number);
    return true;
}

bool AutohintOption(ArgCursor &args, int *bits) {
    if (args.Flag("--autohint")) {
        *bits = KELMOR_FORCE_AUTOHINT;
        return true;
    }
    if (args.Flag("--no-autohint")) {
        *bits = KELMOR_NO_AUTOHINT;
        return true;
    }
    return false;
}

int ToolRenderOptions(bool classic, bool noHinting, bool embeddedBitmaps) {
    return (classic ? 0 : KELMOR_FAITHFUL) | (noHinting ? KELMOR_NO_HINTING : 0) |
           (embeddedBitmaps ? KELMOR_EMBEDDED_BITMAPS : 0);
}

}  // namespace kelmor
