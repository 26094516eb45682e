#include "puzzle/core/status_text.h"

#include <gtest/gtest.h>

namespace puzzle {
namespace {

TEST(StatusText, Durations) {
    const struct {
        std::uint32_t milliseconds;
        const char* text;
    } cases[] = {
        {999, "0 seconds"},
        {61000, "1 minutes and 1 seconds"},
        {3723000, "1 hours, 2 minutes and 3 seconds"},
        // Hours and minutes are left out only when their totals are 0.
        {86400000, "1 days, 0 hours, 0 minutes and 0 seconds"},
        {3600000, "1 hours, 0 minutes and 0 seconds"},
        {0xFFFFFFFFu, "49 days, 17 hours, 2 minutes and 47 seconds"},
    };
    for (const auto& c : cases) EXPECT_EQ(DurationText(c.milliseconds), c.text) << c.milliseconds;
}

}  // namespace
}  // namespace puzzle
