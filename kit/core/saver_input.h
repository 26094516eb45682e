// The rules of a running full-screen saver that need no platform: where its
// window goes, which keys ask for active configuration, and how far the
// mouse may move.
#pragma once

#include <cstdint>

#include "kit/core/geometry.h"

namespace kit {

// The full-screen window covers the virtual screen, every monitor, so that
// all input is the saver's. A system that reports no virtual screen (an
// empty one) gives the primary screen alone, from (0, 0).
Rect FullScreenWindow(Size screen, Rect virtualScreen);

// Shift, Ctrl and Scroll Lock.
bool IsActiveConfigKey(unsigned virtualKey);

// Whether the cursor has gone further than the threshold from the start
// point, in x or in y (a negative threshold: any position does).
bool MovedBeyondThreshold(Point start, Point now, std::int32_t threshold);

}  // namespace kit
