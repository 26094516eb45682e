#include "imagelib/core/bmp_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/test_files.h"

namespace imagelib {
namespace {

using testing::BmpFile;
using testing::Bytes;
using testing::TempFolder;

struct Decoded {
    ImageRecord record;
    LoadStatus status;
};

Decoded DecodeBmpBytes(const Bytes& bytes) {
    TempFolder folder;
    DecodeEnvironment environment;
    DecoderState state(environment);
    state.fileName = folder.Write("picture.bmp", bytes);
    DecodeBmp(state);
    return {std::move(state.record), state.status};
}

Bytes PixelsOf(const ImageRecord& record) {
    return Bytes(record.Pixels(), record.Bytes() + record.Size());
}

Bytes TableOf(const ImageRecord& record, std::size_t entries) {
    return Bytes(record.ColourTable(), record.ColourTable() + 4 * entries);
}

// A 5 x 3 picture of 8 bits with a 256-entry table: entry i = (i, 255 - i, i / 2, 0).
BmpFile EightBitFile() {
    BmpFile file;
    file.width = 5;
    file.height = 3;
    file.bitCount = 8;
    for (int i = 0; i < 256; ++i) {
        file.colourTable.insert(file.colourTable.end(),
                                {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                 static_cast<std::uint8_t>(i / 2), 0});
    }
    for (int row = 0; row < 3; ++row) {
        file.pixelData.insert(file.pixelData.end(),
                              {static_cast<std::uint8_t>(row), 7, 200, 255, 9, 0, 0, 0});
    }
    return file;
}

TEST(BmpReader, KeepsTheHeaderAndTheRowsOfATrueColourFile) {
    const testing::Picture picture = testing::TestPattern(3, 2, 3);
    BmpFile file;
    file.width = 3;
    file.height = 2;
    file.pixelData = testing::BmpRows24(picture);
    const Decoded decoded = DecodeBmpBytes(testing::BuildBmp(file));
    ASSERT_EQ(decoded.status, LoadStatus::Ok);
    const InfoHeader header = decoded.record.Header();
    EXPECT_EQ(header.size, 40u);
    EXPECT_EQ(header.width, 3);
    EXPECT_EQ(header.height, 2);
    EXPECT_EQ(header.bitCount, 24);
    EXPECT_EQ(header.compression, 0u);
    EXPECT_EQ(header.imageDataSize, 24u);
    EXPECT_EQ(decoded.record.PixelOffset(), 40u);
    EXPECT_EQ(PixelsOf(decoded.record), file.pixelData);
}

TEST(BmpReader, CopiesTheColourTableOfPaletteFiles) {
    for (const int bits : {1, 4, 8}) {
        BmpFile file;
        file.width = 9;
        file.height = 2;
        file.bitCount = static_cast<std::uint16_t>(bits);
        const std::size_t entries = std::size_t{1} << bits;
        for (std::size_t i = 0; i < entries; ++i) {
            file.colourTable.insert(file.colourTable.end(),
                                    {static_cast<std::uint8_t>(i), 0x11, static_cast<std::uint8_t>(~i), 0});
        }
        const std::size_t stride = (9 * static_cast<std::size_t>(bits) + 31) / 32 * 4;
        for (std::size_t i = 0; i < 2 * stride; ++i) {
            file.pixelData.push_back(static_cast<std::uint8_t>(i * 37));
        }
        const Decoded decoded = DecodeBmpBytes(testing::BuildBmp(file));
        ASSERT_EQ(decoded.status, LoadStatus::Ok) << bits;
        EXPECT_EQ(decoded.record.BitCount(), bits);
        EXPECT_EQ(decoded.record.PixelOffset(), 40 + 4 * entries) << bits;
        EXPECT_EQ(TableOf(decoded.record, entries), file.colourTable) << bits;
        EXPECT_EQ(PixelsOf(decoded.record), file.pixelData) << bits;
    }
}

TEST(BmpReader, LoadsAFileWhoseColourTableIsShorterThanTheBitCountAllows) {
    BmpFile file;
    file.width = 2;
    file.height = 2;
    file.bitCount = 8;
    file.coloursUsed = 2;
    file.colourTable = {1, 2, 3, 0, 4, 5, 6, 0};
    file.pixelData = {0, 1, 0, 0, 1, 0, 0, 0};
    const Decoded decoded = DecodeBmpBytes(testing::BuildBmp(file));
    ASSERT_EQ(decoded.status, LoadStatus::Ok);
    EXPECT_EQ(decoded.record.Header().coloursUsed, 2u);
    EXPECT_EQ(TableOf(decoded.record, 2), file.colourTable);
    EXPECT_EQ(PixelsOf(decoded.record), file.pixelData);
}

TEST(BmpReader, KeepsATopDownFileAsItIs) {
    const testing::Picture picture = testing::TestPattern(4, 3, 3);
    BmpFile file;
    file.width = 4;
    file.height = -3;
    file.pixelData = testing::BmpRows24(picture, true);
    const Decoded decoded = DecodeBmpBytes(testing::BuildBmp(file));
    ASSERT_EQ(decoded.status, LoadStatus::Ok);
    EXPECT_EQ(decoded.record.Height(), -3);
    EXPECT_EQ(PixelsOf(decoded.record), file.pixelData);
}

TEST(BmpReader, PassesRunLengthEncodedDataThroughUnchanged) {
    // RLE8: two pixels of 5, end of line, two pixels of 7, end of bitmap.
    const Bytes runs = {2, 5, 0, 0, 2, 7, 0, 1};
    for (const bool sizeInHeader : {true, false}) {
        BmpFile file;
        file.width = 2;
        file.height = 2;
        file.bitCount = 8;
        file.compression = kCompressionRle8;
        file.imageDataSize = sizeInHeader ? static_cast<std::uint32_t>(runs.size()) : 0;
        file.colourTable = Bytes(1024, 0x40);
        file.pixelData = runs;
        const Decoded decoded = DecodeBmpBytes(testing::BuildBmp(file));
        ASSERT_EQ(decoded.status, LoadStatus::Ok) << sizeInHeader;
        EXPECT_EQ(decoded.record.Header().compression, kCompressionRle8);
        EXPECT_EQ(decoded.record.Header().imageDataSize, runs.size());
        EXPECT_EQ(PixelsOf(decoded.record), runs);
    }
}

TEST(BmpReader, RefusesHeadersOfOtherKinds) {
    struct Case {
        void (*change)(BmpFile&);
        LoadStatus expected;
        const char* what;
    };
    const Case cases[] = {
        {[](BmpFile& f) { f.infoHeaderSize = 12; }, LoadStatus::UnsupportedBmp, "OS/2 header"},
        {[](BmpFile& f) { f.infoHeaderSize = 108; }, LoadStatus::UnsupportedBmp, "108-byte header"},
        {[](BmpFile& f) { f.infoHeaderSize = 124; }, LoadStatus::UnsupportedBmp, "124-byte header"},
        {[](BmpFile& f) { f.planes = 2; }, LoadStatus::UnsupportedBmp, "two planes"},
        {[](BmpFile& f) { f.bitCount = 2; }, LoadStatus::UnsupportedBmp, "two bits"},
        {[](BmpFile& f) { f.bitCount = 0; }, LoadStatus::UnsupportedBmp, "no bits"},
        {[](BmpFile& f) { f.compression = 4; }, LoadStatus::UnsupportedBmp, "JPEG inside"},
        {[](BmpFile& f) { f.compression = kCompressionRle4; }, LoadStatus::UnsupportedBmp,
         "RLE4 on 8 bits"},
        {[](BmpFile& f) { f.compression = kCompressionBitfields; }, LoadStatus::UnsupportedBmp,
         "bit fields on 8 bits"},
        {[](BmpFile& f) {
             f.compression = kCompressionRle8;
             f.height = -3;
         },
         LoadStatus::UnsupportedBmp, "top-down RLE"},
        {[](BmpFile& f) { f.coloursUsed = 257; }, LoadStatus::UnsupportedBmp, "257 colours"},
        {[](BmpFile& f) { f.width = 0; }, LoadStatus::BadHeader, "no width"},
        {[](BmpFile& f) { f.width = -5; }, LoadStatus::BadHeader, "negative width"},
        {[](BmpFile& f) { f.height = 0; }, LoadStatus::BadHeader, "no height"},
        {[](BmpFile& f) { f.width = 70000; }, LoadStatus::BadHeader, "too wide"},
        {[](BmpFile& f) {
             f.width = 20000;
             f.height = -20000;
         },
         LoadStatus::BadHeader, "too many pixels"},
    };
    for (const Case& c : cases) {
        BmpFile file = EightBitFile();
        c.change(file);
        const Decoded decoded = DecodeBmpBytes(testing::BuildBmp(file));
        EXPECT_EQ(decoded.status, c.expected) << c.what;
        EXPECT_FALSE(decoded.record) << c.what;
    }
    Bytes notBm = testing::BuildBmp(EightBitFile());
    notBm[1] = 'A';
    EXPECT_EQ(DecodeBmpBytes(notBm).status, LoadStatus::UnsupportedBmp);
}

TEST(BmpReader, FailsAtEveryLengthShortOfTheWholeFile) {
    const Bytes whole = testing::BuildBmp(EightBitFile());
    ASSERT_EQ(DecodeBmpBytes(whole).status, LoadStatus::Ok);
    TempFolder folder;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        DecodeEnvironment environment;
        DecoderState state(environment);
        state.fileName = folder.Write("cut.bmp", Bytes(whole.begin(), whole.begin() + length));
        EXPECT_FALSE(DecodeBmp(state)) << length;
        EXPECT_EQ(state.status, LoadStatus::Truncated) << length;
        EXPECT_FALSE(state.record) << length;
    }
}

TEST(BmpReader, RefusesDataTheFileDoesNotHoldBeforeAllocatingIt) {
    struct Case {
        void (*change)(BmpFile&);
        LoadStatus expected;
        const char* what;
    };
    const Case cases[] = {
        {[](BmpFile& f) {
             f.width = 10000;
             f.height = 10000;
             f.bitCount = 24;
         },
         LoadStatus::Truncated, "300 MB of rows in a small file"},
        {[](BmpFile& f) {
             f.compression = kCompressionRle8;
             f.imageDataSize = 0x7FFFFFF0;
         },
         LoadStatus::Truncated, "2 GB of runs in a small file"},
        {[](BmpFile& f) { f.bitsOffset = 0xFFFFFFF0; }, LoadStatus::Truncated,
         "rows beyond the end"},
        {[](BmpFile& f) {
             f.compression = kCompressionRle8;
             f.fileSizeField = 10;  // smaller than the offset of the rows
         },
         LoadStatus::BadHeader, "a negative data size"},
    };
    for (const Case& c : cases) {
        BmpFile file = EightBitFile();
        c.change(file);
        const Decoded decoded = DecodeBmpBytes(testing::BuildBmp(file));
        EXPECT_EQ(decoded.status, c.expected) << c.what;
        EXPECT_FALSE(decoded.record) << c.what;
    }
}

}  // namespace
}  // namespace imagelib
