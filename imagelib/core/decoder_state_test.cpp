#include "imagelib/core/decoder_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "imagelib/core/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;
using testing::TempFolder;

std::vector<std::pair<std::uint16_t, std::int32_t>> g_reports;

std::int32_t RecordProgress(std::uint16_t phase, std::int32_t percent) {
    g_reports.emplace_back(phase, percent);
    return 0;
}

Bytes Counting(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return bytes;
}

class ReadByteTest : public ::testing::TestWithParam<bool> {};

TEST_P(ReadByteTest, ReadsTheWholeFileAcrossRefillsThenReportsTheEnd) {
    TempFolder folder;
    const Bytes content = Counting(40000);
    DecodeEnvironment environment;
    environment.progressHook = RecordProgress;
    g_reports.clear();
    DecoderState state(environment);
    state.fileName = folder.Write("data.bin", content);
    state.intoMemory = GetParam();
    ASSERT_TRUE(state.OpenInput());
    EXPECT_EQ(state.fileSize, 40000);
    ASSERT_TRUE(state.SetupBuffers());
    EXPECT_EQ(state.inputBufferSize, kMinimumBufferSize);

    for (std::size_t i = 0; i < content.size(); ++i) {
        ASSERT_EQ(state.ReadByte(), content[i]) << "byte " << i;
        ASSERT_FALSE(state.endOfInput) << "byte " << i;
    }
    EXPECT_EQ(state.bytesConsumed, 40000);
    EXPECT_EQ(state.ReadByte(), 0);
    EXPECT_TRUE(state.endOfInput);
    // One report per refill: 16384, 32768 and 40000 bytes of 40000.
    const std::vector<std::pair<std::uint16_t, std::int32_t>> expected = {
        {kPhaseReading, 41}, {kPhaseReading, 82}, {kPhaseReading, 100}};
    EXPECT_EQ(g_reports, expected);
}

TEST_P(ReadByteTest, ContinuesBehindDirectReadsAndAfterASeek) {
    TempFolder folder;
    const Bytes content = Counting(300);
    DecodeEnvironment environment;
    DecoderState state(environment);
    state.fileName = folder.Write("data.bin", content);
    state.intoMemory = GetParam();
    ASSERT_TRUE(state.OpenInput());
    ASSERT_TRUE(state.SetupBuffers());
    std::uint8_t header[6];
    ASSERT_EQ(state.ReadDirect(header, sizeof header), 6u);
    EXPECT_EQ(header[5], content[5]);
    EXPECT_EQ(state.ReadByte(), content[6]);
    EXPECT_EQ(state.bytesConsumed, 300);

    ASSERT_TRUE(state.SeekInput(128));
    EXPECT_EQ(state.ReadByte(), content[128]);
    EXPECT_FALSE(state.SeekInput(301));
}

INSTANTIATE_TEST_SUITE_P(IntoMemoryAndFromTheFile, ReadByteTest, ::testing::Bool());

TEST(OpenInput, AFileThatCannotBeOpenedGivesStatus132) {
    TempFolder folder;
    DecodeEnvironment environment;
    DecoderState state(environment);
    state.fileName = folder.PathOf("missing.bin");
    EXPECT_FALSE(state.OpenInput());
    EXPECT_EQ(state.status, LoadStatus::ReadFailed);
}

// A decoded-data buffer of `capacity` bytes behind a 16384-byte chunk.
void PrepareOutput(DecoderState& state, std::size_t capacity) {
    ASSERT_TRUE(state.SetupBuffers());
    state.capacity = capacity;
    ASSERT_TRUE(state.AllocDecoded());
}

TEST(EmitByte, FillsTheDecodedDataExactlyThenDropsWhatDoesNotFit) {
    for (const std::size_t capacity : {std::size_t{1}, std::size_t{10}, kMinimumBufferSize,
                                       kMinimumBufferSize + 1, std::size_t{40000}}) {
        DecodeEnvironment environment;
        DecoderState state(environment);
        PrepareOutput(state, capacity);
        std::size_t emitted = 0;
        // Far more than fits: nothing may be written past the buffer.
        for (; emitted < capacity + 20000 && !state.outputFull; ++emitted) {
            state.EmitByte(static_cast<std::uint8_t>(emitted % 251));
        }
        state.FlushOutput();
        EXPECT_TRUE(state.outputFull) << capacity;
        EXPECT_EQ(emitted, capacity + 1) << capacity;
        EXPECT_EQ(state.bytesWritten, capacity);
        for (std::size_t i = 0; i < capacity; ++i) {
            ASSERT_EQ(state.decoded.Data()[i], i % 251) << "capacity " << capacity << " byte " << i;
        }
    }
}

TEST(EmitByte, AShortOutputLeavesTheRestOfTheDecodedDataZero) {
    DecodeEnvironment environment;
    DecoderState state(environment);
    PrepareOutput(state, 100);
    for (int i = 0; i < 5; ++i) state.EmitByte(0xAB);
    state.FlushOutput();
    EXPECT_FALSE(state.outputFull);
    EXPECT_EQ(state.bytesWritten, 5u);
    for (std::size_t i = 0; i < 100; ++i) EXPECT_EQ(state.decoded.Data()[i], i < 5 ? 0xAB : 0);
}

TEST(NewImageRecord, WritesTheHeaderAndThePaletteAsBlueGreenRed) {
    DecodeEnvironment environment;
    DecoderState state(environment);
    state.palette[0] = 10;  // red
    state.palette[1] = 20;  // green
    state.palette[2] = 30;  // blue
    state.palette[47] = 255;  // triple 15's blue
    ASSERT_TRUE(state.NewImageRecord(&state.palette, 5, 3, 24, 40 + 4 * 16, 4));
    const InfoHeader header = state.record.Header();
    EXPECT_EQ(header.size, 40u);
    EXPECT_EQ(header.width, 5);
    EXPECT_EQ(header.height, 3);
    EXPECT_EQ(header.planes, 1);
    EXPECT_EQ(header.bitCount, 4);
    EXPECT_EQ(header.compression, 0u);
    EXPECT_EQ(header.imageDataSize, 24u);
    EXPECT_EQ(header.coloursUsed, 16u);
    EXPECT_EQ(state.record.Size(), 40u + 64 + 24);
    EXPECT_EQ(state.record.PixelOffset(), 40u + 64);
    const std::uint8_t* table = state.record.ColourTable();
    EXPECT_EQ(std::vector<std::uint8_t>(table, table + 4), (std::vector<std::uint8_t>{30, 20, 10, 0}));
    EXPECT_EQ(table[4 * 15 + 0], 255);
    for (std::size_t i = 0; i < 24; ++i) EXPECT_EQ(state.record.Pixels()[i], 0);
}

TEST(NewImageRecord, RefusesSizesThatDoNotFitTogether) {
    struct Case {
        std::int32_t width, height;
        std::size_t dataBytes, headerSize;
        int bits;
        const char* what;
    };
    const Case cases[] = {
        {0, 4, 64, 40, 24, "no width"},
        {4, 0, 64, 40, 24, "no height"},
        {4, 4, 47, 40, 24, "fewer data bytes than the rows need"},
        {4, 4, 64, 40 + 4 * 256, 24, "a colour table on a 24-bit record"},
        {4, 4, 16, 40, 8, "no colour table on an 8-bit record"},
        {70000, 1, 210000, 40, 24, "a side beyond the limit"},
        {20000, 20000, 1200000000, 40, 24, "more pixels than the limit"},
    };
    for (const Case& c : cases) {
        DecodeEnvironment environment;
        DecoderState state(environment);
        EXPECT_FALSE(state.NewImageRecord(nullptr, c.width, c.height, c.dataBytes, c.headerSize,
                                          c.bits))
            << c.what;
        EXPECT_EQ(state.status, LoadStatus::BadHeader) << c.what;
        EXPECT_FALSE(state.record) << c.what;
    }
}

TEST(FinishDecode, ReleasesTheRecordOnlyOnFailure) {
    DecodeEnvironment environment;
    DecoderState kept(environment);
    ASSERT_TRUE(kept.NewImageRecord(nullptr, 2, 2, 16, 40, 24));
    EXPECT_TRUE(kept.FinishDecode(LoadStatus::Ok));
    EXPECT_TRUE(kept.record);

    DecoderState failed(environment);
    ASSERT_TRUE(failed.NewImageRecord(nullptr, 2, 2, 16, 40, 24));
    EXPECT_FALSE(failed.FinishDecode(LoadStatus::Truncated));
    EXPECT_FALSE(failed.record);
    EXPECT_EQ(failed.status, LoadStatus::Truncated);
}

}  // namespace
}  // namespace imagelib
