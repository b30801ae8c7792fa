#pragma once

// One driver over every operation of the device context, its objects and CSerrikDC, played
// from a string of bytes: the seeded random driver feeds it random bytes, libFuzzer feeds it
// its own. The bytes choose hostile inputs often: coordinates over the whole int range, huge
// and inside-out boxes, pens up to a million pixels wide, polygons of up to 10,000 points,
// invalid UTF-8, every raster mode, no bitmap selected, surfaces of 0x0 and 1x1.

#include <climits>
#include <cstddef>
#include <cstdint>

namespace fuzz {

// Told about every call; `what` describes it (operation and arguments) and stays valid until
// the next call.
class Observer {
public:
    virtual ~Observer() = default;
    // Whether to leave the call out (it is then neither made nor counted).
    virtual bool Skip(const char* /*what*/) { return false; }
    virtual void Begin(const char* what) = 0;
    virtual void End() = 0;
};

// Bounds on the hostile input, to narrow a slow input down to what makes it slow; the
// defaults bound nothing.
struct Limits {
    // The side of an ellipse's or an arc's box (their outline is walked along the whole box).
    int ellipseSide = INT_MAX;
    // The pen of an ellipse, an arc or a polygon (a wide pen strokes a dot at every outline
    // pixel or vertex, each as large as the pen's square on the surface).
    int outlinePen = INT_MAX;
    // The em of a font, in pixels (every glyph is rasterised whole, on the surface or not).
    int textPixels = INT_MAX;
    // The points of a polygon (each row meets every edge).
    int polygonPoints = 10000;
};

// Plays the bytes as one session (fresh surfaces, contexts and objects); returns the number
// of calls made.
long PlayDrawing(const std::uint8_t* data, std::size_t size, Observer& observer,
                 const Limits& limits = {});

}  // namespace fuzz
