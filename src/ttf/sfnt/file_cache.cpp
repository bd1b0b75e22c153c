#include "ttf/sfnt/file_cache.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"

namespace kelmor {

namespace {

bool Holds(const FileWindow &w, uint32_t offset, size_t count) {
    return w.length > 0 && offset >= w.start &&
           uint64_t(offset) + count <= uint64_t(w.start) + w.length;
}

FileWindow &LeastRecentlyUsed(FileCache *cache) {
    FileWindow *oldest = &cache->windows[0];
    for (FileWindow &w : cache->windows)
        if (w.length == 0 || w.lastUse < oldest->lastUse) oldest = &w;
    return *oldest;
}

}  // namespace

size_t ReadThroughCache(FileCache *cache, std::FILE *file, uint32_t offset, void *dst,
                        size_t count) {
    if (count > kFileWindowSize) return ReadFileRange(file, offset, dst, count);
    FileWindow *hit = nullptr;
    for (FileWindow &w : cache->windows) {
        if (Holds(w, offset, count)) {
            hit = &w;
            break;
        }
    }
    if (hit == nullptr) {
        hit = &LeastRecentlyUsed(cache);
        hit->start = offset;
        hit->length = uint32_t(ReadFileRange(file, offset, hit->bytes, kFileWindowSize));
    }
    hit->lastUse = ++cache->clock;
    const size_t available = size_t(hit->start) + hit->length - offset;
    const size_t n = std::min(count, available);
    std::memcpy(dst, hit->bytes + (offset - hit->start), n);
    return n;
}

}  // namespace kelmor
