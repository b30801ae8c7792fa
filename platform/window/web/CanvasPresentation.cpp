// Presentation in a web page. The page has one canvas, so here every window is a layer of
// it: the first one sizes the canvas, a later one (a modal box) lies centred over it in a
// frame with its caption (drawn here, as no window manager does), and each present draws
// every shown layer's last picture, bottom to top. The browser's input events (Page.cpp) are
// handed to the layer under the pointer (the keyboard to the top layer) in that layer's own
// coordinates, so the message loop sees one window per dialog as on the desktop. The page
// scales the canvas by an integer factor itself, so the scale here is 1.

#include <emscripten/em_js.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/window/Controls.h"
#include "platform/window/Presentation.h"
#include "platform/window/web/Canvas.h"

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
// the browser's input events.
struct Canvas {
    gfx::Point size;                  // (0, 0) while no window is open
    std::vector<gfx::Colour> pixels;  // what the canvas shows, each word opaque
    std::vector<Layer> layers;        // bottom to top
    std::uint32_t nextId = 1;
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

// clang-format off
// Shows `pixels`, `w` x `h` 0xAABBGGRR words, on the canvas.
EM_JS(void, tolvane_canvas_show, (const void* pixels, int w, int h), {
    const canvas = Module['canvas'];
    let shown = Module['tolvaneShown'];
    if (!shown || shown.image.width !== w || shown.image.height !== h) {
        const context = canvas.getContext('2d');
        shown = Module['tolvaneShown'] = { context: context, image: context.createImageData(w, h) };
    }
    shown.image.data.set(HEAPU8.subarray(pixels, pixels + w * h * 4));
    shown.context.putImageData(shown.image, 0, 0);
});
EM_JS(void, tolvane_canvas_title, (const char* title), {
    document.title = UTF8ToString(title);
});
// clang-format on

// Draws every shown layer into the canvas and shows it. The game's colour words leave the
// alpha byte clear; the canvas's are opaque.
void Compose() {
    Canvas& c = TheCanvas();
    const gfx::Rect canvas{0, 0, c.size.x, c.size.y};
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
            std::transform(from, from + (right - left), c.pixels.data() + y * c.size.x + left,
                           [](gfx::Colour word) { return word | 0xFF000000u; });
        }
    }
    tolvane_canvas_show(c.pixels.data(), c.size.x, c.size.y);
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
    if (c.layers.empty()) {
        // The page's title is the first window's caption, and its client area is the canvas.
        if (emscripten_set_canvas_element_size("#canvas", clientSize.x, clientSize.y) !=
            EMSCRIPTEN_RESULT_SUCCESS) {
            *error = "cannot create the window: the page has no canvas";
            return false;
        }
        tolvane_canvas_title(captionUtf8.c_str());
        c.size = clientSize;
        c.pixels.assign(static_cast<std::size_t>(clientSize.x) * clientSize.y, 0);
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
    const int x = std::max(0, (c.size.x - size.x) / 2);
    const int y = std::max(0, (c.size.y - size.y) / 2);
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
        // The last window closed: the page has no game to show.
        emscripten_set_canvas_element_size("#canvas", 0, 0);
        c.size = {0, 0};
        c.pixels.clear();
        return;
    }
    // What the closed box covered shows again at once.
    Compose();
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
    Compose();
    return true;
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
    const gfx::Point size = TheCanvas().size;
    if (size.x == 0) {
        return false;
    }
    *usable = {0, 0, size.x, size.y};
    return true;
}

gfx::Point web::CanvasSize() {
    return TheCanvas().size;
}

void web::ToLayer(Message* m) {
    const std::vector<Layer>& layers = TheCanvas().layers;
    if (layers.empty()) {
        return;
    }
    switch (m->type) {
        case Message::Type::MouseMove:
        case Message::Type::Button: {
            const Layer* l = LayerAt(m->at.x, m->at.y);
            m->windowId = l->id;
            m->at.x -= l->at.left + l->client.x;
            m->at.y -= l->at.top + l->client.y;
            break;
        }
        case Message::Type::Exposed:
            // A present of any layer redraws them all.
            m->windowId = layers.front().id;
            break;
        default:
            m->windowId = layers.back().id;
            break;
    }
}

}  // namespace ui
