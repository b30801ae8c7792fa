#include "platform/system/Resources.h"

#include <SDL_rwops.h>
#include <SDL_surface.h>

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

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

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

namespace {

// A BMP file decoded into `format`, each pixel read as one 32-bit word, row by row.
bool DecodeWords(std::span<const std::uint8_t> data, Uint32 format, int* width, int* height,
                 std::vector<std::uint32_t>* words) {
    if (data.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return false;
    }
    // SDL's BMP reader needs no SDL_Init; it handles every palette depth the resources use.
    SDL_RWops* rw = SDL_RWFromConstMem(data.data(), static_cast<int>(data.size()));
    if (rw == nullptr) {
        return false;
    }
    SurfacePtr decoded(SDL_LoadBMP_RW(rw, 1));
    if (!decoded) {
        return false;
    }
    SurfacePtr pixels(SDL_ConvertSurfaceFormat(decoded.get(), format, 0));
    if (!pixels || pixels->w <= 0 || pixels->h <= 0) {
        return false;
    }
    const bool mustLock = SDL_MUSTLOCK(pixels.get());
    if (mustLock && SDL_LockSurface(pixels.get()) != 0) {
        return false;
    }
    *width = pixels->w;
    *height = pixels->h;
    words->clear();
    words->reserve(static_cast<std::size_t>(pixels->w) * static_cast<std::size_t>(pixels->h));
    for (int y = 0; y < pixels->h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(pixels->pixels) +
            static_cast<std::size_t>(y) * pixels->pitch);
        words->insert(words->end(), row, row + pixels->w);
    }
    if (mustLock) {
        SDL_UnlockSurface(pixels.get());
    }
    return true;
}

bool DecodeBitmap(std::span<const std::uint8_t> data, gfx::Bitmap& out) {
    int w = 0, h = 0;
    std::vector<std::uint32_t> words;
    // XBGR8888 read as a 32-bit word is exactly the 0x00BBGGRR Colour.
    if (!DecodeWords(data, SDL_PIXELFORMAT_XBGR8888, &w, &h, &words)) {
        return false;
    }
    gfx::Bitmap bitmap(w, h);
    for (std::size_t i = 0; i < words.size(); ++i) {
        // The unused top byte is not guaranteed to be zero after conversion.
        bitmap.Data()[i] = words[i] & 0x00FFFFFFu;
    }
    out = std::move(bitmap);
    return true;
}

}  // namespace

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
        gfx::Bitmap decoded;
        if (data.empty() || !DecodeBitmap(data, decoded)) {
            return false;  // not remembered: a table installed later may have it
        }
        it = cache.byId.emplace(id, std::move(decoded)).first;
    }
    out = it->second;
    return true;
}

bool LoadIcon(int id, gfx::Bitmap& image, gfx::Bitmap& mask) {
    image = gfx::Bitmap();
    mask = gfx::Bitmap();
    int w = 0, h = 0;
    std::vector<std::uint32_t> words;
    const std::span<const std::uint8_t> data = FindBitmapData(id);
    // ABGR8888: the Colour in the low three bytes, alpha in the top one.
    if (data.empty() || !DecodeWords(data, SDL_PIXELFORMAT_ABGR8888, &w, &h, &words)) {
        return false;
    }
    gfx::Bitmap colours(w, h);
    gfx::Bitmap shape(w, h);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const bool opaque = (words[i] >> 24) >= 0x80;
        colours.Data()[i] = opaque ? words[i] & 0x00FFFFFFu : 0x000000;
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
