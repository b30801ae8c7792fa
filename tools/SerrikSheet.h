#pragma once

#include "platform/graphics/DeviceContext.h"

// The drawing-context section of the drawing sheet: every CSerrikDC operation in a labelled
// tile, tiles laid out left to right and wrapped to the area's width.
void DrawSerrikSheet(gfx::DeviceContext& dc, gfx::Rect area);
// The height DrawSerrikSheet needs for an area of the given width.
int SerrikSheetHeight(int width);
