#include "imagelib/core/jpeg_encoder.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <bit>
#include <csignal>
#include <filesystem>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/imgora_core.h"
#include "imagelib/core/testing/test_fakes.h"
#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;

ImageRecord Decoded(const std::string& path) {
    DecodeResult result = DecodeFile(path, DecodeEnvironment{});
    EXPECT_EQ(result.status, LoadStatus::Ok) << path;
    return std::move(result.record);
}

// Saving through the DLL is checked under Wine (file format, pixels,
// quality, refusals); here what only the core can show.

// The test pattern packed with `bits` per pixel as a BMP holds it, and
// the colours the packed pixels stand for (each channel cut to the bits
// of its mask and widened again), top row first.
struct Packed {
    int bits;
    std::uint32_t compression;
    std::vector<std::uint32_t> masks;  // red, green, blue, for bit fields
    bool topDown;
};

std::pair<Bytes, std::vector<testing::Rgb>> PackedBmp(const Packed& packing,
                                                      const testing::Picture& picture) {
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (packing.compression == kCompressionBitfields)
        std::copy(packing.masks.begin(), packing.masks.end(), masks);
    else if (packing.bits != 16)
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    const int bytes = packing.bits / 8;
    const std::size_t stride = (static_cast<std::size_t>(picture.width) * bytes + 3) / 4 * 4;
    testing::BmpFile file(picture.width, packing.topDown ? -picture.height : picture.height,
                          static_cast<std::uint16_t>(packing.bits), packing.compression);
    file.pixelData.assign(stride * picture.height, 0);
    std::vector<testing::Rgb> colours;
    for (int y = 0; y < picture.height; ++y) {
        const int stored = packing.topDown ? y : picture.height - 1 - y;
        for (int x = 0; x < picture.width; ++x) {
            std::uint32_t pixel = 0;
            testing::Rgb colour = 0;
            for (int c = 0; c < 3; ++c) {
                const int shift = std::countr_zero(masks[c]);
                const std::uint32_t top = masks[c] >> shift;
                const std::uint32_t value = picture.At(x, y)[c] * top / 255;
                pixel |= value << shift;
                colour = colour << 8 | (value * 255 + top / 2) / top;
            }
            for (int i = 0; i < bytes; ++i)
                file.pixelData[stored * stride + x * bytes + i] = std::uint8_t(pixel >> (8 * i));
            colours.push_back(colour);
        }
    }
    if (packing.compression == kCompressionBitfields) {
        for (const std::uint32_t mask : packing.masks)
            for (int i = 0; i < 4; ++i) file.colourTable.push_back(std::uint8_t(mask >> (8 * i)));
    }
    return {testing::BuildBmp(file), colours};
}

TEST(JpegEncoder, EveryTrueColourRecordIsSavedAsItsPicture) {
    const Packed cases[] = {
        {24, kCompressionNone, {}, false},
        {24, kCompressionNone, {}, true},
        {16, kCompressionNone, {}, false},
        {16, kCompressionBitfields, {0xF800, 0x07E0, 0x001F}, false},
        {16, kCompressionBitfields, {0x001F, 0x03E0, 0x7C00}, true},  // red and blue swapped
        {32, kCompressionNone, {}, false},
        {32, kCompressionNone, {}, true},
        {32, kCompressionBitfields, {0x000000FF, 0x0000FF00, 0x00FF0000}, false},
        {32, kCompressionBitfields, {0x3FF00000, 0x000FFC00, 0x000003FF}, true},  // 10 bits each
    };
    testing::TempFolder folder;
    // Rows that need padding at every depth; one row; one column.
    for (const auto& [width, height] : {std::pair{123, 45}, {123, 1}, {1, 7}}) {
        const testing::Picture picture = testing::TestPattern(width, height, 3);
        for (const Packed& packing : cases) {
            SCOPED_TRACE(::testing::Message()
                         << width << 'x' << height << ", " << packing.bits << " bits, compression "
                         << packing.compression << (packing.topDown ? ", top-down" : ""));
            const auto [bmp, colours] = PackedBmp(packing, picture);
            FakePrompts prompts;
            ImgoraCore library(prompts);
            ASSERT_NE(library.Load(folder.Write("p.bmp", bmp), 0), nullptr);
            ASSERT_TRUE(library.SaveAsJpeg(95, folder.PathOf("p.jpg")));
            const ImageRecord saved = Decoded(folder.PathOf("p.jpg"));
            ASSERT_EQ(saved.Width(), width);
            ASSERT_EQ(saved.Height(), height);
            // Sheared rows, or red and blue swapped, come nowhere near.
            EXPECT_GE(testing::Psnr(testing::RecordColours(saved), colours), 30.0);
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
    ImgoraCore library(prompts);

    // Wider than any JPEG may be: libjpeg fails after the output was made.
    testing::BmpFile wide(65501, 1);
    wide.pixelData.assign(65504 * 3, 0x80);
    ASSERT_NE(library.Load(folder.Write("wide.bmp", testing::BuildBmp(wide)), 0), nullptr);
    std::filesystem::remove(folder.PathOf("wide.bmp"));
    EXPECT_EQ(EncodeJpeg(*library.KeptImage(), target, 80, DecodeEnvironment{}),
              LoadStatus::JpegFailure);
    expectNothingChanged();

    // The disk fills up halfway.
    ASSERT_NE(library.Load(folder.Write("big.jpg", testing::EncodeJpeg(
                                                       testing::TestPattern(300, 200, 3), {95})),
                           0),
              nullptr);
    std::filesystem::remove(folder.PathOf("big.jpg"));
    {
        const FileSizeLimit limit(3000);
        EXPECT_EQ(EncodeJpeg(*library.KeptImage(), target, 95, DecodeEnvironment{}),
                  LoadStatus::ReadFailed);
    }
    expectNothingChanged();

    // Places that cannot take the file.
    for (const std::string& path :
         {folder.PathOf("a folder.jpg"), folder.PathOf("no folder/x.jpg"), std::string()}) {
        EXPECT_EQ(EncodeJpeg(*library.KeptImage(), path, 95, DecodeEnvironment{}),
                  LoadStatus::ReadFailed)
            << path;
        expectNothingChanged();
    }
    // And the same image saves well once there is room.
    EXPECT_TRUE(library.SaveAsJpeg(95, target));
    EXPECT_EQ(Decoded(target).Width(), 300);
}

}  // namespace
}  // namespace imagelib
