#include "raster_canvas.h"

#include <algorithm>

namespace kelmor_test {

using namespace kelmor;

Canvas::Canvas(int xMinMult, int yMinMult, int xMaxMult, int yMaxMult) {
    S.xMinMult = xMinMult;
    S.yMinMult = yMinMult;
    S.xMaxMult = xMaxMult;
    S.yMaxMult = yMaxMult;
    const int vLines = yMaxMult - yMinMult + 1;
    InitScanBuffer(&S, uint32_t(2 * vLines + 1), MaxTransitions);
    InitlpChar(&BM, xMaxMult - xMinMult + 1, vLines);
    ZapScanBuffer(&S);
    ZapBitMap(&BM);
}

Canvas::~Canvas() {
    FreeScanBuffer(&S);
    FreelpChar(&BM);
}

void Canvas::Polygon(const std::vector<Pt> &points) {
    AddLineSeg(&S, points[0].first, points[0].second, 1);
    for (size_t i = 1; i < points.size(); ++i)
        AddLineSeg(&S, points[i].first, points[i].second, 0);
    AddLineSeg(&S, points[0].first, points[0].second, 0);
}

std::vector<int32_t> Canvas::Row(uint32_t row) const {
    std::vector<int32_t> slots;
    const int32_t *p = S.ScanBuffer + size_t(row) * S.ScanDepth;
    for (uint32_t i = 0; i < S.ScanDepth && p[i] != 0; ++i) slots.push_back(p[i]);
    return slots;
}

std::vector<std::vector<std::pair<int64_t, bool>>> Canvas::SortedCrossings() const {
    std::vector<std::vector<std::pair<int64_t, bool>>> rows;
    for (uint32_t r = 0; r < S.ScanLines; ++r) {
        std::vector<std::pair<int64_t, bool>> row;
        for (int32_t slot : Row(r)) row.emplace_back(CrossingX(slot), CrossingUpward(slot));
        std::sort(row.begin(), row.end());
        rows.push_back(row);
    }
    return rows;
}

bool Canvas::Ink(int column, int rowFromBottom) const {
    const uint8_t *row = BM.lpChar + size_t(BM.CharVLines - 1 - rowFromBottom) * BM.CharHBytes;
    return (row[column >> 3] & (0x80 >> (column & 7))) != 0;
}

std::vector<std::string> Canvas::Picture() const {
    std::vector<std::string> lines;
    for (int y = BM.CharVLines - 1; y >= 0; --y) {
        std::string line;
        for (int x = 0; x < BM.CharHPixels; ++x) line += Ink(x, y) ? '#' : '.';
        lines.push_back(line);
    }
    return lines;
}

ExactCanvas::~ExactCanvas() {
    FreeScanBuffer(&S);
    FreelpChar(&BM);
}

void ExactCanvas::Scan(const std::vector<std::vector<OutlinePt>> &contours, uint8_t dropout,
                       int ppem) {
    std::vector<TTFCoord> points;
    std::vector<int16_t> ends;
    for (const auto &contour : contours) {
        for (const OutlinePt &p : contour) {
            TTFCoord c{};
            c.Cur = {p.x, p.y};
            c.Flags = p.on ? kOnCurve : 0;
            points.push_back(c);
        }
        ends.push_back(int16_t(points.size() - 1));
    }
    ZapBitMap(&BM);
    S.Dropout = dropout;
    S.Ppem = ppem;
    ScanOutlineExactly(&S, unsigned(ends.size()), ends.data(), points.data(), &BM);
}

std::vector<std::string> ExactCanvas::Picture(int left, int bottom, int right, int top) const {
    std::vector<std::string> lines;
    for (int y = top - 1; y >= bottom; --y) {
        std::string line;
        for (int x = left; x < right; ++x) line += BM.FitsInk && PixelIsSet(BM, x, y) ? '#' : '.';
        lines.push_back(line);
    }
    return lines;
}

}  // namespace kelmor_test
