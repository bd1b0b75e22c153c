// The walk over a glyph's contours that both scan modes share: implied
// on-curve points are put back between consecutive control points, and each
// contour is handed on as a move, straight edges and quadratic arcs.
//
// A Sink turns the outline's points into its own point type and receives
// the pieces:
//   using Point = ...;
//   Point From(const longpointtype &p);         a point of the outline
//   Point Mid(const Point &a, const Point &b);  an implied on-curve point
//   void MoveTo(const Point &p);                starts a contour
//   void LineTo(const Point &p);
//   void CurveTo(const Point arc[3]);           start, control, end
//   void ClosedBackToFirstPoint();              the contour began off the
//                                               curve, and its last arc ran
//                                               through its first point
#ifndef KELMOR_TTF_RASTER_CONTOUR_WALK_H
#define KELMOR_TTF_RASTER_CONTOUR_WALK_H

#include <algorithm>
#include <cstdint>

#include "ttf/records/ttf_records.h"

namespace kelmor {

// The walk of one contour.  Drawing starts at the first on-curve point, real
// or implied; a contour that begins off the curve keeps that first control
// point (push[0]) and the point where drawing began (push[1]) to close with.
template <class Sink>
class ContourWalk {
public:
    using Point = typename Sink::Point;

    explicit ContourWalk(Sink &sink) : sink_(sink) {}

    void Visit(const longpointtype &at, bool onCurve) {
        const Point P = sink_.From(at);
        if (onCurve)
            OnCurve(P);
        else
            OffCurve(P);
        if (first_) firstPt_ = P;
        first_ = false;
    }

    void Close() {
        if (Pushed_ == 2) {
            if (PrevOffCurve_ == 1) {
                p_[2] = sink_.Mid(p_[1], push_[0]);
                sink_.CurveTo(p_);
                p_[0] = p_[2];
            }
            p_[1] = push_[0];
            p_[2] = push_[1];
            sink_.CurveTo(p_);
            sink_.ClosedBackToFirstPoint();
        } else if (PrevOffCurve_ == 1) {
            p_[2] = firstPt_;
            sink_.CurveTo(p_);
        } else {
            sink_.LineTo(firstPt_);
        }
    }

private:
    void OnCurve(const Point &P) {
        p_[2] = P;
        if (PrevOffCurve_ == 1) {
            sink_.CurveTo(p_);
        } else if (PrevOffCurve_ == 2) {
            BeginDrawingAt(P);
        } else if (first_) {
            sink_.MoveTo(P);
        } else {
            sink_.LineTo(P);
        }
        p_[0] = P;
        PrevOffCurve_ = 0;
    }

    void OffCurve(const Point &P) {
        if (first_) {
            push_[0] = P;
            ++Pushed_;
            PrevOffCurve_ = 2;
            return;
        }
        if (PrevOffCurve_ == 1) {
            p_[2] = sink_.Mid(p_[1], P);
            sink_.CurveTo(p_);
            p_[0] = p_[2];
        } else if (PrevOffCurve_ == 2) {
            p_[0] = sink_.Mid(push_[0], P);
            BeginDrawingAt(p_[0]);
        }
        p_[1] = P;
        PrevOffCurve_ = 1;
    }

    void BeginDrawingAt(const Point &P) {
        push_[1] = P;
        ++Pushed_;
        sink_.MoveTo(P);
    }

    Sink &sink_;
    Point p_[3] = {};
    Point push_[2] = {};
    Point firstPt_ = {};
    int PrevOffCurve_ = 0;
    int Pushed_ = 0;
    bool first_ = true;
};

// Walks every contour of an outline.  Each point's Prev takes its Cur: the
// hinted position is what gets drawn.
template <class Sink>
void WalkOutline(unsigned NumContours, const int16_t *lpEndPoints, TTFCoord *lpStart, Sink &sink) {
    int ThisPoint = 0;
    for (unsigned k = 0; k < NumContours; ++k) {
        const int EndPoint = lpEndPoints[k];
        if (EndPoint < ThisPoint) {
            // Out of order: this contour is empty; the next one still starts
            // after this end, but never before the first point.
            ThisPoint = std::max(0, EndPoint + 1);
            continue;
        }
        ContourWalk<Sink> walk(sink);
        for (int i = ThisPoint; i <= EndPoint; ++i) {
            TTFCoord &pt = lpStart[i];
            pt.Prev = pt.Cur;
            if (EndPoint > ThisPoint) walk.Visit(pt.Prev, (pt.Flags & kOnCurve) != 0);
        }
        // A one-point contour draws nothing and leaves no open path behind.
        if (EndPoint > ThisPoint) walk.Close();
        ThisPoint = EndPoint + 1;
    }
}

}  // namespace kelmor

#endif
