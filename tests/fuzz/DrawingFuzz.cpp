#include "tests/fuzz/DrawingFuzz.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "GClass/SerrikDC.h"
#include "platform/graphics/DeviceContext.h"

namespace fuzz {

namespace {

// The input, read a value at a time; past its end every byte reads as 0.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Done() const { return pos_ >= size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint32_t U32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v = v << 8 | Byte();
        }
        return v;
    }
    // 0 .. n-1 (n >= 1).
    int Below(int n) { return static_cast<int>(U32() % static_cast<std::uint32_t>(n)); }
    template <class T, std::size_t N>
    T Pick(const std::array<T, N>& table) {
        return table[Byte() % N];
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

constexpr int kSurfaces = 3;
constexpr int kContexts = 2;
constexpr int kObjects = 2;  // pens, brushes and fonts each

class Session {
public:
    Session(Reader& in, Observer& observer, const Limits& limits)
        : in_(in), observer_(observer), limits_(limits) {}

    // Describes the next call, then makes it: Call("fmt", args...)([&] { ... }).
    template <class... Args>
    auto Call(const char* format, Args... args) {
        std::snprintf(what_, sizeof what_, format, args...);
        return [this](auto&& f) {
            if (observer_.Skip(what_)) {
                return;
            }
            observer_.Begin(what_);
            f();
            observer_.End();
            ++calls_;
        };
    }

    long Play() {
        for (int i = 0; i < kSurfaces; ++i) {
            const std::pair<int, int> size = SurfaceSize();
            Call("surface %d: %d x %d", i, size.first, size.second)(
                [&] { bitmaps_[i] = gfx::Bitmap(size.first, size.second, 0x102030); });
        }
        dcs_[0].SelectObject(&bitmaps_[0]);
        dcs_[1].SelectObject(&bitmaps_[1]);
        while (!in_.Done()) {
            Step();
        }
        return calls_;
    }

private:
    std::pair<int, int> SurfaceSize() {
        static constexpr std::array<std::pair<int, int>, 10> kSizes = {{{0, 0},
                                                                        {1, 1},
                                                                        {1, 2},
                                                                        {2, 1},
                                                                        {467, 359},
                                                                        {467, 1},
                                                                        {1, 359},
                                                                        {5, 3},
                                                                        {0, 0},
                                                                        {1, 1}}};
        if (in_.Byte() % 4 == 0) {
            return in_.Pick(kSizes);
        }
        return {1 + in_.Below(48), 1 + in_.Below(48)};
    }

    // A coordinate on an axis whose surface spans 0 .. extent - 1: mostly near it, often
    // at the ends of the int range or anywhere in it.
    int Coord(int extent) {
        static constexpr std::array<int, 8> kFar = {INT_MIN, INT_MIN + 1, -(1 << 30),  -65536,
                                                    65536,   1 << 30,     INT_MAX - 1, INT_MAX};
        switch (in_.Byte() % 8) {
            case 0:
            case 1:
            case 2:
                return in_.Below(extent + 17) - 8;
            case 3:
                return in_.Pick(kFar);
            case 4:
                return static_cast<int>(in_.U32());
            case 5:
                return in_.Below(4001) - 2000;
            case 6:
                return extent + in_.Below(3) - 1;  // just outside, or on the last pixel
            default:
                return -in_.Below(2);
        }
    }
    int X() { return Coord(Target().GetBitmap()->Width()); }
    int Y() { return Coord(Target().GetBitmap()->Height()); }
    gfx::Rect Box() {
        switch (in_.Byte() % 8) {
            case 0:
                return {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
            case 1: {
                const gfx::Bitmap& b = *Target().GetBitmap();
                return {-1, -1, b.Width() + 1, b.Height() + 1};
            }
            default: {
                const int left = X();
                const int top = Y();
                return {left, top, X(), Y()};
            }
        }
    }
    // 0 to a million: the thin pens drawing uses, as many of each order of magnitude, and the
    // ends.
    int PenWidth() {
        static constexpr std::array<int, 8> kWidths = {0, 1, 2, 3, 1'000'000, 65535, -1, INT_MIN};
        switch (in_.Byte() % 4) {
            case 0:
                return in_.Pick(kWidths);
            case 1:
                return in_.Below(4);
            default: {
                const double magnitude = 6.0 * in_.Below(1 << 20) / (1 << 20);
                return static_cast<int>(std::pow(10.0, magnitude));
            }
        }
    }
    int Size() {  // of text, in tenths of a point
        static constexpr std::array<int, 12> kSizes = {0,   1,  90,    120,     200,     300,
                                                       400, -1, 10000, INT_MAX, INT_MIN, 3000};
        const int size = in_.Byte() % 2 == 0 ? in_.Pick(kSizes) : in_.Below(1001);
        // 96 x tenths / 720 pixels.
        const std::int64_t most = std::int64_t{limits_.textPixels} * 720 / 96;
        return static_cast<int>(std::clamp<std::int64_t>(size, -most, most));
    }
    gfx::Colour Colour() { return in_.U32(); }
    std::string Text() {
        static constexpr std::array<const char*, 10> kTexts = {
            "",
            "Stage1 / 5",
            "Game Over!!",
            "ＭＳ ゴシック",
            "\xFF\xFE\xFD",              // never UTF-8
            "\xC3",                      // cut short
            "\xE3\x81",                  // cut short after two of three
            "\xC0\xAF\xED\xA0\x80",      // overlong, then a surrogate
            "\xF4\x90\x80\x80",          // beyond U+10FFFF
            "a\tb\nc\x7F\xEF\xBF\xBD"};  // controls and U+FFFD itself
        if (in_.Byte() % 3 == 0) {
            return in_.Pick(kTexts);
        }
        std::string s(static_cast<std::size_t>(in_.Byte() % 40), '\0');
        for (char& c : s) {
            c = static_cast<char>(in_.Byte());
        }
        return s;
    }
    std::string Face() {
        static constexpr std::array<const char*, 8> kFaces = {
            "ＭＳ ゴシック", "ＭＳ Ｐゴシック", "MS Gothic", "",
            "no such face",  "\xFF\xFE",        "monospace", "IPAGothic"};
        return in_.Pick(kFaces);
    }
    // 0 to 10,000 points, mostly few, spread over a box or on a star.
    std::vector<gfx::Point> Points() {
        static constexpr std::array<int, 8> kCounts = {0, 1, 2, 3, 4, 5, 8, 10000};
        int n = 0;
        switch (in_.Byte() % 4) {
            case 0:
                n = in_.Pick(kCounts);
                break;
            case 1:
                n = in_.Below(10001);
                break;
            default:
                n = in_.Below(12);
                break;
        }
        n = std::min(n, limits_.polygonPoints);
        const gfx::Rect box = Box();
        std::minstd_rand spread(in_.U32());
        const auto within = [&](int a, int b) {
            const std::int64_t lo = std::min(a, b);
            const std::int64_t span = std::int64_t{std::max(a, b)} - lo + 1;
            return static_cast<int>(lo + static_cast<std::int64_t>(spread() % span));
        };
        std::vector<gfx::Point> points(static_cast<std::size_t>(n));
        for (gfx::Point& p : points) {
            p = {within(box.left, box.right), within(box.top, box.bottom)};
        }
        return points;
    }

    // A box whose sides are at most the ellipse limit, kept where it starts.
    gfx::Rect EllipseBox() {
        const gfx::Rect r = Box();
        const std::int64_t side = limits_.ellipseSide;
        const auto bound = [side](int from, int to) {
            return static_cast<int>(std::clamp<std::int64_t>(to, from - side, from + side));
        };
        return {r.left, r.top, bound(r.left, r.right), bound(r.top, r.bottom)};
    }
    int Radius() {
        const int r = Coord(64);
        return std::clamp(r, -limits_.ellipseSide / 2, limits_.ellipseSide / 2);
    }

    gfx::DeviceContext& Target() { return dcs_[target_]; }
    // The width of the pen selected into the target (its stock pen is 1 pixel wide).
    int TargetPenWidth() const { return penOf_[target_] < 0 ? 1 : pens_[penOf_[target_]].Width(); }

    void Step();
    void ContextStep(gfx::DeviceContext& dc, int op);
    void SerrikStep(int op);

    Reader& in_;
    Observer& observer_;
    const Limits limits_;
    long calls_ = 0;
    char what_[200] = {};
    std::array<gfx::Bitmap, kSurfaces> bitmaps_;
    std::array<gfx::DeviceContext, kContexts> dcs_;
    std::array<gfx::Pen, kObjects> pens_;
    std::array<gfx::Brush, kObjects> brushes_;
    std::array<gfx::Font, kObjects> fonts_;
    int target_ = 0;
    std::array<int, kContexts> penOf_ = {-1, -1};  // the pen selected into each, -1: stock
};

void Session::Step() {
    target_ = in_.Byte() % kContexts;
    const int op = in_.Byte() % 43;
    if (op < 22) {
        ContextStep(Target(), op);
    } else {
        SerrikStep(op - 22);
    }
}

void Session::ContextStep(gfx::DeviceContext& dc, int op) {
    const int t = target_;
    switch (op) {
        case 0: {
            const int other = in_.Byte() % 3;
            Call("dc%d.CreateCompatibleDC(%d)", t,
                 other)([&] { dc.CreateCompatibleDC(other < kContexts ? &dcs_[other] : nullptr); });
            penOf_[t] = -1;
            break;
        }
        case 1:
            Call("dc%d.DeleteDC()", t)([&] { dc.DeleteDC(); });
            penOf_[t] = -1;
            break;
        case 2: {
            const int i = in_.Byte() % (kSurfaces + 1);  // kSurfaces: none
            Call("dc%d.SelectObject(bitmap %d)", t,
                 i)([&] { dc.SelectObject(i < kSurfaces ? &bitmaps_[i] : nullptr); });
            break;
        }
        case 3: {
            const int i = in_.Byte() % (kObjects + 1);
            Call("dc%d.SelectObject(pen %d)", t, i)([&] {
                dc.SelectObject(i < kObjects ? &pens_[i] : static_cast<gfx::Pen*>(nullptr));
            });
            penOf_[t] = i < kObjects ? i : -1;
            break;
        }
        case 4: {
            const int i = in_.Byte() % (kObjects + 1);
            Call("dc%d.SelectObject(brush %d)", t, i)([&] {
                dc.SelectObject(i < kObjects ? &brushes_[i] : static_cast<gfx::Brush*>(nullptr));
            });
            break;
        }
        case 5: {
            const int i = in_.Byte() % (kObjects + 1);
            Call("dc%d.SelectObject(font %d)", t, i)([&] {
                dc.SelectObject(i < kObjects ? &fonts_[i] : static_cast<gfx::Font*>(nullptr));
            });
            break;
        }
        case 6: {
            const int mode = in_.Byte() % 2 == 0 ? in_.Below(20) : static_cast<int>(in_.U32());
            Call("dc%d.SetROP2(%d)", t, mode)([&] { dc.SetROP2(mode); });
            break;
        }
        case 7: {
            const gfx::Colour c = Colour();
            const int mode = in_.Byte() % 2 == 0 ? in_.Below(4) : static_cast<int>(in_.U32());
            Call("dc%d.SetBkColor(%08x) SetBkMode(%d) SetTextColor, getters", t, c, mode)([&] {
                dc.SetBkColor(c);
                dc.SetBkMode(mode);
                dc.SetTextColor(~c);
                (void)dc.GetBkColor();
                (void)dc.GetBkMode();
                (void)dc.GetTextColor();
                (void)dc.GetROP2();
                (void)dc.GetBitmap();
            });
            break;
        }
        case 8: {
            const int x = X();
            const int y = Y();
            Call("dc%d.MoveTo(%d, %d)", t, x, y)([&] { dc.MoveTo(x, y); });
            break;
        }
        case 9: {
            const int x = X();
            const int y = Y();
            const gfx::Point from = dc.GetCurrentPosition();
            Call("dc%d.LineTo(%d, %d) from (%d, %d)", t, x, y, from.x,
                 from.y)([&] { dc.LineTo(x, y); });
            break;
        }
        case 10: {
            const gfx::Rect r = Box();
            Call("dc%d.Rectangle(%d, %d, %d, %d)", t, r.left, r.top, r.right,
                 r.bottom)([&] { dc.Rectangle(r); });
            break;
        }
        case 11: {
            if (TargetPenWidth() > limits_.outlinePen) {
                break;
            }
            const gfx::Rect r = EllipseBox();
            Call("dc%d.Ellipse(%d, %d, %d, %d)", t, r.left, r.top, r.right,
                 r.bottom)([&] { dc.Ellipse(r); });
            break;
        }
        case 12: {
            if (TargetPenWidth() > limits_.outlinePen) {
                break;
            }
            const gfx::Rect r = EllipseBox();
            const int x1 = X(), y1 = Y(), x2 = X(), y2 = Y();
            Call("dc%d.Arc(%d, %d, %d, %d, %d, %d, %d, %d)", t, r.left, r.top, r.right, r.bottom,
                 x1, y1, x2, y2)([&] { dc.Arc(r.left, r.top, r.right, r.bottom, x1, y1, x2, y2); });
            break;
        }
        case 13: {
            if (TargetPenWidth() > limits_.outlinePen) {
                break;
            }
            const std::vector<gfx::Point> points = Points();
            const int count =
                points.empty() && in_.Byte() % 2 == 0 ? 5 : static_cast<int>(points.size());
            Call("dc%d.Polygon(%d points, first (%d, %d))", t, count,
                 points.empty() ? 0 : points[0].x, points.empty() ? 0 : points[0].y)(
                [&] { dc.Polygon(points.empty() ? nullptr : points.data(), count); });
            break;
        }
        case 14: {
            const int x = X();
            const int y = Y();
            const gfx::Colour c = Colour();
            Call("dc%d.SetPixel(%d, %d) GetPixel, the bitmap's too", t, x, y)([&] {
                dc.SetPixel(x, y, c);
                (void)dc.GetPixel(x, y);
                dc.GetBitmap()->SetPixel(y, x, c);
                (void)dc.GetBitmap()->GetPixel(y, x);
            });
            break;
        }
        case 15: {
            static constexpr std::array<std::uint32_t, 5> kRops = {gfx::SRCCOPY, gfx::SRCPAINT,
                                                                   gfx::SRCAND, 0, 0x00CC0021};
            const int src = in_.Byte() % (kContexts + 1);  // kContexts: none
            const std::uint32_t rop = in_.Pick(kRops);
            const int x = X(), y = Y(), w = X(), h = Y(), xs = X(), ys = Y();
            Call("dc%d.BitBlt(%d, %d, %d, %d, dc%d, %d, %d, %08x)", t, x, y, w, h, src, xs, ys,
                 rop)([&] {
                dc.BitBlt(x, y, w, h, src < kContexts ? &dcs_[src] : nullptr, xs, ys, rop);
            });
            break;
        }
        case 16:
        case 17: {
            const std::string text = Text();
            const gfx::Rect r = Box();
            const unsigned format = in_.Byte() % 2 == 0 ? 0x25u : in_.U32();
            Call("dc%d.DrawText(%zu bytes, %d, %d, %d, %d, %x)", t, text.size(), r.left, r.top,
                 r.right, r.bottom, format)([&] { dc.DrawText(text, r, format); });
            break;
        }
        case 18: {
            const std::string text = Text();
            Call("dc%d.GetTextExtent(%zu bytes)", t, text.size())([&] { dc.GetTextExtent(text); });
            break;
        }
        case 19: {
            const int i = in_.Byte() % kSurfaces;
            // Either a size that is refused (a negative width) or a surface's.
            const std::pair<int, int> size =
                in_.Byte() % 4 == 0 ? std::pair<int, int>{static_cast<int>(in_.U32()) | INT_MIN,
                                                          static_cast<int>(in_.U32())}
                                    : SurfaceSize();
            Call("bitmap %d.CreateCompatibleBitmap(%d, %d)", i, size.first, size.second)([&] {
                bitmaps_[i].CreateCompatibleBitmap(&dc, size.first, size.second);
                bitmaps_[i].Fill(0x102030);
            });
            break;
        }
        case 20: {
            const int i = in_.Byte() % kObjects;
            const int width = PenWidth();
            const gfx::Colour c = Colour();
            Call("pen %d.CreatePen(%d) brush, font", i, width)([&] {
                pens_[i].CreatePen(width, c);
                brushes_[i].CreateSolidBrush(~c);
            });
            break;
        }
        default: {
            const int i = in_.Byte() % kObjects;
            const int size = Size();
            const std::string face = Face();
            Call("font %d.CreatePointFont(%d, \"%s\")", i, size, face.c_str())([&] {
                fonts_[i].DeleteObject();
                fonts_[i].CreatePointFont(size, face);
                (void)fonts_[i].FamilyName();
                (void)fonts_[i].PixelHeight();
            });
            break;
        }
    }
}

void Session::SerrikStep(int op) {
    const int t = target_;
    CSerrikDC sdc(&Target(), in_.Byte() % 2);
    const gfx::Colour a = Colour();
    const gfx::Colour b = Colour();
    switch (op) {
        case 0: {
            const gfx::Rect r = Box();
            Call("sdc%d.DrawRect(%d, %d, %d, %d)", t, r.left, r.top, r.right,
                 r.bottom)([&] { sdc.DrawRect(r, a, b); });
            break;
        }
        case 1:
        case 2: {
            const gfx::Rect r = Box();
            Call("sdc%d.Draw%sPanel(%d, %d, %d, %d)", t, op == 1 ? "Raised" : "Sunken", r.left,
                 r.top, r.right, r.bottom)(
                [&] { op == 1 ? sdc.DrawRaisedPanel(r, a) : sdc.DrawSunkenPanel(r, a); });
            break;
        }
        case 3: {
            const gfx::Rect r = Box();
            const int cell = in_.Byte() % 2 == 0 ? in_.Below(40) - 2 : Coord(64);
            Call("sdc%d.DrawChecker(%d, %d, %d, %d, cell %d)", t, r.left, r.top, r.right, r.bottom,
                 cell)([&] { sdc.DrawChecker(r, a, b, cell); });
            break;
        }
        case 4:
        case 5: {
            const int x1 = X(), y1 = Y(), x2 = X(), y2 = Y();
            const int width = PenWidth();
            Call("sdc%d.Draw%s(%d, %d, %d, %d, pen %d)", t, op == 4 ? "Line" : "Frame", x1, y1, x2,
                 y2, width)([&] {
                op == 4 ? sdc.DrawLine(x1, y1, x2, y2, a, width)
                        : sdc.DrawFrame(x1, y1, x2, y2, a, width);
            });
            break;
        }
        case 6:
        case 7: {
            const int x = X(), y = Y(), r = Radius();
            Call("sdc%d.DrawCircle%s(%d, %d, r %d)", t, op == 6 ? "" : "Outline", x, y, r)([&] {
                op == 6 ? sdc.DrawCircle(gfx::Point{x, y}, r, a, b)
                        : sdc.DrawCircleOutline(x, y, r, a);
            });
            break;
        }
        case 8:
        case 9: {
            const gfx::Rect r = EllipseBox();
            Call("sdc%d.DrawEllipse%s(%d, %d, %d, %d)", t, op == 8 ? "" : "Outline", r.left, r.top,
                 r.right, r.bottom)(
                [&] { op == 8 ? sdc.DrawEllipse(r, a, b) : sdc.DrawEllipseOutline(r, a); });
            break;
        }
        case 10: {
            const gfx::Rect r = Box();
            const int direction = in_.Below(7) - 1;
            Call("sdc%d.DrawTriangle(%d, %d, %d, %d, %d)", t, r.left, r.top, r.right, r.bottom,
                 direction)([&] { sdc.DrawTriangle(r, a, direction); });
            break;
        }
        case 11: {
            const gfx::Rect r = Box();
            Call("sdc%d.DrawPentagon(%d, %d, %d, %d)", t, r.left, r.top, r.right,
                 r.bottom)([&] { sdc.DrawPentagon(r, a); });
            break;
        }
        case 12:
        case 13: {
            const gfx::Rect r = Box();
            const int n = std::min(in_.Byte() % 2 == 0 ? in_.Below(10001) : in_.Below(16) - 3,
                                   limits_.polygonPoints);
            if (op == 12) {
                Call("sdc%d.DrawPolygon(%d, %d, %d, %d, n %d)", t, r.left, r.top, r.right, r.bottom,
                     n)([&] { sdc.DrawPolygon(r, a, n); });
            } else if (n > 0) {
                std::vector<gfx::Point> out(static_cast<std::size_t>(n));
                Call("CSerrikDC::PolygonVertices(%d, %d, %d, %d, n %d)", r.left, r.top, r.right,
                     r.bottom, n)([&] { CSerrikDC::PolygonVertices(r, n, out.data()); });
            }
            break;
        }
        case 14:
        case 15: {
            const gfx::Rect r = Box();
            Call("sdc%d.DrawGradient%c(%d, %d, %d, %d)", t, op == 14 ? 'H' : 'V', r.left, r.top,
                 r.right,
                 r.bottom)([&] { op == 14 ? sdc.DrawGradientH(r, a) : sdc.DrawGradientV(r, a); });
            break;
        }
        case 16: {
            const int x = X(), y = Y(), size = Size();
            const std::string text = Text();
            Call("sdc%d.DrawTextAt(%d, %d, %zu bytes, size %d)", t, x, y, text.size(),
                 size)([&] { sdc.DrawTextAt(x, y, text, size, a); });
            break;
        }
        case 17: {
            const gfx::Rect r = Box();
            const int size = Size();
            const std::string text = Text();
            Call("sdc%d.DrawTextInRect(%d, %d, %d, %d, %zu bytes, size %d)", t, r.left, r.top,
                 r.right, r.bottom, text.size(),
                 size)([&] { sdc.DrawTextInRect(r, text, size, a); });
            break;
        }
        case 18: {
            const int x = X(), y = Y();
            Call("sdc%d.SetPixelAt(%d, %d)", t, x, y)([&] {
                sdc.SetPixelAt(x, y, a);
                sdc.SetPixelAt(gfx::Point{y, x}, b);
            });
            break;
        }
        case 19: {
            const gfx::Rect r = Box();
            const int x = X(), y = Y();
            Call("sdc%d.FillArea(%d, %d, %d, %d, seed %d, %d)", t, r.left, r.top, r.right, r.bottom,
                 x, y)([&] { sdc.FillArea(r, x, y, a); });
            break;
        }
        default: {
            const int ax = X(), ay = Y(), x = X(), y = Y();
            const int width = PenWidth();
            Call("sdc%d.SetAnchor(%d, %d) DrawLineFromAnchor(%d, %d, pen %d)", t, ax, ay, x, y,
                 width)([&] {
                sdc.SetAnchor(ax, ay);
                sdc.DrawLineFromAnchor(x, y, a, width);
                sdc.SetAnchor(gfx::Point{x, y});
                sdc.DrawLineFromAnchor(gfx::Point{ax, ay}, b, width);
            });
            break;
        }
    }
}

}  // namespace

long PlayDrawing(const std::uint8_t* data, std::size_t size, Observer& observer,
                 const Limits& limits) {
    Reader in(data, size);
    Session session(in, observer, limits);
    return session.Play();
}

}  // namespace fuzz
