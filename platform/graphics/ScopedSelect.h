#pragma once

#include "platform/graphics/DeviceContext.h"

namespace gfx {

// Selects a pen, brush, font or bitmap into a context for one scope and selects the one it
// replaced again when the scope ends, so no early return leaves a dead object selected.
// Scopes on one context nest; each puts back what it found.
template <typename Object>
class ScopedSelect {
public:
    ScopedSelect(DeviceContext& dc, Object* object) : dc_(dc), previous_(dc.SelectObject(object)) {}
    ~ScopedSelect() { dc_.SelectObject(previous_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    DeviceContext& dc_;
    Object* previous_;
};

}  // namespace gfx
