#include "setup/core/packed_version.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(DecideUpgrade, KeepsWhatIsAsNewAndAsksOtherwise) {
    const struct {
        std::uint32_t installed, carried;
        UpgradeDecision decision;
    } cases[] = {
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
