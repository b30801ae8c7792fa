#pragma once

#include <SDL.h>

#include <memory>
#include <string>

// SDL handles owned by std::unique_ptr, so nothing leaks on an early return. Only
// platform/window includes this header: nothing above it knows SDL.
namespace ui::sdl {

struct WindowDeleter {
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct RendererDeleter {
    void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct TextureDeleter {
    void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

using WindowPtr = std::unique_ptr<SDL_Window, WindowDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, RendererDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, TextureDeleter>;
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// "<what>: <SDL_GetError()>", for the error a failed creation hands back.
inline std::string Error(const char* what) {
    return std::string(what) + ": " + SDL_GetError();
}

}  // namespace ui::sdl
