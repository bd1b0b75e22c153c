#include "fault_census.h"

namespace kelmor_test {

namespace {

std::string GroupName(uint8_t opcode) {
    const kelmor::InsGroup group = kelmor::InsGroupOf(opcode);
    if (group.name != nullptr) return group.name;
    char mnemonic[32];
    kelmor::InsMnemonic(opcode, mnemonic, sizeof mnemonic);
    return mnemonic;
}

}  // namespace

void FaultCensus::Fault(int program, uint8_t opcode, int code) {
    const FaultKey key{program, GroupName(opcode), code};
    ++table_[key].faults;
    inRun_.insert(key);
}

void FaultCensus::EndRun() {
    for (const FaultKey &key : inRun_) ++table_[key].runs;
    inRun_.clear();
}

const char *ProgramTitle(int program) {
    switch (program) {
        case kelmor::kFontProgram: return "font program";
        case kelmor::kControlValueProgram: return "control-value program";
        case kelmor::kGlyphProgram: return "glyph program";
        default: return "component program";
    }
}

void MergeFaults(const FaultTable &from, FaultTable *into) {
    for (const auto &[key, count] : from) {
        FaultCount &sum = (*into)[key];
        sum.runs += count.runs;
        sum.faults += count.faults;
    }
}

}  // namespace kelmor_test
