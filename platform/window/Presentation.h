#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/window/Geometry.h"

namespace ui {

// One window with what shows a client surface in it, enlarged by the geometry's integer scale
// with nearest sampling. The window backend implements it.
class Presentation {
public:
    Presentation();
    ~Presentation();
    Presentation(const Presentation&) = delete;
    Presentation& operator=(const Presentation&) = delete;

    // Creates the window hidden, `geometry.WindowSize()` large, not resizable, with its
    // top-left corner at `at` on the screen (centred without one). Returns false with the
    // reason in `error`.
    bool Create(const std::string& captionUtf8, const Geometry& geometry,
                std::optional<gfx::Point> at, std::string* error);
    void Destroy();

    // Uploads `client` (its size must be the geometry's client size) and shows it: update the
    // texture, clear, copy, present. Returns false with the reason when a step fails.
    bool Present(const gfx::Bitmap& client, std::string* error);

    void Show();
    // Raises the window and gives it the keyboard focus.
    void Activate();
    // Makes this window stay above `owner` (where the window system supports it).
    void SetModalFor(const Presentation& owner);
    // Takes all keys from the window system (its manager's shortcuts too), or gives them back.
    void TakeKeyboard(bool take);
    // The window icon from a complete BMP file; a 32-bit one keeps its alpha.
    void SetIcon(std::span<const std::uint8_t> bmp);
    bool IsMinimized() const;
    // Where the window lies on the screen.
    gfx::Rect GetScreenRect() const;
    // The width and height the window system's frame (borders and caption) adds to the
    // window; (0, 0) while the window system has not said.
    gfx::Point FrameSize() const;

    // The id the window system's events name this window by; 0 before Create.
    std::uint32_t WindowId() const;
    const Geometry& GetGeometry() const { return geometry_; }

private:
    struct Native;  // the backend's window, renderer and texture
    Geometry geometry_;
    std::unique_ptr<Native> native_;
};

// The usable area of the display the windows open on (the whole screen less task bars), or
// false when it cannot be read.
bool UsableDisplayBounds(gfx::Rect* usable);

}  // namespace ui
