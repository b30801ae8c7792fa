// Rectangles, ellipses, arcs, polygons and lines of the device context.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Raster.h"

namespace gfx {

namespace {

__extension__ using Int128 = __int128;  // a line's step arithmetic never overflows

Span Intersect(Span a, Span b) {
    return {std::max(a.x0, b.x0), std::min(a.x1, b.x1)};
}

// The desktop interface accepts boxes given right to left or bottom to top.
Rect Normalised(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
}

// Row y of the ellipse inscribed in `box` (whose right column and bottom row lie outside it,
// as for every Rect). A pixel belongs to the ellipse when its centre does. The test runs in
// doubled coordinates about the box centre and depends only on |dx| and |dy|, so the shape
// is mirror-symmetric in both axes.
Span EllipseSpan(const Rect& box, int y) {
    if (box.IsEmpty() || y < box.top || y >= box.bottom) {
        return {};
    }
    const long double w = box.Width();
    const long double h = box.Height();
    const std::int64_t dy = 2 * std::int64_t{y} + 1 - (std::int64_t{box.top} + box.bottom);
    // The largest d with (d / w)^2 + (dy / h)^2 <= 1, i.e. d^2 h^2 <= w^2 (h^2 - dy^2).
    const long double limit = w * w * (h * h - static_cast<long double>(dy) * dy);
    const auto inside = [&](std::int64_t d) {
        return static_cast<long double>(d) * d * h * h <= limit;
    };
    const long double ratio = dy / h;
    auto d = static_cast<std::int64_t>(w * std::sqrt(std::max(0.0L, 1 - ratio * ratio)));
    while (d > 0 && !inside(d)) {
        --d;
    }
    while (inside(d + 1)) {
        ++d;
    }
    // The pixels with |2x + 1 - (left + right)| <= d.
    const std::int64_t lr = std::int64_t{box.left} + box.right;
    return {static_cast<int>(CeilDiv(lr - 1 - d, 2)),
            static_cast<int>(FloorDiv(lr - 1 + d, 2) + 1)};
}

// The pen covers `shape` except `fill`, which the brush covers. The pen of an ellipse lies
// inside its box: the fill is the interior of the ellipse inscribed in the box shrunk by
// penWidth - 1 on each side (its pixels whose four neighbours are in it too).
FilledRow EllipseRowAt(const Rect& box, int penWidth, int y) {
    FilledRow row{EllipseSpan(box, y), {}};
    const int k = std::min(penWidth - 1, std::max(box.Width(), box.Height()));
    const Rect inner{box.left + k, box.top + k, box.right - k, box.bottom - k};
    if (!inner.IsEmpty()) {
        const Span in = EllipseSpan(inner, y);
        row.fill = Intersect({in.x0 + 1, in.x1 - 1},
                             Intersect(EllipseSpan(inner, y - 1), EllipseSpan(inner, y + 1)));
        row.fill = Intersect(row.fill, row.shape);
    }
    return row;
}

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
    for (std::int64_t i = first; i <= last; ++i) {
        // The nearest minor coordinate; a tie goes one step further along.
        const auto minor =
            static_cast<std::int64_t>((Int128{2} * i * minorDelta + n) / (Int128{2} * n));
        const std::int64_t x = a.x + sx * (xMajor ? i : minor);
        const std::int64_t y = a.y + sy * (xMajor ? minor : i);
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) {
            f(static_cast<int>(x), static_cast<int>(y));
        }
    }
}

// The bounding box of a thick line (or of a polygon's points) grown by a pen's reach.
Rect PenBounds(const Point* points, int count, int width) {
    int left = points[0].x, top = points[0].y, right = points[0].x, bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        left = std::min(left, points[i].x);
        top = std::min(top, points[i].y);
        right = std::max(right, points[i].x);
        bottom = std::max(bottom, points[i].y);
    }
    const int reach = width / 2 + 1;
    return {left - reach, top - reach, right + reach + 1, bottom + reach + 1};
}

// Marks the pixels within width / 2 of the segment a-b: a thick line with round ends. An odd
// width is centred on the pixels of a and b, an even one half a pixel down and right of them,
// so a line of width w is w pixels across either way.
void MarkThickLine(Coverage& coverage, Point a, Point b, int width) {
    const Point ends[] = {a, b};
    const Rect box = PenBounds(ends, 2, width).Intersect(coverage.Box());
    // Doubled coordinates: pixel (x, y) is the point (2x, 2y) and the radius is the width.
    const double shift = width % 2 == 0 ? 1 : 0;
    const double ax = 2.0 * a.x + shift, ay = 2.0 * a.y + shift;
    const double bx = 2.0 * b.x + shift, by = 2.0 * b.y + shift;
    const double vx = bx - ax, vy = by - ay;
    const double length2 = vx * vx + vy * vy;
    const double radius2 = static_cast<double>(width) * width;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            const double px = 2.0 * x, py = 2.0 * y;
            const double wx = px - ax, wy = py - ay;
            const double t = wx * vx + wy * vy;
            double distance2 = 0;
            if (length2 == 0 || t <= 0) {
                distance2 = wx * wx + wy * wy;
            } else if (t >= length2) {
                distance2 = (px - bx) * (px - bx) + (py - by) * (py - by);
            } else {
                const double cross = wx * vy - wy * vx;
                distance2 = cross * cross / length2;
            }
            if (distance2 <= radius2) {
                coverage.Mark(x, y, Coverage::kPen);
            }
        }
    }
}

// Angle of a direction in doubled coordinates with y pointing up, in [0, 2 pi).
double AngleOf(std::int64_t vx, std::int64_t vyUp) {
    const double a = std::atan2(static_cast<double>(vyUp), static_cast<double>(vx));
    return a < 0 ? a + 2 * std::numbers::pi : a;
}

}  // namespace

void DeviceContext::Rectangle(int left, int top, int right, int bottom) {
    const Rect box = Normalised(left, top, right, bottom);
    const int w = std::min(pen_->Width(), std::max(box.Width(), box.Height()));
    const Rect inner{box.left + w, box.top + w, box.right - w, box.bottom - w};
    PaintFilledRows(box, [&](int y) {
        const bool filled = !inner.IsEmpty() && y >= inner.top && y < inner.bottom;
        return FilledRow{{box.left, box.right}, filled ? Span{inner.left, inner.right} : Span{}};
    });
}

void DeviceContext::Ellipse(int left, int top, int right, int bottom) {
    const Rect box = Normalised(left, top, right, bottom);
    const int penWidth = pen_->Width();
    PaintFilledRows(box, [&](int y) { return EllipseRowAt(box, penWidth, y); });
}

void DeviceContext::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    const Rect box = Normalised(left, top, right, bottom);
    const Rect surface = SurfaceRect();
    const Rect rows = box.Intersect(surface);
    if (rows.IsEmpty()) {
        return;
    }
    // Directions from the box centre in doubled coordinates, y pointing up, so that
    // counter-clockwise on the screen is the growing angle.
    const std::int64_t lr = std::int64_t{left} + right;
    const std::int64_t tb = std::int64_t{top} + bottom;
    const double start = AngleOf(2 * std::int64_t{x1} - lr, tb - 2 * std::int64_t{y1});
    const double end = AngleOf(2 * std::int64_t{x2} - lr, tb - 2 * std::int64_t{y2});
    const bool whole = start == end;
    const double sweep = end > start ? end - start : end - start + 2 * std::numbers::pi;
    const Colour pen = pen_->GetColour();
    const auto paintOutline = [&](int y, int x0, int x1) {
        for (int x = std::max(x0, 0), stop = std::min(x1, surface.right); x < stop; ++x) {
            double a = AngleOf(2 * std::int64_t{x} + 1 - lr, tb - 2 * std::int64_t{y} - 1) - start;
            if (a < 0) {
                a += 2 * std::numbers::pi;
            }
            if (whole || a <= sweep) {
                PaintPixel(x, y, pen);
            }
        }
    };
    // The pixels are exactly Ellipse's outline with the same pen.
    for (int y = rows.top; y < rows.bottom; ++y) {
        const FilledRow row = EllipseRowAt(box, pen_->Width(), y);
        if (row.fill.Empty()) {
            paintOutline(y, row.shape.x0, row.shape.x1);
        } else {
            paintOutline(y, row.shape.x0, row.fill.x0);
            paintOutline(y, row.fill.x1, row.shape.x1);
        }
    }
}

void DeviceContext::Polygon(const Point* points, int count) {
    if (!points || count < 2) {
        return;
    }
    const int width = pen_->Width();
    Coverage coverage(PenBounds(points, count, width).Intersect(SurfaceRect()));
    const Rect& box = coverage.Box();
    if (box.IsEmpty()) {
        return;
    }
    // Alternate fill, sampled at the pixels themselves: an edge owns its upper end and not
    // its lower one, and a crossing at x starts or ends the run at ceil(x). Its brush so covers
    // a rectangle's corners exactly as Rectangle does; the outline through the vertices then
    // adds the right column and the bottom row, as the desktop interface's polygon does.
    std::vector<std::int64_t> crossings;
    for (int y = box.top; y < box.bottom; ++y) {
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            Point p = points[i];
            Point q = points[(i + 1) % count];
            if (p.y == q.y) {
                continue;
            }
            if (p.y > q.y) {
                std::swap(p, q);
            }
            if (y < p.y || y >= q.y) {
                continue;
            }
            crossings.push_back(p.x + CeilDiv((std::int64_t{y} - p.y) * (std::int64_t{q.x} - p.x),
                                              std::int64_t{q.y} - p.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
            coverage.MarkSpan(y, static_cast<int>(crossings[k]), static_cast<int>(crossings[k + 1]),
                              Coverage::kBrush);
        }
    }
    // The outline runs through every vertex, as the closed polyline of the points.
    for (int i = 0; i < count; ++i) {
        const Point p = points[i];
        const Point q = points[(i + 1) % count];
        if (width <= 1) {
            ForEachLinePixel(p, q, box, [&](int x, int y) { coverage.Mark(x, y, Coverage::kPen); });
        } else {
            MarkThickLine(coverage, p, q, width);
        }
    }
    Paint(coverage);
}

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
    Coverage coverage(PenBounds(ends, 2, width).Intersect(surface));
    MarkThickLine(coverage, from, pos_, width);
    Paint(coverage);
}

}  // namespace gfx
