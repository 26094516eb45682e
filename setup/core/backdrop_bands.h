// The installer's backdrop: 256 horizontal bands from bright blue at the
// top to black at the bottom.
#pragma once

#include <array>
#include <cstdint>

namespace setup {

struct Band {
    int left = 0, top = 0, right = 0, bottom = 0;
    std::uint8_t blue = 0;  // red and green are 0
};

inline constexpr int kBandCount = 256;

// Band i covers y from i * H / 256 to (i + 1) * H / 256, each truncated,
// and x from 0 to one past the right edge, in blue 255 - i. A height that is
// no multiple of 256 gives bands of two heights; one under 256 gives empty
// bands as well.
std::array<Band, kBandCount> BackdropBands(int width, int height);

}  // namespace setup
