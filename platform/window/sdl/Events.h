#pragma once

#include <cstdint>

// Shared by the SDL backend's files only.
namespace ui::sdl {

// The SDL event type that PostWake pushes (registered by InitVideo).
std::uint32_t WakeEventType();

}  // namespace ui::sdl
