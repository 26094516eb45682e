#include "imagelib/core/decoder_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "imagelib/core/test_fakes.h"
#include "imagelib/core/test_files.h"

namespace imagelib {
namespace {

class ReadByteTest : public ::testing::TestWithParam<bool> {};

TEST_P(ReadByteTest, ReadsTheWholeFileAcrossRefillsReportingEachRefill) {
    testing::TempFolder folder;
    testing::Bytes content(40000);
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i / 3);
    const DecodeEnvironment environment{nullptr, RecordProgress, {}};
    ProgressReports().clear();
    DecoderState state(environment);
    state.fileName = folder.Write("data.bin", content);
    state.intoMemory = GetParam();
    ASSERT_TRUE(state.OpenInput());
    ASSERT_TRUE(state.SetupBuffers());
    for (std::size_t i = 0; i < content.size(); ++i) {
        ASSERT_EQ(state.ReadByte(), content[i]) << "byte " << i;
    }
    EXPECT_FALSE(state.endOfInput);
    EXPECT_EQ(state.ReadByte(), 0);
    EXPECT_TRUE(state.endOfInput);
    // Refills at 16384, 32768 and 40000 bytes of 40000.
    EXPECT_EQ(ProgressReports(), (ProgressReportList{{kPhaseReading, 41}, {kPhaseReading, 82}, {kPhaseReading, 100}}));
}

INSTANTIATE_TEST_SUITE_P(IntoMemoryAndFromTheFile, ReadByteTest, ::testing::Bool());

TEST(EmitByte, FillsTheDecodedDataExactlyAndNeverWritesPastIt) {
    for (const std::size_t capacity : {std::size_t{1}, std::size_t{10}, kMinimumBufferSize + 1}) {
        const DecodeEnvironment environment;
        DecoderState state(environment);
        ASSERT_TRUE(state.SetupBuffers());
        state.capacity = capacity;
        ASSERT_TRUE(state.AllocDecoded());
        // Zero to begin with, so that pixels a short file never reaches are black.
        EXPECT_EQ(std::count(state.decoded.Data(), state.decoded.Data() + capacity, 0), capacity);
        std::size_t emitted = 0;
        for (; emitted < capacity + 20000 && !state.outputFull; ++emitted) {
            state.EmitByte(static_cast<std::uint8_t>(emitted % 251));
        }
        state.FlushOutput();
        EXPECT_EQ(emitted, capacity + 1) << capacity;
        ASSERT_EQ(state.bytesWritten, capacity);
        for (std::size_t i = 0; i < capacity; ++i) {
            ASSERT_EQ(state.decoded.Data()[i], i % 251) << "capacity " << capacity << " byte " << i;
        }
    }
}

}  // namespace
}  // namespace imagelib
