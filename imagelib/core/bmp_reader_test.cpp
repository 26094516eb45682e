#include "imagelib/core/bmp_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

using testing::BmpFile;
using testing::Bytes;

// 5 x 3 pixels of 8 bits with a full table.
BmpFile EightBits() {
    BmpFile file(5, 3, 8);
    for (int i = 0; i < 1024; ++i) file.colourTable.push_back(static_cast<std::uint8_t>(i * 7));
    for (int i = 0; i < 24; ++i) file.pixelData.push_back(static_cast<std::uint8_t>(i * 11));
    return file;
}

TEST(BmpReader, KeepsTheHeaderTableAndRowsAsTheFileHasThem) {
    const testing::Picture picture = testing::TestPattern(3, 2, 3);
    BmpFile bottomUp(3, 2);
    bottomUp.pixelData = testing::BmpRows24(picture);
    BmpFile topDown(3, -2);
    topDown.pixelData = testing::BmpRows24(picture, true);
    BmpFile shortTable(2, 2, 8);  // two colours used, so only two entries in the file
    shortTable.coloursUsed = 2;
    shortTable.colourTable = {1, 2, 3, 0, 4, 5, 6, 0};
    shortTable.pixelData = {0, 1, 0, 0, 1, 0, 0, 0};
    BmpFile runs(2, 2, 8, kCompressionRle8);  // passed through, header size 0
    runs.colourTable = Bytes(1024, 0x40);
    runs.pixelData = {2, 5, 0, 0, 2, 7, 0, 1};
    testing::TempFolder folder;
    for (const BmpFile& file : {bottomUp, topDown, shortTable, runs, EightBits()}) {
        const DecodeResult result =
            testing::DecodeBytes(folder, "picture.bmp", testing::BuildBmp(file));
        ASSERT_EQ(result.status, LoadStatus::Ok) << file.height << " " << file.bitCount;
        const ImageRecord& record = result.record;
        const InfoHeader header = record.Header();
        EXPECT_EQ(header.height, file.height);
        EXPECT_EQ(header.bitCount, file.bitCount);
        EXPECT_EQ(header.compression, file.compression);
        EXPECT_EQ(header.imageDataSize, file.pixelData.size());
        EXPECT_EQ(Bytes(record.ColourTable(), record.ColourTable() + file.colourTable.size()),
                  file.colourTable);
        EXPECT_EQ(Bytes(record.Pixels(), record.Bytes() + record.Size()), file.pixelData);
    }
}

TEST(BmpReader, RefusesHeadersOfOtherKindsAndSizesTheFileCannotHoldWithoutAllocating) {
    const auto changed = [](auto change) {
        BmpFile file = EightBits();
        change(file);
        return testing::BuildBmp(file);
    };
    const std::vector<testing::Refusal> cases = {
        {changed([](BmpFile& f) { f.infoHeaderSize = 12; }), LoadStatus::UnsupportedBmp},
        {changed([](BmpFile& f) { f.infoHeaderSize = 108; }), LoadStatus::UnsupportedBmp},
        {changed([](BmpFile& f) { f.infoHeaderSize = 124; }), LoadStatus::UnsupportedBmp},
        {changed([](BmpFile& f) { f.planes = 2; }), LoadStatus::UnsupportedBmp},
        {changed([](BmpFile& f) { f.bitCount = 2; }), LoadStatus::UnsupportedBmp},
        {changed([](BmpFile& f) { f.compression = 4; }), LoadStatus::UnsupportedBmp},
        {changed([](BmpFile& f) { f.compression = kCompressionRle4; }), LoadStatus::UnsupportedBmp},
        {changed([](BmpFile& f) { f.height = -3, f.compression = kCompressionRle8; }),
         LoadStatus::UnsupportedBmp},
        {changed([](BmpFile& f) { f.coloursUsed = 257; }), LoadStatus::UnsupportedBmp},
        {changed([](BmpFile& f) { f.width = 0; }), LoadStatus::BadHeader},
        {changed([](BmpFile& f) { f.width = 20000, f.height = -20000; }), LoadStatus::BadHeader},
        // 300 MB of rows, 2 GB of runs, rows far behind the end, in a file of 1 kB.
        {changed([](BmpFile& f) { f.width = f.height = 10000, f.bitCount = 24; }),
         LoadStatus::Truncated},
        {changed(
             [](BmpFile& f) { f.compression = kCompressionRle8, f.imageDataSize = 0x7FFFFFF0; }),
         LoadStatus::Truncated},
        {changed([](BmpFile& f) { f.bitsOffset = 0xFFFFFFF0; }), LoadStatus::Truncated},
    };
    EXPECT_EQ(testing::NotRefused("picture.bmp", cases), std::vector<std::string>{});
}

}  // namespace
}  // namespace imagelib
