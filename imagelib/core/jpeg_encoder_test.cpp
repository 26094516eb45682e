#include "imagelib/core/jpeg_encoder.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/image_library.h"
#include "imagelib/core/test_fakes.h"
#include "imagelib/core/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;

ImageRecord Decoded(const std::string& path) {
    DecodeResult result = DecodeFile(path, true, DecodeEnvironment{});
    EXPECT_EQ(result.status, LoadStatus::Ok) << path;
    return std::move(result.record);
}

// Saving through the DLL is checked under Wine (file format, pixels,
// quality, refusals); here what only the core can show.

// A picture of four plain quarters (red, green / blue, white, from the
// top left), stored with `bits` per pixel as a BMP holds it.
struct Packed {
    int bits;
    std::uint32_t compression;
    std::vector<std::uint32_t> masks;  // red, green, blue, for bit fields
    bool topDown;
};

Bytes QuartersBmp(const Packed& packing, int side) {
    const std::uint32_t red[] = {255, 0, 0, 255}, green[] = {0, 255, 0, 255}, blue[] = {0, 0, 255, 255};
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (packing.compression == kCompressionBitfields) std::copy(packing.masks.begin(), packing.masks.end(), masks);
    else if (packing.bits != 16) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    auto scaled = [](std::uint32_t value, std::uint32_t mask) {
        const int shift = std::countr_zero(mask);
        return (value * (mask >> shift) / 255) << shift;
    };
    const int bytes = packing.bits / 8;
    const std::size_t stride = (static_cast<std::size_t>(side) * bytes + 3) / 4 * 4;
    testing::BmpFile file(side, packing.topDown ? -side : side, static_cast<std::uint16_t>(packing.bits), packing.compression);
    file.pixelData.assign(stride * side, 0);
    for (int y = 0; y < side; ++y) {
        const int stored = packing.topDown ? y : side - 1 - y;
        for (int x = 0; x < side; ++x) {
            const int quarter = (y >= side / 2) * 2 + (x >= side / 2);
            const std::uint32_t pixel = scaled(red[quarter], masks[0]) | scaled(green[quarter], masks[1]) |
                                        scaled(blue[quarter], masks[2]);
            for (int i = 0; i < bytes; ++i) file.pixelData[stored * stride + x * bytes + i] = std::uint8_t(pixel >> (8 * i));
        }
    }
    if (packing.compression == kCompressionBitfields) {
        for (const std::uint32_t mask : packing.masks)
            for (int i = 0; i < 4; ++i) file.colourTable.push_back(std::uint8_t(mask >> (8 * i)));
    }
    return testing::BuildBmp(file);
}

TEST(JpegEncoder, SixteenAndThirtyTwoBitRecordsAreSavedAsTheirTrueColours) {
    const Packed cases[] = {
        {16, kCompressionNone, {}, false},
        {16, kCompressionBitfields, {0xF800, 0x07E0, 0x001F}, false},
        {16, kCompressionBitfields, {0x001F, 0x03E0, 0x7C00}, true},  // red and blue swapped
        {32, kCompressionNone, {}, false},
        {32, kCompressionNone, {}, true},
        {32, kCompressionBitfields, {0x000000FF, 0x0000FF00, 0x00FF0000}, false},
        {32, kCompressionBitfields, {0x3FF00000, 0x000FFC00, 0x000003FF}, true},  // 10 bits each
        {24, kCompressionNone, {}, true},
    };
    testing::TempFolder folder;
    for (const Packed& packing : cases) {
        SCOPED_TRACE(::testing::Message() << packing.bits << " bits, compression " << packing.compression
                                          << (packing.topDown ? ", top-down" : ""));
        FakePrompts prompts;
        ImageLibrary library(prompts);
        ASSERT_NE(library.Load(folder.Write("q.bmp", QuartersBmp(packing, 32)), 0), nullptr);
        ASSERT_TRUE(library.SaveAsJpeg(95, folder.PathOf("q.jpg")));
        const ImageRecord saved = Decoded(folder.PathOf("q.jpg"));
        ASSERT_EQ(saved.Width(), 32);
        ASSERT_EQ(saved.Height(), 32);
        const std::vector<testing::Rgb> colours = testing::RecordColours(saved);
        const testing::Rgb expected[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
        const int at[] = {8 * 32 + 8, 8 * 32 + 24, 24 * 32 + 8, 24 * 32 + 24};
        for (int q = 0; q < 4; ++q) {
            for (const int shift : {16, 8, 0}) {
                EXPECT_NEAR(int(colours[at[q]] >> shift & 0xFF), int(expected[q] >> shift & 0xFF), 12)
                    << "quarter " << q << " channel " << shift;
            }
        }
    }
}

// Lets the process write no file beyond `bytes` for as long as it lives;
// writes past it fail instead of raising a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST(JpegEncoder, AFailedSaveLeavesNoPartialFileAndTheEarlierFileAsItWas) {
    testing::TempFolder folder;
    const Bytes earlier = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};
    const std::string target = folder.Write("target.jpg", earlier);
    std::filesystem::create_directory(folder.PathOf("a folder.jpg"));
    const auto expectNothingChanged = [&] {
        EXPECT_EQ(testing::FileBytes(target), earlier);
        EXPECT_EQ(folder.Names(), (std::vector<std::string>{"a folder.jpg", "target.jpg"}));
    };
    FakePrompts prompts;
    ImageLibrary library(prompts);

    // Wider than any JPEG may be: libjpeg fails after the output was made.
    testing::BmpFile wide(65501, 1);
    wide.pixelData.assign(65504 * 3, 0x80);
    ASSERT_NE(library.Load(folder.Write("wide.bmp", testing::BuildBmp(wide)), 0), nullptr);
    std::filesystem::remove(folder.PathOf("wide.bmp"));
    EXPECT_EQ(EncodeJpeg(*library.KeptImage(), target, 80, DecodeEnvironment{}), LoadStatus::JpegFailure);
    expectNothingChanged();

    // The disk fills up halfway.
    ASSERT_NE(library.Load(folder.Write("big.jpg", testing::EncodeJpeg(testing::TestPattern(300, 200, 3), {95})), 0), nullptr);
    std::filesystem::remove(folder.PathOf("big.jpg"));
    {
        const FileSizeLimit limit(3000);
        EXPECT_EQ(EncodeJpeg(*library.KeptImage(), target, 95, DecodeEnvironment{}), LoadStatus::ReadFailed);
    }
    expectNothingChanged();

    // Places that cannot take the file.
    for (const std::string& path : {folder.PathOf("a folder.jpg"), folder.PathOf("no folder/x.jpg"), std::string()}) {
        EXPECT_EQ(EncodeJpeg(*library.KeptImage(), path, 95, DecodeEnvironment{}), LoadStatus::ReadFailed) << path;
        expectNothingChanged();
    }
    // And the same image saves well once there is room.
    EXPECT_TRUE(library.SaveAsJpeg(95, target));
    EXPECT_EQ(Decoded(target).Width(), 300);
}

}  // namespace
}  // namespace imagelib
