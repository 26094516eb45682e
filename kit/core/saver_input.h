// The input rules of a running full-screen saver that need no platform:
// which keys ask for active configuration, and how far the mouse may move.
#pragma once

#include <cstdint>

#include "kit/core/geometry.h"

namespace kit {

// Shift, Ctrl and Scroll Lock.
bool IsActiveConfigKey(unsigned virtualKey);

// Whether the cursor has gone further than the threshold from the start
// point, in x or in y (a negative threshold: any position does).
bool MovedBeyondThreshold(Point start, Point now, std::int32_t threshold);

}  // namespace kit
