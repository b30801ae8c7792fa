#pragma once

#include <functional>

#include "GameClass/GameEvent.h"
#include "platform/graphics/Types.h"

// The main dialog's hidden controls as the world's rectangles: the field, the title box and
// the drawn Start, Stop and Exit buttons. `controlRect(id)` gives a control's rectangle in
// client pixels; the dialog passes its own, the benchmarks and tests LayOutWorldFromTemplate.
void LayOutWorld(CGameEvent& world, const std::function<gfx::Rect(int id)>& controlRect);
// The same with the rectangles the main dialog's template gives, without a window.
void LayOutWorldFromTemplate(CGameEvent& world);
