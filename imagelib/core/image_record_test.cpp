#include "imagelib/core/image_record.h"

#include <gtest/gtest.h>

#include <vector>

namespace imagelib {
namespace {

TEST(RowStride, IsAMultipleOfFourForEachBitCount) {
    struct Case {
        std::int64_t width;
        int bits;
        std::int64_t stride;
    };
    const Case cases[] = {
        {1, 1, 4},    {32, 1, 4},   {33, 1, 8},   {1, 4, 4},   {8, 4, 4},    {9, 4, 8},
        {9, 2, 8},    {1, 8, 4},    {4, 8, 4},    {5, 8, 8},   {1, 24, 4},   {4, 24, 12},
        {5, 24, 16},  {3, 16, 12},  {3, 15, 12},  {7, 32, 0},  {7, 3, 0},    {0, 24, 0},
        {-5, 24, 0},  {65535, 24, 196608},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RowStride(c.width, c.bits), c.stride) << c.width << " x " << c.bits << " bits";
    }
}

TEST(ColourCount, IsTwoToTheBitsKeptToNineBits) {
    EXPECT_EQ(ColourCount(1, 1), 2u);
    EXPECT_EQ(ColourCount(1, 4), 16u);
    EXPECT_EQ(ColourCount(1, 8), 256u);
    EXPECT_EQ(ColourCount(1, 16), 0u);
    EXPECT_EQ(ColourCount(1, 24), 0u);
    EXPECT_EQ(ColourCount(1, 32), 1u);
    EXPECT_EQ(ColourCount(2, 4), 256u);
}

TEST(ColourTableEntries, CoversWhatThePlatformReads) {
    InfoHeader header;
    header.bitCount = 8;
    EXPECT_EQ(ColourTableEntries(header), 256u);
    header.coloursUsed = 16;  // fewer used: the full table is still reserved
    EXPECT_EQ(ColourTableEntries(header), 256u);

    header.bitCount = 24;
    header.coloursUsed = 0;
    EXPECT_EQ(ColourTableEntries(header), 0u);
    header.coloursUsed = 20;  // a palette hint on a true-colour bitmap
    EXPECT_EQ(ColourTableEntries(header), 20u);
    header.coloursUsed = 100000;
    EXPECT_EQ(ColourTableEntries(header), 256u);

    header.coloursUsed = 0;
    header.bitCount = 16;
    header.compression = kCompressionBitfields;  // three masks
    EXPECT_EQ(ColourTableEntries(header), 3u);
}

TEST(InfoHeader, WritesTheFortyByteLayoutLittleEndian) {
    InfoHeader header;
    header.width = 0x01020304;
    header.height = -2;
    header.planes = 1;
    header.bitCount = 24;
    header.compression = 2;
    header.imageDataSize = 0xA0B0C0D0;
    header.xPixelsPerMetre = 5;
    header.yPixelsPerMetre = 6;
    header.coloursUsed = 256;
    header.coloursImportant = 7;
    std::vector<std::uint8_t> bytes(40, 0xEE);
    header.Write(bytes.data());
    const std::vector<std::uint8_t> expected = {
        40,   0,    0,    0,     // size
        4,    3,    2,    1,     // width
        0xFE, 0xFF, 0xFF, 0xFF,  // height -2
        1,    0,                 // planes
        24,   0,                 // bit count
        2,    0,    0,    0,     // compression
        0xD0, 0xC0, 0xB0, 0xA0,  // image data size
        5,    0,    0,    0,     6, 0, 0, 0,  // resolution
        0,    1,    0,    0,     // colours used
        7,    0,    0,    0,     // important colours
    };
    EXPECT_EQ(bytes, expected);

    const InfoHeader parsed = InfoHeader::Parse(bytes.data());
    EXPECT_EQ(parsed.width, header.width);
    EXPECT_EQ(parsed.height, -2);
    EXPECT_EQ(parsed.imageDataSize, 0xA0B0C0D0u);
    EXPECT_EQ(parsed.coloursImportant, 7u);
}

TEST(ImageRecord, RefusesABlockSmallerThanTheHeaderOrBeyondTheLimit) {
    EXPECT_FALSE(ImageRecord::Allocate(39));
    EXPECT_FALSE(ImageRecord::Allocate(kMaxBlockSize + 1));
    const ImageRecord record = ImageRecord::Allocate(100);
    ASSERT_TRUE(record);
    for (std::size_t i = 0; i < record.Size(); ++i) EXPECT_EQ(record.Bytes()[i], 0) << i;
}

}  // namespace
}  // namespace imagelib
