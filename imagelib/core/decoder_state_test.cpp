#include "imagelib/core/decoder_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "imagelib/core/testing/test_fakes.h"
#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

TEST(DecoderState, ReadsTheWholeFileInStepsReportingEachStep) {
    testing::TempFolder folder;
    testing::Bytes content(40000);
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i / 3);
    const DecodeEnvironment environment{nullptr, RecordProgress, {}};
    ProgressReports().clear();
    ByteBuffer file;
    ASSERT_EQ(ReadWholeFile(folder.Write("data.bin", content), nullptr, file), LoadStatus::Ok);
    DecoderState state(environment, std::move(file));
    ByteReader& input = state.Input();
    const std::span<const std::uint8_t> whole = input.Take(content.size());
    ASSERT_TRUE(std::equal(whole.begin(), whole.end(), content.begin(), content.end()));
    EXPECT_FALSE(input.Ended());
    EXPECT_EQ(input.Byte(), 0);
    EXPECT_TRUE(input.Ended());
    // Steps end at 16384, 32768 and 40000 bytes of 40000.
    EXPECT_EQ(ProgressReports(),
              (ProgressReportList{{kPhaseReading, 41}, {kPhaseReading, 82}, {kPhaseReading, 100}}));
}

TEST(ByteReader, TakesNoMoreThanTheFileHoldsAndReportsEveryStepATakePasses) {
    const testing::Bytes content = testing::Counting(100, 256);
    ProgressReports().clear();
    ByteReader input(content);
    input.ReportSteps(RecordProgress, 30);
    // A header is taken without a report; the step after it starts at 10.
    ASSERT_EQ(input.TakeHeader(10).size(), 10u);
    EXPECT_TRUE(ProgressReports().empty());
    const std::span<const std::uint8_t> taken = input.Take(65);  // steps to 40, 70 and 100
    ASSERT_EQ(taken.size(), 65u);
    EXPECT_EQ(taken[0], 10);
    EXPECT_EQ(ProgressReports(),
              (ProgressReportList{{kPhaseReading, 40}, {kPhaseReading, 70}, {kPhaseReading, 100}}));
    EXPECT_EQ(input.Take(50).size(), 25u);
    EXPECT_TRUE(input.Ended());
    EXPECT_TRUE(input.TakeHeader(1).empty());
    std::uint8_t into[4] = {};
    ByteReader again(content);
    ASSERT_TRUE(again.Seek(97));
    EXPECT_FALSE(again.Read(into, 4));
    EXPECT_FALSE(again.Seek(101));
}

}  // namespace
}  // namespace imagelib
