#include "platform/window/Presentation.h"

#include "platform/window/sdl/SdlPtrs.h"
#include "platform/window/sdl/X11.h"

namespace ui {

struct Presentation::Native {
    sdl::WindowPtr window;
    sdl::RendererPtr renderer;
    sdl::TexturePtr texture;
    unsigned long xid = 0;  // the X window, 0 on other window systems
};

Presentation::Presentation() : native_(std::make_unique<Native>()) {}

Presentation::~Presentation() {
    Destroy();
}

bool Presentation::Create(const std::string& captionUtf8, const Geometry& geometry,
                          std::optional<gfx::Point> at, std::string* error) {
    Destroy();
    geometry_ = geometry;
    const gfx::Point size = geometry.WindowSize();
    const int x = at ? at->x : SDL_WINDOWPOS_CENTERED;
    const int y = at ? at->y : SDL_WINDOWPOS_CENTERED;
    sdl::WindowPtr window(
        SDL_CreateWindow(captionUtf8.c_str(), x, y, size.x, size.y, SDL_WINDOW_HIDDEN));
    if (!window) {
        *error = sdl::Error("cannot create the window");
        return false;
    }
    sdl::RendererPtr renderer(SDL_CreateRenderer(window.get(), -1, 0));
    if (!renderer) {
        // A display without usable acceleration still has the software renderer.
        renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
    }
    if (!renderer) {
        *error = sdl::Error("cannot create a renderer");
        return false;
    }
    const gfx::Point client = geometry.ClientSize();
    // XBGR8888 read as a 32-bit word is 0x00BBGGRR: the surfaces' own pixel format.
    sdl::TexturePtr texture(SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_XBGR8888,
                                              SDL_TEXTUREACCESS_STREAMING, client.x, client.y));
    if (!texture) {
        *error = sdl::Error("cannot create the window's texture");
        return false;
    }
    if (SDL_SetTextureScaleMode(texture.get(), SDL_ScaleModeNearest) != 0) {
        *error = sdl::Error("cannot select nearest scaling");
        return false;
    }
    native_->xid = x11::AdoptWindow(window.get());
    native_->window = std::move(window);
    native_->renderer = std::move(renderer);
    native_->texture = std::move(texture);
    return true;
}

void Presentation::Destroy() {
    if (x11::ConnectionLost()) {
        // SDL would wait for the server to confirm the window's unmapping, for ever. SDL
        // still lists the window, so nothing is lost that the process's end does not free.
        static_cast<void>(native_->texture.release());
        static_cast<void>(native_->renderer.release());
        static_cast<void>(native_->window.release());
        native_->xid = 0;
        return;
    }
    native_->texture.reset();
    native_->renderer.reset();
    x11::ForgetWindow(native_->xid);
    native_->xid = 0;
    native_->window.reset();
}

bool Presentation::Present(const gfx::Bitmap& client, std::string* error) {
    const gfx::Point size = geometry_.ClientSize();
    if (!native_->texture || client.Width() != size.x || client.Height() != size.y) {
        *error = "the client surface does not match the window";
        return false;
    }
    if (SDL_UpdateTexture(native_->texture.get(), nullptr, client.Data(),
                          client.Width() * static_cast<int>(sizeof(gfx::Colour))) != 0) {
        *error = sdl::Error("cannot update the window's texture");
        return false;
    }
    if (SDL_SetRenderDrawColor(native_->renderer.get(), 0, 0, 0, 255) != 0 ||
        SDL_RenderClear(native_->renderer.get()) != 0) {
        *error = sdl::Error("cannot clear the window");
        return false;
    }
    const gfx::Rect to = geometry_.ToWindow({0, 0, size.x, size.y});
    const SDL_Rect dst{to.left, to.top, to.Width(), to.Height()};
    if (SDL_RenderCopy(native_->renderer.get(), native_->texture.get(), nullptr, &dst) != 0) {
        *error = sdl::Error("cannot draw the window's texture");
        return false;
    }
    SDL_RenderPresent(native_->renderer.get());
    return true;
}

void Presentation::Show() {
    if (native_->window) {
        SDL_ShowWindow(native_->window.get());
    }
}

void Presentation::Activate() {
    if (native_->window) {
        SDL_RaiseWindow(native_->window.get());
        // A window manager gives the focus on the raise; without one only this sets it.
        SDL_SetWindowInputFocus(native_->window.get());
    }
}

void Presentation::SetModalFor(const Presentation& owner) {
    if (native_->window && owner.native_->window) {
        // Only some window systems know modality; elsewhere the owner's input is held back
        // by the message loop alone, so a failure here changes nothing.
        SDL_SetWindowModalFor(native_->window.get(), owner.native_->window.get());
    }
}

void Presentation::TakeKeyboard(bool take) {
    if (native_->window) {
        SDL_SetWindowKeyboardGrab(native_->window.get(), take ? SDL_TRUE : SDL_FALSE);
    }
}

void Presentation::SetIcon(std::span<const std::uint8_t> bmp) {
    if (!native_->window || bmp.empty()) {
        return;
    }
    // Decoded here rather than through the game's 0x00BBGGRR bitmaps, which drop the alpha
    // channel that lets the icon's corners show through.
    SDL_RWops* rw = SDL_RWFromConstMem(bmp.data(), static_cast<int>(bmp.size()));
    if (rw == nullptr) {
        return;
    }
    sdl::SurfacePtr surface(SDL_LoadBMP_RW(rw, 1));
    if (surface) {
        SDL_SetWindowIcon(native_->window.get(), surface.get());
    }
}

bool Presentation::IsMinimized() const {
    return native_->window &&
           (SDL_GetWindowFlags(native_->window.get()) & SDL_WINDOW_MINIMIZED) != 0;
}

std::uint32_t Presentation::WindowId() const {
    return native_->window ? SDL_GetWindowID(native_->window.get()) : 0;
}

gfx::Rect Presentation::GetScreenRect() const {
    int x = 0, y = 0, w = 0, h = 0;
    if (native_->window) {
        SDL_GetWindowPosition(native_->window.get(), &x, &y);
        SDL_GetWindowSize(native_->window.get(), &w, &h);
    }
    return {x, y, x + w, y + h};
}

gfx::Point Presentation::FrameSize() const {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (native_->window &&
        SDL_GetWindowBordersSize(native_->window.get(), &top, &left, &bottom, &right) == 0 &&
        top + left + bottom + right > 0) {
        return {left + right, top + bottom};
    }
    // SDL learns an X window's frame only once it is shown.
    int w = 0, h = 0;
    return x11::FrameExtents(native_->xid, &w, &h) ? gfx::Point{w, h} : gfx::Point{0, 0};
}

bool UsableDisplayBounds(gfx::Rect* usable) {
    SDL_Rect r{};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0 || r.w <= 0 || r.h <= 0) {
        return false;
    }
    *usable = {r.x, r.y, r.x + r.w, r.y + r.h};
    return true;
}

}  // namespace ui
