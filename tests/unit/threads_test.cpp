// Fonts used on several threads at once, one handle per thread: every
// thread must get exactly the bits a single thread gets.  The fonts differ
// in shape, size and hinting, so that state one font leaks into another's
// rendering (a shared pen, scratch point or buffer) shows as a difference.
// It runs natively, under ThreadSanitizer, and against kelmor32.dll under
// Wine, where the threads are Win32 threads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "font_builder.h"
#include "kelmor.h"
#include "test_paths.h"
#include "text_file.h"

using namespace kelmor_test;

namespace {

Contour Ring(int16_t x0, int16_t y0, int16_t x1, int16_t y1) {
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}

Contour Arc(int16_t cx, int16_t cy, int16_t r) {
    const int16_t x0 = int16_t(cx - r), x1 = int16_t(cx + r), y0 = int16_t(cy - r),
                  y1 = int16_t(cy + r);
    return {{cx, y0}, {x0, y0, false}, {x0, cy}, {x0, y1, false},
            {cx, y1}, {x1, y1, false}, {x1, cy}, {x1, y0, false}};
}

// SVTCA[1] PUSHB 0 MDAP[1] PUSHB 4 MDRP[11100] IUP[1], then the same in y
// from points 2 and 6 (as bytes: this suite also runs against the DLL,
// which does not export the assembler's tables).
const Bytes kArcProgram = {0x01, 0xB0, 0x00, 0x2F, 0xB0, 0x04, 0xDC, 0x31,
                           0x00, 0xB0, 0x02, 0x2F, 0xB0, 0x06, 0xDC, 0x30};

// Four fonts of a few glyphs each; `variant` moves every shape, so that no
// two fonts draw the same bits.
FontBuilder ThreadFont(int variant) {
    const int16_t d = int16_t(37 * variant);
    FontBuilder b;
    b.UnitsPerEm(uint16_t(1000 + 24 * variant)).BoundingBox(-100, -200, 1100, 900);
    b.AddGlyph(Glyph::Simple({Ring(int16_t(50 + d), 0, int16_t(700 - d), 700),
                              Ring(int16_t(200 + d), 150, int16_t(500 - d), 550)}));
    b.AddGlyph(Glyph::Simple({Arc(int16_t(400 + d), 350, int16_t(300 - d / 2))}, kArcProgram));
    b.AddGlyph(Glyph::Simple({Ring(int16_t(-60 + d), -150, int16_t(90 + d), 820),
                              Ring(300, int16_t(380 + d), 1000, int16_t(440 + d))}));
    Component moved{1, int16_t(120 + d), 40};
    b.AddGlyph(Glyph::Composite({Component{3, 0, 0}, moved}));
    return b;
}

// A digest of every glyph of the font at several sizes in both modes.
uint64_t RenderAll(const std::string &path) {
    uint64_t digest = 1469598103934665603ull;
    auto mix = [&digest](uint64_t v) { digest = (digest ^ v) * 1099511628211ull; };
    const int32_t font = OpenTTFont(path.c_str());
    if (font == 0) return 0;
    SetEncoding(font, KELMOR_CHARSET_GLYPHNUMBER);
    for (int options : {0, KELMOR_FAITHFUL, KELMOR_NO_HINTING | KELMOR_FAITHFUL}) {
        SetRenderOptions(font, options);
        for (int ppem : {9, 12, 17, 24, 40}) {
            SetPointSize(font, ppem, 72);
            for (int32_t glyph = 0; glyph < 5; ++glyph) {
                int width = 0, height = 0;
                const unsigned char *bits =
                    GetBitmap(font, reinterpret_cast<const char *>(&glyph), &width, &height, 0);
                mix(uint64_t(width) << 32 | uint32_t(height));
                for (int i = 0; bits && i < (width + 15) / 16 * 2 * height; ++i) mix(bits[i]);
            }
        }
    }
    CloseTTFont(font);
    return digest;
}

TEST(Threads, EightThreadsDrawWhatOneThreadDraws) {
    const std::string dir = ScratchDir("threads");
    std::vector<std::string> paths;
    std::vector<uint64_t> alone;
    for (int variant = 0; variant < 4; ++variant) {
        paths.push_back(ThreadFont(variant).WriteTo(dir + "/font" + std::to_string(variant) +
                                                    ".ttf"));
        alone.push_back(RenderAll(paths.back()));
        ASSERT_NE(0u, alone.back());
    }
    constexpr int kThreads = 8, kRounds = 6;
    std::vector<std::vector<uint64_t>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round)
                seen[t].push_back(RenderAll(paths[(t + round) % paths.size()]));
        });
    }
    for (std::thread &thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t)
        for (int round = 0; round < kRounds; ++round)
            EXPECT_EQ(alone[(t + round) % paths.size()], seen[t][round])
                << "thread " << t << ", round " << round;
}

// Fonts may be opened on any thread while the Kelmo calls stay on one: a
// KelmoRegisterApp that picks the ini file again must not race the opens
// that read the ini file's rendering switches (ThreadSanitizer saw the path
// being rewritten under them), and every open still finds the switches.
TEST(Threads, OpensReadTheRenderingSwitchesWhileTheSettingsReload) {
    const std::string dir = ScratchDir("threads_settings");
    const std::string font = ThreadFont(1).WriteTo(dir + "/font.ttf");
#ifndef _WIN32
    kelmor_test::WriteTextFile(dir + "/Kelmor.ini", "[Rendering]\r\nFaithful=1\r\n");
    kelmor_test::WriteTextFile(dir + "/profile.ini", "[Kelmor Type Font Interface 1.0]\r\nIniPath=" +
                                                         dir + "/Kelmor.ini\r\n");
    const char *before = std::getenv("KELMOR_PROFILE");
    const std::string profileBefore = before ? before : "";
    setenv("KELMOR_PROFILE", (dir + "/profile.ini").c_str(), 1);
    KelmoRegisterApp(nullptr);
    const int32_t expected = KELMOR_FAITHFUL;
#else
    const int32_t expected = -1;  // whatever win.ini says: not checked
#endif
    std::atomic<bool> opening{true};
    std::thread reloader([&opening] {
        while (opening) KelmoRegisterApp(nullptr);
    });
    constexpr int kOpeners = 4, kOpens = 40;
    std::vector<std::vector<int32_t>> options(kOpeners);
    std::vector<std::thread> openers;
    for (int t = 0; t < kOpeners; ++t) {
        openers.emplace_back([&, t] {
            for (int i = 0; i < kOpens; ++i) {
                const int32_t handle = OpenTTFont(font.c_str());
                options[t].push_back(handle != 0 ? SetRenderOptions(handle, 0) : -2);
                CloseTTFont(handle);
            }
        });
    }
    for (std::thread &opener : openers) opener.join();
    opening = false;
    reloader.join();
#ifndef _WIN32
    if (before)
        setenv("KELMOR_PROFILE", profileBefore.c_str(), 1);
    else
        unsetenv("KELMOR_PROFILE");
    KelmoRegisterApp(nullptr);
#endif
    for (int t = 0; t < kOpeners; ++t)
        for (int32_t seen : options[t]) {
            EXPECT_NE(-2, seen) << "thread " << t;
            if (expected >= 0) {
                EXPECT_EQ(expected, seen) << "thread " << t;
            }
        }
}

}  // namespace
