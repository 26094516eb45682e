#include "setup/core/preview_template.h"

#include <gtest/gtest.h>

#include <vector>

#include "setup/core/backdrop_bands.h"

namespace setup {
namespace {

std::vector<std::uint8_t> Words(std::initializer_list<std::uint16_t> words) {
    std::vector<std::uint8_t> bytes;
    for (auto w : words)
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8)});
    return bytes;
}

std::vector<std::uint8_t> Utf16(const char* text) {
    std::vector<std::uint8_t> bytes;
    for (const char* c = text;; ++c) {
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(*c), 0});
        if (!*c) return bytes;
    }
}

TEST(PreviewDialogTemplate, LaidOutByteForByte) {
    const auto bytes = PreviewDialogTemplate();
    const auto at = [&](std::size_t offset, std::size_t count) {
        return std::vector<std::uint8_t>(bytes.begin() + offset, bytes.begin() + offset + count);
    };
    ASSERT_EQ(bytes.size(), 152u);
    // Header: style, extended style, 3 items, x 0, y 0, 278 x 196, no menu,
    // the standard class, the caption; font size and name.
    EXPECT_EQ(at(0, 22), Words({0x08C4, 0x90C8, 0, 0, 3, 0, 0, 278, 196, 0, 0}));
    EXPECT_EQ(at(22, 16), Utf16("Preview"));
    EXPECT_EQ(at(38, 2), Words({8}));
    EXPECT_EQ(at(40, 28), Utf16("MS Sans Serif"));
    // Items: style, extended style, x, y, width, height, id, class by
    // number, empty text, no creation data, 2 bytes of padding.
    EXPECT_EQ(at(68, 28), Words({0x0001, 0x5000, 0, 0, 113, 175, 50, 14, 1, 0xFFFF, 0x0080, 0, 0, 0}));
    EXPECT_EQ(at(96, 28), Words({0x0004, 0x5000, 0, 0, 7, 7, 264, 152, 3, 0xFFFF, 0x0082, 0, 0, 0}));
    EXPECT_EQ(at(124, 28), Words({0x0001, 0x5000, 0, 0, 7, 162, 264, 8, 2, 0xFFFF, 0x0082, 0, 0, 0}));
}

TEST(BackdropBands, HeightNotAMultipleOf256) {
    const auto bands = BackdropBands(1024, 1000);
    int heights[5] = {};
    for (int i = 0; i < kBandCount; ++i) {
        const Band& band = bands[i];
        EXPECT_EQ(band.left, 0);
        EXPECT_EQ(band.right, 1025);  // one past the right edge
        EXPECT_EQ(band.blue, 255 - i);
        EXPECT_EQ(band.top, i == 0 ? 0 : bands[i - 1].bottom) << i;  // no gap, no overlap
        ASSERT_GE(band.bottom - band.top, 3);
        ASSERT_LE(band.bottom - band.top, 4);
        ++heights[band.bottom - band.top];
    }
    // 1000 / 256 = 3.90625: y of band 1 runs from 3 to 7 (7.8125).
    EXPECT_EQ(bands[1].top, 3);
    EXPECT_EQ(bands[1].bottom, 7);
    EXPECT_EQ(bands[255].top, 996);
    EXPECT_EQ(bands[255].bottom, 1000);
    EXPECT_EQ(heights[3] * 3 + heights[4] * 4, 1000);

    // Lower than 256 pixels: some bands are empty, the last still ends at the bottom.
    const auto low = BackdropBands(10, 100);
    EXPECT_EQ(low[0].bottom, 0);
    EXPECT_EQ(low[255].bottom, 100);
}

}  // namespace
}  // namespace setup
