// Counting the program runs of a real font that record a fault, by program
// and by the instruction that faulted: on a well-made font every such fault
// is either a bug of ours or a place where our interpreter knowingly
// behaves differently from others.
#ifndef KELMOR_TESTS_FAULT_CENSUS_H
#define KELMOR_TESTS_FAULT_CENSUS_H

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "ttf/hint/instruct.h"

namespace kelmor_test {

struct FaultKey {
    int program;         // kFontProgram ... kComponentProgram
    std::string group;   // the faulting instruction's base name ("MIRP", "UNKNOWN[0x...]")
    int code;            // kFaultArgument or kFaultPoint
    bool operator<(const FaultKey &o) const {
        return std::tie(program, group, code) < std::tie(o.program, o.group, o.code);
    }
};

struct FaultCount {
    long runs = 0;    // program runs with at least one such fault
    long faults = 0;  // faults in all
};

using FaultTable = std::map<FaultKey, FaultCount>;

// Watches the interpreter of one font; the caller marks where each run of
// interest ends (after a font program, a sizing, a GetBitmap).
class FaultCensus : public kelmor::InsTracer {
public:
    void Fault(int program, uint8_t opcode, int code) override;
    // Closes the current run: each kind of fault seen in it counts once.
    void EndRun();
    const FaultTable &Table() const { return table_; }

private:
    FaultTable table_;
    std::set<FaultKey> inRun_;
};

// "font program", "control-value program", "glyph program", "component program".
const char *ProgramTitle(int program);

// Adds `from` into `into`.
void MergeFaults(const FaultTable &from, FaultTable *into);

}  // namespace kelmor_test

#endif
