// Presentation in a web page. The page has one canvas, and SDL's browser backend gives every
// window that same canvas, so here every window is a layer of one SDL window: the first one
// sizes the canvas, a later one (a modal box) lies centred over it in a frame with its caption
// (drawn here, as no window manager does), and each present draws every shown layer's last
// picture, bottom to top. Layers have ids of their own, and SDL's
// input events are handed to the layer under the pointer (the keyboard to the top layer) in
// that layer's own coordinates, so the message loop sees one window per dialog as on the
// desktop. The page scales the canvas by an integer factor itself, so the scale here is 1.

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/window/Controls.h"
#include "platform/window/Presentation.h"
#include "platform/window/Video.h"
#include "platform/window/sdl/SdlPtrs.h"

namespace ui {

namespace {

struct Layer {
    const Presentation* presentation = nullptr;
    std::uint32_t id = 0;
    gfx::Rect at;                     // on the canvas, its frame included
    gfx::Point client;                // where its client area lies inside it
    std::vector<gfx::Colour> pixels;  // its frame and the client's last picture
    bool presented = false;
    bool shown = false;
};

// Touched on the user-interface thread only: every window call comes from there, and so do
// the browser's input events, which SDL delivers on the thread that created the window.
struct Canvas {
    SDL_Window* window = nullptr;
    std::vector<Layer> layers;  // bottom to top
    // Far above SDL's own window ids, which count from 1.
    std::uint32_t nextId = 0x10000;
};

Canvas& TheCanvas() {
    static Canvas canvas;
    return canvas;
}

Layer* FindLayer(const Presentation* p) {
    for (Layer& l : TheCanvas().layers) {
        if (l.presentation == p) {
            return &l;
        }
    }
    return nullptr;
}

// The shown layer that takes input at canvas point (x, y): the topmost one under it, or the
// top one for a point outside them all (a drag held beyond the edge).
const Layer* LayerAt(int x, int y) {
    const std::vector<Layer>& layers = TheCanvas().layers;
    for (auto it = layers.rbegin(); it != layers.rend(); ++it) {
        if (it->shown && it->at.Contains({x, y})) {
            return &*it;
        }
    }
    return layers.empty() ? nullptr : &layers.back();
}

template <typename Event>
void ToLayer(Event& e, int& x, int& y) {
    if (const Layer* l = LayerAt(x, y)) {
        e.windowID = l->id;
        x -= l->at.left + l->client.x;
        y -= l->at.top + l->client.y;
    }
}

// Rewrites an event of the canvas window as it is queued, for the layer it belongs to.
int Retarget(void* /*userdata*/, SDL_Event* event) {
    Canvas& c = TheCanvas();
    if (!IsUiThread() || c.window == nullptr || c.layers.empty()) {
        return 1;
    }
    const std::uint32_t canvasId = SDL_GetWindowID(c.window);
    switch (event->type) {
        case SDL_MOUSEMOTION:
            if (event->motion.windowID == canvasId) {
                ToLayer(event->motion, event->motion.x, event->motion.y);
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (event->button.windowID == canvasId) {
                ToLayer(event->button, event->button.x, event->button.y);
            }
            break;
        case SDL_MOUSEWHEEL:
            if (event->wheel.windowID == canvasId) {
                event->wheel.windowID = c.layers.back().id;
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (event->key.windowID == canvasId) {
                event->key.windowID = c.layers.back().id;
            }
            break;
        case SDL_WINDOWEVENT:
            if (event->window.windowID == canvasId) {
                // A present of any layer redraws them all; the rest (focus, pointer leaving)
                // concerns the one that takes input.
                const bool redraw = event->window.event == SDL_WINDOWEVENT_EXPOSED ||
                                    event->window.event == SDL_WINDOWEVENT_SHOWN ||
                                    event->window.event == SDL_WINDOWEVENT_SIZE_CHANGED;
                event->window.windowID = redraw ? c.layers.front().id : c.layers.back().id;
            }
            break;
        default:
            break;
    }
    return 1;
}

// Draws every shown layer into the canvas and shows it.
bool Compose(std::string* error) {
    Canvas& c = TheCanvas();
    SDL_Surface* surface = SDL_GetWindowSurface(c.window);
    if (surface == nullptr) {
        *error = sdl::Error("cannot reach the canvas");
        return false;
    }
    // The canvas's surface holds the game's own colour words (its script sets each pixel
    // opaque as it shows them), so the layers are copied in row by row: SDL's conversion
    // would link every blitter of SDL's into the page for that.
    if (surface->format->format != SDL_PIXELFORMAT_XBGR8888) {
        *error = "the canvas's pixels are not 32-bit 0x00BBGGRR words";
        return false;
    }
    const gfx::Rect canvas{0, 0, surface->w, surface->h};
    auto* base = static_cast<std::uint8_t*>(surface->pixels);
    for (const Layer& l : c.layers) {
        if (!l.shown || !l.presented) {
            continue;
        }
        const int left = std::max(l.at.left, canvas.left);
        const int top = std::max(l.at.top, canvas.top);
        const int right = std::min(l.at.right, canvas.right);
        const int bottom = std::min(l.at.bottom, canvas.bottom);
        if (left >= right || top >= bottom) {
            continue;
        }
        const int stride = l.at.Width();
        const gfx::Colour* from = l.pixels.data() + (top - l.at.top) * stride + (left - l.at.left);
        for (int y = top; y < bottom; ++y, from += stride) {
            std::copy_n(from, right - left,
                        reinterpret_cast<gfx::Colour*>(base + y * surface->pitch) + left);
        }
    }
    if (SDL_UpdateWindowSurface(c.window) != 0) {
        *error = sdl::Error("cannot show the canvas");
        return false;
    }
    return true;
}

}  // namespace

// A layer needs nothing of its own beyond its entry in the canvas.
struct Presentation::Native {};

Presentation::Presentation() : native_(std::make_unique<Native>()) {}

Presentation::~Presentation() {
    Destroy();
}

// A box goes where the canvas has room for it, whatever place its owner asks for.
bool Presentation::Create(const std::string& captionUtf8, const Geometry& geometry,
                          std::optional<gfx::Point> /*at*/, std::string* error) {
    Destroy();
    geometry_ = geometry;
    Canvas& c = TheCanvas();
    const gfx::Point clientSize = geometry.WindowSize();
    if (c.window == nullptr) {
        // The page's title is the first window's caption, and its client area is the canvas.
        c.window = SDL_CreateWindow(captionUtf8.c_str(), 0, 0, clientSize.x, clientSize.y, 0);
        if (c.window == nullptr) {
            *error = sdl::Error("cannot create the window");
            return false;
        }
        SDL_AddEventWatch(Retarget, nullptr);
        c.layers.push_back({this,
                            c.nextId++,
                            {0, 0, clientSize.x, clientSize.y},
                            {0, 0},
                            std::vector<gfx::Colour>(clientSize.x * clientSize.y),
                            false,
                            false});
        return true;
    }
    // A box lies in its frame, centred over the canvas.
    const gfx::Point size = FramedSize(clientSize);
    gfx::Bitmap framed(size.x, size.y, kDialogFace);
    {
        gfx::DeviceContext dc;
        dc.SelectObject(&framed);
        DrawFrame(dc, size, captionUtf8);
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(c.window, &w, &h);
    const int x = std::max(0, (w - size.x) / 2);
    const int y = std::max(0, (h - size.y) / 2);
    c.layers.push_back({this,
                        c.nextId++,
                        {x, y, x + size.x, y + size.y},
                        FramedClientOrigin(),
                        {framed.Data(), framed.Data() + size.x * size.y},
                        false,
                        false});
    return true;
}

void Presentation::Destroy() {
    Canvas& c = TheCanvas();
    if (FindLayer(this) == nullptr) {
        return;
    }
    std::erase_if(c.layers, [this](const Layer& l) { return l.presentation == this; });
    if (c.layers.empty()) {
        SDL_DelEventWatch(Retarget, nullptr);
        SDL_DestroyWindow(c.window);
        c.window = nullptr;
        return;
    }
    // What the closed box covered shows again at once.
    std::string ignored;
    Compose(&ignored);
}

bool Presentation::Present(const gfx::Bitmap& client, std::string* error) {
    Layer* l = FindLayer(this);
    const gfx::Point size = geometry_.ClientSize();
    if (l == nullptr || client.Width() != size.x || client.Height() != size.y) {
        *error = "the client surface does not match the window";
        return false;
    }
    const int stride = l->at.Width();
    for (int y = 0; y < size.y; ++y) {
        std::copy_n(client.Row(y), size.x,
                    l->pixels.begin() + (l->client.y + y) * stride + l->client.x);
    }
    l->presented = true;
    return Compose(error);
}

std::uint32_t Presentation::WindowId() const {
    const Layer* l = FindLayer(this);
    return l != nullptr ? l->id : 0;
}

void Presentation::Show() {
    if (Layer* l = FindLayer(this)) {
        l->shown = true;
    }
}

// The page has one canvas, always in front: there is nothing to raise, and nothing to put
// above an owner but the layer order itself.
void Presentation::Activate() {}
void Presentation::SetModalFor(const Presentation& /*owner*/) {}
// The browser keeps its own keys; a page cannot take them.
void Presentation::TakeKeyboard(bool /*take*/) {}
// The page's icon is its own.
void Presentation::SetIcon(std::span<const std::uint8_t> /*bmp*/) {}

bool Presentation::IsMinimized() const {
    return false;
}

gfx::Rect Presentation::GetScreenRect() const {
    const Layer* l = FindLayer(this);
    return l != nullptr ? l->at : gfx::Rect{};
}

// A layer of the canvas has no frame of the window system's.
gfx::Point Presentation::FrameSize() const {
    return {0, 0};
}

// The canvas once it exists: a box is placed inside it. Before, the first window takes the
// size of its client area; the page enlarges the canvas.
bool UsableDisplayBounds(gfx::Rect* usable) {
    Canvas& c = TheCanvas();
    if (c.window == nullptr) {
        return false;
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(c.window, &w, &h);
    *usable = {0, 0, w, h};
    return true;
}

}  // namespace ui
