#include "setup/core/backdrop_bands.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

// From bright blue to black, the bands cover the backdrop's full width and
// height without a gap or an overlap, also where the height is no multiple
// of 256 or under 256.
TEST(BackdropBands, CoverTheWholeBackdropWithoutGaps) {
    for (const int height : {1000, 768, 100}) {
        const auto bands = BackdropBands(1024, height);
        int top = 0;
        for (int i = 0; i < kBandCount; ++i) {
            const Band& band = bands[i];
            EXPECT_EQ(band.top, top) << height << " " << i;
            EXPECT_GE(band.bottom, top) << height << " " << i;
            EXPECT_LE(band.bottom - top, (height + 255) / 256) << height << " " << i;
            EXPECT_EQ(band.blue, 255 - i);
            EXPECT_EQ(band.left, 0);
            EXPECT_EQ(band.right, 1025);  // one past the right edge
            top = band.bottom;
        }
        EXPECT_EQ(top, height);
    }
    // Each edge truncated: 1000 / 256 = 3.90625, so band 1 runs from 3 to 7.
    const auto bands = BackdropBands(1024, 1000);
    EXPECT_EQ(bands[1].top, 3);
    EXPECT_EQ(bands[1].bottom, 7);
    EXPECT_EQ(bands[255].top, 996);
}

}  // namespace
}  // namespace setup
