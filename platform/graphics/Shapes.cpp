// Rectangles, ellipses, arcs, polygons and lines of the device context, composed of the
// rasterisers in Rasterisers.h. Every rule here was read off reference images of the desktop
// interface (tests/platform/graphics/references).

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Raster.h"
#include "platform/graphics/Rasterisers.h"

namespace gfx {

namespace {

// The desktop interface accepts boxes given right to left or bottom to top.
Rect Normalised(int left, int top, int right, int bottom) {
    return {Far(std::min(left, right)), Far(std::min(top, bottom)), Far(std::max(left, right)),
            Far(std::max(top, bottom))};
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
    WideStroke& stroke = rasterisers_->stroke;
    stroke.Begin(coverage, width);
    const Point corners[] = {{box.left, box.top},
                             {box.right - 1, box.top},
                             {box.right - 1, box.bottom - 1},
                             {box.left, box.bottom - 1}};
    for (int i = 0; i < 4; ++i) {
        stroke.Segment(corners[i], corners[(i + 1) % 4]);
    }
    stroke.Finish();
    // Only the rows inside the coverage box: a box far taller than the surface costs what the
    // surface costs.
    const int lastRow = std::min(box.bottom - 1, coverage.Box().bottom);
    for (int y = std::max(box.top, coverage.Box().top); y < lastRow; ++y) {
        coverage.MarkBrush(y, box.left, box.right - 1);
    }
    Paint(coverage);
}

// An Ellipse is the 1-px outline of EllipseLoop, stroked by a wider pen as a closed path
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
    const Rect& clip = coverage.Box();
    const EllipseLoop loop = EllipseOutline::OfThisThread().Loop(box);
    if (width <= 1) {
        for (int y = clip.top; y < clip.bottom; ++y) {
            const Span row = loop.Row(y);
            coverage.MarkBrush(y, row.x0, std::int64_t{row.x1} + 1);
        }
        loop.ForEachRangeIn(clip, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                const Point p = loop[i].at;
                coverage.MarkLine(p.x, p.y);
            }
        });
    } else {
        WideStroke& stroke = rasterisers_->stroke;
        stroke.Begin(coverage, width);
        const std::size_t n = loop.Size();
        loop.ForEachSegmentNear(clip, Reach(width), [&](std::size_t i) {
            stroke.Segment(loop[i].at, loop[(i + 1) % n].at);
        });
        stroke.Finish();
        for (int y = clip.top; y < clip.bottom; ++y) {
            const Span row = loop.Row(y);
            coverage.MarkBrush(y, std::int64_t{row.x0} + 1, row.x1);
        }
    }
    Paint(coverage);
}

// An Arc runs over Ellipse's outline points (EllipseLoop::Arc says which), counter-clockwise
// from the start radial to the end radial, both from the box's centre pixel (left + w/2,
// top + h/2). The points form a polyline: a 1-px pen leaves its last point out, a wider pen
// strokes all of them.
void DeviceContext::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    const Rect box = Normalised(left, top, right, bottom);
    const int width = pen_->Width();
    // Clipped before the outline is walked: an arc off the surface costs nothing.
    const Rect clip = Grown(box, width <= 1 ? 0 : Reach(width)).Intersect(SurfaceRect());
    if (box.IsEmpty() || clip.IsEmpty()) {
        return;
    }
    const EllipseLoop loop = EllipseOutline::OfThisThread().Loop(box);
    const std::size_t n = loop.Size();
    // Plain names, not a structured binding: the browser build's compiler cannot capture one.
    const auto arc = loop.Arc({x1, y1}, {x2, y2});
    const std::size_t first = arc.first;
    const std::size_t count = arc.count;
    // How far along the arc point i lies: only the points on the surface are looked at.
    const auto along = [&](std::size_t i) { return (i + n - first) % n; };
    if (width <= 1) {
        // A point the arc passes twice (it runs more than once round) is painted twice.
        const std::size_t laps = count / n;
        const std::size_t rest = count % n;
        const Colour pen = pen_->GetColour();
        loop.ForEachRangeIn(clip, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                const std::size_t times = laps + (along(i) < rest ? 1 : 0);
                for (std::size_t t = 0; t < times; ++t) {
                    const Point p = loop[i].at;
                    PaintPixel(p.x, p.y, pen);
                }
            }
        });
        return;
    }
    Coverage coverage(clip);
    WideStroke& stroke = rasterisers_->stroke;
    stroke.Begin(coverage, width);
    stroke.Dot(loop[first].at);
    const std::size_t segments = std::min(count, n - 1);
    loop.ForEachSegmentNear(clip, Reach(width), [&](std::size_t i) {
        if (along(i) < segments) {
            stroke.Segment(loop[i].at, loop[(i + 1) % n].at);
        }
    });
    stroke.Finish();
    Paint(coverage);
}

// A Polygon's brush fills by the alternate rule; its outline is the closed
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
    if (width > 1) {
        WideStroke& stroke = rasterisers_->stroke;
        stroke.Begin(coverage, width);
        for (int i = 0; i < count && !stroke.Whole(); ++i) {
            stroke.Segment(points[i], points[(i + 1) % count]);
        }
        stroke.Finish();
    }
    AreaFill& fill = rasterisers_->fill;
    fill.Begin(box);
    for (int i = 0; i < count; ++i) {
        const Point& p = points[i];
        const Point& q = points[(i + 1) % count];
        fill.AddEdge({p.x, p.y}, {q.x, q.y}, 1);
    }
    fill.ForEachRun(AreaFill::Rule::kAlternate,
                    [&](int y, int x0, int x1) { coverage.MarkBrush(y, x0, x1); });
    if (width <= 1) {
        for (int i = 0; i < count; ++i) {
            ThinLine(points[i], points[(i + 1) % count], box).ForEachPixel([&](int x, int y) {
                coverage.MarkLine(x, y);
            });
        }
    }
    Paint(coverage);
}

// A 1-px line leaves out its end point; a wider one is a stroke's segment, both ends included.
void DeviceContext::LineTo(int x, int y) {
    const Point from = std::exchange(pos_, Point{x, y});
    const Rect surface = SurfaceRect();
    if (surface.IsEmpty()) {
        return;
    }
    const int width = pen_->Width();
    if (width <= 1) {
        const Colour pen = pen_->GetColour();
        ThinLine(from, pos_, surface).ForEachPixel([&](int px, int py) {
            PaintPixel(px, py, pen);
        });
        return;
    }
    const Point ends[] = {from, pos_};
    Coverage coverage(Grown(BoundsOf(ends, 2), Reach(width)).Intersect(surface));
    if (coverage.Box().IsEmpty()) {
        return;
    }
    WideStroke& stroke = rasterisers_->stroke;
    stroke.Begin(coverage, width);
    stroke.Segment(from, pos_);
    stroke.Finish();
    Paint(coverage);
}

}  // namespace gfx
