#include "platform/graphics/DeviceContext.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <utility>
#include <vector>

#include "platform/graphics/Raster.h"
#include "platform/graphics/Rasterisers.h"

namespace gfx {

namespace {

// The stock objects a new context has selected. The stock bitmap is empty, so a context
// without a bitmap of its own draws nothing.
Bitmap& StockBitmap() {
    static Bitmap bitmap;
    return bitmap;
}
Pen& StockPen() {
    static Pen pen(1, 0x000000);
    return pen;
}
Brush& StockBrush() {
    static Brush brush(0xFFFFFF);
    return brush;
}
// Resolving a face takes fontconfig's first scan, so the stock font is made when first used.
Font& StockFont() {
    static Font font(120, "MS Gothic");  // 16 px
    return font;
}

// Colours keep their top byte zero on the surface, so a pixel never reads as kInvalidColour.
constexpr Colour kColourMask = 0x00FFFFFF;

template <int Rop2>
void MixSpan(Colour* p, int n, Colour c) {
    for (int i = 0; i < n; ++i) {
        p[i] = Mix(Rop2, p[i], c);
    }
}

// Copy mode is the common case (every background fill): where wchar_t has 32 bits (not on
// Windows), the C library's wide-character fill stores them at the speed of memset.
// WebAssembly's C library fills one value at a time, where the compiler's own loop stores
// 128-bit vectors.
void FillPixels(Colour* p, std::size_t n, Colour c) {
#ifndef __EMSCRIPTEN__
    if constexpr (sizeof(wchar_t) == sizeof(Colour)) {
        if (n >= 64) {  // a short run costs less than the call
            std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(c), n);
            return;
        }
    }
#endif
    std::fill_n(p, n, c);
}

template <>
void MixSpan<R2_COPYPEN>(Colour* p, int n, Colour c) {
    FillPixels(p, static_cast<std::size_t>(n), c);
}

}  // namespace

DeviceContext::DeviceContext() : rasterisers_(std::make_unique<Rasterisers>()) {
    Reset();
}

DeviceContext::~DeviceContext() = default;

void DeviceContext::Reset() {
    bitmap_ = &StockBitmap();
    pen_ = &StockPen();
    brush_ = &StockBrush();
    font_ = nullptr;
    rop2_ = R2_COPYPEN;
    bkMode_ = OPAQUE;
    bkColour_ = 0xFFFFFF;
    textColour_ = 0x000000;
    pos_ = {0, 0};
}

bool DeviceContext::CreateCompatibleDC(const DeviceContext* /*target*/) {
    Reset();
    return true;
}

void DeviceContext::DeleteDC() {
    Reset();
}

Bitmap* DeviceContext::SelectObject(Bitmap* bitmap) {
    return std::exchange(bitmap_, bitmap ? bitmap : &StockBitmap());
}
Pen* DeviceContext::SelectObject(Pen* pen) {
    return std::exchange(pen_, pen ? pen : &StockPen());
}
Brush* DeviceContext::SelectObject(Brush* brush) {
    return std::exchange(brush_, brush ? brush : &StockBrush());
}
Font* DeviceContext::SelectObject(Font* font) {
    Font* previous = std::exchange(font_, font);
    return previous ? previous : &StockFont();
}

const Font& DeviceContext::CurrentFont() const {
    return font_ ? *font_ : StockFont();
}

int DeviceContext::SetROP2(int mode) {
    if (mode != R2_COPYPEN && mode != R2_XORPEN) {
        return 0;
    }
    return std::exchange(rop2_, mode);
}
Colour DeviceContext::SetBkColor(Colour c) {
    return std::exchange(bkColour_, c & kColourMask);
}
int DeviceContext::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
        return 0;
    }
    return std::exchange(bkMode_, mode);
}
Colour DeviceContext::SetTextColor(Colour c) {
    return std::exchange(textColour_, c & kColourMask);
}

Point DeviceContext::MoveTo(int x, int y) {
    return std::exchange(pos_, Point{x, y});
}

Colour DeviceContext::SetPixel(int x, int y, Colour c) {
    if (!SurfaceRect().Contains(x, y)) {
        return kInvalidColour;
    }
    c &= kColourMask;
    bitmap_->Row(y)[x] = c;
    return c;
}

Colour DeviceContext::GetPixel(int x, int y) const {
    return bitmap_->GetPixel(x, y);
}

void DeviceContext::PaintPixel(int x, int y, Colour c) {
    if (SurfaceRect().Contains(x, y)) {
        Colour& p = bitmap_->Row(y)[x];
        p = Mix(rop2_, p, c & kColourMask);
    }
}

void DeviceContext::PaintSpan(int y, int x0, int x1, Colour c) {
    if (y < 0 || y >= bitmap_->Height()) {
        return;
    }
    x0 = std::max(x0, 0);
    x1 = std::min(x1, bitmap_->Width());
    if (x0 >= x1) {
        return;
    }
    Colour* p = bitmap_->Row(y) + x0;
    c &= kColourMask;
    if (rop2_ == R2_XORPEN) {
        MixSpan<R2_XORPEN>(p, x1 - x0, c);
    } else {
        MixSpan<R2_COPYPEN>(p, x1 - x0, c);
    }
}

void DeviceContext::FillBlock(const Rect& r, Colour c) {
    const Rect block = r.Intersect(SurfaceRect());
    if (block.IsEmpty()) {
        return;
    }
    c &= kColourMask;
    if (rop2_ == R2_XORPEN) {
        for (int y = block.top; y < block.bottom; ++y) {
            MixSpan<R2_XORPEN>(bitmap_->Row(y) + block.left, block.Width(), c);
        }
    } else if (block.Width() == bitmap_->Width()) {
        // Whole rows lie end to end: one fill.
        FillPixels(bitmap_->Row(block.top),
                   static_cast<std::size_t>(block.Width()) * block.Height(), c);
    } else {
        for (int y = block.top; y < block.bottom; ++y) {
            FillPixels(bitmap_->Row(y) + block.left, static_cast<std::size_t>(block.Width()), c);
        }
    }
}

void DeviceContext::Paint(const Coverage& coverage) {
    const Colour pen = pen_->GetColour();
    const Colour brush = brush_->GetColour();
    coverage.ForEachRun([&](int y, int x0, int x1, std::uint8_t cell) {
        if (rop2_ == R2_XORPEN) {
            // The brush and then the pen, each inverting what lies under it.
            const Colour mask =
                ((cell & Coverage::kBrush) ? brush : 0) ^ ((cell & Coverage::kPenOdd) ? pen : 0);
            PaintSpan(y, x0, x1, mask);
        } else {
            PaintSpan(y, x0, x1, (cell & Coverage::kPen) ? pen : brush);
        }
    });
}

bool DeviceContext::BitBlt(int x, int y, int w, int h, const DeviceContext* src, int xSrc, int ySrc,
                           std::uint32_t rop) {
    if (rop != SRCCOPY && rop != SRCPAINT && rop != SRCAND) {
        return false;
    }
    if (!src || bitmap_->IsNull() || src->bitmap_->IsNull()) {
        return false;
    }
    if (w <= 0 || h <= 0) {
        return true;
    }
    const Bitmap& source = *src->bitmap_;
    // The block seen at its destination: clipped to the destination surface and to the
    // source surface shifted into destination coordinates, so both stay inside together.
    // Sums are taken in 64 bits and clamped far outside any surface.
    const std::int64_t dx64 = std::int64_t{xSrc} - x;
    const std::int64_t dy64 = std::int64_t{ySrc} - y;
    const auto clampInt = [](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, -(1 << 30), 1 << 30));
    };
    const Rect sourceInDest{clampInt(-dx64), clampInt(-dy64), clampInt(source.Width() - dx64),
                            clampInt(source.Height() - dy64)};
    const Rect block = Rect{x, y, clampInt(std::int64_t{x} + w), clampInt(std::int64_t{y} + h)}
                           .Intersect(SurfaceRect())
                           .Intersect(sourceInDest);
    if (block.IsEmpty()) {
        return true;
    }
    const int dx = static_cast<int>(dx64);
    const int dy = static_cast<int>(dy64);
    const int n = block.Width();

    // A transfer within one surface reads the whole source block before writing.
    std::vector<Colour> copy;
    const Colour* from = nullptr;
    std::size_t fromPitch = 0;
    if (&source == bitmap_) {
        copy.resize(static_cast<std::size_t>(n) * block.Height());
        for (int row = 0; row < block.Height(); ++row) {
            std::memcpy(copy.data() + static_cast<std::size_t>(row) * n,
                        source.Row(block.top + row + dy) + block.left + dx, n * sizeof(Colour));
        }
        from = copy.data();
        fromPitch = static_cast<std::size_t>(n);
    } else {
        from = source.Row(block.top + dy) + block.left + dx;
        fromPitch = static_cast<std::size_t>(source.Width());
    }

    for (int row = 0; row < block.Height(); ++row) {
        const Colour* s = from + row * fromPitch;
        Colour* d = bitmap_->Row(block.top + row) + block.left;
        switch (rop) {
            case SRCCOPY:
                std::memcpy(d, s, n * sizeof(Colour));
                break;
            case SRCPAINT:
                for (int i = 0; i < n; ++i) {
                    d[i] |= s[i];
                }
                break;
            case SRCAND:
                for (int i = 0; i < n; ++i) {
                    d[i] &= s[i];
                }
                break;
        }
    }
    return true;
}

}  // namespace gfx
