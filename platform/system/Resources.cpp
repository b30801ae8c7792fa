#include "platform/system/Resources.h"

#include "platform/graphics/BmpFile.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace sys {

namespace {

std::atomic<const ResourceTable*> g_table{nullptr};

// Bitmaps decoded once per installed table: callers load and delete a bitmap on every draw,
// as the game does, and get a copy of the decoded pixels each time.
struct DecodedBitmaps {
    std::mutex mutex;
    const ResourceTable* table = nullptr;
    std::map<int, gfx::Bitmap> byId;
};
DecodedBitmaps& Decoded() {
    static DecodedBitmaps cache;
    return cache;
}

}  // namespace

void InstallResources(const ResourceTable* table) {
    g_table.store(table);
}

std::string LoadString(int id) {
    if (const ResourceTable* table = g_table.load()) {
        for (const StringResource& s : table->strings) {
            if (s.id == id && s.text != nullptr) {
                return s.text;
            }
        }
    }
    return {};
}

const DialogTemplate* FindDialog(int id) {
    if (const ResourceTable* table = g_table.load()) {
        for (const DialogTemplate& d : table->dialogs) {
            if (d.id == id) {
                return &d;
            }
        }
    }
    return nullptr;
}

std::span<const std::uint8_t> FindBitmapData(int id) {
    if (const ResourceTable* table = g_table.load()) {
        for (const BitmapResource& b : table->bitmaps) {
            if (b.id == id) {
                return b.bmp;
            }
        }
    }
    return {};
}

bool LoadBitmap(int id, gfx::Bitmap& out) {
    out = gfx::Bitmap();
    const ResourceTable* table = g_table.load();
    DecodedBitmaps& cache = Decoded();
    std::lock_guard lock(cache.mutex);
    if (cache.table != table) {
        cache.byId.clear();
        cache.table = table;
    }
    auto it = cache.byId.find(id);
    if (it == cache.byId.end()) {
        const std::span<const std::uint8_t> data = FindBitmapData(id);
        gfx::DecodedBmp decoded;
        if (data.empty() || !gfx::DecodeBmp(data, decoded)) {
            return false;  // not remembered: a table installed later may have it
        }
        it = cache.byId.emplace(id, std::move(decoded.colours)).first;
    }
    out = it->second;
    return true;
}

bool LoadIcon(int id, gfx::Bitmap& image, gfx::Bitmap& mask) {
    image = gfx::Bitmap();
    mask = gfx::Bitmap();
    gfx::DecodedBmp decoded;
    const std::span<const std::uint8_t> data = FindBitmapData(id);
    if (data.empty() || !gfx::DecodeBmp(data, decoded)) {
        return false;
    }
    gfx::Bitmap colours = std::move(decoded.colours);
    gfx::Bitmap shape(colours.Width(), colours.Height());
    for (std::size_t i = 0; i < decoded.alpha.size(); ++i) {
        const bool opaque = decoded.alpha[i] >= 0x80;
        if (!opaque) {
            colours.Data()[i] = 0x000000;
        }
        shape.Data()[i] = opaque ? 0x000000 : 0xFFFFFF;
    }
    image = std::move(colours);
    mask = std::move(shape);
    return true;
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const std::uint64_t p =
        product < 0 ? 0 - static_cast<std::uint64_t>(product) : static_cast<std::uint64_t>(product);
    const std::uint64_t d = denominator < 0 ? 0 - static_cast<std::uint64_t>(denominator)
                                            : static_cast<std::uint64_t>(denominator);
    // Half away from zero: round the magnitude, then put the sign back.
    const std::uint64_t q = (p + d / 2) / d;
    const std::int64_t result =
        negative ? -static_cast<std::int64_t>(q) : static_cast<std::int64_t>(q);
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) {
        return -1;  // as the desktop function reports an overflowing result
    }
    return static_cast<int>(result);
}

gfx::Rect DialogUnitsToPixels(int x, int y, int cx, int cy) {
    constexpr int kBaseX = 6;
    constexpr int kBaseY = 12;
    return {MulDiv(x, kBaseX, 4), MulDiv(y, kBaseY, 8), MulDiv(x + cx, kBaseX, 4),
            MulDiv(y + cy, kBaseY, 8)};
}

}  // namespace sys
