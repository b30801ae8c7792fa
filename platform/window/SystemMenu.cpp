#include "platform/window/SystemMenu.h"

#include <algorithm>
#include <cctype>

#include "platform/graphics/ScopedSelect.h"

namespace ui {

namespace {

constexpr int kItemHeight = 22;
constexpr int kSeparatorHeight = 9;
constexpr int kTextLeft = 28;  // the check-mark column of a desktop menu, left empty
constexpr int kTextRight = 28;
constexpr int kMinWidth = 120;

constexpr gfx::Colour kFace = 0xF0F0F0;
constexpr gfx::Colour kBorder = gfx::Rgb(151, 151, 151);
constexpr gfx::Colour kHot = gfx::Rgb(145, 201, 247);
constexpr gfx::Colour kSeparator = gfx::Rgb(215, 215, 215);
constexpr gfx::Colour kText = 0x000000;

int HeightOf(const SystemMenu::Item& item) {
    return item.IsSeparator() ? kSeparatorHeight : kItemHeight;
}

void FillRect(gfx::DeviceContext& dc, const gfx::Rect& r, gfx::Colour outline, gfx::Colour fill) {
    gfx::Pen pen(1, outline);
    gfx::Brush brush(fill);
    const gfx::ScopedSelect<gfx::Pen> withPen(dc, &pen);
    const gfx::ScopedSelect<gfx::Brush> withBrush(dc, &brush);
    dc.Rectangle(r);
}

// Columns x0..x1-1 of row y (a line leaves out its end point).
void HLine(gfx::DeviceContext& dc, int x0, int x1, int y, gfx::Colour colour) {
    gfx::Pen pen(1, colour);
    const gfx::ScopedSelect<gfx::Pen> withPen(dc, &pen);
    dc.MoveTo(x0, y);
    dc.LineTo(x1, y);
}

}  // namespace

SystemMenu::SystemMenu() {
    Append(SC_CLOSE, "Close");
}

void SystemMenu::AppendSeparator() {
    items_.push_back(Item{});
}

void SystemMenu::Append(int command, const std::string& text) {
    items_.push_back(Item{command, text});
}

std::string SystemMenu::DisplayText(const std::string& text, int* underline) {
    std::string out;
    *underline = -1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&' && *underline < 0) {
                *underline = static_cast<int>(out.size());
            }
        }
        out += text[i];
    }
    return out;
}

void SystemMenu::Open(gfx::Point at, const gfx::Rect& bounds, gfx::Font& font) {
    gfx::Bitmap scratch(1, 1);
    gfx::DeviceContext measure;
    measure.SelectObject(&scratch);
    measure.SelectObject(&font);
    int width = kMinWidth;
    int height = 2;  // the border, top and bottom
    for (const Item& item : items_) {
        height += HeightOf(item);
        if (!item.IsSeparator()) {
            int underline = 0;
            const int text = measure.GetTextExtent(DisplayText(item.text, &underline)).x;
            width = std::max(width, kTextLeft + text + kTextRight);
        }
    }
    // Stick out neither right nor below; where the bounds are smaller, keep the top-left inside.
    const int x = std::max(bounds.left, std::min(at.x, bounds.right - width));
    const int y = std::max(bounds.top, std::min(at.y, bounds.bottom - height));
    bounds_ = {x, y, x + width, y + height};
    hot_ = -1;
    open_ = true;
}

void SystemMenu::Close() {
    open_ = false;
    hot_ = -1;
}

gfx::Rect SystemMenu::ItemRect(int index) const {
    int top = bounds_.top + 1;
    for (int i = 0; i < index; ++i) {
        top += HeightOf(items_[i]);
    }
    return {bounds_.left + 1, top, bounds_.right - 1, top + HeightOf(items_[index])};
}

int SystemMenu::ItemAt(gfx::Point p) const {
    if (!open_) {
        return -1;
    }
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        if (!items_[i].IsSeparator() && ItemRect(i).Contains(p)) {
            return i;
        }
    }
    return -1;
}

bool SystemMenu::SetHot(int index) {
    if (index >= static_cast<int>(items_.size()) || (index >= 0 && items_[index].IsSeparator())) {
        index = -1;
    }
    const bool changed = index != hot_;
    hot_ = index;
    return changed;
}

void SystemMenu::MoveHot(int step) {
    const int n = static_cast<int>(items_.size());
    int i = hot_ < 0 ? (step > 0 ? -1 : n) : hot_;
    for (int tries = 0; tries < n; ++tries) {
        i = ((i + step) % n + n) % n;
        if (!items_[i].IsSeparator()) {
            hot_ = i;
            return;
        }
    }
}

int SystemMenu::ItemForKey(char key) const {
    const int wanted = std::tolower(static_cast<unsigned char>(key));
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        int underline = -1;
        const std::string shown = DisplayText(items_[i].text, &underline);
        if (underline >= 0 &&
            std::tolower(static_cast<unsigned char>(shown[underline])) == wanted) {
            return i;
        }
    }
    return -1;
}

void SystemMenu::Draw(gfx::DeviceContext& dc, gfx::Font& font) const {
    if (!open_) {
        return;
    }
    FillRect(dc, bounds_, kBorder, kFace);
    const gfx::ScopedSelect<gfx::Font> withFont(dc, &font);
    const int oldMode = dc.SetBkMode(gfx::TRANSPARENT);
    const gfx::Colour oldColour = dc.SetTextColor(kText);
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const gfx::Rect r = ItemRect(i);
        if (items_[i].IsSeparator()) {
            const int y = (r.top + r.bottom) / 2;
            HLine(dc, r.left + kTextLeft - 2, r.right - 2, y, kSeparator);
            continue;
        }
        if (i == hot_) {
            FillRect(dc, r, kHot, kHot);
        }
        int underline = -1;
        const std::string shown = DisplayText(items_[i].text, &underline);
        const gfx::Rect textRect{r.left + kTextLeft, r.top, r.right, r.bottom};
        // With DT_VCENTER the result is how far below the rectangle's top the text ends.
        const int textBottom =
            r.top + dc.DrawText(shown, textRect, gfx::DT_VCENTER | gfx::DT_SINGLELINE);
        if (underline >= 0) {
            // The access key's underline sits just below the glyphs' baseline area.
            const int x0 = textRect.left + dc.GetTextExtent(shown.substr(0, underline)).x;
            std::size_t len = 1;
            while (underline + len < shown.size() &&
                   (static_cast<unsigned char>(shown[underline + len]) & 0xC0) == 0x80) {
                ++len;  // the rest of a multi-byte character
            }
            const int x1 = x0 + dc.GetTextExtent(shown.substr(underline, len)).x;
            const int y = textBottom - 1;
            HLine(dc, x0, x1, y, kText);
        }
    }
    dc.SetTextColor(oldColour);
    dc.SetBkMode(oldMode);
}

}  // namespace ui
