// The Type 2 charstring interpreter.
//
// A charstring is numbers pushed on an operand stack and operators that
// take them: path operators move a pen by relative amounts (so the outline
// is the running sum of every operand), hint operators declare stems, which
// matter here only because a hint mask's length counts them, and
// callsubr/callgsubr jump into shared subroutines, whose numbers are stored
// biased.  The first stack-clearing operator may carry one operand more
// than it takes, the glyph's width, which the advance from hmtx makes
// redundant: it is recognised and dropped.
//
// Numbers are 16.16 fixed values throughout; sums saturate instead of
// wrapping, so a hostile charstring draws nonsense at worst.
#include "ttf/cff/cff_charstring.h"

#include <cstdlib>
#include <cstring>

namespace kelmor {

namespace cff {

namespace {

constexpr int32_t kOne = 0x10000;

int32_t Saturate(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v);
}

int32_t Add(int32_t a, int32_t b) { return Saturate(int64_t(a) + b); }

// A point of the pen as the operators move it.
struct Pen {
    int32_t x = 0, y = 0;
};

class Interpreter {
public:
    Interpreter(const TableSource &src, const Subroutines &subrs, LevelBuffers *buffers,
                int32_t dx, int32_t dy, PathSink &sink, AccentRequest *accent)
        : src_(src), subrs_(subrs), buffers_(buffers), dx_(dx), dy_(dy), sink_(sink),
          accent_(accent) {}

    CharstringStatus Run(uint32_t at, uint32_t size) {
        accent_->present = false;
        if (!Enter(0, at, size)) return kCharstringUnreadable;
        while (status_ == kCharstringOk && !done_) Step();
        return status_;
    }

private:
    struct Frame {
        const uint8_t *pos, *end;
    };

    // ------------------------------------------------------------ levels

    // Reads `size` bytes at `at` into the buffer of `level` and makes it the
    // running frame.
    bool Enter(int level, uint32_t at, uint32_t size) {
        if (size > kMaxCharstringBytes) return false;
        if (size > kMaxBytesReadPerGlyph - bytesRead_) {
            Fail(kCharstringBudget);
            return false;
        }
        bytesRead_ += size;
        uint8_t *&bytes = buffers_->bytes[level];
        uint32_t &capacity = buffers_->size[level];
        if (size > capacity || bytes == nullptr) {
            uint8_t *grown = static_cast<uint8_t *>(std::realloc(bytes, size > 0 ? size : 1));
            if (grown == nullptr) return false;
            bytes = grown;
            capacity = size > 0 ? size : 1;
        }
        if (size > 0 && !src_.Read(at, bytes, size)) return false;
        depth_ = level;
        frames_[level] = Frame{bytes, bytes + size};
        return true;
    }

    void Fail(CharstringStatus status) {
        if (status_ == kCharstringOk) status_ = status;
    }

    void CallSubr(const SubrIndex &subrs) {
        if (count_ < 1) return Fail(kCharstringStack);
        const int64_t number = int64_t(Pop() >> 16) + subrs.bias;
        uint32_t at = 0, size = 0;
        if (subrs.index == nullptr || number < 0 || number >= int64_t(subrs.index->count) ||
            depth_ >= kMaxSubrDepth)
            return Fail(kCharstringSubr);
        if (subrs.memory != nullptr) {
            if (!IndexElementInMemory(subrs.memory, *subrs.index, uint32_t(number), &at, &size) ||
                size > kMaxCharstringBytes)
                return Fail(kCharstringUnreadable);
            frames_[++depth_] = Frame{subrs.memory + at, subrs.memory + at + size};
            return;
        }
        if (!IndexElement(src_, *subrs.index, uint32_t(number), &at, &size) ||
            !Enter(depth_ + 1, at, size))
            return Fail(kCharstringUnreadable);
    }

    // A subroutine that runs off its end returns, as `return` would; the
    // charstring itself running off its end ends the glyph.
    void Return() {
        if (depth_ == 0)
            EndGlyph();
        else
            --depth_;
    }

    // ------------------------------------------------------------ numbers

    void Push(int32_t v) {
        if (count_ == kMaxOperands) return Fail(kCharstringStack);
        stack_[count_++] = v;
    }
    int32_t Pop() { return count_ > 0 ? stack_[--count_] : 0; }
    void Clear() { count_ = 0; }

    // A number's remaining bytes; false when the charstring ends inside it.
    bool Take(Frame &f, int n, const uint8_t **bytes) {
        if (f.end - f.pos < n) return false;
        *bytes = f.pos;
        f.pos += n;
        return true;
    }

    void Number(Frame &f, uint32_t b0) {
        const uint8_t *b = nullptr;
        if (b0 >= 32 && b0 <= 246) return Push((int32_t(b0) - 139) * kOne);
        if (b0 == 28 || b0 == 255) {
            if (!Take(f, b0 == 28 ? 2 : 4, &b)) return Fail(kCharstringUnreadable);
            if (b0 == 28) return Push(int32_t(int16_t(uint16_t((b[0] << 8) | b[1]))) * kOne);
            return Push(int32_t((uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) |
                                (uint32_t(b[2]) << 8) | b[3]));
        }
        if (!Take(f, 1, &b)) return Fail(kCharstringUnreadable);
        const int32_t v = b0 <= 250 ? (int32_t(b0) - 247) * 256 + b[0] + 108
                                    : -(int32_t(b0) - 251) * 256 - b[0] - 108;
        Push(v * kOne);
    }

    // ------------------------------------------------------------ the loop

    void Step() {
        if (++operators_ > kMaxOperators) return Fail(kCharstringBudget);
        Frame &f = frames_[depth_];
        if (f.pos >= f.end) return Return();
        const uint32_t b0 = *f.pos++;
        if (b0 >= 32 || b0 == 28) return Number(f, b0);
        if (b0 == 12) {
            if (f.pos >= f.end) return Fail(kCharstringUnreadable);
            return Escaped(*f.pos++);
        }
        Operator(f, b0);
    }

    // The width, when the first stack-clearing operator finds one operand
    // more than it takes (`extra` true): it is dropped from the bottom.
    int Width(bool extra) {
        const bool first = !widthSeen_;
        widthSeen_ = true;
        return (first && extra) ? 1 : 0;
    }

    void Operator(Frame &f, uint32_t op) {
        switch (op) {
            case 1: case 3: case 18: case 23: return Stems();
            case 19: case 20: return HintMask(f);
            case 21: return MoveBy(2, 0, 1);
            case 22: return MoveBy(1, 0, -1);
            case 4: return MoveBy(1, -1, 0);
            case 5: return RLineTo();
            case 6: return AlternatingLines(true);
            case 7: return AlternatingLines(false);
            case 8: return RRCurveTo(0, count_);
            case 24: return CurveLine();
            case 25: return LineCurve();
            case 26: return AlongCurves(false);
            case 27: return AlongCurves(true);
            case 30: return AlternatingCurves(false);
            case 31: return AlternatingCurves(true);
            case 10: return CallSubr(subrs_.local);
            case 29: return CallSubr(subrs_.global);
            case 11: return Return();
            case 14: return EndChar();
            default: return Fail(kCharstringOperator);
        }
    }

    // ------------------------------------------------------------ hints

    void Stems() {
        const int first = Width(count_ % 2 == 1);
        stems_ += (count_ - first) / 2;
        Clear();
    }

    // Operands before a mask are vertical stems (vstem left implicit).  The
    // mask has a bit per stem, in whole bytes.
    void HintMask(Frame &f) {
        if (count_ > 0) Stems();
        widthSeen_ = true;
        if (stems_ > kMaxStems) return Fail(kCharstringStack);
        const int bytes = (stems_ + 7) / 8;
        if (f.end - f.pos < bytes) return Fail(kCharstringHintMask);
        f.pos += bytes;
    }

    // ------------------------------------------------------------ path

    void Need(int n) {
        if (count_ < n) Fail(kCharstringStack);
    }

    void CloseContour() { open_ = false; }

    // `args` operands move the pen: (dx, dy) for rmoveto, one along x or y
    // for hmoveto and vmoveto (axis 0 means the operand; -1 none).
    void MoveBy(int args, int xArg, int yArg) {
        const int first = Width(count_ > args);
        Need(first + args);
        if (status_ != kCharstringOk) return;
        if (xArg >= 0) pen_.x = Add(pen_.x, stack_[first + xArg]);
        if (yArg >= 0) pen_.y = Add(pen_.y, stack_[first + yArg]);
        CloseContour();
        open_ = true;
        sink_.MoveTo(Add(pen_.x, dx_), Add(pen_.y, dy_));
        Clear();
    }

    // A path operator before any moveto starts from the origin.
    void EnsureOpen() {
        if (open_) return;
        open_ = true;
        widthSeen_ = true;
        sink_.MoveTo(Add(pen_.x, dx_), Add(pen_.y, dy_));
    }

    void LineBy(int32_t ddx, int32_t ddy) {
        EnsureOpen();
        pen_.x = Add(pen_.x, ddx);
        pen_.y = Add(pen_.y, ddy);
        sink_.LineTo(Add(pen_.x, dx_), Add(pen_.y, dy_));
    }

    void CurveBy(int32_t dxa, int32_t dya, int32_t dxb, int32_t dyb, int32_t dxc, int32_t dyc) {
        EnsureOpen();
        const Pen a{Add(pen_.x, dxa), Add(pen_.y, dya)};
        const Pen b{Add(a.x, dxb), Add(a.y, dyb)};
        pen_ = Pen{Add(b.x, dxc), Add(b.y, dyc)};
        sink_.CurveTo(Add(a.x, dx_), Add(a.y, dy_), Add(b.x, dx_), Add(b.y, dy_),
                      Add(pen_.x, dx_), Add(pen_.y, dy_));
    }

    void RLineTo() {
        Need(2);
        for (int i = 0; i + 1 < count_ && status_ == kCharstringOk; i += 2)
            LineBy(stack_[i], stack_[i + 1]);
        Clear();
    }

    void AlternatingLines(bool horizontal) {
        Need(1);
        for (int i = 0; i < count_ && status_ == kCharstringOk; ++i, horizontal = !horizontal)
            LineBy(horizontal ? stack_[i] : 0, horizontal ? 0 : stack_[i]);
        Clear();
    }

    // Curves of six operands each from operand `from` up to `to`.
    void RRCurveTo(int from, int to) {
        Need(6);
        for (int i = from; i + 5 < to && status_ == kCharstringOk; i += 6) {
            const int32_t *s = stack_ + i;
            CurveBy(s[0], s[1], s[2], s[3], s[4], s[5]);
        }
        if (to == count_) Clear();
    }

    void CurveLine() {
        Need(8);
        if (status_ != kCharstringOk) return;
        const int curves = (count_ - 2) / 6;
        RRCurveTo(0, curves * 6);
        LineBy(stack_[curves * 6], stack_[curves * 6 + 1]);
        Clear();
    }

    void LineCurve() {
        Need(8);
        if (status_ != kCharstringOk) return;
        const int lines = (count_ - 6) / 2;
        for (int i = 0; i < lines; ++i) LineBy(stack_[2 * i], stack_[2 * i + 1]);
        const int32_t *s = stack_ + 2 * lines;
        CurveBy(s[0], s[1], s[2], s[3], s[4], s[5]);
        Clear();
    }

    // hhcurveto and vvcurveto: curves that start and end along one axis,
    // the first one with an optional operand across it.
    void AlongCurves(bool horizontal) {
        Need(4);
        int i = 0;
        int32_t across = 0;
        if (count_ % 2 == 1) across = stack_[i++];
        for (; i + 3 < count_ && status_ == kCharstringOk; i += 4) {
            const int32_t *s = stack_ + i;
            if (horizontal)
                CurveBy(s[0], across, s[1], s[2], s[3], 0);
            else
                CurveBy(across, s[0], s[1], s[2], 0, s[3]);
            across = 0;
        }
        Clear();
    }

    // hvcurveto and vhcurveto: each curve starts along one axis and ends
    // along the other, the next one starting where this one ended; the last
    // may take a fifth operand across its end.
    void AlternatingCurves(bool horizontal) {
        Need(4);
        for (int i = 0; i + 3 < count_ && status_ == kCharstringOk; i += 4) {
            const int32_t *s = stack_ + i;
            const int32_t last = (count_ - i == 5) ? s[4] : 0;
            if (horizontal)
                CurveBy(s[0], 0, s[1], s[2], last, s[3]);
            else
                CurveBy(0, s[0], s[1], s[2], s[3], last);
            horizontal = !horizontal;
        }
        Clear();
    }

    // ------------------------------------------------------------ flex

    // Two curves through the points of d[0..11] (relative).
    void TwoCurves(const int32_t d[12]) {
        CurveBy(d[0], d[1], d[2], d[3], d[4], d[5]);
        CurveBy(d[6], d[7], d[8], d[9], d[10], d[11]);
    }

    void Flex() {
        Need(13);
        if (status_ == kCharstringOk) TwoCurves(stack_);
        Clear();
    }

    void HFlex() {
        Need(7);
        if (status_ != kCharstringOk) return;
        const int32_t *s = stack_;
        const int32_t d[12] = {s[0], 0, s[1], s[2], s[3], 0, s[4], 0, s[5], -s[2], s[6], 0};
        TwoCurves(d);
        Clear();
    }

    void HFlex1() {
        Need(9);
        if (status_ != kCharstringOk) return;
        const int32_t *s = stack_;
        const int32_t back = Saturate(-(int64_t(s[1]) + s[3] + s[7]));
        const int32_t d[12] = {s[0], s[1], s[2], s[3], s[4], 0, s[5], 0, s[6], s[7], s[8], back};
        TwoCurves(d);
        Clear();
    }

    // The last point goes back to the start's y when the flex runs mostly
    // along x, to its x otherwise.
    void Flex1() {
        Need(11);
        if (status_ != kCharstringOk) return;
        int32_t d[12];
        std::memcpy(d, stack_, 10 * sizeof(int32_t));
        int64_t sx = 0, sy = 0;
        for (int i = 0; i < 10; i += 2) sx += d[i], sy += d[i + 1];
        const bool alongX = std::llabs(sx) > std::llabs(sy);
        d[10] = alongX ? stack_[10] : Saturate(-sx);
        d[11] = alongX ? Saturate(-sy) : stack_[10];
        TwoCurves(d);
        Clear();
    }

    // ------------------------------------------------------------ the end

    void EndGlyph() {
        CloseContour();
        done_ = true;
    }

    // Four operands (after a width) ask for an accented glyph.
    void EndChar() {
        const int first = Width(count_ == 1 || count_ == 5);
        if (count_ - first >= 4) {
            const int32_t *s = stack_ + first;
            *accent_ = AccentRequest{true, s[0], s[1], s[2] >> 16, s[3] >> 16};
        }
        EndGlyph();
    }

    // ------------------------------------------------------------ escapes

    void Escaped(uint32_t op) {
        switch (op) {
            case 0: return Clear();  // dotsection: an old hint, nothing to draw
            case 34: return HFlex();
            case 35: return Flex();
            case 36: return HFlex1();
            case 37: return Flex1();
            default: return Arithmetic(op);
        }
    }

    bool Truthy(int32_t v) const { return v != 0; }

    void Unary(int32_t (*f)(int32_t)) {
        Need(1);
        if (status_ == kCharstringOk) stack_[count_ - 1] = f(stack_[count_ - 1]);
    }

    void Binary(int32_t (*f)(int32_t, int32_t)) {
        Need(2);
        if (status_ != kCharstringOk) return;
        const int32_t b = Pop(), a = Pop();
        Push(f(a, b));
    }

    // The operators that compute on the stack, kept for fonts that use them.
    void Arithmetic(uint32_t op) {
        switch (op) {
            case 3: return Binary([](int32_t a, int32_t b) { return (a && b) ? kOne : 0; });
            case 4: return Binary([](int32_t a, int32_t b) { return (a || b) ? kOne : 0; });
            case 5: return Unary([](int32_t a) { return a ? 0 : kOne; });
            case 9: return Unary([](int32_t a) { return a == INT32_MIN ? INT32_MAX : std::abs(a); });
            case 10: return Binary([](int32_t a, int32_t b) { return Add(a, b); });
            case 11: return Binary([](int32_t a, int32_t b) { return Saturate(int64_t(a) - b); });
            case 12: return Binary([](int32_t a, int32_t b) {
                return b == 0 ? 0 : Saturate((int64_t(a) * kOne) / b);
            });
            case 14: return Unary([](int32_t a) { return Saturate(-int64_t(a)); });
            case 15: return Binary([](int32_t a, int32_t b) { return a == b ? kOne : 0; });
            case 18: Need(1); Pop(); return;
            case 20: return Put();
            case 21: return Get();
            case 22: return IfElse();
            case 23: return Push(kOne / 2);  // random: any value in (0, 1]
            case 24: return Binary([](int32_t a, int32_t b) {
                return Saturate((int64_t(a) * b) >> 16);
            });
            case 26: return Unary(SquareRoot);
            case 27: return Duplicate();
            case 28: return Exchange();
            case 29: return IndexOp();
            case 30: return Roll();
            default: return Fail(kCharstringOperator);
        }
    }

    static int32_t SquareRoot(int32_t a) {
        if (a <= 0) return 0;
        // sqrt(a / 2^16) * 2^16 = sqrt(a * 2^16), by bisection.
        const uint64_t target = uint64_t(a) << 16;
        uint64_t lo = 0, hi = uint64_t(1) << 24;
        while (lo < hi) {
            const uint64_t mid = (lo + hi + 1) / 2;
            if (mid * mid <= target) lo = mid; else hi = mid - 1;
        }
        return int32_t(lo);
    }

    void Put() {
        Need(2);
        if (status_ != kCharstringOk) return;
        const int32_t i = Pop() >> 16, v = Pop();
        if (i < 0 || i >= kTransientSlots) return Fail(kCharstringStack);
        transient_[i] = v;
    }

    void Get() {
        Need(1);
        if (status_ != kCharstringOk) return;
        const int32_t i = Pop() >> 16;
        if (i < 0 || i >= kTransientSlots) return Fail(kCharstringStack);
        Push(transient_[i]);
    }

    void IfElse() {
        Need(4);
        if (status_ != kCharstringOk) return;
        const int32_t v2 = Pop(), v1 = Pop(), s2 = Pop(), s1 = Pop();
        Push(v1 <= v2 ? s1 : s2);
    }

    void Duplicate() {
        if (count_ < 1) return Fail(kCharstringStack);
        Push(stack_[count_ - 1]);
    }

    void Exchange() {
        Need(2);
        if (status_ != kCharstringOk) return;
        const int32_t t = stack_[count_ - 1];
        stack_[count_ - 1] = stack_[count_ - 2];
        stack_[count_ - 2] = t;
    }

    // A negative index copies the top element.
    void IndexOp() {
        Need(1);
        if (status_ != kCharstringOk) return;
        int32_t i = Pop() >> 16;
        if (i < 0) i = 0;
        if (i >= count_) return Fail(kCharstringStack);
        Push(stack_[count_ - 1 - i]);
    }

    void Roll() {
        Need(2);
        if (status_ != kCharstringOk) return;
        const int32_t shift = Pop() >> 16, n = Pop() >> 16;
        if (n < 0 || n > count_) return Fail(kCharstringStack);
        if (n == 0) return;
        int32_t *base = stack_ + count_ - n;
        int32_t rolled[kMaxOperands];
        const int32_t by = ((shift % n) + n) % n;
        for (int32_t i = 0; i < n; ++i) rolled[(i + by) % n] = base[i];
        std::memcpy(base, rolled, size_t(n) * sizeof(int32_t));
    }

    const TableSource &src_;
    Subroutines subrs_;
    LevelBuffers *buffers_;
    int32_t dx_, dy_;
    PathSink &sink_;
    AccentRequest *accent_;
    Frame frames_[kMaxSubrDepth + 1] = {};
    int depth_ = 0;
    int32_t stack_[kMaxOperands] = {};
    int count_ = 0;
    int32_t transient_[kTransientSlots] = {};
    Pen pen_;
    int stems_ = 0;
    int32_t operators_ = 0;
    uint32_t bytesRead_ = 0;
    bool widthSeen_ = false;
    bool open_ = false;
    bool done_ = false;
    CharstringStatus status_ = kCharstringOk;
};

}  // namespace

const char *CharstringStatusText(CharstringStatus status) {
    switch (status) {
        case kCharstringOk: return "drawn";
        case kCharstringUnreadable: return "its charstring or a subroutine lies outside the CFF table";
        case kCharstringStack: return "an operator found too many or too few operands";
        case kCharstringSubr: return "it calls a subroutine that does not exist or nests calls too deep";
        case kCharstringBudget:
            return "its charstring runs too many operators or reads too many bytes";
        case kCharstringOperator: return "its charstring holds an unknown operator";
        case kCharstringHintMask: return "a hint mask runs past the end of its charstring";
    }
    return "unknown";
}

CharstringStatus RunCharstring(const TableSource &src, uint32_t at, uint32_t size,
                               const Subroutines &subrs, LevelBuffers *buffers, int32_t dx,
                               int32_t dy, PathSink &sink, AccentRequest *accent) {
    Interpreter interpreter(src, subrs, buffers, dx, dy, sink, accent);
    return interpreter.Run(at, size);
}

}  // namespace cff

}  // namespace kelmor
