// Reads through the font file's window cache must return exactly the file's
// bytes, whatever mix of offsets, lengths, repeats and window evictions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "test_paths.h"
#include "ttf/sfnt/file_cache.h"

using namespace kelmor;

namespace {

TEST(FileCache, ReadsReturnTheFilesBytes) {
    const std::string path = kelmor_test::ScratchDir("file_cache") + "/data.bin";
    std::vector<uint8_t> data(100000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t((i * 2654435761u) >> 13);
    {
        std::FILE *out = std::fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, out);
        ASSERT_EQ(data.size(), std::fwrite(data.data(), 1, data.size(), out));
        std::fclose(out);
    }
    std::FILE *file = OpenRegularFile(path.c_str());
    ASSERT_NE(nullptr, file);
    auto cache = std::make_unique<FileCache>();
    uint32_t seed = 99;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    std::vector<uint8_t> got(3 * kFileWindowSize);
    const auto check = [&](uint32_t offset, size_t count) {
        const size_t expected =
            offset >= data.size() ? 0 : std::min(count, data.size() - offset);
        ASSERT_EQ(expected, ReadThroughCache(cache.get(), file, offset, got.data(), count))
            << "offset " << offset << ", count " << count;
        for (size_t i = 0; i < expected; ++i)
            ASSERT_EQ(data[offset + i], got[i]) << "offset " << offset << " + " << i;
    };
    // A window's last byte, one byte past it, the file's end and beyond.
    const uint32_t size = uint32_t(data.size());
    const std::pair<uint32_t, size_t> edges[] = {
        {0, 16}, {kFileWindowSize - 10, 10}, {kFileWindowSize - 10, 11}, {size - 5, 10},
        {size, 1}, {size + 1, 1}, {0, kFileWindowSize + 1}, {3, 0}};
    for (const auto &[offset, count] : edges) check(offset, count);
    for (int round = 0; round < 5000; ++round) {
        // Mostly small reads near a few hot spots (as composite glyphs read
        // their components), some long ones, some at or past the end.
        const uint32_t hot = uint32_t(next() % 24) * 4000;
        const uint32_t offset = round % 7 == 0 ? uint32_t(next() % 101000) : hot + next() % 3000;
        const size_t count = round % 11 == 0 ? next() % got.size() : next() % 600;
        check(offset, count);
    }
    std::fclose(file);
}

}  // namespace
