#include "imagelib/core/pcx_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/testing/test_fakes.h"
#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;
using testing::IndexedPcx;
using testing::PcxFile;
using testing::Rgb;

DecodeResult Decode(const testing::TempFolder& folder, const Bytes& bytes,
                    const DecodeEnvironment& environment = {}) {
    return testing::DecodeBytes(folder, "picture.pcx", bytes, environment);
}

TEST(PcxReader, EveryLayoutReadGivesThePicturesColoursAndALineShorterThanThePictureAsFarAsItGoes) {
    // Lines of 16 pixels; the header's "x max" on their last pixel, or 1
    // or 9 beyond it: the pixels each line holds, then index 0, row by row.
    const int held = 16, height = 9;  // 8-bit lines without padding, so that runs cross them
    struct Case {
        int bitsPerPlane, planes, recordBits;
        std::uint8_t encoding;
        bool runsAcrossLines;
    };
    const Case cases[] = {
        {1, 1, 1, 1, false}, {1, 2, 4, 1, true},  {1, 4, 4, 1, false}, {2, 1, 4, 1, false},
        {4, 1, 4, 0, false}, {2, 2, 4, 2, false}, {8, 1, 8, 1, true},  {8, 1, 8, 0, false},
    };
    testing::TempFolder folder;
    for (const Case& c : cases) {
        for (const int beyond : {0, 1, 9}) {
            SCOPED_TRACE(::testing::Message() << c.bitsPerPlane << " x " << c.planes << " encoding "
                                              << int(c.encoding) << ", " << beyond << " beyond");
            const int values = 1 << (c.bitsPerPlane * c.planes);
            // A run of 64 first (the longest run is 63 bytes), the last colour last.
            Bytes indices;
            for (int i = 0; i < held * height; ++i)
                indices.push_back(static_cast<std::uint8_t>(i < 64 ? 1 : (i * 7 + i / 9) % values));
            indices.back() = static_cast<std::uint8_t>(values - 1);
            PcxFile file = IndexedPcx(indices, held, height, c.bitsPerPlane, c.planes);
            file.xMax = static_cast<std::uint16_t>(held + beyond - 1);
            file.encoding = c.encoding;
            file.runsAcrossLines = c.runsAcrossLines;
            Bytes colours = testing::ColourTriples(values);
            if (values == 256) {  // the colours that close the file, not the header's
                file.headerPalette = Bytes(48, 0x77);
                file.tail = testing::PcxColourBlock(colours);
            }
            const DecodeResult result = Decode(folder, testing::BuildPcx(file));
            ASSERT_EQ(result.status, LoadStatus::Ok);
            ASSERT_EQ(result.record.Width(), held + beyond);
            EXPECT_EQ(result.record.BitCount(), c.recordBits);
            EXPECT_EQ(result.record.Header().coloursUsed, 1u << c.recordBits);
            const std::vector<Rgb> table = testing::TripleColours(colours);
            std::vector<Rgb> expected;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < held; ++x) expected.push_back(table[indices[y * held + x]]);
                expected.insert(expected.end(), beyond, table[0]);
            }
            EXPECT_EQ(testing::RecordColours(result.record), expected);
            if (values == 4) {  // four colours in a 16-entry table: the rest black
                for (int i = 4; i < 16; ++i)
                    EXPECT_EQ(result.record.ColourTable()[4 * i + 2], 0) << i;
            }
        }
    }
}

TEST(PcxReader, PlanesGiveTheLowBitsFirstAndThreePlanesAreRedGreenBlue) {
    PcxFile four;  // 8 pixels of four planes
    four.bitsPerPlane = 1;
    four.planes = 4;
    four.xMax = 7;
    four.bytesPerLine = 1;
    four.headerPalette = testing::ColourTriples(16);
    four.lines = {0xAA, 0xCC, 0xF0, 0x01};
    // Three planes of 2 bytes, 3 pixels wide (the third beyond the lines),
    // 2 rows; the origin plays no part.
    PcxFile rgb;
    rgb.bitsPerPlane = 8;
    rgb.planes = 3;
    rgb.bytesPerLine = 2;
    rgb.xMin = 5, rgb.xMax = 7, rgb.yMin = 9, rgb.yMax = 10;
    rgb.lines = {0x11, 0x12, 0x21, 0x22, 0x31, 0x32, 0x41, 0x42, 0x51, 0x52, 0x61, 0x62};
    const std::vector<Rgb> sixteen = testing::TripleColours(four.headerPalette);
    testing::TempFolder folder;
    EXPECT_EQ(testing::RecordColours(Decode(folder, testing::BuildPcx(four)).record),
              (std::vector<Rgb>{sixteen[7], sixteen[6], sixteen[5], sixteen[4], sixteen[3],
                                sixteen[2], sixteen[1], sixteen[8]}));
    EXPECT_EQ(testing::RecordColours(Decode(folder, testing::BuildPcx(rgb)).record),
              (std::vector<Rgb>{0x112131, 0x122232, 0, 0x415161, 0x425262, 0}));
}

TEST(PcxReader, VersionThreeTakesTheDisplaysColoursOrElseFixedOnes) {
    struct Case {
        int bitsPerPlane, planes;
        Bytes indices;
        std::vector<Rgb> fixed;
    };
    const Case cases[] = {
        {1, 1, {0, 1}, {0x000000, 0xFFFFFF}},
        {2, 1, {1, 2, 3}, {0x55FFFF, 0xFF55FF, 0xFFFFFF}},
        {1, 4, {1, 6, 7, 8, 15}, {0x0000AA, 0xAA5500, 0xAAAAAA, 0x555555, 0xFFFFFF}},
        {8,
         1,
         {15, 16, 17, 231, 232, 255},
         {0xFFFFFF, 0x000000, 0x000033, 0xFFFFFF, 0x080808, 0xEEEEEE}},
    };
    testing::TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitsPerPlane * c.planes);
        const int width = static_cast<int>(c.indices.size());
        PcxFile file = IndexedPcx(c.indices, width, 1, c.bitsPerPlane, c.planes);
        file.version = 3;
        file.headerPalette = Bytes(48, 0x99);  // not these
        const Bytes bytes = testing::BuildPcx(file);

        FakeDisplay display;
        const DecodeResult shown =
            Decode(folder, bytes, DecodeEnvironment{nullptr, nullptr, {}, &display});
        ASSERT_EQ(shown.status, LoadStatus::Ok);
        std::vector<Rgb> expected;
        for (const std::uint8_t i : c.indices)
            expected.push_back(Rgb{i} << 16 | Rgb{i} << 8 | (255 - i));
        EXPECT_EQ(testing::RecordColours(shown.record), expected);
        EXPECT_EQ(display.asked,
                  std::vector<std::size_t>{std::size_t{1} << (c.bitsPerPlane * c.planes)});

        display.hasPalette = false;
        EXPECT_EQ(
            testing::RecordColours(
                Decode(folder, bytes, DecodeEnvironment{nullptr, nullptr, {}, &display}).record),
            c.fixed);
        EXPECT_EQ(testing::RecordColours(Decode(folder, bytes).record),
                  c.fixed);  // no display at all
    }
}

TEST(PcxReader, RefusesLayoutsAndSizesItCannotShow) {
    // Files cut short, at any length, are tried by DecodeFile's tests.
    const PcxFile valid = IndexedPcx(Bytes(8 * 3, 1), 8, 3, 1, 4);
    const auto changed = [&](auto change) {
        PcxFile file = valid;
        change(file);
        return testing::BuildPcx(file);
    };
    PcxFile palette =
        IndexedPcx({0, 1, 2, 255}, 2, 2, 8, 1);  // the colour block: marker not 12, or missing
    palette.tail = testing::PcxColourBlock(testing::ColourTriples(256), 10);
    const Bytes wrongMarker = testing::BuildPcx(palette);
    const std::vector<testing::Refusal> cases = {
        {changed([](PcxFile& f) { f.manufacturer = 11; }), LoadStatus::BadHeader},
        {changed([](PcxFile& f) { f.planes = 3; }), LoadStatus::BadHeader},
        {changed([](PcxFile& f) { f.planes = 1, f.bitsPerPlane = 3; }), LoadStatus::BadHeader},
        {changed([](PcxFile& f) { f.planes = 2, f.bitsPerPlane = 4; }), LoadStatus::BadHeader},
        {changed([](PcxFile& f) { f.planes = 4, f.bitsPerPlane = 2; }), LoadStatus::BadHeader},
        {changed([](PcxFile& f) { f.planes = 1, f.bitsPerPlane = 24; }), LoadStatus::BadHeader},
        {changed([](PcxFile& f) { f.planes = 4, f.bitsPerPlane = 8; }), LoadStatus::BadHeader},
        {changed([](PcxFile& f) { f.planes = 0; }), LoadStatus::BadHeader},
        // Lines of 2 bytes in a picture 65535 pixels wide: the file is far
        // too small for lines of its width.
        {changed([](PcxFile& f) { f.xMax = 65534; }), LoadStatus::BadHeader},
        {changed([](PcxFile& f) { f.bytesPerLine = 0; }), LoadStatus::BadHeader},
        {changed([](PcxFile& f) { f.xMin = 9; }),
         LoadStatus::BadHeader},  // right of its right edge
        {changed([](PcxFile& f) { f.yMin = 1, f.yMax = 0; }), LoadStatus::BadHeader},
        {changed([](PcxFile& f) { f.xMax = 65534, f.bytesPerLine = 8192; }), LoadStatus::BadHeader},
        {changed([](PcxFile& f) { f.yMax = 65535; }), LoadStatus::BadHeader},  // 65536 rows
        {changed([](PcxFile& f) { f.yMax = 9999; }),
         LoadStatus::BadHeader},  // 80 kB claimed by 200 bytes
        {wrongMarker, LoadStatus::BadHeader},
        {Bytes(wrongMarker.begin(), wrongMarker.end() - 769), LoadStatus::Truncated},
    };
    EXPECT_EQ(testing::NotRefused("picture.pcx", cases), std::vector<std::string>{});
}

}  // namespace
}  // namespace imagelib
