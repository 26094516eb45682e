#include "imagelib/core/jpeg_encoder.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/image_library.h"
#include "imagelib/core/test_fakes.h"
#include "imagelib/core/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;
using testing::Picture;

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> FilesIn(const testing::TempFolder& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.PathOf(""))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The frame markers of a JPEG file, in order (SOF0 is baseline).
std::vector<std::uint8_t> FrameMarkers(const Bytes& jpeg) {
    std::vector<std::uint8_t> markers;
    for (std::size_t i = 2; i + 4 <= jpeg.size() && jpeg[i] == 0xFF;) {
        const std::uint8_t marker = jpeg[i + 1];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xCC) markers.push_back(marker);
        if (marker == 0xDA) break;  // the scan data follows
        i += 2 + (jpeg[i + 2] << 8 | jpeg[i + 3]);
    }
    return markers;
}

// Red, green, blue of a 24-bit record at (x, y), y counted from the top.
std::array<int, 3> RgbAt(const ImageRecord& record, int x, int y) {
    const std::size_t stride = static_cast<std::size_t>(RowStride(record.Width(), 24));
    const int row = record.Height() > 0 ? record.Height() - 1 - y : y;
    const std::uint8_t* bgr = record.Pixels() + row * stride + 3 * x;
    return {bgr[2], bgr[1], bgr[0]};
}

double Psnr(const ImageRecord& a, const ImageRecord& b) {
    double squares = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int c = 0; c < 3; ++c) {
                const double d = RgbAt(a, x, y)[c] - RgbAt(b, x, y)[c];
                squares += d * d;
            }
    const double mse = squares / (3.0 * a.Width() * a.Height());
    return 10 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
}

ImageRecord Decoded(const std::string& path) {
    DecodeResult result = DecodeFile(path, true, DecodeEnvironment{});
    EXPECT_EQ(result.status, LoadStatus::Ok) << path;
    return std::move(result.record);
}

TEST(JpegEncoder, AColourJpegSavesAsBaselineJfifOfTheSameSizeWithinQualityLoss) {
    FakePrompts prompts;
    ImageLibrary library(prompts);
    testing::TempFolder folder;
    const std::string source =
        folder.Write("photo.jpg", testing::EncodeJpeg(testing::TestPattern(93, 61, 3), {95, true}));
    ASSERT_NE(library.Load(source, 0), nullptr);
    const std::string saved = folder.PathOf("saved.jpg");
    ASSERT_TRUE(library.SaveAsJpeg(90, saved));
    EXPECT_EQ(library.SaveQuality(), 90);

    const Bytes bytes = ReadAll(saved);
    ASSERT_GT(bytes.size(), 20u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 11),
              (Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0}));
    EXPECT_EQ(FrameMarkers(bytes), std::vector<std::uint8_t>{0xC0});
    const ImageRecord again = Decoded(saved);
    ASSERT_EQ(again.Width(), 93);
    ASSERT_EQ(again.Height(), 61);
    EXPECT_GE(Psnr(*library.KeptImage(), again), 30.0);

    // Plain red over plain blue: the colours stay where they were.
    Picture halves{16, 16, 3, {}};
    for (int i = 0; i < 256; ++i) halves.samples.insert(halves.samples.end(), {std::uint8_t(i < 128 ? 255 : 0), 0, std::uint8_t(i < 128 ? 0 : 255)});
    ASSERT_NE(library.Load(folder.Write("halves.jpg", testing::EncodeJpeg(halves, {95})), 0), nullptr);
    ASSERT_TRUE(library.SaveAsJpeg(95, saved));
    const ImageRecord colours = Decoded(saved);
    const std::array<int, 3> top = RgbAt(colours, 8, 3), bottom = RgbAt(colours, 8, 12);
    EXPECT_GT(top[0], 240);
    EXPECT_LT(top[2], 16);
    EXPECT_GT(bottom[2], 240);
    EXPECT_LT(bottom[0], 16);
}

TEST(JpegEncoder, TheQualityArgumentCountsAndIsKeptToWhatLibjpegTakes) {
    FakePrompts prompts;
    ImageLibrary library(prompts);
    testing::TempFolder folder;
    ASSERT_NE(library.Load(folder.Write("a.jpg", testing::EncodeJpeg(testing::TestPattern(64, 64, 3))), 0), nullptr);
    std::vector<std::size_t> sizes;
    for (const int quality : {10, 95, -5, 0, 1, 100, 1000}) {
        const std::string path = folder.PathOf("q" + std::to_string(quality) + ".jpg");
        EXPECT_TRUE(library.SaveAsJpeg(quality, path)) << quality;
        sizes.push_back(ReadAll(path).size());
    }
    EXPECT_LT(sizes[0], sizes[1]);
    EXPECT_EQ(sizes[2], sizes[4]);  // below 1: 1
    EXPECT_EQ(sizes[3], sizes[4]);
    EXPECT_EQ(sizes[6], sizes[5]);  // above 100: 100
    EXPECT_EQ(library.SaveQuality(), 1000);
    // The same name twice: the second save replaces the first.
    ASSERT_TRUE(library.SaveAsJpeg(20, folder.PathOf("q95.jpg")));
    EXPECT_LT(ReadAll(folder.PathOf("q95.jpg")).size(), sizes[1]);
    // Every load puts the quality back to 80.
    EXPECT_EQ(library.Load(folder.PathOf("none.jpg"), 0), nullptr);
    EXPECT_EQ(library.SaveQuality(), 80);
}

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
        const std::array<int, 3> expected[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        const int at[][2] = {{8, 8}, {24, 8}, {8, 24}, {24, 24}};
        for (int q = 0; q < 4; ++q) {
            const std::array<int, 3> got = RgbAt(saved, at[q][0], at[q][1]);
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], expected[q][c], 12) << "quarter " << q << " channel " << c;
        }
    }
}

TEST(JpegEncoder, PaletteRecordsAndNoImageWriteNothing) {
    testing::TempFolder folder;
    testing::BmpFile palette(4, 2, 8);
    for (int i = 0; i < 256; ++i) palette.colourTable.insert(palette.colourTable.end(), {std::uint8_t(i), 0, 0, 0});
    palette.pixelData.assign(8, 7);
    testing::BmpFile mono(4, 2, 1);
    mono.colourTable = {0, 0, 0, 0, 255, 255, 255, 0};
    mono.pixelData.assign(8, 0x50);
    const Bytes refused[] = {
        testing::BuildBmp(palette),
        testing::BuildBmp(mono),
        testing::EncodeJpeg(testing::TestPattern(16, 16, 1)),  // greyscale: an 8-bit record
    };
    const std::string target = folder.Write("target.jpg", Bytes{'o', 'l', 'd'});
    for (const Bytes& file : refused) {
        FakePrompts prompts;
        ImageLibrary library(prompts);
        ASSERT_NE(library.Load(folder.Write("in.img", file), 0), nullptr);
        EXPECT_EQ(EncodeJpeg(*library.KeptImage(), target, 90, DecodeEnvironment{}), LoadStatus::CannotSave);
        EXPECT_FALSE(library.SaveAsJpeg(90, target));
        EXPECT_FALSE(library.SaveAsJpeg(90, folder.PathOf("new.jpg")));
        EXPECT_EQ(ReadAll(target), (Bytes{'o', 'l', 'd'}));
        EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"in.img", "target.jpg"}));
    }
    FakePrompts prompts;
    ImageLibrary library(prompts);
    EXPECT_FALSE(library.SaveAsJpeg(90, folder.PathOf("new.jpg")));  // nothing loaded yet
    ASSERT_NE(library.Load(folder.Write("in.img", testing::EncodeJpeg(testing::TestPattern(8, 8, 3))), 0), nullptr);
    EXPECT_EQ(library.Load(folder.PathOf("missing.jpg"), 0), nullptr);
    EXPECT_FALSE(library.SaveAsJpeg(90, folder.PathOf("new.jpg")));  // the failed load let it go
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"in.img", "target.jpg"}));
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
        EXPECT_EQ(ReadAll(target), earlier);
        EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"a folder.jpg", "target.jpg"}));
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

std::vector<std::int32_t> g_reported;
std::int32_t RecordPercent(std::uint16_t phase, std::int32_t percent) {
    EXPECT_EQ(phase, kPhaseConverting);
    g_reported.push_back(percent);
    return 0;
}

TEST(JpegEncoder, EveryRowWrittenIsReported) {
    testing::TempFolder folder;
    FakePrompts prompts;
    ImageLibrary library(prompts);
    ASSERT_NE(library.Load(folder.Write("a.jpg", testing::EncodeJpeg(testing::TestPattern(5, 8, 3))), 0), nullptr);
    g_reported.clear();
    EXPECT_EQ(EncodeJpeg(*library.KeptImage(), folder.PathOf("b.jpg"), 80, DecodeEnvironment{nullptr, RecordPercent, {}}),
              LoadStatus::Ok);
    EXPECT_EQ(g_reported, (std::vector<std::int32_t>{13, 25, 38, 50, 63, 75, 88, 100}));
}

}  // namespace
}  // namespace imagelib
