#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/window/Geometry.h"
#include "platform/window/SdlPtrs.h"

namespace ui {

// One window with its renderer and the streaming texture that shows a client surface,
// enlarged by the geometry's integer scale with nearest sampling.
class Presentation {
public:
    Presentation() = default;
    ~Presentation() { Destroy(); }
    Presentation(const Presentation&) = delete;
    Presentation& operator=(const Presentation&) = delete;

    // Creates the window hidden, `geometry.WindowSize()` large, not resizable. `x`, `y` are
    // screen coordinates or SDL_WINDOWPOS_CENTERED. Returns false with the reason in `error`.
    bool Create(const std::string& captionUtf8, const Geometry& geometry, int x, int y,
                std::string* error);
    void Destroy();

    // Uploads `client` (its size must be the geometry's client size) and shows it: update the
    // texture, clear, copy, present. Returns false with the reason when a step fails.
    bool Present(const gfx::Bitmap& client, std::string* error);

    void Show();
    // Raises the window and gives it the keyboard focus.
    void Activate();
    // Makes this window stay above `owner` (where the window system supports it).
    void SetModalFor(const Presentation& owner);
    // The window icon from a complete BMP file; a 32-bit one keeps its alpha.
    void SetIcon(std::span<const std::uint8_t> bmp);
    bool IsMinimized() const;
    // Where the window lies on the screen.
    gfx::Rect GetScreenRect() const;

    std::uint32_t WindowId() const { return window_ ? SDL_GetWindowID(window_.get()) : 0; }
    const Geometry& GetGeometry() const { return geometry_; }

private:
    Geometry geometry_;
    sdl::WindowPtr window_;
    sdl::RendererPtr renderer_;
    sdl::TexturePtr texture_;
    unsigned long xid_ = 0;  // the X window, 0 on other window systems
};

// The usable area of the display the windows open on (the whole screen less task bars), or
// false when it cannot be read.
bool UsableDisplayBounds(gfx::Rect* usable);

}  // namespace ui
