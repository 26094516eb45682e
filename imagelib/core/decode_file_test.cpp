#include "imagelib/core/decode_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagelib/core/testing/test_fakes.h"
#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;

struct FileCase {
    std::string name;
    Bytes bytes;
    std::size_t
        knownFrom;  // for files cut short: the least length whose content or name tells the format
    std::size_t loadsFrom;  // and the least length that loads
};

// A BMP, which loads only whole, and the decoders that fill their records
// bit by bit: GIF, PCX and Targa.
std::vector<FileCase> CuttableFiles() {
    testing::BmpFile bmp(5, 3, 8);
    bmp.colourTable = Bytes(1024, 0x40);
    bmp.pixelData = testing::Counting(24, 256);
    testing::GifFile gif =
        testing::OneImageGif(23, 11, 64, testing::Counting(23 * 11, 63, 1));  // no index 0
    gif.images[0].interlaced = true;
    gif.images[0].subBlockSize = 40;
    gif.beforeImages = testing::GifExtension(0xF9, {0x01, 0, 0, 5});
    Bytes indices;
    for (int i = 0; i < 30 * 7; ++i) indices.push_back(static_cast<std::uint8_t>(1 + i % 15));
    testing::PcxFile pcx = testing::IndexedPcx(indices, 30, 7, 1, 4);
    pcx.runsAcrossLines = true;
    std::vector<FileCase> files = {
        {"cut.bmp", testing::BuildBmp(bmp), 2, testing::BuildBmp(bmp).size()},  // "BM"
        // "GIF"; header and screen, table, extension, descriptor, minimum code size.
        {"cut.gif", testing::BuildGif(gif), 3, 13 + 3 * 64 + 8 + 10 + 1},
        {"cut.pcx", testing::BuildPcx(pcx), 0, 128},
    };
    for (const bool runLength : {false, true}) {
        testing::TargaFile targa = testing::TargaPicture(9, 5, 24, true, runLength);
        targa.id = {'i', 'd'};
        files.push_back({"cut.tga", testing::BuildTarga(targa), 0, 18 + 2});
    }
    return files;
}

TEST(DecodeFile, AFileCutAnywhereFailsCleanlyOrShowsWhatItHasAndIndexZeroForTheRest) {
    testing::TempFolder folder;
    for (const FileCase& file : CuttableFiles()) {
        SCOPED_TRACE(file.name);
        const DecodeResult complete = testing::DecodeBytes(folder, file.name, file.bytes);
        ASSERT_EQ(complete.status, LoadStatus::Ok);
        const std::uint8_t* whole = complete.record.Pixels();
        const std::size_t size = complete.record.Bytes() + complete.record.Size() - whole;
        std::size_t shown = 0;
        for (std::size_t length = 0; length < file.bytes.size(); ++length) {
            const DecodeResult result = testing::DecodeBytes(
                folder, file.name, Bytes(file.bytes.begin(), file.bytes.begin() + length));
            if (length < file.loadsFrom) {  // cut in its headers, or a BMP
                EXPECT_EQ(result.status, length < file.knownFrom ? LoadStatus::NotRecognised
                                                                 : LoadStatus::Truncated)
                    << length;
                EXPECT_FALSE(result.record) << length;
                continue;
            }
            ASSERT_EQ(result.status, LoadStatus::Ok) << length;
            ASSERT_EQ(result.record.Size(), complete.record.Size()) << length;
            // Each bit of the pixels is the complete file's or zero, and a
            // longer file never shows less.
            const std::uint8_t* pixels = result.record.Pixels();
            std::size_t same = 0;
            for (std::size_t i = 0; i < size; ++i) {
                EXPECT_EQ(pixels[i] & ~whole[i], 0) << length << " byte " << i;
                same += pixels[i] == whole[i];
            }
            EXPECT_GE(same, shown) << length;
            shown = same;
        }
    }
}

TEST(DecodeFile, DecodersReportReadingThenEachRowWithoutDividingByZero) {
    const ProgressReportList threeRows = {{kPhaseReading, 100},
                                          {kPhaseConverting, 33},
                                          {kPhaseConverting, 67},
                                          {kPhaseConverting, 100}};
    testing::PcxFile pcx = testing::IndexedPcx(Bytes(6, 1), 2, 3, 8, 1);
    pcx.tail = testing::PcxColourBlock(testing::ColourTriples(256));
    struct Case {
        std::string name;
        Bytes bytes;
        ProgressReportList expected;
    };
    // clang-format off
    const Case cases[] = {
        {"five.gif", testing::BuildGif(testing::OneImageGif(9, 5, 4, testing::Counting(45, 4))),
         {{kPhaseReading, 100}, {kPhaseConverting, 0}, {kPhaseConverting, 25}, {kPhaseConverting, 50},
          {kPhaseConverting, 75}, {kPhaseConverting, 100}}},
        {"one.gif", testing::BuildGif(testing::OneImageGif(9, 1, 4, testing::Counting(9, 4))),
         {{kPhaseReading, 100}, {kPhaseConverting, 100}}},
        {"three.tga", testing::BuildTarga(testing::TargaPicture(4, 3, 24, false, true)), threeRows},
        {"three.pcx", testing::BuildPcx(pcx), threeRows},
        // Stored 8 wide and 4 high, shown 4 wide and 8 high: four rows
        // decoded. A JPEG takes its file whole, without a reading report.
        {"turned.jpg",
         testing::WithSegment(testing::EncodeJpeg(testing::TestPattern(8, 4, 3)), 0xE1, testing::CameraExif(6, true)),
         {{kPhaseConverting, 25}, {kPhaseConverting, 50}, {kPhaseConverting, 75}, {kPhaseConverting, 100}}},
    };
    // clang-format on
    testing::TempFolder folder;
    for (const Case& c : cases) {
        ProgressReports().clear();
        ASSERT_EQ(testing::DecodeBytes(folder, c.name, c.bytes,
                                       DecodeEnvironment{nullptr, RecordProgress, {}})
                      .status,
                  LoadStatus::Ok)
            << c.name;
        EXPECT_EQ(ProgressReports(), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace imagelib
