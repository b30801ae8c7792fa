#include <SDL.h>

#include "platform/window/Backend.h"
#include "platform/window/sdl/Events.h"

namespace ui {

namespace {

Message KeyMessage(const SDL_KeyboardEvent& event) {
    Message m;
    m.type = Message::Type::KeyDown;
    m.windowId = event.windowID;
    m.alt = (event.keysym.mod & KMOD_ALT) != 0;
    m.shift = (event.keysym.mod & KMOD_SHIFT) != 0;
    const SDL_Keycode key = event.keysym.sym;
    switch (key) {
        case SDLK_ESCAPE:
            m.key = Key::Escape;
            break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            m.key = Key::Enter;
            break;
        case SDLK_F4:
            m.key = Key::F4;
            break;
        case SDLK_F10:
            m.key = Key::F10;
            break;
        case SDLK_SPACE:
            m.key = Key::Space;
            break;
        case SDLK_APPLICATION:
            m.key = Key::Application;
            break;
        case SDLK_UP:
            m.key = Key::Up;
            break;
        case SDLK_DOWN:
            m.key = Key::Down;
            break;
        default:
            if (key >= SDLK_a && key <= SDLK_z) {
                m.key = Key::Letter;
                m.letter = static_cast<char>(key);
            }
            break;
    }
    return m;
}

Message WindowMessage(const SDL_WindowEvent& event) {
    Message m;
    m.windowId = event.windowID;
    switch (event.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            m.type = Message::Type::Exposed;
            break;
        case SDL_WINDOWEVENT_RESTORED:
            m.type = Message::Type::Restored;
            break;
        case SDL_WINDOWEVENT_CLOSE:
            m.type = Message::Type::Close;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            m.type = Message::Type::FocusLost;
            break;
        case SDL_WINDOWEVENT_LEAVE:
            m.type = Message::Type::MouseLeft;
            break;
        default:
            break;
    }
    return m;
}

Message Translate(const SDL_Event& event) {
    Message m;
    if (event.type == sdl::WakeEventType()) {
        m.type = Message::Type::Wake;
        m.windowId = event.user.windowID;
        return m;
    }
    switch (event.type) {
        case SDL_QUIT:
            m.type = Message::Type::Quit;
            break;
        case SDL_WINDOWEVENT:
            m = WindowMessage(event.window);
            break;
        case SDL_KEYDOWN:
            m = KeyMessage(event.key);
            break;
        case SDL_MOUSEMOTION:
            m.type = Message::Type::MouseMove;
            m.windowId = event.motion.windowID;
            m.at = {event.motion.x, event.motion.y};
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT || event.button.button == SDL_BUTTON_RIGHT) {
                m.type = Message::Type::Button;
                m.windowId = event.button.windowID;
                m.down = event.type == SDL_MOUSEBUTTONDOWN;
                m.left = event.button.button == SDL_BUTTON_LEFT;
                m.at = {event.button.x, event.button.y};
            }
            break;
        case SDL_MOUSEWHEEL:
            if (event.wheel.y != 0) {
                m.type = Message::Type::Wheel;
                m.windowId = event.wheel.windowID;
                m.notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y
                                                                            : event.wheel.y;
            }
            break;
        default:
            break;
    }
    return m;
}

}  // namespace

bool backend::PollMessage(Message* message) {
    SDL_Event event;
    if (SDL_PollEvent(&event) != 1) {
        return false;
    }
    *message = Translate(event);
    return true;
}

}  // namespace ui
