#include "imagelib/core/gif_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;
using testing::Counting;
using testing::GifFile;
using testing::GifImage;
using testing::OneImageGif;
using testing::Rgb;

DecodeResult Decode(const testing::TempFolder& folder, const Bytes& bytes) {
    return testing::DecodeBytes(folder, "picture.gif", bytes);
}

TEST(GifDecoder, TableSizesGiveOneFourOrEightBitRecordsInTheTablesColours) {
    struct Case {
        int entries;
        int bits;
    };
    const Case cases[] = {{2, 1}, {4, 4}, {8, 4}, {16, 4}, {32, 8}, {64, 8}, {128, 8}, {256, 8}};
    testing::TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries);
        const Bytes indices = Counting(13 * 7, c.entries);
        const DecodeResult result =
            Decode(folder, testing::BuildGif(OneImageGif(13, 7, c.entries, indices)));
        ASSERT_EQ(result.status, LoadStatus::Ok);
        const ImageRecord& record = result.record;
        EXPECT_EQ(record.BitCount(), c.bits);
        const std::uint32_t tableEntries = 1u << c.bits;
        EXPECT_EQ(record.Header().coloursUsed, tableEntries);
        EXPECT_EQ(record.PixelOffset(), 40 + 4 * tableEntries);
        EXPECT_EQ(testing::RecordIndices(record), indices);
        // The file's colours, then black.
        std::vector<Rgb> expected = testing::TripleColours(testing::ColourTriples(c.entries));
        expected.resize(tableEntries, 0);
        std::vector<Rgb> table;
        for (std::uint32_t i = 0; i < tableEntries; ++i) {
            const std::uint8_t* bgr = record.ColourTable() + 4 * i;
            EXPECT_EQ(bgr[3], 0);
            table.push_back(Rgb{bgr[2]} << 16 | Rgb{bgr[1]} << 8 | bgr[0]);
        }
        EXPECT_EQ(table, expected);
    }
}

TEST(GifDecoder, AnImagesOwnTableReplacesTheGlobalOnesFirstEntriesAndTheRestKeepTheirColours) {
    // A local table of 4 entries over a global one of 8, then of none:
    // indices beyond the local table show the global colours, or black.
    testing::TempFolder folder;
    for (const int globalEntries : {8, 0}) {
        SCOPED_TRACE(globalEntries);
        GifFile file = OneImageGif(6, 2, globalEntries, {});
        GifImage& image = file.images[0];
        image.localTable = Bytes(4 * 3, 0x40);
        image.minimumCodeSize = 4;  // room for indices beyond both tables
        image.indices = {0, 1, 2, 3, 4, 9, 15, 3, 2, 1, 0, 7};
        const DecodeResult result = Decode(folder, testing::BuildGif(file));
        ASSERT_EQ(result.status, LoadStatus::Ok);
        EXPECT_EQ(result.record.BitCount(), 4);
        std::vector<Rgb> table = testing::TripleColours(testing::ColourTriples(globalEntries));
        table.resize(16, 0);
        std::fill_n(table.begin(), 4, 0x404040);
        std::vector<Rgb> expected;
        for (const std::uint8_t index : image.indices) expected.push_back(table[index]);
        EXPECT_EQ(testing::RecordColours(result.record), expected);
    }
}

TEST(GifDecoder, InterlacedRowsArePlacedRowExact) {
    // File row order of each height, written out: passes from rows 0, 4,
    // 2 and 1, every 8, 8, 4 and 2 rows.
    const std::vector<std::vector<int>> orders = {{0},
                                                  {0, 1},
                                                  {0, 2, 1},
                                                  {0, 2, 1, 3},
                                                  {0, 4, 2, 1, 3},
                                                  {0, 4, 2, 1, 3, 5},
                                                  {0, 8, 4, 2, 6, 1, 3, 5, 7}};
    testing::TempFolder folder;
    for (const std::vector<int>& order : orders) {
        const int height = static_cast<int>(order.size());
        SCOPED_TRACE(height);
        const int width = 3;
        GifFile file = OneImageGif(width, height, 16, {});
        file.images[0].interlaced = true;
        Bytes picture;  // row y holds index y + 1
        for (int y = 0; y < height; ++y)
            picture.insert(picture.end(), width, static_cast<std::uint8_t>(y + 1));
        for (const int y : order)
            file.images[0].indices.insert(file.images[0].indices.end(), width,
                                          static_cast<std::uint8_t>(y + 1));
        const DecodeResult result = Decode(folder, testing::BuildGif(file));
        ASSERT_EQ(result.status, LoadStatus::Ok);
        EXPECT_EQ(testing::RecordIndices(result.record), picture);
    }
}

TEST(GifDecoder, OnlyTheFirstImageIsDecodedAtItsOwnSizeAndWhatComesBeforeItIsReadPast) {
    GifFile file = OneImageGif(5, 3, 16, Counting(15, 16, 1));
    file.images[0].left = 7;
    file.images[0].top = 9;
    GifImage second;
    second.width = second.height = 20;
    second.indices = Bytes(400, 2);
    file.images.push_back(second);
    // Stray bytes, a transparent colour, an application block, a long
    // comment: none of them changes the picture.
    Bytes& before = file.beforeImages;
    before = {0x00, 'x', 0x3B + 1};
    for (const Bytes& extension :
         {testing::GifExtension(0xF9, {0x01, 0, 0, 5}),
          testing::GifExtension(0xFF, {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'}),
          Bytes{0xFF, 0x80, 0x07}, testing::GifExtension(0xFE, Bytes(600, ','))}) {
        before.insert(before.end(), extension.begin(), extension.end());
    }
    testing::TempFolder folder;
    const DecodeResult result = Decode(folder, testing::BuildGif(file));
    ASSERT_EQ(result.status, LoadStatus::Ok);
    EXPECT_EQ(result.record.Width(), 5);
    EXPECT_EQ(result.record.Height(), 3);
    EXPECT_EQ(testing::RecordIndices(result.record), Counting(15, 16, 1));
}

TEST(GifDecoder, CodesRoundTripAtEveryCodeSizeTableStateAndSubBlockLength) {
    std::mt19937 random(7);
    struct Case {
        int minimumCodeSize;
        int width, height;
        bool smooth;  // long repeats: long strings, a full table soon
        testing::LzwOptions options;
        std::size_t subBlock;
    };
    const Case cases[] = {
        {2, 40, 30, false, {}, 255},
        {3, 17, 9, false, {}, 1},
        {4, 64, 64, true, {}, 7},
        {8, 200, 150, false, {}, 255},
        {8, 300, 200, true, {}, 255},
        {8, 300, 200, true, {false, true}, 254},
        {2, 500, 400, true, {false, true}, 255},  // strings of thousands of bytes
        {11, 120, 90, false, {}, 2},
        {8, 256, 256, false, {false, true}, 100},
        {2, 300, 300, false, {false, true}, 255},  // the full table's last entries in use
        {8, 60, 40, false, {}, 1},                 // codes of 9 to 12 bits across three sub-blocks
    };
    testing::TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.minimumCodeSize << " " << c.width << "x" << c.height);
        const int values = std::min(256, 1 << c.minimumCodeSize);
        Bytes indices;
        for (int i = 0; i < c.width * c.height; ++i) {
            indices.push_back(static_cast<std::uint8_t>(
                c.smooth ? (i / 97 % 3 == 0 ? 1 : (i / 1000) % values) : random() % values));
        }
        GifFile file = OneImageGif(c.width, c.height, std::min(256, values), {});
        file.images[0].minimumCodeSize = c.minimumCodeSize;
        file.images[0].raster = testing::LzwEncode(indices, c.minimumCodeSize, c.options);
        file.images[0].subBlockSize = c.subBlock;
        const DecodeResult result = Decode(folder, testing::BuildGif(file));
        ASSERT_EQ(result.status, LoadStatus::Ok);
        EXPECT_EQ(testing::RecordIndices(result.record), indices);
    }
}

TEST(GifDecoder, ThePixelsNoCodeReachesAreIndexZeroAndDamagedCodesAreTakenAsTheDecoderPromises) {
    // Minimum code size 2 (3-bit codes): clear 4, end 5, first free entry
    // 6, codes of 4 bits once entry 8 is free. Size 4: clear 16, end 17.
    const Bytes half = Counting(25, 15, 1);  // no zero index
    struct Case {
        int minimumCodeSize;
        Bytes raster;
        Bytes expected;  // the rest index 0
    };
    const Case cases[] = {
        {4, testing::LzwEncode(half, 4), half},                   // end code early
        {4, testing::LzwEncode(half, 4, {true, false}), half},    // no end code
        {4, {}, {}},                                              // no codes at all
        {4, testing::PackCodes({{16, 5}, {17, 5}, {3, 5}}), {}},  // clear, end, then data
        // A table code right after the clear code is index 0.
        {2, testing::PackCodes({{4, 3}, {7, 3}, {1, 3}, {5, 3}}), {0, 1}},
        // 7 is beyond the next free entry (6): taken as the old string and
        // its first byte again (2 2); entry 6 = "2 2" and the next entry is
        // built on code 0, so 6 then gives "2 2" and adds "0 2" as 7.
        {2,
         testing::PackCodes({{4, 3}, {2, 3}, {7, 3}, {6, 3}, {7, 4}, {5, 4}}),
         {2, 2, 2, 2, 2, 0, 2}},
        // The next free entry itself: the old string and its first byte.
        {2, testing::PackCodes({{4, 3}, {3, 3}, {6, 3}, {6, 3}, {5, 4}}), {3, 3, 3, 3, 3}},
        // Repeated clear codes are read past.
        {2, testing::PackCodes({{4, 3}, {4, 3}, {4, 3}, {1, 3}, {2, 3}, {5, 3}}), {1, 2}},
    };
    testing::TempFolder folder;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        GifFile file = OneImageGif(10, 6, 1 << cases[i].minimumCodeSize, {});
        file.images[0].raster = cases[i].raster;
        const DecodeResult result = Decode(folder, testing::BuildGif(file));
        ASSERT_EQ(result.status, LoadStatus::Ok) << i;
        Bytes expected = cases[i].expected;
        expected.resize(60, 0);
        EXPECT_EQ(testing::RecordIndices(result.record), expected) << i;
    }
}

TEST(GifDecoder, RefusesWhatItCannotShow) {
    // Files cut short, at any length, are tried by DecodeFile's tests.
    const GifFile valid = OneImageGif(4, 4, 4, Counting(16, 4));
    const auto changed = [&](auto change) {
        GifFile file = valid;
        change(file);
        return testing::BuildGif(file);
    };
    Bytes notAtStart = testing::BuildGif(valid);
    notAtStart.insert(notAtStart.begin(), 'x');
    const std::vector<testing::Refusal> cases = {
        {notAtStart, LoadStatus::BadHeader},
        {changed([](GifFile& f) { f.images.clear(); }),
         LoadStatus::BadHeader},  // trailer, no image
        {changed([](GifFile& f) { f.images.clear(), f.trailer = false; }), LoadStatus::Truncated},
        {changed([](GifFile& f) { f.images[0].minimumCodeSize = 1; }), LoadStatus::Truncated},
        {changed([](GifFile& f) { f.images[0].minimumCodeSize = 12; }), LoadStatus::Truncated},
        {changed([](GifFile& f) { f.images[0].minimumCodeSize = 0, f.images[0].raster = Bytes{}; }),
         LoadStatus::Truncated},
        {changed([](GifFile& f) { f.images[0].width = 0; }), LoadStatus::BadHeader},
        {changed([](GifFile& f) { f.images[0].height = 0; }), LoadStatus::BadHeader},
        {changed([](GifFile& f) { f.images[0].width = f.images[0].height = 65535; }),
         LoadStatus::BadHeader},
        // 64 million pixels claimed by a file of some 50 bytes.
        {changed([](GifFile& f) { f.images[0].width = 8000, f.images[0].height = 8000; }),
         LoadStatus::BadHeader},
    };
    EXPECT_EQ(testing::NotRefused("picture.gif", cases), std::vector<std::string>{});
    // The densest picture a file can really hold still loads: one colour,
    // no clear codes, strings as long as the table allows.
    const testing::TempFolder folder;
    GifFile dense = OneImageGif(4000, 3000, 2, {});
    dense.images[0].raster = testing::LzwEncode(Bytes(4000 * 3000, 1), 2, {false, true});
    EXPECT_EQ(Decode(folder, testing::BuildGif(dense)).status, LoadStatus::Ok);
}

}  // namespace
}  // namespace imagelib
