#include "common/core/number_text.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(ScanInteger, ReadsLikeThePercentIConversion) {
    constexpr std::optional<std::uint32_t> kNone;
    // clang-format off
    const struct { const char* text; std::optional<std::uint32_t> wrapped, refused; } cases[] = {
        {"12", 12, 12},        {" \t25", 25, 25},     {"+7", 7, 7},       {"-3", 0u - 3, 0u - 3},
        {"0x1F", 31, 31},      {"0X1f", 31, 31},      {"-0x10", 0u - 16, 0u - 16},
        {"017", 15, 15},       {"08", 0, 0},          {"0", 0, 0},        {"0x", 0, 0},
        {"0xg", 0, 0},         {"12abc", 12, 12},     {"5 6", 5, 5},      {"", kNone, kNone},
        {"abc", kNone, kNone}, {"-", kNone, kNone},   {" +", kNone, kNone}, {"x12", kNone, kNone},
        {"0xFFFFFFFF", 0xFFFFFFFFu, 0xFFFFFFFFu},     {"-1", 0xFFFFFFFFu, 0xFFFFFFFFu},
        // Digits past 32 bits: wrapped as in the 32-bit runtime, or refused.
        {"4294967296", 0, kNone},   {"99999999999999999999999", 0xF67FFFFFu, kNone},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << '"' << c.text << '"');
        const auto wrapped = ScanInteger(c.text, Overflow::Wrap);
        EXPECT_EQ(wrapped ? std::optional(wrapped->value) : kNone, c.wrapped);
        const auto refused = ScanInteger(c.text, Overflow::Refuse);
        EXPECT_EQ(refused ? std::optional(refused->value) : kNone, c.refused);
    }
    EXPECT_EQ(ScanInteger(" -12, 5", Overflow::Wrap)->length, 4u);
}

TEST(PackedVersion, OneByteForEachPart) {
    // clang-format off
    const struct { const char* text; std::uint32_t dots, dotsOrCommas; } cases[] = {
        {"1.1.5", 0x01010500, 0x01010500},           {"2", 0x02000000, 0x02000000},
        {"1.2.3.4.5", 0x01020304, 0x01020304},       {"2.0.1.300", 0x0200012C, 0x0200012C},
        {"0x10.010.9", 0x10080900, 0x10080900},      // "%i": hexadecimal, octal
        {"1.-1", 0x01FF0000, 0x01FF0000},            // the low byte only
        {"1..5", 0x01000000, 0x01000000},            {"1.x.5", 0x01000000, 0x01000000},
        {"", 0, 0},                                  {"beta", 0, 0},
        {" 1. 2", 0x01020000, 0x01020000},           {"3 (build 7)", 0x03000000, 0x03000000},
        {"1, 0, 0, 5", 0x01000000, 0x01000005},      {"1,0.0,4", 0x01000000, 0x01000004},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(PackedVersion(c.text, "."), c.dots) << '"' << c.text << '"';
        EXPECT_EQ(PackedVersion(c.text, ".,"), c.dotsOrCommas) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace common
