#include "imagelib/core/targa_decoder.h"

#include <gtest/gtest.h>

#include <vector>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;
using testing::Rgb;
using testing::TargaFile;

DecodeResult Decode(const testing::TempFolder& folder, const Bytes& bytes,
                    const DecodeEnvironment& environment = {}) {
    return DecodeFile(folder.Write("picture.tga", bytes), true, environment);
}

// The colours top row first, each channel a multiple of 8 plus its top
// bits (so that 5-bit channels widen back to them exactly), stored as
// pixels of `depth` bits, top row first or bottom row first.
struct Stored {
    std::vector<Rgb> colours;
    Bytes pixels;
};
Stored Pixels(int width, int height, int depth, bool topFirst) {
    Stored stored;
    std::vector<Rgb> rows;
    for (int i = 0; i < width * height; ++i) {
        const int r = (i * 5) % 32, g = (i / 3 + 7) % 32, b = (31 - i % 32);
        rows.push_back(Rgb(kFiveToEightBits[r]) << 16 | Rgb(kFiveToEightBits[g]) << 8 | kFiveToEightBits[b]);
        if (i % width == 2) rows.back() = rows[std::max(0, i - 1)];  // some runs
    }
    stored.colours = rows;
    for (int y = 0; y < height; ++y) {
        const int row = topFirst ? y : height - 1 - y;
        for (int x = 0; x < width; ++x) {
            const Rgb c = rows[row * width + x];
            if (depth <= 16) {
                auto five = [](unsigned channel) { return (channel * 31 + 127) / 255; };
                const unsigned word = five(c & 0xFF) | five((c >> 8) & 0xFF) << 5 | five(c >> 16) << 10 | 0x8000;
                stored.pixels.insert(stored.pixels.end(), {std::uint8_t(word), std::uint8_t(word >> 8)});
            } else {
                stored.pixels.insert(stored.pixels.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
                if (depth == 32) stored.pixels.push_back(static_cast<std::uint8_t>(x * 40));  // alpha
            }
        }
    }
    return stored;
}

TargaFile Picture(int width, int height, int depth, bool topFirst, bool runLength) {
    TargaFile file;
    file.width = static_cast<std::uint16_t>(width);
    file.height = static_cast<std::uint16_t>(height);
    file.depth = static_cast<std::uint8_t>(depth);
    file.descriptor = topFirst ? 0x20 : 0;
    file.imageType = runLength ? 10 : 2;
    const Bytes pixels = Pixels(width, height, depth, topFirst).pixels;
    file.pixelData = runLength ? testing::TargaRunLength(pixels, (depth + 7) / 8) : pixels;
    return file;
}

TEST(TargaReader, BottomUpAndTopDownFilesOfEveryDepthGiveTheSameRecord) {
    testing::TempFolder folder;
    for (const int depth : {15, 16, 24, 32}) {
        for (const bool runLength : {false, true}) {
            SCOPED_TRACE(::testing::Message() << depth << " bits, run-length " << runLength);
            const DecodeResult bottomUp = Decode(folder, testing::BuildTarga(Picture(11, 6, depth, false, runLength)));
            const DecodeResult topDown = Decode(folder, testing::BuildTarga(Picture(11, 6, depth, true, runLength)));
            ASSERT_EQ(bottomUp.status, LoadStatus::Ok);
            ASSERT_EQ(topDown.status, LoadStatus::Ok);
            EXPECT_EQ(bottomUp.record.BitCount(), 24);
            EXPECT_EQ(bottomUp.record.Header().coloursUsed, 0u);
            ASSERT_EQ(bottomUp.record.Size(), topDown.record.Size());
            EXPECT_TRUE(std::equal(bottomUp.record.Bytes(), bottomUp.record.Bytes() + bottomUp.record.Size(),
                                   topDown.record.Bytes()));
            // Alpha is dropped; 16-bit channels widen through the table.
            EXPECT_EQ(testing::RecordColours(bottomUp.record), Pixels(11, 6, depth, true).colours);
        }
    }
}

TEST(TargaReader, FiveBitChannelsWidenToTheFullRange) {
    // Words: blue in bits 0-4, green 5-9, red 10-14; bit 15 plays no part.
    TargaFile file;
    file.width = 4;
    file.height = 1;
    file.depth = 16;
    for (const unsigned word : {0x7FFFu, 0x8000u | 31u, 1u | 5u << 5 | 30u << 10, 16u << 5}) {
        file.pixelData.insert(file.pixelData.end(), {std::uint8_t(word), std::uint8_t(word >> 8)});
    }
    testing::TempFolder folder;
    EXPECT_EQ(testing::RecordColours(Decode(folder, testing::BuildTarga(file)).record),
              (std::vector<Rgb>{0xFFFFFF, 0x0000FF, 0xF62908, 0x008300}));
}

TEST(TargaReader, RunLengthPacketsCrossRows) {
    // 5 x 3 pixels: a repeat packet of 7 (rows 1 and 2), a raw packet of
    // 6 (rows 2 and 3), a repeat packet of 2.
    TargaFile file;
    file.width = 5;
    file.height = 3;
    file.imageType = 10;
    file.descriptor = 0x20;
    file.pixelData = {0x86, 1, 2, 3, 0x05, 10, 0, 0, 11, 0, 0, 12, 0, 0, 13, 0, 0, 14, 0, 0, 15, 0, 0, 0x81, 9, 9, 9};
    std::vector<Rgb> expected(7, 0x030201);
    for (const Rgb blue : {10, 11, 12, 13, 14, 15}) expected.push_back(blue);
    expected.insert(expected.end(), 2, 0x090909);
    testing::TempFolder folder;
    EXPECT_EQ(testing::RecordColours(Decode(folder, testing::BuildTarga(file)).record), expected);

    // 100 x 3: repeat packets of 128 and 100 pixels, a raw one of 72.
    file.width = 100;
    file.pixelData = {0xFF, 1, 2, 3, 0xE3, 4, 5, 6, 0x47};
    expected.assign(128, 0x030201);
    expected.resize(228, 0x060504);
    for (int i = 0; i < 72; ++i) {
        file.pixelData.insert(file.pixelData.end(), {std::uint8_t(i), 0, 0});
        expected.push_back(Rgb(i));
    }
    EXPECT_EQ(testing::RecordColours(Decode(folder, testing::BuildTarga(file)).record), expected);
}

TEST(TargaReader, SkipsTheIdAndDoesNotMirrorRightToLeftFiles) {
    TargaFile file = Picture(7, 3, 24, true, false);
    file.id = Bytes(255, 0xEE);
    file.descriptor |= 0x10;  // right to left
    testing::TempFolder folder;
    EXPECT_EQ(testing::RecordColours(Decode(folder, testing::BuildTarga(file)).record),
              Pixels(7, 3, 24, true).colours);
}

TEST(TargaReader, RefusesColourMappedGreyscaleInterleavedAndOddFiles) {
    const TargaFile valid = Picture(4, 4, 24, false, false);
    auto changed = [&](auto change) {
        TargaFile file = valid;
        change(file);
        return testing::BuildTarga(file);
    };
    const Bytes whole = testing::BuildTarga(valid);
    TargaFile longId = valid;
    longId.id = Bytes(200, 1);
    const Bytes idCut = testing::BuildTarga(longId);
    struct Case {
        Bytes bytes;
        LoadStatus expected;
    };
    const Case cases[] = {
        {changed([](TargaFile& f) { f.imageType = 1, f.colourMapType = 1, f.colourMapLength = 2, f.colourMapDepth = 24,
                                    f.colourMap = Bytes(6, 0), f.depth = 8; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.imageType = 9; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.imageType = 3; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.imageType = 11; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.imageType = 0; }), LoadStatus::BadHeader},
        {changed([](TargaFile& f) { f.colourMapType = 1, f.colourMapLength = 2, f.colourMap = Bytes(6, 0); }),
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
        {changed([](TargaFile& f) { f.width = 100, f.height = 100; }), LoadStatus::BadHeader},  // 10000 pixels in 66 bytes
        {Bytes(whole.begin(), whole.begin() + 17), LoadStatus::Truncated},
        {Bytes(idCut.begin(), idCut.begin() + 18 + 199), LoadStatus::Truncated},
    };
    testing::TempFolder folder;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const DecodeResult result = Decode(folder, cases[i].bytes);
        EXPECT_EQ(result.status, cases[i].expected) << "case " << i;
        EXPECT_FALSE(result.record) << "case " << i;
    }
}

TEST(TargaReader, AFileCutAnywhereFailsCleanlyOrShowsBlack) {
    for (const bool runLength : {false, true}) {
        TargaFile file = Picture(9, 5, 24, true, runLength);
        file.id = {'i', 'd'};
        const Bytes whole = testing::BuildTarga(file);
        const std::vector<Rgb> expected = Pixels(9, 5, 24, true).colours;
        testing::TempFolder folder;
        std::size_t shown = 0;
        for (std::size_t length = 0; length <= whole.size(); ++length) {
            const DecodeResult result = Decode(folder, Bytes(whole.begin(), whole.begin() + length));
            if (length < 20) {
                EXPECT_EQ(result.status, LoadStatus::Truncated) << length;
                continue;
            }
            ASSERT_EQ(result.status, LoadStatus::Ok) << length;
            // The picture's first rows as far as they came, the rest black.
            const std::vector<Rgb> got = testing::RecordColours(result.record);
            std::size_t same = 0;
            while (same < got.size() && got[same] == expected[same]) ++same;
            for (std::size_t i = same; i < got.size(); ++i) EXPECT_EQ(got[i], 0u) << length << " pixel " << i;
            EXPECT_GE(same, shown) << length;
            shown = same;
        }
        EXPECT_EQ(shown, expected.size());
    }
}

std::vector<std::pair<std::uint16_t, std::int32_t>> g_reports;
std::int32_t RecordProgress(std::uint16_t phase, std::int32_t percent) {
    g_reports.emplace_back(phase, percent);
    return 0;
}

TEST(TargaAndPcxReaders, ReportReadingThenEachRow) {
    using Reports = std::vector<std::pair<std::uint16_t, std::int32_t>>;
    const Reports expected = {{kPhaseReading, 100}, {kPhaseConverting, 33}, {kPhaseConverting, 67}, {kPhaseConverting, 100}};
    const DecodeEnvironment environment{nullptr, RecordProgress, {}};
    testing::TempFolder folder;
    g_reports.clear();
    ASSERT_EQ(Decode(folder, testing::BuildTarga(Picture(4, 3, 24, false, true)), environment).status, LoadStatus::Ok);
    EXPECT_EQ(g_reports, expected);

    testing::PcxFile pcx;
    pcx.bitsPerPlane = 8;
    pcx.xMax = 1;
    pcx.yMax = 2;
    pcx.bytesPerLine = 2;
    pcx.lines = Bytes(6, 1);
    pcx.tail = testing::PcxColourBlock(testing::ColourTriples(256));
    g_reports.clear();
    ASSERT_EQ(DecodeFile(folder.Write("p.pcx", testing::BuildPcx(pcx)), true, environment).status, LoadStatus::Ok);
    EXPECT_EQ(g_reports, expected);
}

}  // namespace
}  // namespace imagelib
