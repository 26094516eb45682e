// The decoders' size arithmetic at the largest values their headers hold.
// Besides the native tests, this is a program of its own in the 32-bit
// native build (preset native32), where size_t has 32 bits: there a size
// counted in size_t wraps to a small block instead of growing too large.
#include "imagelib/core/image_limits.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "imagelib/core/byte_buffer.h"
#include "imagelib/core/decode_file.h"
#include "imagelib/core/image_record.h"
#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;
using testing::Refusal;

TEST(ImageLimits, EveryFormatRefusesTheLargestSizesItsHeaderCanClaim) {
    // Sides beyond the limit, and the most pixels the limit allows
    // (65535 x 2048) in files of a few hundred bytes.
    using testing::BmpFile;
    BmpFile smallBmp(2, 2);
    smallBmp.pixelData = Bytes(16, 0x55);
    const auto bmp = [&](auto change) {
        BmpFile file = smallBmp;
        change(file);
        return testing::BuildBmp(file);
    };
    const std::vector<Refusal> bmps = {
        {bmp([](BmpFile& f) { f.width = INT32_MAX; }), LoadStatus::BadHeader},
        {bmp([](BmpFile& f) { f.height = INT32_MIN; }), LoadStatus::BadHeader},
        {bmp([](BmpFile& f) { f.width = 65535, f.height = -2048, f.bitCount = 32; }),
         LoadStatus::Truncated},
        {bmp([](BmpFile& f) {
             f.bitCount = 8, f.compression = kCompressionRle8, f.imageDataSize = UINT32_MAX;
         }),
         LoadStatus::Truncated},
        {bmp([](BmpFile& f) { f.bitsOffset = UINT32_MAX, f.width = 65535, f.height = 2048; }),
         LoadStatus::Truncated},
    };
    EXPECT_EQ(testing::NotRefused("large.bmp", bmps), std::vector<std::string>{});

    using testing::GifFile;
    const auto gif = [](int width, int height) {
        GifFile file = testing::OneImageGif(2, 2, 4, testing::Counting(4, 4));
        file.images[0].width = static_cast<std::uint16_t>(width);
        file.images[0].height = static_cast<std::uint16_t>(height);
        return testing::BuildGif(file);
    };
    EXPECT_EQ(testing::NotRefused("large.gif", {{gif(65535, 65535), LoadStatus::BadHeader},
                                                {gif(65535, 2048), LoadStatus::BadHeader}}),
              std::vector<std::string>{});

    using testing::TargaFile;
    const auto targa = [](int width, int height, bool runLength) {
        TargaFile file = testing::TargaPicture(2, 2, 32, false, runLength);
        file.width = static_cast<std::uint16_t>(width);
        file.height = static_cast<std::uint16_t>(height);
        file.id = Bytes(255, 1);
        return testing::BuildTarga(file);
    };
    EXPECT_EQ(testing::NotRefused("large.tga", {{targa(65535, 65535, false), LoadStatus::BadHeader},
                                                {targa(65535, 2048, true), LoadStatus::BadHeader}}),
              std::vector<std::string>{});

    using testing::PcxFile;
    const auto pcx = [](int bitsPerPlane, int planes, int width, int height, int bytesPerLine) {
        PcxFile file = testing::IndexedPcx(Bytes(8 * 3, 1), 8, 3, 1, 4);
        file.bitsPerPlane = static_cast<std::uint8_t>(bitsPerPlane);
        file.planes = static_cast<std::uint8_t>(planes);
        file.xMax = static_cast<std::uint16_t>(width - 1);
        file.yMax = static_cast<std::uint16_t>(height - 1);
        file.bytesPerLine = static_cast<std::uint16_t>(bytesPerLine);
        return testing::BuildPcx(file);
    };
    EXPECT_EQ(
        testing::NotRefused("large.pcx", {{pcx(1, 4, 65535, 65535, 65535), LoadStatus::BadHeader},
                                          {pcx(1, 4, 2048, 65535, 65535), LoadStatus::BadHeader},
                                          {pcx(8, 3, 2048, 65535, 65535), LoadStatus::BadHeader},
                                          {pcx(8, 1, 65535, 2048, 1), LoadStatus::BadHeader}}),
        std::vector<std::string>{});

    const Bytes jpeg = testing::EncodeJpeg(testing::TestPattern(8, 8, 3));
    EXPECT_EQ(
        testing::NotRefused("large.jpg",
                            {{testing::WithFrameSize(jpeg, 65500, 65500), LoadStatus::BadHeader},
                             {testing::WithFrameSize(jpeg, 65500, 2049), LoadStatus::BadHeader}}),
        std::vector<std::string>{});
}

TEST(ImageLimits, PcxScanLinesBeyondTheBlockCapAreRefusedHoweverLargeTheFile) {
    // A block the file may claim, and one that wraps in 32 bits.
    const testing::PcxFile file = testing::WideLinesPcx();
    const std::uint64_t lines = std::uint64_t{file.bytesPerLine} * file.planes * (file.yMax + 1u);
    ASSERT_LE(lines, 32 * testing::kWideLinesPcxFileSize);
    ASSERT_GT(lines, std::uint64_t{1} << 32);
    const testing::TempFolder folder;
    const std::string path =
        folder.Write("wide lines.pcx", testing::BuildPcx(file), testing::kWideLinesPcxFileSize);
    const DecodeResult result = DecodeFile(path, {});
    EXPECT_EQ(result.status, LoadStatus::BadHeader);
    EXPECT_FALSE(result.record);
}

TEST(ImageLimits, RecordLayoutsBeyondTheBlockCapStayBeyondIt) {
    // 196608-byte rows: 21846 of them are 2^32 + 131072 bytes.
    for (const auto& [width, height] :
         {std::pair{65535, 21846}, {65535, 65535}, {INT32_MAX, INT32_MAX}, {INT32_MAX, 1}}) {
        const RecordLayout layout = RecordLayout::For(width, height, 24);
        EXPECT_GT(layout.imageDataSize, kMaxBlockSize) << width << " x " << height;
    }
    // The largest record allowed is counted exactly.
    const RecordLayout largest = RecordLayout::For(65535, 2048, 24);
    EXPECT_EQ(largest.rowStride, 196608u);
    EXPECT_EQ(largest.imageDataSize, 196608u * 2048u);
}

}  // namespace
}  // namespace imagelib
