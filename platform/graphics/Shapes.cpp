// Rectangles, ellipses, arcs, polygons and lines of the device context. Every rule here was
// read off reference images of the desktop interface (tests/platform/graphics/references).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Raster.h"

namespace gfx {

namespace {

__extension__ using Int128 = __int128;  // products of coordinates never overflow

// Wider pens and larger ellipses than these are clamped: nothing real comes near them, and
// the exact arithmetic below stays inside 128 bits.
constexpr int kMaxPenWidth = 1 << 15;
constexpr int kMaxEllipseSide = 1 << 20;

struct Vec {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

// Box edges beyond 2^30 are taken as 2^30 - 1: no surface comes near them, and every width
// and height stays within an int.
int Far(std::int64_t v) {
    constexpr std::int64_t kFar = (1 << 30) - 1;
    return static_cast<int>(std::clamp(v, -kFar, kFar));
}

// The desktop interface accepts boxes given right to left or bottom to top.
Rect Normalised(int left, int top, int right, int bottom) {
    return {Far(std::min(left, right)), Far(std::min(top, bottom)), Far(std::max(left, right)),
            Far(std::max(top, bottom))};
}

Rect Grown(const Rect& r, int by) {
    return {Far(std::int64_t{r.left} - by), Far(std::int64_t{r.top} - by),
            Far(std::int64_t{r.right} + by), Far(std::int64_t{r.bottom} + by)};
}

// The bounding box of some points, right column and bottom row included.
Rect BoundsOf(const Point* points, int count) {
    int left = points[0].x, top = points[0].y, right = points[0].x, bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        left = std::min(left, points[i].x);
        top = std::min(top, points[i].y);
        right = std::max(right, points[i].x);
        bottom = std::max(bottom, points[i].y);
    }
    return {Far(left), Far(top), Far(std::int64_t{right} + 1), Far(std::int64_t{bottom} + 1)};
}

// --- 1-px lines ----------------------------------------------------------------------------

// Calls f(x, y) for every pixel of the 1-pixel line from a to b, leaving b out, that lies
// inside `clip`. Steps whose major coordinate is outside the clip are skipped without a walk.
template <class F>
void ForEachLinePixel(Point a, Point b, const Rect& clip, F&& f) {
    const std::int64_t dx = std::int64_t{b.x} - a.x;
    const std::int64_t dy = std::int64_t{b.y} - a.y;
    const std::int64_t n = std::max(std::abs(dx), std::abs(dy));
    if (n == 0 || clip.IsEmpty()) {
        return;
    }
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const std::int64_t minorDelta = xMajor ? std::abs(dy) : std::abs(dx);
    const std::int64_t origin = xMajor ? a.x : a.y;
    const int step = xMajor ? sx : sy;
    const std::int64_t lo = xMajor ? clip.left : clip.top;
    const std::int64_t hi = (xMajor ? clip.right : clip.bottom) - 1;
    std::int64_t first = step > 0 ? lo - origin : origin - hi;
    std::int64_t last = step > 0 ? hi - origin : origin - lo;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, n - 1);
    const int minorSign = xMajor ? sy : sx;
    for (std::int64_t i = first; i <= last; ++i) {
        // The nearest minor coordinate; an exact tie takes the smaller coordinate whichever
        // way the line runs, so a line and its reverse paint the same pixels.
        const Int128 twice = Int128{2} * i * minorDelta;
        const auto minor = static_cast<std::int64_t>(
            minorSign > 0 ? (twice + n - 1) / (Int128{2} * n) : (twice + n) / (Int128{2} * n));
        const std::int64_t x = a.x + sx * (xMajor ? i : minor);
        const std::int64_t y = a.y + sy * (xMajor ? minor : i);
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) {
            f(static_cast<int>(x), static_cast<int>(y));
        }
    }
}

// --- Alternate fill ------------------------------------------------------------------------

// Calls span(y, x0, x1) for the pixels x0..x1-1 of each row of `rows` inside the polygon by
// the alternate (even-odd) rule. A pixel is inside when its centre is; an edge owns its upper
// end and not its lower one, and a crossing at x starts or ends a run at ceil(x), so the
// left and top edges of a shape are inside it and the right and bottom ones are not.
template <class Span>
void ForEachFillSpan(const Vec* points, int count, const Rect& rows, Span&& span) {
    std::vector<std::int64_t> crossings;
    for (int y = rows.top; y < rows.bottom; ++y) {
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            Vec p = points[i];
            Vec q = points[(i + 1) % count];
            if (p.y == q.y) {
                continue;
            }
            if (p.y > q.y) {
                std::swap(p, q);
            }
            if (y < p.y || y >= q.y) {
                continue;
            }
            const Int128 num = Int128{y - p.y} * (q.x - p.x);
            const std::int64_t den = q.y - p.y;
            // ceil(num / den) for den > 0.
            const Int128 ceil = num >= 0 ? (num + den - 1) / den : -((-num) / den);
            crossings.push_back(p.x + static_cast<std::int64_t>(ceil));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
            span(y, crossings[k], crossings[k + 1]);
        }
    }
}

// --- Ellipse outline -----------------------------------------------------------------------

// One quadrant of the outline of an ellipse whose outermost pixel centres lie a apart
// across and b apart up and down, in doubled coordinates about its centre (X grows right, Y
// up), from the rightmost point (a, b % 2) to the topmost (a % 2, b). Each step goes up,
// diagonally up and in, or in, to whichever of the three points lies nearest the curve
// b^2 X^2 + a^2 Y^2 = a^2 b^2 (the smallest |F|; ties in that order). The walk ends on the
// vertical axis, or when it would leave the top: a box much taller than wide leaves its top
// and bottom rows empty.
std::vector<Vec> EllipseQuadrant(std::int64_t a, std::int64_t b) {
    const Int128 aa = Int128{a} * a;
    const Int128 bb = Int128{b} * b;
    const auto error = [&](std::int64_t x, std::int64_t y) {
        const Int128 f = bb * x * x + aa * y * y - aa * bb;
        return f < 0 ? -f : f;
    };
    std::vector<Vec> quadrant;
    std::int64_t x = a;
    std::int64_t y = b % 2;
    while (x >= a % 2 && y <= b) {
        quadrant.push_back({x, y});
        if (x == a % 2) {
            break;
        }
        const Int128 up = error(x, y + 2);
        const Int128 diagonal = error(x - 2, y + 2);
        const Int128 in = error(x - 2, y);
        if (up <= diagonal && up <= in) {
            y += 2;
        } else if (diagonal <= in) {
            x -= 2;
            y += 2;
        } else {
            x -= 2;
        }
    }
    return quadrant;
}

// A point of an ellipse's outline with the quadrant it was mirrored into (0 upper right, 1
// upper left, 2 lower left, 3 lower right) and that quadrant's own centre pixel.
struct OutlinePoint {
    Point at;
    Point centre;
    int quadrant = 0;
};

// The 1-px outline of the ellipse in `box`, counter-clockwise on the screen from its
// rightmost upper point: the quadrant walk mirrored four times, each pixel once.
std::vector<OutlinePoint> EllipseOutline(const Rect& box) {
    const std::int64_t w = std::min(box.Width(), kMaxEllipseSide);
    const std::int64_t h = std::min(box.Height(), kMaxEllipseSide);
    const std::vector<Vec> q = EllipseQuadrant(w - 1, h - 1);
    // Doubled centre coordinates; every X and Y of the walk has their parity.
    const std::int64_t cx2 = 2 * std::int64_t{box.left} + w - 1;
    const std::int64_t cy2 = 2 * std::int64_t{box.top} + h - 1;
    const Point right{static_cast<int>(box.left + w / 2), 0};
    const int leftX = static_cast<int>(box.left + (w - 1) / 2);
    const int upperY = static_cast<int>(box.top + (h - 1) / 2);
    const int lowerY = static_cast<int>(box.top + h / 2);
    std::vector<OutlinePoint> loop;
    loop.reserve(4 * q.size());
    const auto add = [&](std::int64_t x2, std::int64_t y2, Point centre, int quadrant) {
        const Point at{static_cast<int>(x2 / 2), static_cast<int>(y2 / 2)};
        if (loop.empty() || !(loop.back().at == at)) {
            loop.push_back({at, centre, quadrant});
        }
    };
    for (const Vec& v : q) {
        add(cx2 + v.x, cy2 - v.y, {right.x, upperY}, 0);
    }
    for (auto it = q.rbegin(); it != q.rend(); ++it) {
        add(cx2 - it->x, cy2 - it->y, {leftX, upperY}, 1);
    }
    for (const Vec& v : q) {
        add(cx2 - v.x, cy2 + v.y, {leftX, lowerY}, 2);
    }
    for (auto it = q.rbegin(); it != q.rend(); ++it) {
        add(cx2 + it->x, cy2 + it->y, {right.x, lowerY}, 3);
    }
    if (loop.size() > 1 && loop.front().at == loop.back().at) {
        loop.pop_back();
    }
    return loop;
}

// The leftmost and rightmost outline pixel of each row, indexed from box.top.
std::vector<Span> OutlineRows(const std::vector<OutlinePoint>& loop, const Rect& box) {
    std::vector<Span> rows(static_cast<std::size_t>(std::min(box.Height(), kMaxEllipseSide)),
                           Span{1, 0});
    for (const OutlinePoint& p : loop) {
        Span& row = rows[static_cast<std::size_t>(p.at.y - box.top)];
        if (row.x0 > row.x1) {
            row = {p.at.x, p.at.x};
        } else {
            row = {std::min(row.x0, p.at.x), std::max(row.x1, p.at.x)};
        }
    }
    return rows;  // inclusive ends; x0 > x1 where a row has no outline pixel
}

// --- Directions ----------------------------------------------------------------------------

// Compares the counter-clockwise angles, in [0, 2 pi), of two directions with y pointing
// up. A "wrapped" direction lies at 2 pi itself, after every other.
int CompareAngles(Vec u, bool uWrapped, Vec v, bool vWrapped) {
    const auto region = [](Vec d, bool wrapped) {
        if (wrapped) {
            return 4;
        }
        if (d.x > 0 && d.y >= 0) {
            return 0;
        }
        if (d.x <= 0 && d.y > 0) {
            return 1;
        }
        if (d.x < 0 && d.y <= 0) {
            return 2;
        }
        return d.y < 0 ? 3 : 0;  // the zero vector reads as angle 0
    };
    const int ru = region(u, uWrapped);
    const int rv = region(v, vWrapped);
    if (ru != rv) {
        return ru < rv ? -1 : 1;
    }
    if (ru == 4) {
        return 0;
    }
    const Int128 cross = Int128{u.x} * v.y - Int128{u.y} * v.x;
    return cross > 0 ? -1 : cross < 0 ? 1 : 0;
}

// The index of the outline point where an arc towards `direction` (from the box's centre
// pixel) begins or ends: the first point, counter-clockwise from the rightmost upper one,
// at or past the direction, each point's own direction taken from its quadrant's centre.
// In the lower half (past pi) a point exactly on the direction does not count yet. A
// point of the lower right quadrant on the horizontal axis lies at 2 pi. loop.size() when
// no point is far enough.
std::size_t ArcIndex(const std::vector<OutlinePoint>& loop, Vec direction, bool wrapped) {
    const bool strict = wrapped || direction.y < 0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const OutlinePoint& p = loop[i];
        const Vec d{p.at.x - p.centre.x, p.centre.y - p.at.y};
        const bool atTwoPi = p.quadrant == 3 && d.y == 0 && d.x > 0;
        const int c = CompareAngles(d, atTwoPi, direction, wrapped);
        if (strict ? c > 0 : c >= 0) {
            return i;
        }
    }
    return loop.size();
}

// --- Wide pens -----------------------------------------------------------------------------

// The rows of a wide pen's dot: the filled w x w ellipse with its top-left at (-w/2, -w/2)
// (w = 3 is a plus, even widths lean up and left; below 3 a square). Spans are inclusive.
std::vector<Span> DotRows(int w) {
    if (w < 3) {
        return std::vector<Span>(static_cast<std::size_t>(w), Span{0, w - 1});
    }
    const Rect box{0, 0, w, w};
    return OutlineRows(EllipseOutline(box), box);
}

// DotRows of the last width asked for on this thread: a wide pen's dot takes a walk of its
// whole outline, which the strokes of one pen (a frame's four lines) need only once.
const std::vector<Span>& LastDotRows(int w) {
    thread_local int width = -1;
    thread_local std::vector<Span> rows;
    if (w != width) {
        rows = DotRows(w);
        width = w;
    }
    return rows;
}

// Smallest k >= 0 with (2k + offset) sqrt(s) >= num, for num >= 0: ceilings of
// num / (2 sqrt(s)) shifted by half a step, exactly.
std::int64_t CeilHalfSteps(Int128 num, Int128 s, int offset) {
    const long double estimate =
        (static_cast<long double>(num) / std::sqrt(static_cast<long double>(s)) - offset) / 2;
    std::int64_t k = std::max<std::int64_t>(0, static_cast<std::int64_t>(estimate) - 2);
    const auto reaches = [&](std::int64_t k) {
        const Int128 m = 2 * Int128{k} + offset;
        return m >= 0 && m * m * s >= num * num;
    };
    while (!reaches(k)) {
        ++k;
    }
    while (k > 0 && reaches(k - 1)) {
        --k;
    }
    return k;
}

// Marks a wide pen's stroke from a to b: the dots at both ends and the body between them, a
// quadrilateral whose long sides lie half the width from the centre line. The exact offset
// (w/2) n, for the unit normal n on the side where x (for a horizontal line y) grows, is
// rounded away from the line on that side and to the nearest (halves up) on the other, so
// a horizontal or vertical line is w pixels across from y - w/2 (x - w/2) and a 45-degree
// line of width 3 is 6 pixels wide in each row.
class Stroke {
public:
    Stroke(Coverage& coverage, int width)
        : coverage_(coverage), width_(std::min(width, kMaxPenWidth)), dot_(LastDotRows(width_)) {}

    // Only the dot's rows inside the coverage box are marked: a pen far wider than the
    // surface costs what the surface costs.
    void Dot(Point c) {
        const std::int64_t left = std::int64_t{c.x} - width_ / 2;
        const std::int64_t top = std::int64_t{c.y} - width_ / 2;
        const Rect& box = coverage_.Box();
        const auto first = static_cast<std::size_t>(
            std::clamp<std::int64_t>(box.top - top, 0, static_cast<std::int64_t>(dot_.size())));
        const auto end = static_cast<std::size_t>(
            std::clamp<std::int64_t>(box.bottom - top, 0, static_cast<std::int64_t>(dot_.size())));
        for (std::size_t i = first; i < end; ++i) {
            coverage_.MarkStroke(static_cast<int>(top + static_cast<std::int64_t>(i)),
                                 left + dot_[i].x0, left + dot_[i].x1 + 1);
        }
    }

    void Segment(Point a, Point b) {
        Dot(a);
        Dot(b);
        const std::int64_t dx = std::int64_t{b.x} - a.x;
        const std::int64_t dy = std::int64_t{b.y} - a.y;
        if (dx == 0 && dy == 0) {
            return;
        }
        Vec normal{-dy, dx};
        if (normal.x < 0 || (normal.x == 0 && normal.y < 0)) {
            normal = {-normal.x, -normal.y};
        }
        const Int128 lengthSquared = Int128{dx} * dx + Int128{dy} * dy;
        // For a normal component u the exact offset is w u / (2 L).
        const auto away = [&](std::int64_t u) {
            const std::int64_t k = CeilHalfSteps(Int128{width_} * std::abs(u), lengthSquared, 0);
            return u < 0 ? -k : k;
        };
        const auto nearest = [&](std::int64_t u) {  // of the negated offset, halves up
            if (u > 0) {
                return -CeilHalfSteps(Int128{width_} * u, lengthSquared, 1);
            }
            // floor(v + 1/2) for v = w |u| / (2 L): one below the first k with (2k - 1) L > w |u|.
            const Int128 num = Int128{width_} * -u;
            std::int64_t k = CeilHalfSteps(num, lengthSquared, -1);
            const Int128 m = 2 * Int128{k} - 1;
            return m * m * lengthSquared > num * num ? k - 1 : k;
        };
        const Vec near{away(normal.x), away(normal.y)};
        const Vec far{nearest(normal.x), nearest(normal.y)};
        const Vec body[] = {{a.x + near.x, a.y + near.y},
                            {b.x + near.x, b.y + near.y},
                            {b.x + far.x, b.y + far.y},
                            {a.x + far.x, a.y + far.y}};
        ForEachFillSpan(body, 4, coverage_.Box(), [&](int y, std::int64_t x0, std::int64_t x1) {
            coverage_.MarkStroke(y, x0, x1);
        });
    }

private:
    Coverage& coverage_;
    int width_;
    std::vector<Span> dot_;
};

// How far outside its points a wide pen reaches.
int Reach(int width) {
    return std::min(width, kMaxPenWidth) / 2 + 2;
}

}  // namespace

// A Rectangle's pen strokes the closed path through its outermost pixel centres, so a 1-px
// pen covers the box's edge pixels (a 1 x 1 box paints nothing) and a wider pen reaches
// (w - 1) / 2 outside the box with round corners. The brush covers the box without its
// last row and column, less the pen.
void DeviceContext::Rectangle(int left, int top, int right, int bottom) {
    const Rect box = Normalised(left, top, right, bottom);
    const int width = pen_->Width();
    if (box.IsEmpty() || (width <= 1 && box.Width() == 1 && box.Height() == 1)) {
        return;
    }
    if (width <= 1) {
        // The ring of edge pixels and the brush inside it never overlap, so each is one block
        // fill (the whole box when both have one colour).
        const Colour pen = pen_->GetColour();
        const Colour brush = brush_->GetColour();
        const Rect inner{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
        if (inner.IsEmpty() || (pen == brush && rop2_ != R2_XORPEN)) {
            FillBlock(box, pen);
            return;
        }
        FillBlock({box.left, box.top, box.right, inner.top}, pen);
        FillBlock({box.left, inner.top, inner.left, inner.bottom}, pen);
        FillBlock(inner, brush);
        FillBlock({inner.right, inner.top, box.right, inner.bottom}, pen);
        FillBlock({box.left, inner.bottom, box.right, box.bottom}, pen);
        return;
    }
    Coverage coverage(Grown(box, Reach(width)).Intersect(SurfaceRect()));
    if (coverage.Box().IsEmpty()) {
        return;
    }
    Stroke stroke(coverage, width);
    const Point corners[] = {{box.left, box.top},
                             {box.right - 1, box.top},
                             {box.right - 1, box.bottom - 1},
                             {box.left, box.bottom - 1}};
    for (int i = 0; i < 4; ++i) {
        stroke.Segment(corners[i], corners[(i + 1) % 4]);
    }
    // Only the rows inside the coverage box: a box far taller than the surface costs what the
    // surface costs.
    const int lastRow = std::min(box.bottom - 1, coverage.Box().bottom);
    for (int y = std::max(box.top, coverage.Box().top); y < lastRow; ++y) {
        coverage.MarkBrush(y, box.left, box.right - 1);
    }
    Paint(coverage);
}

// An Ellipse is the 1-px outline of EllipseOutline, stroked by a wider pen as a closed path
// as a Rectangle is; its brush fills each row between the row's outermost outline pixels
// (under a 1-px outline, as XOR shows; less a wider pen). A box less than 3 pixels wide or
// high is drawn as a Rectangle.
void DeviceContext::Ellipse(int left, int top, int right, int bottom) {
    const Rect box = Normalised(left, top, right, bottom);
    if (box.Width() < 3 || box.Height() < 3) {
        Rectangle(box);
        return;
    }
    const int width = pen_->Width();
    Coverage coverage(Grown(box, width <= 1 ? 0 : Reach(width)).Intersect(SurfaceRect()));
    if (coverage.Box().IsEmpty()) {
        return;
    }
    const std::vector<OutlinePoint> loop = EllipseOutline(box);
    const std::vector<Span> rows = OutlineRows(loop, box);
    if (width <= 1) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            coverage.MarkBrush(box.top + static_cast<int>(i), rows[i].x0,
                               std::int64_t{rows[i].x1} + 1);
        }
        for (const OutlinePoint& p : loop) {
            coverage.MarkLine(p.at.x, p.at.y);
        }
    } else {
        Stroke stroke(coverage, width);
        for (std::size_t i = 0; i < loop.size(); ++i) {
            stroke.Segment(loop[i].at, loop[(i + 1) % loop.size()].at);
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            coverage.MarkBrush(box.top + static_cast<int>(i), std::int64_t{rows[i].x0} + 1,
                               rows[i].x1);
        }
    }
    Paint(coverage);
}

// An Arc runs over Ellipse's outline points, counter-clockwise from the point ArcIndex
// gives for the start direction up to two points short of the one it gives for the end
// direction (a whole arc, start equal to end, leaves out the one point just clockwise of
// its start). Directions are taken from the box's centre pixel (left + w/2, top + h/2). An
// end direction exactly along the x axis lies at 2 pi, after every point; when the outline
// has a point on that axis, the loop closes with it once more, so such an arc ends one
// point later. The points form a polyline: a 1-px pen leaves its last point out, a wider
// pen strokes all of them.
void DeviceContext::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    const Rect box = Normalised(left, top, right, bottom);
    const int width = pen_->Width();
    // Clipped before the outline is walked: an arc off the surface costs nothing.
    const Rect clip = Grown(box, width <= 1 ? 0 : Reach(width)).Intersect(SurfaceRect());
    if (box.IsEmpty() || clip.IsEmpty()) {
        return;
    }
    const std::vector<OutlinePoint> loop = EllipseOutline(box);
    const std::size_t n = loop.size();
    const std::int64_t cx = box.left + box.Width() / 2;
    const std::int64_t cy = box.top + box.Height() / 2;
    const Vec start{x1 - cx, cy - y1};
    const Vec end{x2 - cx, cy - y2};
    const bool endWrapped = end.y == 0 && end.x >= 0;
    const std::size_t first = ArcIndex(loop, start, false) % n;
    std::size_t stop = ArcIndex(loop, end, endWrapped);
    if (endWrapped && box.Height() % 2 == 1) {
        ++stop;
    }
    const std::size_t count = stop > first + 1 ? stop - first - 1 : stop + n - first - 1;
    if (width <= 1) {
        const Colour pen = pen_->GetColour();
        for (std::size_t k = 0; k < count; ++k) {
            const Point p = loop[(first + k) % n].at;
            PaintPixel(p.x, p.y, pen);
        }
        return;
    }
    Coverage coverage(clip);
    Stroke stroke(coverage, width);
    stroke.Dot(loop[first].at);
    for (std::size_t k = 0; k < std::min(count, n - 1); ++k) {
        stroke.Segment(loop[(first + k) % n].at, loop[(first + k + 1) % n].at);
    }
    Paint(coverage);
}

// A Polygon's brush fills by the alternate rule (ForEachFillSpan); its outline is the closed
// path through the points, as 1-px lines (a pixel two edges pass is inverted twice in XOR
// mode) or stroked by a wider pen.
void DeviceContext::Polygon(const Point* points, int count) {
    if (!points || count < 2) {
        return;
    }
    const int width = pen_->Width();
    Coverage coverage(
        Grown(BoundsOf(points, count), width <= 1 ? 0 : Reach(width)).Intersect(SurfaceRect()));
    const Rect& box = coverage.Box();
    if (box.IsEmpty()) {
        return;
    }
    std::vector<Vec> vertices(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        vertices[static_cast<std::size_t>(i)] = {points[i].x, points[i].y};
    }
    if (width > 1) {
        Stroke stroke(coverage, width);
        for (int i = 0; i < count; ++i) {
            stroke.Segment(points[i], points[(i + 1) % count]);
        }
    }
    ForEachFillSpan(vertices.data(), count, box, [&](int y, std::int64_t x0, std::int64_t x1) {
        coverage.MarkBrush(y, x0, x1);
    });
    if (width <= 1) {
        for (int i = 0; i < count; ++i) {
            ForEachLinePixel(points[i], points[(i + 1) % count], box,
                             [&](int x, int y) { coverage.MarkLine(x, y); });
        }
    }
    Paint(coverage);
}

// A 1-px line leaves out its end point; a wider one is a Stroke segment, both ends included.
void DeviceContext::LineTo(int x, int y) {
    const Point from = std::exchange(pos_, Point{x, y});
    const Rect surface = SurfaceRect();
    if (surface.IsEmpty()) {
        return;
    }
    const int width = pen_->Width();
    if (width <= 1) {
        const Colour pen = pen_->GetColour();
        ForEachLinePixel(from, pos_, surface, [&](int px, int py) { PaintPixel(px, py, pen); });
        return;
    }
    const Point ends[] = {from, pos_};
    Coverage coverage(Grown(BoundsOf(ends, 2), Reach(width)).Intersect(surface));
    if (coverage.Box().IsEmpty()) {
        return;
    }
    Stroke stroke(coverage, width);
    stroke.Segment(from, pos_);
    Paint(coverage);
}

}  // namespace gfx
