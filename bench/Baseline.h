#pragma once

// The frame every figure is compared with: the game's client area, 467 x 359 pixels of
// 32 bits. The baseline benchmark copies one such frame with memcpy.

namespace bench {

constexpr int kFrameWidth = 467;
constexpr int kFrameHeight = 359;
constexpr const char* kBaselineName = "FrameCopy_memcpy";

}  // namespace bench
