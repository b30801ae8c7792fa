#pragma once

#include <span>

#include "platform/system/Resources.h"

// The BMP files generated from the pixel art at build time (icon 128, bitmaps 132 to 135).
std::span<const sys::BitmapResource> EmbeddedBitmaps();
