// Mnemonics of the instruction set, for the trace tool and for bytecode
// written as text in the tests.
#include <cstdio>
#include <cstring>

#include "ttf/hint/instruct.h"

namespace kelmor {

namespace {

// Every named opcode group in opcode order: base name, first opcode and the
// width of the bit field that selects within the group.  MPS, FLIPPT, DEBUG
// and IDEF are named although this interpreter treats them as faults.
constexpr InsGroup kGroups[] = {
    {"SVTCA", 0x00, 1},    {"SPVTCA", 0x02, 1},  {"SFVTCA", 0x04, 1},   {"SPVTL", 0x06, 1},
    {"SFVTL", 0x08, 1},    {"SPVFS", 0x0A, 0},   {"SFVFS", 0x0B, 0},    {"GPV", 0x0C, 0},
    {"GFV", 0x0D, 0},      {"SFVTPV", 0x0E, 0},  {"ISECT", 0x0F, 0},    {"SRP0", 0x10, 0},
    {"SRP1", 0x11, 0},     {"SRP2", 0x12, 0},    {"SZP0", 0x13, 0},     {"SZP1", 0x14, 0},
    {"SZP2", 0x15, 0},     {"SZPS", 0x16, 0},    {"SLOOP", 0x17, 0},    {"RTG", 0x18, 0},
    {"RTHG", 0x19, 0},     {"SMD", 0x1A, 0},     {"ELSE", 0x1B, 0},     {"JMPR", 0x1C, 0},
    {"SCVTCI", 0x1D, 0},   {"SSWCI", 0x1E, 0},   {"SSW", 0x1F, 0},      {"DUP", 0x20, 0},
    {"POP", 0x21, 0},      {"CLEAR", 0x22, 0},   {"SWAP", 0x23, 0},     {"DEPTH", 0x24, 0},
    {"CINDEX", 0x25, 0},   {"MINDEX", 0x26, 0},  {"ALIGNPTS", 0x27, 0}, {"UTP", 0x29, 0},
    {"LOOPCALL", 0x2A, 0}, {"CALL", 0x2B, 0},    {"FDEF", 0x2C, 0},     {"ENDF", 0x2D, 0},
    {"MDAP", 0x2E, 1},     {"IUP", 0x30, 1},     {"SHP", 0x32, 1},      {"SHC", 0x34, 1},
    {"SHZ", 0x36, 1},      {"SHPIX", 0x38, 0},   {"IP", 0x39, 0},       {"MSIRP", 0x3A, 1},
    {"ALIGNRP", 0x3C, 0},  {"RTDG", 0x3D, 0},    {"MIAP", 0x3E, 1},     {"NPUSHB", 0x40, 0},
    {"NPUSHW", 0x41, 0},   {"WS", 0x42, 0},      {"RS", 0x43, 0},       {"WCVTP", 0x44, 0},
    {"RCVT", 0x45, 0},     {"GC", 0x46, 1},      {"SCFS", 0x48, 0},     {"MD", 0x49, 1},
    {"MPPEM", 0x4B, 0},    {"MPS", 0x4C, 0},     {"FLIPON", 0x4D, 0},   {"FLIPOFF", 0x4E, 0},
    {"DEBUG", 0x4F, 0},    {"LT", 0x50, 0},      {"LTEQ", 0x51, 0},     {"GT", 0x52, 0},
    {"GTEQ", 0x53, 0},     {"EQ", 0x54, 0},      {"NEQ", 0x55, 0},      {"ODD", 0x56, 0},
    {"EVEN", 0x57, 0},     {"IF", 0x58, 0},      {"EIF", 0x59, 0},      {"AND", 0x5A, 0},
    {"OR", 0x5B, 0},       {"NOT", 0x5C, 0},     {"DELTAP1", 0x5D, 0},  {"SDB", 0x5E, 0},
    {"SDS", 0x5F, 0},      {"ADD", 0x60, 0},     {"SUB", 0x61, 0},      {"DIV", 0x62, 0},
    {"MUL", 0x63, 0},      {"ABS", 0x64, 0},     {"NEG", 0x65, 0},      {"FLOOR", 0x66, 0},
    {"CEILING", 0x67, 0},  {"ROUND", 0x68, 2},   {"NROUND", 0x6C, 2},   {"WCVTF", 0x70, 0},
    {"DELTAP2", 0x71, 0},  {"DELTAP3", 0x72, 0}, {"DELTAC1", 0x73, 0},  {"DELTAC2", 0x74, 0},
    {"DELTAC3", 0x75, 0},  {"SROUND", 0x76, 0},  {"S45ROUND", 0x77, 0}, {"JROT", 0x78, 0},
    {"JROF", 0x79, 0},     {"ROFF", 0x7A, 0},    {"RUTG", 0x7C, 0},     {"RDTG", 0x7D, 0},
    {"SANGW", 0x7E, 0},    {"AA", 0x7F, 0},      {"FLIPPT", 0x80, 0},   {"FLIPRGON", 0x81, 0},
    {"FLIPRGOFF", 0x82, 0}, {"SCANCTRL", 0x85, 0}, {"SDPVTL", 0x86, 1}, {"GETINFO", 0x88, 0},
    {"IDEF", 0x89, 0},     {"ROLL", 0x8A, 0},    {"MAX", 0x8B, 0},      {"MIN", 0x8C, 0},
    {"SCANTYPE", 0x8D, 0}, {"INSTCTRL", 0x8E, 0}, {"PUSHB", 0xB0, 3},   {"PUSHW", 0xB8, 3},
    {"MDRP", 0xC0, 5},     {"MIRP", 0xE0, 5},
};

}  // namespace

InsGroup InsGroupOf(uint8_t opcode) {
    for (const InsGroup &g : kGroups) {
        if (opcode >= g.first && opcode - g.first < (1 << g.bits)) return g;
    }
    return {nullptr, opcode, 0};
}

InsGroup InsGroupNamed(const char *name) {
    for (const InsGroup &g : kGroups) {
        if (std::strcmp(g.name, name) == 0) return g;
    }
    return {nullptr, 0, 0};
}

void InsMnemonic(uint8_t opcode, char *buf, size_t size) {
    if (buf == nullptr || size == 0) return;
    InsGroup g = InsGroupOf(opcode);
    if (g.name == nullptr) {
        std::snprintf(buf, size, "UNKNOWN[0x%02X]", unsigned(opcode));
        return;
    }
    if (g.bits == 0) {
        std::snprintf(buf, size, "%s", g.name);
        return;
    }
    char bits[8] = {};
    int selector = opcode - g.first;
    for (int i = 0; i < g.bits; ++i) bits[i] = char('0' + ((selector >> (g.bits - 1 - i)) & 1));
    std::snprintf(buf, size, "%s[%s]", g.name, bits);
}

}  // namespace kelmor
