#include "kit/core/saver_input.h"

namespace kit {
namespace {

std::int64_t Distance(std::int32_t a, std::int32_t b) {
    const std::int64_t d = std::int64_t{a} - std::int64_t{b};
    return d < 0 ? -d : d;
}

}  // namespace

Rect FullScreenWindow(Size screen, Rect virtualScreen) {
    if (virtualScreen.right > virtualScreen.left && virtualScreen.bottom > virtualScreen.top)
        return virtualScreen;
    return {0, 0, screen.width, screen.height};
}

bool IsActiveConfigKey(unsigned virtualKey) {
    return virtualKey == 0x10 || virtualKey == 0x11 || virtualKey == 0x91;
}

bool MovedBeyondThreshold(Point start, Point now, std::int32_t threshold) {
    return Distance(now.x, start.x) > threshold || Distance(now.y, start.y) > threshold;
}

}  // namespace kit
