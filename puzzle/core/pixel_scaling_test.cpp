#include "puzzle/core/pixel_scaling.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace puzzle {
namespace {

// A picture in memory that records which rows the scaler asked for.
struct Source {
    int width;
    int height;
    std::vector<Pixel> pixels;
    std::vector<int> asked;

    Source(int w, int h, Pixel fill) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    Pixel& At(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    SourceRow Rows() {
        return [this](int y) {
            asked.push_back(y);
            return pixels.data() + std::size_t(y) * width;
        };
    }
};

int Channel(Pixel p, int c) { return int((p >> (8 * c)) & 0xFF); }

TEST(PixelScaling, APlainAreaKeepsItsColourAtAnySize) {
    const Pixel colour = 0xFFC08040;  // every channel, the fourth too
    for (const auto& [w, h, tw, th] :
         {std::array{7, 5, 13, 11}, std::array{1000, 1, 1, 1}, std::array{1, 1, 900, 750},
          std::array{123, 77, 40, 3}, std::array{3, 1000, 17, 999}}) {
        Source source(w, h, colour);
        const std::vector<Pixel> scaled = ScalePixels(source.Rows(), {0, 0, w, h}, tw, th);
        ASSERT_EQ(scaled.size(), std::size_t(tw) * th);
        for (Pixel p : scaled) ASSERT_EQ(p, colour) << w << "x" << h << " to " << tw << "x" << th;
    }
}

TEST(PixelScaling, OnlyThePartIsReadEachRowOnceInOrder) {
    // Poison around a grey part: none of it may show.
    Source source(50, 40, 0xFFFFFFFF);
    const Rect part{10, 5, 21, 17};
    for (int y = part.y; y < part.y + part.height; ++y)
        for (int x = part.x; x < part.x + part.width; ++x) source.At(x, y) = 0x00404040;
    for (const auto& [tw, th] : {std::array{7, 5}, std::array{64, 48}, std::array{21, 17}}) {
        source.asked.clear();
        for (Pixel p : ScalePixels(source.Rows(), part, tw, th)) ASSERT_EQ(p, 0x00404040u);
        ASSERT_EQ(source.asked.size(), std::size_t(part.height));
        for (int k = 0; k < part.height; ++k) EXPECT_EQ(source.asked[k], part.y + k);
    }
}

TEST(PixelScaling, TheSameSizeCopiesAndShrinkingAverages) {
    Source source(9, 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) source.At(x, y) = Pixel(std::rand() & 0xFFFFFF);
    EXPECT_EQ(ScalePixels(source.Rows(), {0, 0, 9, 4}, 9, 4), source.pixels);

    // Halving a row of pairs averages each pair; a third of a pixel counts
    // a third.
    Source pairs(4, 1, 0);
    pairs.pixels = {0x000000, 0x0000FF, 0x00FF00, 0x00FF00};
    EXPECT_EQ(ScalePixels(pairs.Rows(), {0, 0, 4, 1}, 2, 1),
              (std::vector<Pixel>{0x000080, 0x00FF00}));
    Source three(3, 1, 0);
    three.pixels = {0x0000FF, 0x000000, 0x000000};
    const std::vector<Pixel> halves = ScalePixels(three.Rows(), {0, 0, 3, 1}, 2, 1);
    EXPECT_EQ(Channel(halves[0], 0), 170);  // 1 of 1.5 pixels blue
    EXPECT_EQ(Channel(halves[1], 0), 0);
}

TEST(PixelScaling, GrowingBlendsNeighboursWithoutOvershoot) {
    Source edge(2, 1, 0);
    edge.pixels = {0x000000, 0xFFFFFF};
    const std::vector<Pixel> grown = ScalePixels(edge.Rows(), {0, 0, 2, 1}, 8, 1);
    EXPECT_EQ(grown.front(), 0x000000u);
    EXPECT_EQ(grown.back(), 0xFFFFFFu);
    for (std::size_t i = 1; i < grown.size(); ++i)
        EXPECT_GE(Channel(grown[i], 1), Channel(grown[i - 1], 1));  // a ramp, never back
}

TEST(PixelScaling, EmptySizesGiveNothing) {
    Source source(4, 4, 1);
    EXPECT_TRUE(ScalePixels(source.Rows(), {0, 0, 4, 4}, 0, 3).empty());
    EXPECT_TRUE(ScalePixels(source.Rows(), {0, 0, 0, 4}, 3, 3).empty());
    EXPECT_TRUE(source.asked.empty());
}

}  // namespace
}  // namespace puzzle
