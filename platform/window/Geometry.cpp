#include "platform/window/Geometry.h"

#include <algorithm>

namespace ui {

namespace {

int FloorDiv(int a, int b) {
    const int q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

int IntegerScale(int clientW, int clientH, int usableW, int usableH) {
    if (clientW <= 0 || clientH <= 0 || usableW <= 0 || usableH <= 0) {
        return 1;
    }
    // n * client <= usable * 2 / 3, kept exact in integers: 3 * n * client <= 2 * usable.
    const long long byWidth = 2LL * usableW / (3LL * clientW);
    const long long byHeight = 2LL * usableH / (3LL * clientH);
    const long long n = byWidth < byHeight ? byWidth : byHeight;
    return n < 1 ? 1 : static_cast<int>(n);
}

gfx::Point PlaceWindow(gfx::Point size, const gfx::Rect& around, const gfx::Rect& usable) {
    const auto place = [](int size, int aroundLo, int aroundHi, int lo, int hi) {
        const int centred = aroundLo + (aroundHi - aroundLo - size) / 2;
        return centred + size > hi ? std::max(lo, hi - size) : std::max(lo, centred);
    };
    return {place(size.x, around.left, around.right, usable.left, usable.right),
            place(size.y, around.top, around.bottom, usable.top, usable.bottom)};
}

Geometry::Geometry(int clientW, int clientH, int scale)
    : clientW_(clientW), clientH_(clientH), scale_(scale < 1 ? 1 : scale) {}

gfx::Rect Geometry::ToWindow(const gfx::Rect& client) const {
    return {client.left * scale_, client.top * scale_, client.right * scale_,
            client.bottom * scale_};
}

gfx::Point Geometry::ToClient(gfx::Point window) const {
    return {FloorDiv(window.x, scale_), FloorDiv(window.y, scale_)};
}

}  // namespace ui
