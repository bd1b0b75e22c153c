// Fixed-point arithmetic, directions, UTF-8 and the small sorts the
// auto-hinter's measurements use.
#include <cstdint>
#include <limits>

#include "ttf/autohint/autohint_hints.h"

namespace kelmor {
namespace autohint {

namespace {

// Splits a signed value into magnitude and sign, so that the divisions
// below round magnitudes (halves away from zero) as the reference does.
uint64_t Magnitude(int64_t value, int *sign) {
    if (value < 0) {
        *sign = -*sign;
        return uint64_t(0) - uint64_t(value);
    }
    return uint64_t(value);
}

int32_t Signed(uint64_t magnitude, int sign) {
    // Results too large for 32 bits only come from absurd inputs (a scale
    // near zero); they are clamped instead of wrapping.
    const uint64_t limit = uint64_t(std::numeric_limits<int32_t>::max());
    int64_t value = int64_t(magnitude > limit ? limit : magnitude);
    return int32_t(sign < 0 ? -value : value);
}

}  // namespace

int32_t DivFix(int32_t a, int32_t b) {
    int sign = 1;
    uint64_t ua = Magnitude(a, &sign);
    uint64_t ub = Magnitude(b, &sign);
    uint64_t q = ub > 0 ? ((ua << 16) + (ub >> 1)) / ub : 0x7FFFFFFFu;
    return Signed(q, sign);
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    int sign = 1;
    uint64_t ua = Magnitude(a, &sign);
    uint64_t ub = Magnitude(b, &sign);
    uint64_t uc = Magnitude(c, &sign);
    uint64_t d = uc > 0 ? (ua * ub + (uc >> 1)) / uc : 0x7FFFFFFFu;
    return Signed(d, sign);
}

int32_t MulDivNoRound(int32_t a, int32_t b, int32_t c) {
    int sign = 1;
    uint64_t ua = Magnitude(a, &sign);
    uint64_t ub = Magnitude(b, &sign);
    uint64_t uc = Magnitude(c, &sign);
    uint64_t d = uc > 0 ? ua * ub / uc : 0x7FFFFFFFu;
    return Signed(d, sign);
}

Direction ComputeDirection(int32_t dx, int32_t dy) {
    // The long arm decides the candidate; the vector has that direction
    // only when the long arm is more than 14 times the short one (about
    // 4 degrees off the axis at most).
    int64_t longArm;
    int64_t shortArm;
    Direction dir;
    if (dy >= dx) {
        if (dy >= -int64_t(dx)) {
            dir = kDirUp;
            longArm = dy;
            shortArm = dx;
        } else {
            dir = kDirLeft;
            longArm = -int64_t(dx);
            shortArm = dy;
        }
    } else {
        if (dy >= -int64_t(dx)) {
            dir = kDirRight;
            longArm = dx;
            shortArm = dy;
        } else {
            dir = kDirDown;
            longArm = -int64_t(dy);
            shortArm = dx;
        }
    }
    if (shortArm < 0) shortArm = -shortArm;
    return longArm <= 14 * shortArm ? kDirNone : dir;
}

uint32_t NextUtf8(const char *text, size_t *pos) {
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text) + *pos;
    uint32_t ch = *p;
    if (ch == 0) return 0;
    ++p;
    if (ch >= 0x80) {
        int more;
        if (ch < 0xE0) {
            more = 1;
            ch &= 0x1F;
        } else if (ch < 0xF0) {
            more = 2;
            ch &= 0x0F;
        } else {
            more = 3;
            ch &= 0x07;
        }
        // The strings are our own tables, but a cut sequence must not run
        // past the terminating zero.
        for (; more > 0 && *p != 0; --more) ch = (ch << 6) | (*p++ & 0x3F);
    }
    *pos = size_t(p - reinterpret_cast<const unsigned char *>(text));
    return ch;
}

void SortPositions(uint32_t count, int32_t *table) {
    for (uint32_t i = 1; i < count; ++i) {
        for (uint32_t j = i; j > 0 && table[j] < table[j - 1]; --j) {
            int32_t swap = table[j];
            table[j] = table[j - 1];
            table[j - 1] = swap;
        }
    }
}

void SortAndQuantizeWidths(uint32_t *count, Width *table, int32_t threshold) {
    if (*count == 1) return;
    for (uint32_t i = 1; i < *count; ++i) {
        for (uint32_t j = i; j > 0 && table[j].org < table[j - 1].org; --j) {
            Width swap = table[j];
            table[j] = table[j - 1];
            table[j - 1] = swap;
        }
    }
    // Clusters of widths no further apart than `threshold` become their
    // mean, kept in the cluster's first slot; the other slots are zeroed
    // and squeezed out below.
    uint32_t clusterStart = 0;
    int32_t clusterValue = table[0].org;
    for (uint32_t i = 1; i < *count; ++i) {
        if (table[i].org - clusterValue > threshold || i == *count - 1) {
            if (table[i].org - clusterValue <= threshold && i == *count - 1) ++i;
            int64_t sum = 0;
            uint32_t j = clusterStart;
            for (; j < i; ++j) {
                sum += table[j].org;
                table[j].org = 0;
            }
            table[clusterStart].org = int32_t(sum / int64_t(j));
            if (i < *count - 1) {
                clusterStart = i + 1;
                clusterValue = table[clusterStart].org;
            }
        }
    }
    // Note that an empty table comes out with one (zero) width, as it
    // does in the reference: the first slot is always kept.
    uint32_t kept = 1;
    for (uint32_t i = 1; i < *count; ++i) {
        if (table[i].org) table[kept++] = table[i];
    }
    *count = kept;
}

bool ScaleZone(Width *ref, Width *shoot, uint32_t *flags, int32_t scale, int32_t delta, int32_t *height) {
    ref->cur = MulFix(ref->org, scale) + delta;
    ref->fit = ref->cur;
    shoot->cur = MulFix(shoot->org, scale) + delta;
    shoot->fit = shoot->cur;
    *flags &= ~kBlueActive;
    *height = MulFix(ref->org - shoot->org, scale);
    return *height <= 48 && *height >= -48;
}

}  // namespace autohint
}  // namespace kelmor
