#include "platform/window/Geometry.h"

#include <algorithm>

namespace ui {

namespace {

int FloorDiv(int a, int b) {
    const int q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

int IntegerScale(int clientW, int clientH, gfx::Point frame, int usableW, int usableH) {
    if (clientW <= 0 || clientH <= 0 || usableW <= 0 || usableH <= 0) {
        return 1;
    }
    // n * client + frame <= usable * 9 / 10, kept exact in integers:
    // 10 * n * client <= 9 * usable - 10 * frame.
    const auto largest = [](long long client, long long frame, long long usable) {
        const long long room = 9 * usable - 10 * std::max(frame, 0LL);
        return room < 0 ? 0 : room / (10 * client);
    };
    const long long n =
        std::min(largest(clientW, frame.x, usableW), largest(clientH, frame.y, usableH));
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
