#include "puzzle/core/number_text.h"

#include <gtest/gtest.h>

namespace puzzle {
namespace {

TEST(ParseInteger, ReadsLikeThePercentIConversion) {
    const struct { const char* text; std::optional<std::int32_t> value; } cases[] = {
        {"12", 12},         {" \t25", 25},        {"+7", 7},           {"-3", -3},
        {"0x1F", 31},       {"0X1f", 31},        {"-0x10", -16},      {"017", 15},
        {"08", 0},          {"0", 0},            {"0x", 0},           {"0xg", 0},
        {"12abc", 12},      {"5 6", 5},          {"", std::nullopt},  {"abc", std::nullopt},
        {"-", std::nullopt}, {" +", std::nullopt}, {"x12", std::nullopt},
        {"4294967295", -1}, {"4294967296", 0},   // wraps as in 32 bits
    };
    for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(VersionNumberFromText, OneByteForEachComponent) {
    const struct { const char* text; std::uint32_t number; } cases[] = {
        {"1.1.5", 0x01010500},      {"1.0.0.0", 0x01000000},  {"2", 0x02000000},
        {"1.2.3.4.5", 0x01020304},  {"0x10.010.9", 0x10080900},  // hexadecimal, octal
        {"1.256.3", 0x01000300},    {"1.-1", 0x01FF0000},        // low 8 bits only
        {"1..5", 0x01000000},       {"1.x.5", 0x01000000},       // stops at a non-number
        {"1, 0, 0, 5", 0x01000000}, {"", 0},                     {"beta", 0},
        {" 1. 2", 0x01020000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionNumberFromText(c.text), c.number) << '"' << c.text << '"';
    // A newer carried library compares greater, unsigned.
    EXPECT_GT(VersionNumberFromText("200.1"), VersionNumberFromText("1.1.5"));
}

}  // namespace
}  // namespace puzzle
