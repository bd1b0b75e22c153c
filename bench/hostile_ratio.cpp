// How much a font whose programs never end costs per glyph: the same
// synthetic font drawn with glyph programs that loop forever and without
// any programs, in both rendering modes.  Each GetBitmap's programs share
// one instruction budget that grows with the glyph, so the ratio stays a
// small multiple however the programs loop.
//
//   build-bench/bench/hostile_ratio
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "font_builder.h"
#include "kelmor.h"

using namespace kelmor_test;

namespace {

// PUSHW 0  PUSHW -3  JMPR: jumps back to the second push, forever.
const Bytes kLoop = {0xB8, 0x00, 0x00, 0xB8, 0xFF, 0xFD, 0x1C};

// A ring of 40 points, a one-point-per-corner triangle, and a composite of
// 400 triangles: a plain glyph, a small one and a large composite.
std::string WriteFont(bool looping, const std::string &path) {
    const Bytes program = looping ? kLoop : Bytes{};
    Contour ring;
    for (int i = 0; i < 40; ++i) {
        const double a = i * 0.157, r = (i % 2) ? 400 : 320;
        ring.push_back({int16_t(500 + r * std::cos(a)), int16_t(500 + r * std::sin(a))});
    }
    FontBuilder b;
    b.UnitsPerEm(1000).BoundingBox(0, 0, 1000, 1000);
    b.AddGlyph(Glyph::Simple({ring}, program));
    b.AddGlyph(Glyph::Simple({{{0, 0}, {0, 64}, {64, 64}}}, program));
    b.AddGlyph(Glyph::Composite(std::vector<Component>(400, Component{2, 0, 0}), program));
    return b.WriteTo(path);
}

double MicrosecondsPerGlyph(const std::string &path, int options) {
    const int32_t font = OpenTTFont(path.c_str());
    if (font == 0) return -1;
    SetRenderOptions(font, options);
    SetPointSize(font, 16, 72);
    SetEncoding(font, KELMOR_CHARSET_GLYPHNUMBER);
    const auto start = std::chrono::steady_clock::now();
    int drawn = 0;
    for (int round = 0; round < 20; ++round) {
        for (int32_t glyph = 1; glyph <= 3; ++glyph, ++drawn) {
            int width = 0, height = 0;
            GetBitmap(font, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
        }
    }
    const double us =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    CloseTTFont(font);
    return us / drawn;
}

}  // namespace

int main() {
    const std::string plain = WriteFont(false, "hostile_ratio_plain.ttf");
    const std::string looping = WriteFont(true, "hostile_ratio_looping.ttf");
    std::printf("%-9s %14s %14s %8s\n", "mode", "plain us/g", "looping us/g", "ratio");
    for (const auto &[name, options] : {std::pair<const char *, int>{"classic", 0},
                                        std::pair<const char *, int>{"faithful", KELMOR_FAITHFUL}}) {
        const double a = MicrosecondsPerGlyph(plain, options);
        const double b = MicrosecondsPerGlyph(looping, options);
        std::printf("%-9s %14.1f %14.1f %8.1f\n", name, a, b, a > 0 ? b / a : 0);
    }
    std::remove(plain.c_str());
    std::remove(looping.c_str());
    return 0;
}
