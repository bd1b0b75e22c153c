// The test assembler: whitespace-separated tokens to bytecode.
#include "ttasm.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "ttf/hint/instruct.h"

namespace kelmor_test {

namespace {

bool IsNumber(const std::string &token) {
    if (token.empty()) return false;
    char *end = nullptr;
    std::strtol(token.c_str(), &end, 0);
    return *end == '\0';
}

// Values of the numbers that follow the push at tokens[i].
std::vector<long> TakeNumbers(const std::vector<std::string> &tokens, size_t &i) {
    std::vector<long> values;
    while (i + 1 < tokens.size() && IsNumber(tokens[i + 1]))
        values.push_back(std::strtol(tokens[++i].c_str(), nullptr, 0));
    return values;
}

void EmitPush(std::vector<uint8_t> &out, const std::string &name, const std::vector<long> &values) {
    const bool words = name == "PUSHW" || name == "NPUSHW";
    const bool longForm = name[0] == 'N' || values.size() > 8 || values.empty();
    if (values.size() > 255) ADD_FAILURE() << "too many values for one push";
    if (longForm) {
        out.push_back(words ? 0x41 : 0x40);
        out.push_back(uint8_t(values.size()));
    } else {
        out.push_back(uint8_t((words ? 0xB8 : 0xB0) + values.size() - 1));
    }
    for (long v : values) {
        if (words) {
            if (v < -32768 || v > 32767) ADD_FAILURE() << v << " does not fit a word";
            out.push_back(uint8_t((v >> 8) & 0xFF));
            out.push_back(uint8_t(v & 0xFF));
        } else {
            if (v < 0 || v > 255) ADD_FAILURE() << v << " does not fit a byte";
            out.push_back(uint8_t(v));
        }
    }
}

// "MDRP[10110]" -> opcode; false for an unknown name or bad bits.
bool Mnemonic(const std::string &token, uint8_t *opcode) {
    const size_t bracket = token.find('[');
    const std::string name = token.substr(0, bracket);
    const kelmor::InsGroup g = kelmor::InsGroupNamed(name.c_str());
    if (g.name == nullptr) return false;
    int selector = 0;
    if (bracket != std::string::npos) {
        const std::string bits = token.substr(bracket + 1, token.size() - bracket - 2);
        if (token.back() != ']' || bits.size() != g.bits) return false;
        for (char c : bits) {
            if (c != '0' && c != '1') return false;
            selector = selector * 2 + (c - '0');
        }
    }
    *opcode = uint8_t(g.first + selector);
    return true;
}

}  // namespace

std::vector<uint8_t> Assemble(const std::string &text) {
    std::vector<std::string> tokens;
    std::istringstream in(text);
    for (std::string t; in >> t;) tokens.push_back(t);

    std::vector<uint8_t> out;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string &t = tokens[i];
        if (t == "PUSHB" || t == "PUSHW" || t == "NPUSHB" || t == "NPUSHW") {
            EmitPush(out, t, TakeNumbers(tokens, i));
        } else if (t[0] == '$') {
            out.push_back(uint8_t(std::strtol(t.c_str() + 1, nullptr, 16)));
        } else if (uint8_t op = 0; Mnemonic(t, &op)) {
            out.push_back(op);
        } else {
            ADD_FAILURE() << "bad token \"" << t << "\" in: " << text;
        }
    }
    return out;
}

}  // namespace kelmor_test
