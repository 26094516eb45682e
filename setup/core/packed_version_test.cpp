#include "setup/core/packed_version.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(PackedFileVersion, OneByteForEachPart) {
    const struct { const char* text; std::uint32_t packed; } cases[] = {
        {"1, 0, 0, 5", 0x01000005}, {"1.2", 0x01020000},       {"2.0.1.300", 0x0200012C},
        {"1..2", 0x01000000},       {"", 0},                   {"1,0.0,4", 0x01000004},
        {"1.2.3.4.5", 0x01020304},  {"0x10, 010", 0x10080000},  // "%i": hexadecimal, octal
        {"1, -1", 0x01FF0000},      {"beta", 0},               {"3 (build 7)", 0x03000000},
    };
    for (const auto& c : cases) EXPECT_EQ(PackedFileVersion(c.text), c.packed) << '"' << c.text << '"';
}

TEST(DecideUpgrade, KeepsWhatIsAsNewAndAsksOtherwise) {
    const struct { std::uint32_t installed, carried; UpgradeDecision decision; } cases[] = {
        {0x01000005, 0x01000005, UpgradeDecision::Keep},  // equal
        {0x01000004, 0x01000005, UpgradeDecision::Ask},   // installed older
        {0x02000000, 0x01000005, UpgradeDecision::Keep},  // installed newer
        {0, 0, UpgradeDecision::Ask},                     // neither readable
        {0x01000005, 0, UpgradeDecision::Keep},           // the carried one unreadable
        {0, 0x01000005, UpgradeDecision::Ask},            // the installed one unreadable
        {0x80000000, 0x7FFFFFFF, UpgradeDecision::Keep},  // unsigned
        {0x7FFFFFFF, 0x80000000, UpgradeDecision::Ask},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideUpgrade(c.installed, c.carried), c.decision)
            << std::hex << c.installed << " " << c.carried;
}

}  // namespace
}  // namespace setup
