// libFuzzer harness for the hinting interpreter: the input becomes the font
// program, the control-value program, the control values and the glyph
// programs of an otherwise well-formed synthetic font, which is then opened,
// sized several times and rendered through the public API, in the classic
// and the faithful mode.  Hostile bytecode
// must never read or write outside the interpreter's memory, run forever or
// leave state that hurts a later glyph or size.
//
// Input layout (missing bytes count as 0, a short input gives short parts):
//   byte 0      font program length
//   byte 1      control-value program length
//   byte 2      control values (16 bits each)
//   bytes 3-6   maxp: storage areas, function definitions, twilight points,
//               stack elements / 4 (so that small limits get exercised)
//   byte 7      bit 0: the composite's components run the glyph program too
//   then        font program, control-value program, control values, and
//               the rest: the glyph program
#include <cstddef>
#include <cstdint>
#include <vector>

#include "font_builder.h"
#include "kelmor.h"
#include "scratch_font.h"
#include "ttf/api/handles.h"
#include "ttf/font/ttf.h"

using kelmor_test::Bytes;
using kelmor_test::Component;
using kelmor_test::Contour;
using kelmor_test::FontBuilder;
using kelmor_test::Glyph;
using kelmor_test::MaxpValues;

namespace {

constexpr size_t kHeaderBytes = 8;

// Takes the input apart front to back.
class InputReader {
public:
    InputReader(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return next_ < size_ ? data_[next_++] : 0; }
    Bytes Take(size_t n) {
        const size_t available = size_ - next_ < n ? size_ - next_ : n;
        Bytes part(data_ + next_, data_ + next_ + available);
        next_ += available;
        return part;
    }
    Bytes Rest() { return Take(size_ - next_); }

private:
    const uint8_t *data_;
    size_t size_;
    size_t next_ = 0;
};

std::vector<int16_t> ControlValues(const Bytes &bytes) {
    std::vector<int16_t> values;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        values.push_back(int16_t(uint16_t(bytes[i] << 8 | bytes[i + 1])));
    return values;
}

// Two contours with on- and off-curve points, so that point instructions
// find curves, contours and interpolation partners.  Small, so that
// rasterizing costs little beside the programs: a few pixels at these sizes
// (a program may still move points anywhere).
Glyph Outline(Bytes program) {
    const Contour outer = {{25, 0}, {25, 175}, {100, 200, false}, {175, 175},
                           {175, 0}, {100, -12, false}};
    const Contour inner = {{62, 38}, {138, 38}, {138, 138}, {62, 138}};
    return Glyph::Simple({outer, inner}, std::move(program));
}

Bytes BuildFont(InputReader &in) {
    const size_t fpgmLength = in.Byte(), prepLength = in.Byte(), cvtCount = in.Byte();
    const uint16_t storage = in.Byte(), functions = in.Byte(), twilight = in.Byte();
    const uint16_t stack = uint16_t(in.Byte() * 4);
    const bool componentPrograms = in.Byte() & 1;
    const Bytes fpgm = in.Take(fpgmLength), prep = in.Take(prepLength);
    const std::vector<int16_t> cvt = ControlValues(in.Take(cvtCount * 2));
    const Bytes glyphProgram = in.Rest();

    const Bytes componentProgram = componentPrograms ? glyphProgram : Bytes();
    Component left{1, 0, 0}, right{2, 200, 25};
    return FontBuilder()
        .UnitsPerEm(1000)
        .AddGlyph(Outline(glyphProgram))
        .AddGlyph(Outline(componentProgram))
        .AddGlyph(Glyph::Composite({left, right}, glyphProgram))
        .Fpgm(fpgm)
        .Prep(prep)
        .Cvt(cvt)
        .Maxp(&MaxpValues::maxStorage, storage)
        .Maxp(&MaxpValues::maxFunctionDefs, functions)
        .Maxp(&MaxpValues::maxTwilightPoints, twilight)
        .Maxp(&MaxpValues::maxStackElements, stack)
        .Build();
}

// Ends a call's programs early.  The library lets one program run execute a
// million instructions before it stops it, which a looping program reaches
// in seconds under the sanitizers; with the fuzzer's mutations of such an
// input looping too, most of the time would go to a handful of loops.  Real
// programs run a few thousand instructions, so this cap changes nothing
// else; stopping a run this way also takes the budget-exhausted road.
class InstructionCap : public kelmor::InsTracer {
public:
    static constexpr long kPerCall = 20000;

    explicit InstructionCap(int32_t handle) : pG_(&kelmor::FontFromHandle(handle)->G) {
        pG_->Tracer = this;
    }
    void NewCall() { used_ = 0; }
    void Instruction(int, int32_t, uint8_t, const int32_t *, int, int) override {
        if (++used_ > kPerCall) pG_->InsBudget = 0;
    }

private:
    kelmor::_TtfGlyph *pG_;
    long used_ = 0;
};

void RenderGlyphs(int32_t font, InstructionCap &cap) {
    int width = 0, height = 0;
    // The composite runs both components' programs and then its own.
    for (int32_t glyph : {1, 3}) {
        cap.NewCall();
        GetBitmap(font, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < kHeaderBytes) return 0;
    InputReader in(data, size);
    const Bytes font = BuildFont(in);
    if (!kelmor_fuzz::WriteScratchFont(font.data(), font.size())) return 0;
    const int32_t handle = OpenTTFont(kelmor_fuzz::ScratchFontPath().c_str());
    if (handle == 0) return 0;
    SetEncoding(handle, KELMOR_CHARSET_GLYPHNUMBER);
    InstructionCap cap(handle);  // the font program has run, uncapped
    // Both modes, each interpreter's own table of instructions; the font
    // program runs again when the mode changes.  Several sizes: the
    // control-value program runs again at each, over whatever the font
    // program and earlier glyphs left in storage and in the function table.
    for (int32_t options : {0, KELMOR_FAITHFUL}) {
        cap.NewCall();
        SetRenderOptions(handle, options);
        for (int ppem : {9, 17, 9}) {
            cap.NewCall();
            if (SetPointSize(handle, ppem, 72)) RenderGlyphs(handle, cap);
        }
    }
    CloseTTFont(handle);
    return 0;
}
