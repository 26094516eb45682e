#include "setup/core/backdrop_bands.h"

namespace setup {

std::array<Band, kBandCount> BackdropBands(int width, int height) {
    std::array<Band, kBandCount> bands;
    // Dividing by 256 is exact in floating point, so truncating i * (H / 256)
    // is the integer division below; 64-bit, so that no height overflows.
    const auto edge = [height](int i) {
        return static_cast<int>(static_cast<std::int64_t>(i) * height / kBandCount);
    };
    for (int i = 0; i < kBandCount; ++i)
        bands[i] = {0, edge(i), width + 1, edge(i + 1), static_cast<std::uint8_t>(255 - i)};
    return bands;
}

}  // namespace setup
