#pragma once

#include <string>
#include <vector>

#include "platform/graphics/DeviceContext.h"

namespace ui {

// System command ids (low four bits zero, as system menus require).
constexpr int SC_CLOSE = 0xF060;

// The window's small system menu, drawn by the dialog over its picture: "Close", then what
// the program appends. It knows no window system: it lays itself out, hit-tests, moves its
// highlight and draws into a device context.
class SystemMenu {
public:
    struct Item {
        int command = 0;   // 0 for a separator
        std::string text;  // UTF-8; "&A" marks A as the item's access key
        bool IsSeparator() const { return command == 0; }
    };

    SystemMenu();

    void AppendSeparator();
    void Append(int command, const std::string& text);
    const std::vector<Item>& Items() const { return items_; }

    // Lays the menu out with `font` and opens it with its top-left corner at `at`, moved
    // inside `bounds` where it would stick out. Nothing is highlighted.
    void Open(gfx::Point at, const gfx::Rect& bounds, gfx::Font& font);
    void Close();
    bool IsOpen() const { return open_; }
    gfx::Rect Bounds() const { return bounds_; }

    // Where item `index` lies while the menu is open.
    gfx::Rect ItemRect(int index) const;
    // The index of the selectable item at `p`, or -1 (separators and the border are none).
    int ItemAt(gfx::Point p) const;
    int Hot() const { return hot_; }
    // Returns whether the highlight changed. -1 removes it.
    bool SetHot(int index);
    // Moves the highlight by +1 or -1 over the selectable items, wrapping around.
    void MoveHot(int step);
    // The item whose access key is `key` (case-insensitive ASCII), or -1.
    int ItemForKey(char key) const;

    void Draw(gfx::DeviceContext& dc, gfx::Font& font) const;

    // `text` without its '&' markers ("&&" stays one '&'); `underline` receives the byte
    // offset of the access key in the result, or -1.
    static std::string DisplayText(const std::string& text, int* underline);

private:
    std::vector<Item> items_;
    bool open_ = false;
    int hot_ = -1;
    gfx::Rect bounds_;
};

}  // namespace ui
