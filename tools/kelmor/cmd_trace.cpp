// kelmor trace: the font's programs instruction by instruction, as the
// library's interpreter runs them, or counts over every glyph of a font.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "args.h"
#include "commands.h"
#include "font_facts.h"

namespace kelmor {
namespace {

constexpr const char *kCommand = "trace";

void PrintHelp() {
    std::printf(
        "usage: kelmor trace FONT --glyph N [--size POINTS] [--dpi DPI]\n"
        "       kelmor trace FONT --code HEX [--size POINTS] [--dpi DPI]\n"
        "       kelmor trace FONT --stats [--size POINTS] [--dpi DPI]\n"
        "\n"
        "Runs the font program, the control-value program at the size and the\n"
        "glyph's own program (and its components' programs) and prints every\n"
        "instruction executed, one per line:\n"
        "  OFFSET MNEMONIC  depth D: top values (the top one last)\n"
        "followed by the points it moved (zone 1 is the glyph, 0 the twilight\n"
        "zone; old -> new position in 1/64 pixel) and the faults it recorded\n"
        "(1: bad instruction, operand or index; 2: bad point or vectors).\n"
        "Instructions of a called function are indented by call depth.\n"
        "\n"
        "  --glyph N      glyph number\n"
        "  --code HEX     a code of the font's own character map, e.g. 4E00\n"
        "  --stats        no listing: every glyph of the font at the size, with\n"
        "                 the instructions each program run executed and the\n"
        "                 faults recorded, by program and opcode\n"
        "  --size POINTS  point size (default 16)\n"
        "  --dpi DPI      resolution (default 72, so points are pixels per em)\n"
        "  --classic      the interpreter as hosts get it by default, not the\n"
        "                 faithful mode\n"
        "  --face N       face N (from 0) of a font collection (.ttc)\n");
}

const char *ProgramTitle(int program) {
    switch (program) {
        case kFontProgram: return "font program";
        case kControlValueProgram: return "control-value program";
        case kGlyphProgram: return "glyph program";
        default: return "component program";
    }
}

std::string Mnemonic(uint8_t opcode) {
    char name[32];
    InsMnemonic(opcode, name, sizeof name);
    return name;
}

// Prints each event as it happens.
class Listing : public InsTracer {
public:
    void Instruction(int program, int32_t offset, uint8_t opcode, const int32_t *stack, int depth,
                     int recursion) override {
        if (program != program_) std::printf("%s:\n", ProgramTitle(program));
        program_ = program;
        indent_ = 2 + 2 * recursion;
        std::printf("%*s%04X %-14s depth %d", indent_, "", unsigned(offset),
                    Mnemonic(opcode).c_str(), depth);
        const int shown = depth < 6 ? depth : 6;
        if (shown > 0) std::printf(":%s", shown < depth ? " ..." : "");
        for (int i = depth - shown; i < depth; ++i) std::printf(" %d", stack[i]);
        std::printf("\n");
    }
    void PointMoved(int zone, int point, longpointtype from, longpointtype to) override {
        std::printf("%*s  moved %d/%d: (%d, %d) -> (%d, %d)\n", indent_, "", zone, point, from.x,
                    from.y, to.x, to.y);
    }
    void Fault(int, uint8_t opcode, int code) override {
        std::printf("%*s  fault %d in %s\n", indent_, "", code, Mnemonic(opcode).c_str());
    }

private:
    int program_ = -1;
    int indent_ = 2;
};

// Counts instructions per run and faults per program and opcode.
class Statistics : public InsTracer {
public:
    void Instruction(int, int32_t, uint8_t, const int32_t *, int, int recursion) override {
        ++run_;
        if (recursion > maxRecursion_) maxRecursion_ = recursion;
    }
    void Fault(int program, uint8_t opcode, int code) override {
        Count &c = faults_[{program, opcode, code}];
        if (c.times++ == 0) c.firstGlyph = glyph_;
    }
    // The glyph whose programs run next (-1 for the font's own programs).
    void Glyph(long glyph) { glyph_ = glyph; }
    // Ends a run (or the runs of one glyph) and returns its instructions.
    long EndRun() {
        long n = run_;
        total_ += run_;
        run_ = 0;
        return n;
    }
    void Print() const {
        std::printf("instructions in all runs: %ld; deepest call: %d\n", total_, maxRecursion_);
        if (faults_.empty()) std::printf("faults: none\n");
        for (const auto &[key, count] : faults_) {
            std::printf("faults: %-22s %-14s code %d: %ld (first in glyph %ld)\n",
                        ProgramTitle(key.program), Mnemonic(key.opcode).c_str(), key.code,
                        count.times, count.firstGlyph);
        }
    }

private:
    struct Key {
        int program;
        uint8_t opcode;
        int code;
        bool operator<(const Key &o) const {
            if (program != o.program) return program < o.program;
            if (opcode != o.opcode) return opcode < o.opcode;
            return code < o.code;
        }
    };
    struct Count {
        long times = 0;
        long firstGlyph = -1;
    };
    long run_ = 0, total_ = 0, glyph_ = -1;
    int maxRecursion_ = 0;
    std::map<Key, Count> faults_;
};

struct TraceOptions {
    std::string fontPath;
    long glyph = -1;
    long code = -1;
    bool stats = false;
    bool classic = false;
    int face = 0;
    long points = 16;
    long dpi = 72;
};

// The mode decides how the font and control-value programs run, so it is
// set before either runs.
void SetMode(_TTFont *pF, const TraceOptions &o) {
    // Always the outline: a glyph drawn from an embedded bitmap runs no
    // program to follow.
    ChangeRenderOptions(pF, ToolRenderOptions(o.classic, false, false));
}

// Sizes the font; says when a program ran out of instructions, which turns
// the glyph programs off.
bool SetSize(_TTFont *pF, const TraceOptions &o) {
    const bool sized = InitBuffers(pF, int(o.points), int(o.dpi)) == 0;
    if (pF->G.ProgramsFailed & kFontProgramFailed)
        std::printf("note: the font program ran out of instructions or stopped on an error; "
                    "glyph programs do not run\n");
    if (pF->G.ProgramsFailed & kSizeProgramFailed)
        std::printf("note: the control-value program ran out of instructions or stopped on an "
                    "error at this size; glyph programs do not run\n");
    return sized;
}

int TraceOneGlyph(_TTFont *pF, const TraceOptions &o) {
    Listing listing;
    SetMode(pF, o);
    pF->G.Tracer = &listing;
    RunFontProgram(pF, &pF->G);
    const bool sized = SetSize(pF, o);
    uint32_t glyph = o.glyph >= 0 ? uint32_t(o.glyph) : GetGlyphNo(pF, uint32_t(o.code));
    if (sized) {
        std::printf("glyph %u:\n", glyph);
        pF->csDesired = csGlyphNumber;
        TTF2BitMap(pF, &pF->G, glyph);
    }
    pF->G.Tracer = nullptr;
    if (!sized) return Report(kCommand, "cannot set the font to this size");
    return 0;
}

int TraceWholeFont(_TTFont *pF, const TraceOptions &o) {
    Statistics stats;
    SetMode(pF, o);
    pF->G.Tracer = &stats;
    RunFontProgram(pF, &pF->G);
    std::printf("font program: %ld instructions\n", stats.EndRun());
    if (!SetSize(pF, o)) {
        pF->G.Tracer = nullptr;
        return Report(kCommand, "cannot set the font to this size");
    }
    std::printf("control-value program: %ld instructions\n", stats.EndRun());
    pF->csDesired = csGlyphNumber;
    long most = 0, mostGlyph = 0, instructed = 0;
    const long glyphs = pF->leMaximumProfile.numGlyphs;
    for (long g = 0; g < glyphs; ++g) {
        stats.Glyph(g);
        TTF2BitMap(pF, &pF->G, uint32_t(g));
        const long n = stats.EndRun();
        instructed += n > 0;
        if (n > most) most = n, mostGlyph = g;
    }
    pF->G.Tracer = nullptr;
    std::printf("glyph programs: %ld of %ld glyphs run instructions; most: %ld (glyph %ld)\n",
                instructed, glyphs, most, mostGlyph);
    stats.Print();
    return 0;
}

bool TakeArgument(ArgCursor &args, TraceOptions *o, std::string *error) {
    std::string value;
    if (args.Flag("--stats")) {
        o->stats = true;
    } else if (args.Flag("--classic")) {
        o->classic = true;
    } else if (FaceOption(args, &o->face, error)) {
    } else if (args.Value("--glyph", &value)) {
        if (!ParseDecimal(value, 0, 65535, &o->glyph)) *error = "--glyph takes 0 to 65535";
    } else if (args.Value("--code", &value)) {
        char *end = nullptr;
        o->code = std::strtol(value.c_str(), &end, 16);
        if (value.empty() || *end != '\0' || o->code < 0 || o->code > 0xFFFF)
            *error = "--code takes a hexadecimal code up to FFFF";
    } else if (args.Value("--size", &value)) {
        if (!ParseDecimal(value, 1, 10000, &o->points)) *error = "--size takes 1 to 10000";
    } else if (args.Value("--dpi", &value)) {
        if (!ParseDecimal(value, 1, 10000, &o->dpi)) *error = "--dpi takes 1 to 10000";
    } else if (o->fontPath.empty() && args.Positional(&value)) {
        o->fontPath = value;
    } else {
        return false;
    }
    return true;
}

}  // namespace
}  // namespace kelmor

int CmdTrace(int argc, char **argv) {
    using namespace kelmor;
    ArgCursor args(argc, argv);
    TraceOptions options;
    std::string error;
    while (!args.Done() && error.empty() && args.Error().empty()) {
        if (args.Flag("--help")) {
            PrintHelp();
            return 0;
        }
        if (!TakeArgument(args, &options, &error))
            error = "unknown argument \"" + args.Take() + "\" (try 'kelmor trace --help')";
    }
    if (error.empty()) error = args.Error();
    if (error.empty() && options.fontPath.empty()) error = "which font? (try 'kelmor trace --help')";
    if (error.empty() && !options.stats && options.glyph < 0 && options.code < 0)
        error = "trace needs --glyph N, --code HEX or --stats";
    if (!error.empty()) return Report(kCommand, error, kUsageError);
    FontObject font = OpenFontObject(options.fontPath, options.face);
    if (!font) return Report(kCommand, DiagnoseOpenFailure(options.fontPath, options.face));
    return options.stats ? TraceWholeFont(font.get(), options) : TraceOneGlyph(font.get(), options);
}
