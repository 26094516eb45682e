#include "imagelib/core/targa_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;
using testing::Rgb;
using testing::TargaFile;

DecodeResult Decode(const testing::TempFolder& folder, const TargaFile& file) {
    return testing::DecodeBytes(folder, "picture.tga", testing::BuildTarga(file));
}

TEST(TargaReader, BottomUpAndTopDownFilesOfEveryDepthGiveTheSameRecord) {
    testing::TempFolder folder;
    for (const int depth : {15, 16, 24, 32}) {
        for (const bool runLength : {false, true}) {
            SCOPED_TRACE(::testing::Message() << depth << " bits, run-length " << runLength);
            // The top-down file with an ID field and the right-to-left flag,
            // which plays no part.
            TargaFile topFirst = testing::TargaPicture(11, 6, depth, true, runLength);
            topFirst.id = Bytes(255, 0xEE);
            topFirst.descriptor |= 0x10;
            const DecodeResult bottomUp =
                Decode(folder, testing::TargaPicture(11, 6, depth, false, runLength));
            const DecodeResult topDown = Decode(folder, topFirst);
            ASSERT_EQ(bottomUp.status, LoadStatus::Ok);
            ASSERT_EQ(topDown.status, LoadStatus::Ok);
            EXPECT_EQ(bottomUp.record.BitCount(), 24);
            EXPECT_EQ(bottomUp.record.Header().coloursUsed, 0u);
            ASSERT_EQ(bottomUp.record.Size(), topDown.record.Size());
            EXPECT_TRUE(std::equal(bottomUp.record.Bytes(),
                                   bottomUp.record.Bytes() + bottomUp.record.Size(),
                                   topDown.record.Bytes()));
            // Alpha is dropped; 5-bit channels widen to the full range (31
            // to 255), and bit 15 of a 16-bit pixel, set here, plays no part.
            EXPECT_EQ(testing::RecordColours(bottomUp.record), testing::TargaColours(11, 6));
        }
    }
}

TEST(TargaReader, RunLengthPacketsCrossRows) {
    // 100 x 3, top row first: repeat packets of 128 and 100 pixels (rows 1
    // to 2, rows 2 to 3), a raw one of 72. (Raw packets across rows come
    // from TargaRunLength in the first test.)
    TargaFile file;
    file.width = 100;
    file.height = 3;
    file.imageType = 10;
    file.descriptor = 0x20;
    file.pixelData = {0xFF, 1, 2, 3, 0xE3, 4, 5, 6, 0x47};
    std::vector<Rgb> expected(128, 0x030201);
    expected.resize(228, 0x060504);
    for (int i = 0; i < 72; ++i) {
        file.pixelData.insert(file.pixelData.end(), {std::uint8_t(i), 0, 0});
        expected.push_back(Rgb(i));
    }
    testing::TempFolder folder;
    EXPECT_EQ(testing::RecordColours(Decode(folder, file).record), expected);
}

TEST(TargaReader, RefusesColourMappedGreyscaleInterleavedAndOddFiles) {
    // Files cut short, at any length, are tried by DecodeFile's tests.
    const TargaFile valid = testing::TargaPicture(4, 4, 24, false, false);
    const auto changed = [&](auto change) {
        TargaFile file = valid;
        change(file);
        return testing::BuildTarga(file);
    };
    const std::vector<testing::Refusal> cases = {
        {changed([](TargaFile& f) {
             f.imageType = 1, f.colourMapType = 1, f.colourMapLength = 2, f.colourMapDepth = 24,
             f.colourMap = Bytes(6, 0), f.depth = 8;
         }),
         LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.imageType = 9; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.imageType = 3; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.imageType = 11; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.imageType = 0; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) {
             f.colourMapType = 1, f.colourMapLength = 2, f.colourMap = Bytes(6, 0);
         }),
         LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.descriptor = 0x40; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.descriptor = 0x80; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.depth = 8; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.depth = 12; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.depth = 17; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.depth = 40; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.width = 0; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.height = 0; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.width = f.height = 65535; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.width = 100, f.height = 100; }),
         LoadStatus::BadHeader},  // 10000 pixels in 66 bytes
    };
    EXPECT_EQ(testing::NotRefused("picture.tga", cases), std::vector<std::string>{});
}

}  // namespace
}  // namespace imagelib
