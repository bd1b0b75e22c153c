// Fitting the Latin metrics to a size: the x-height on the pixel grid, the
// standard widths scaled, the blue zones scaled and rounded.
#include <algorithm>
#include <cstdlib>

#include "ttf/autohint/autohint_latin.h"

namespace kelmor {
namespace autohint {
namespace {

const LatinBlue *XHeightZone(const LatinAxis &vertical) {
    for (uint32_t i = 0; i < vertical.blueCount; ++i) {
        if (vertical.blues[i].flags & kLatinBlueAdjustment) return &vertical.blues[i];
    }
    return nullptr;
}

// The y scale that puts the x-height (its overshoot) on a pixel boundary:
// rounded up when it is at least 24/64 pixel past one (more often up when
// the "increase x-height" option covers this size), else down.  The
// change is given up when it would move the tallest point of the style by
// two pixels or more.
int32_t XHeightAlignedScale(const LatinMetrics &metrics, int32_t scale) {
    const LatinAxis &vertical = metrics.axis[kDimVert];
    const LatinBlue *xHeight = XHeightZone(vertical);
    if (xHeight == nullptr) return scale;
    const int32_t scaled = MulFix(xHeight->shoot.org, scale);
    const uint32_t limit = metrics.globals != nullptr ? metrics.globals->increaseXHeight : 0;
    const uint32_t ppem = metrics.scaler.xPpem;
    constexpr uint32_t kIncreaseXHeightMinPpem = 6;
    const int32_t threshold = (limit != 0 && ppem <= limit && ppem >= kIncreaseXHeightMinPpem) ? 52 : 40;
    const int32_t fitted = PixFloor(scaled + threshold);
    if (scaled == fitted) return scale;
    const int32_t newScale = MulDiv(scale, fitted, scaled);
    int32_t maxHeight = int32_t(metrics.unitsPerEm);
    for (uint32_t i = 0; i < vertical.blueCount; ++i) {
        maxHeight = std::max(maxHeight, vertical.blues[i].ascender);
        maxHeight = std::max(maxHeight, -vertical.blues[i].descender);
    }
    const int32_t moved = std::abs(MulFix(maxHeight, int32_t(int64_t(newScale) - scale)));
    return (moved & ~127) == 0 ? newScale : scale;
}

// A zone no taller than 3/4 pixel is active: its reference is rounded to
// the grid and its overshoot kept 0, 1/2 or 1 pixel from it (from the
// zone's scaled height).
void FitZone(LatinBlue *zone, int32_t scale, int32_t delta) {
    int32_t height = 0;
    if (!ScaleZone(&zone->ref, &zone->shoot, &zone->flags, scale, delta, &height)) return;
    const int32_t size = std::abs(height);
    int32_t overshoot = size < 32 ? 0 : size < 48 ? 32 : 64;
    if (height < 0) overshoot = -overshoot;
    zone->ref.fit = PixRound(zone->ref.cur);
    zone->shoot.fit = zone->ref.fit - overshoot;
    zone->flags |= kBlueActive;
}

// A sub-top zone (the tops of superscript-like forms) that overlaps another
// active zone would pull edges like a neutral zone would: it is switched
// off.
void DropOverlappingSubTopZones(LatinAxis *axis) {
    for (uint32_t i = 0; i < axis->blueCount; ++i) {
        LatinBlue &sub = axis->blues[i];
        if (!(sub.flags & kLatinBlueSubTop) || !(sub.flags & kBlueActive)) continue;
        for (uint32_t j = 0; j < axis->blueCount; ++j) {
            const LatinBlue &other = axis->blues[j];
            if ((other.flags & kLatinBlueSubTop) || !(other.flags & kBlueActive)) continue;
            if (other.ref.fit <= sub.shoot.fit && other.shoot.fit >= sub.ref.fit) {
                sub.flags &= ~kBlueActive;
                break;
            }
        }
    }
}

}  // namespace

void ScaleLatinAxis(LatinMetrics *metrics, const Scaler &scaler, Dimension dim) {
    int32_t scale = dim == kDimHorz ? scaler.xScale : scaler.yScale;
    const int32_t delta = dim == kDimHorz ? scaler.xDelta : scaler.yDelta;
    LatinAxis &axis = metrics->axis[dim];
    if (axis.orgScale == scale && axis.orgDelta == delta) return;
    axis.orgScale = scale;
    axis.orgDelta = delta;
    // Only the y scale follows the x-height.
    if (dim == kDimVert) scale = XHeightAlignedScale(*metrics, scale);
    axis.scale = scale;
    axis.delta = delta;
    if (dim == kDimHorz) {
        metrics->scaler.xScale = scale;
        metrics->scaler.xDelta = delta;
    } else {
        metrics->scaler.yScale = scale;
        metrics->scaler.yDelta = delta;
    }
    for (uint32_t i = 0; i < axis.widthCount; ++i) {
        axis.widths[i].cur = MulFix(axis.widths[i].org, scale);
        axis.widths[i].fit = axis.widths[i].cur;
    }
    // Thinner than 5/8 pixel: such stems are left as they are.
    axis.extraLight = MulFix(axis.standardWidth, scale) < 32 + 8;
    if (dim != kDimVert) return;
    for (uint32_t i = 0; i < axis.blueCount; ++i) FitZone(&axis.blues[i], scale, delta);
    DropOverlappingSubTopZones(&axis);
}

}  // namespace autohint
}  // namespace kelmor
