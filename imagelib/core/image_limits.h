// Bounds on what any decoder makes, whatever a file's header claims.
#pragma once

#include <cstdint>

namespace imagelib {

// At most 2^27 pixels (128 Mi; a 24-bit record of that size is 384 MiB,
// more than a 32-bit process can usually find in one piece) and at most
// 65535 pixels a side.
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 27;
inline constexpr std::int64_t kMaxImageSide = 65535;

// True when an image of this size may be made at all.
inline bool ImageSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

}  // namespace imagelib
